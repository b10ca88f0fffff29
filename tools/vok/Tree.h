// vok tree: a dictionary's hierarchy as the selection dialog offers it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lookup/Lookup.h"
#include "tools/vok/Console.h"

namespace vok::tool {

// A line of a section as LoadVok reads it, with its line number in the file.
struct TNumberedLine {
  int Number;
  std::string Text;
};

// Reads section AName (trimmed, ANSI code page) of AFile and loads it into ALookup with the
// filter AFilter as LoadVok does; ALines, when given, receives the section's lines. False, after
// telling why on the error stream, when the file cannot be read, has no such section, or the
// section does not load.
bool LoadSection(const TConsole &AConsole, const std::string &AFile, const std::string &AName, std::string_view AFilter,
                 TLookup &ALookup, std::vector<TNumberedLine> *ALines = nullptr);

// Loads section ASection (Windows-1251) of AFile through LoadVok with the filter AFilter ("*"
// for every item) and prints its levels indented, each level's rows sorted and de-duplicated
// as the dialog shows them, each row followed by its children. Returns 0, or 2 when the
// section does not load.
int RunTree(const TConsole &AConsole, const std::string &AFile, std::string_view ASection, std::string_view AFilter);

}  // namespace vok::tool
