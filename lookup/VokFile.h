// Reading a .vok file as a whole: every section in turn.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "lookup/Lookup.h"
#include "lookup/TextFile.h"
#include "lookup/VokRules.h"

namespace vok {

// Receives each loaded section: its name as written between the brackets and the
// dictionary, ready or not, which it then owns. May throw to stop the reading.
using TSectionSink = std::function<void(std::string_view AName, std::unique_ptr<TLookup> ALookup)>;

// Loads every section of the text from AReader, in file order, each from its trimmed
// non-empty lines into a new dictionary (AFile its path, all filters "*"), and hands it to
// AOnSection. Sections that SectionSkip names a reason for are read past with their lines.
// Throws EInOutError when reading fails.
void LoadAllSections(TTextReader &AReader, std::string_view AFile, const TSectionSink &AOnSection);

// Why LoadAllSections reads past a section with its lines: its header is the last line of the
// text but not the text's first header (HeaderAtEnd), or its name is empty (EmptyName); None
// when it loads the section. AHeaderAtEnd tells whether the text ends after the header line.
enum class TSectionSkip { None, HeaderAtEnd, EmptyName };
TSectionSkip SectionSkip(std::string_view AName, bool AFirstHeader, bool AHeaderAtEnd);

// The dictionary that LoadAllSections begins for section AName of AFile, under that name with
// the filter "*"; it takes the section's trimmed lines through AddLine, then EndLoad.
std::unique_ptr<TLookup> BeginSection(std::string_view AFile, std::string_view AName);
std::unique_ptr<TLookup> BeginSection(const std::shared_ptr<const std::string> &APath, std::string_view AName);

}  // namespace vok
