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

}  // namespace vok
