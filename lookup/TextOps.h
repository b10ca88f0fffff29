// Locale-dependent text operations used by the dictionary core.
//
// All texts are 8-bit strings in the system's ANSI code page. The DLL implements these
// with the Win32 locale calls (CompareStringA, CharUpperBuffW); native builds use a
// Windows-1251 table, so the core behaves the same on both sides for Cyrillic text.
#pragma once

#include <string>
#include <string_view>

namespace vok {

// True when A and B are equal ignoring letter case by the user's locale.
bool SameText(std::string_view A, std::string_view B);

// Compares ignoring case by the user's locale; <0, 0 or >0 like strcmp.
int CompareText(std::string_view A, std::string_view B);

// Upper-cases S in place by the user's locale.
void UpperCaseInPlace(std::string &S);

inline std::string UpperCase(std::string_view S) {
  std::string R(S);
  UpperCaseInPlace(R);
  return R;
}

// UTF-8 text in the ANSI code page; a character the code page cannot hold becomes "?".
std::string Utf8ToAnsi(std::string_view AText);
// ANSI code page text in UTF-8.
std::string AnsiToUtf8(std::string_view AText);

// The upper case of every byte of the ANSI code page, built once from the system's own case
// mapping; null when the code page has multi-byte characters and texts must be upper-cased
// whole (UpperCaseInPlace).
const unsigned char *UpperCaseTable();

// Tells whether texts hold a pattern, ignoring case by the user's locale, as a search of
// upper-cased texts would. An empty pattern is held by no text.
class TUpperMatcher {
 public:
  explicit TUpperMatcher(std::string_view APattern);
  bool Empty() const { return fPattern.empty(); }
  bool Matches(std::string_view AText) const;

 private:
  const unsigned char *fTable;
  std::string fPattern;  // upper-cased
  mutable std::string fScratch;
};

}  // namespace vok
