// Reading a .vok file as a whole: its section headers and every section in turn.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "lookup/Lookup.h"
#include "lookup/TextFile.h"

namespace vok {

// The name inside a trimmed header line "[...]"; false for any other line.
bool HeaderName(std::string_view ATrimmed, std::string_view &AName);

// Reads the next trimmed, non-empty line into ALine (valid until the next read); false at
// the end of the text.
bool NextTrimmedLine(TTextReader &AReader, std::string_view &ALine);

// Receives each loaded section: its name as written between the brackets and the
// dictionary, ready or not, which it then owns. May throw to stop the reading.
using TSectionSink = std::function<void(std::string_view AName, std::unique_ptr<TLookup> ALookup)>;

// Loads every section of the text from AReader, in file order, each from its trimmed
// non-empty lines into a new dictionary (AFile its path, all filters "*"), and hands it to
// AOnSection. Sections named "[]" are read past. Throws EInOutError when reading fails.
void LoadAllSections(TTextReader &AReader, std::string_view AFile, const TSectionSink &AOnSection);

}  // namespace vok
