// Windows-1251 <-> UTF-8 for the dictionary tool: .vok files are 1251, terminals and CSV
// files from spreadsheets are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vok::tool {

// Why a UTF-8 text could not be converted: the first offending character.
struct TUtf8Problem {
  std::size_t Offset = 0;  // byte offset in the UTF-8 text
  uint32_t CodePoint = 0;  // the character, when Malformed is false
  bool Malformed = false;  // not valid UTF-8 at Offset
};

// Converts UTF-8 text to Windows-1251. Returns false (AOut then partial) at the first character
// that the code page cannot hold or at malformed UTF-8, described in AProblem when given.
bool Utf8To1251(std::string_view AText, std::string &AOut, TUtf8Problem *AProblem = nullptr);

// Converts Windows-1251 text to UTF-8; the one unassigned byte 0x98 becomes U+FFFD.
std::string Cp1251ToUtf8(std::string_view AText);

// True when AText is well-formed UTF-8.
bool IsUtf8(std::string_view AText);

// "U+00E9" for a code point.
std::string CodePointName(uint32_t ACodePoint);

}  // namespace vok::tool
