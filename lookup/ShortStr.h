// Small text helpers shared by the dictionary core and the exports.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vok {

// Longest text that a short string holds; longer texts are cut after this many characters.
constexpr std::size_t MaxShortLen = 255;

inline std::string_view ShortView(std::string_view S) { return S.substr(0, MaxShortLen); }
inline std::string ShortStr(std::string_view S) { return std::string(ShortView(S)); }

// True for a blank or a control character (codes up to 32): what blank lines hold and trimming
// removes.
inline bool IsBlankChar(char C) { return static_cast<unsigned char>(C) <= 32; }

// C with an ASCII capital letter made small; every other byte as it is.
inline char AsciiLower(char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C + 32) : C; }

// True when A and B hold the same bytes but for the case of ASCII letters; no other letter is
// folded. The rule of dictionary names, and the spelling of header keys in every locale.
bool SameAsciiText(std::string_view A, std::string_view B);

// True when S is empty or holds only blanks and control characters.
bool IsBlank(std::string_view S);

// S without leading and trailing blanks and control characters.
std::string_view TrimView(std::string_view S);
inline std::string Trim(std::string_view S) { return std::string(TrimView(S)); }

// Why a text does not pass the integer conversion.
enum class TIntFault {
  None,  // it converts
  Empty,
  OnlySpaces,
  BlankBefore,  // a tab or a control character where only spaces may stand, at At
  NoDigits,     // nothing after the sign or the hexadecimal prefix
  NotADigit,    // At is the first character that is no digit of the number's base
  BlankAfter,   // digits, then only blanks and control characters from At on
  OutOfRange,   // digits only, beyond the 32-bit range
};

// What the integer conversion makes of a text: its value, or why it has none.
struct TIntReading {
  std::optional<int32_t> Value;
  TIntFault Fault = TIntFault::None;
  std::size_t At = 0;  // where the fault lies
  bool Hex = false;    // the digits were read as hexadecimal
};

// The standard integer conversion: leading spaces (not tabs), an optional sign, then decimal
// digits or a hexadecimal number after "$", "x", "X" or "0x"; nothing may follow, and the
// value must fit a 32-bit signed integer. Returns nothing when the text does not convert.
std::optional<int32_t> TryStrToInt(std::string_view S);
// The same conversion, telling why a text does not convert.
TIntReading ReadInt(std::string_view S);

// Every occurrence of AOldPattern in S replaced by ANewPattern, left to right, inserted text
// never searched again; the result is cut at 255 characters. An empty pattern is never found.
std::string ReplaceAll(std::string_view S, std::string_view AOldPattern, std::string_view ANewPattern);

}  // namespace vok
