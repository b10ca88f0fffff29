// vok export: a section as a table that a spreadsheet opens on a double click.
#pragma once

#include <string>

#include "tools/vok/Console.h"

namespace vok::tool {

struct TExportOptions {
  std::string VokFile;
  std::string Section;  // as given on the command line (terminal encoding)
  // Empty: SECTION.csv in the current folder, which must not exist yet; "-": standard output.
  std::string Output;
  char Separator = ';';
};

// Writes the section's settings rows ("Format=...", "Display=...", "Delimit=..."), a row of column
// headings, and one row per item line in file order (code, text, extra text, tag) as CSV in UTF-8
// with the byte order mark and CRLF line ends; vok import reads it back. Returns 0, 1 (written,
// with warnings about what the table cannot carry back) or 2 (nothing written).
int RunExport(const TConsole &AConsole, const TExportOptions &AOptions);

}  // namespace vok::tool
