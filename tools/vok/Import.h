// vok import: a .vok section from a UTF-8 CSV file of items (code, text, extra text, tag).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/vok/Console.h"

namespace vok::tool {

// One CSV record: the line it begins on, its fields, and what is wrong with its quoting.
struct TCsvRecord {
  int Line;
  std::vector<std::string> Fields;
  std::string Problem;  // empty when the record is well formed
};

// Splits CSV text into records (RFC 4180: fields separated by ASeparator, records by CRLF or
// LF, quoted fields with doubled quotes and line breaks inside). Empty lines give no record.
std::vector<TCsvRecord> ParseCsv(std::string_view AData, char ASeparator = ',');

struct TImportOptions {
  std::string CsvFile;
  // As given on the command line (terminal encoding); the section defaults to the CSV file's
  // name without its extension.
  std::optional<std::string> Section, Format, Display, Delimit;
  std::string Output;  // empty: standard output
  char Separator = ',';
};

// Converts the CSV file to a section and writes it (CRLF line ends). Problems go to the error
// stream with their CSV line numbers. Returns 0, 1 (written, with warnings) or 2 (refused,
// nothing written).
int RunImport(const TConsole &AConsole, const TImportOptions &AOptions);

}  // namespace vok::tool
