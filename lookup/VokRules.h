// The rules of the .vok format that every reader of it follows: which lines are blank, which
// are section headers, header lines and item lines, how such a line splits into its parts, and
// how the lines of a text are scanned for its sections.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "lookup/ShortStr.h"
#include "lookup/TextFile.h"

namespace vok {

// ---- lines ----

// The name inside a trimmed header line "[...]"; false for any other line.
bool HeaderName(std::string_view ATrimmed, std::string_view &AName);
inline bool IsSectionHeader(std::string_view ATrimmed) {
  std::string_view Name;
  return HeaderName(ATrimmed, Name);
}

// The keys of the three header lines every section needs.
enum class THeaderKey { Format, Display, Delimit };
constexpr THeaderKey HeaderKeys[] = {THeaderKey::Format, THeaderKey::Display, THeaderKey::Delimit};
// "Format", "Display" or "Delimit".
const char *HeaderKeyName(THeaderKey AKey);
// The header key that AKey (a line's text before its first "=") is, ignoring case, with
// nothing before or after it; nothing when it is none.
std::optional<THeaderKey> HeaderKeyOf(std::string_view AKey);

// How a key that is no header key misses one by blanks: the header key it is once the blanks
// at its ends are removed, and whether they stand only before it (an indented key) rather than
// between it and "=".
struct THeaderKeyMiss {
  THeaderKey Key;
  bool Indented;
};
std::optional<THeaderKeyMiss> HeaderKeyMiss(std::string_view AKey);

// One line of a section as the loaders read it, its parts viewing the line.
struct TSectionLine {
  enum TKind {
    NoKey,   // no "=": ignored
    Item,    // the key converts to a code
    Header,  // the key is a header key
    Other,   // any other key: ignored
  } Kind = NoKey;
  std::string_view Key, Value;  // before and after the first "="
  int32_t Code = 0;             // of an item line
  THeaderKey HeaderKey = THeaderKey::Format;
  // An item line's value cut at its first two "#": the text, the extra text and the tag, the
  // last two empty when there is no "#" part (HasHash false) or no second "#".
  std::string_view Text, Extra, Tag;
  bool HasHash = false;
};
TSectionLine ReadSectionLine(std::string_view ALine);

// Calls AVisit with each piece of a "Format=" value cut at every comma, one width each (an
// empty value is one empty piece), viewing AValue; stops at the first call that returns false.
template <typename F>
void ForEachWidth(std::string_view AValue, F &&AVisit) {
  for (std::size_t From = 0;;) {
    const std::size_t Comma = AValue.find(',', From);
    if (!AVisit(AValue.substr(From, Comma == std::string_view::npos ? Comma : Comma - From))) return;
    if (Comma == std::string_view::npos) return;
    From = Comma + 1;
  }
}

// The same pieces in a list.
std::vector<std::string_view> SplitWidths(std::string_view AValue);

// ---- scanning a text ----
// The loops that read every line are defined here, so that the loaders call ReadLine directly.

// Reads the next line that is not blank (only characters of code up to 32): ALine as it stands
// and ATrimmed trimmed, both valid until the next read; false, and both empty, at the end of the
// text.
inline bool NextNonBlankLine(TTextReader &AReader, std::string_view &ALine, std::string_view &ATrimmed) {
  while (AReader.ReadLine(ALine)) {
    ATrimmed = TrimView(ALine);
    if (!ATrimmed.empty()) return true;
  }
  ALine = ATrimmed = std::string_view();
  return false;
}
// The same, the trimmed line alone.
inline bool NextTrimmedLine(TTextReader &AReader, std::string_view &ALine) {
  std::string_view Line;
  return NextNonBlankLine(AReader, Line, ALine);
}

// Reads AReader up to and including the header of the first section named AName: the first
// line that, trimmed, equals "[AName]" ignoring case. False when no line does.
bool FindSection(TTextReader &AReader, std::string_view AName);
// Reads the next line of the section whose header was read last into ALine as it stands (valid
// until the next read), passing over blank lines; false at the next header, which it reads, or
// at the end of the text.
inline bool NextSectionLine(TTextReader &AReader, std::string_view &ALine) {
  std::string_view Trimmed;
  return NextNonBlankLine(AReader, ALine, Trimmed) && !IsSectionHeader(Trimmed);
}

}  // namespace vok
