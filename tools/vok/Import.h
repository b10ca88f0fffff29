// vok import: a .vok section from a table of items (code, text, extra text, tag) as spreadsheets
// and editors save it: CSV or tab-separated, in UTF-8, UTF-16 or Windows-1251.
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

// The separator of a table: of tab, ";" and "," the one that stands most often outside quotes
// in its first line that is not a settings row ("Format=...", see IsSettingsCell), tab before
// ";" before "," when as often; "," when none stands there.
char DetectSeparator(std::string_view AData);

// True when a table's first cell is a section's header line ("Format=2,2", "display=%1"), as
// vok export writes them in the rows above the items.
bool IsSettingsCell(std::string_view ACell);

// A field for a CSV line separated by ASeparator, quoted when it holds the separator, a quote,
// a control character or blanks at its ends.
std::string CsvField(std::string_view AText, char ASeparator);

// A spreadsheet takes a cell that begins with "=", "+", "-" or "@" for a formula. GuardFormula
// puts an apostrophe before such a text (and before one that begins with apostrophes followed
// by one of them); UnguardFormula takes it away again.
std::string GuardFormula(std::string_view AText);
std::string UnguardFormula(std::string_view AText);

// How the bytes of a table are read.
enum class TCsvEncoding {
  Utf8,
  Utf16,  // the byte order from the mark, little-endian without one
  Utf16Le,
  Utf16Be,
  Cp1251,
};
// The encoding a name as people type it stands for ("utf-8", "UTF16", "cp1251", "windows-1251",
// ...), ignoring case; nothing for a name it does not know.
std::optional<TCsvEncoding> CsvEncodingByName(std::string_view AName);

struct TImportOptions {
  std::string CsvFile;
  // As given on the command line (terminal encoding); the section defaults to the CSV file's
  // name without its extension, the others to the table's settings rows, then to defaults.
  std::optional<std::string> Section, Format, Display, Delimit;
  std::string Output;                    // empty: standard output
  std::optional<char> Separator;         // nothing: found from the table
  std::optional<TCsvEncoding> Encoding;  // nothing: found from the bytes
};

// Converts the table to a section and writes it (CRLF line ends), after telling on the error
// stream how it read the file. Problems go to the error stream with their CSV line numbers.
// Returns 0, 1 (written, with warnings) or 2 (refused, nothing written).
int RunImport(const TConsole &AConsole, const TImportOptions &AOptions);

}  // namespace vok::tool
