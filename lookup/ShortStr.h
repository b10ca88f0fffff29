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

// True when S is empty or holds only blanks and control characters (codes up to 32).
bool IsBlank(std::string_view S);

// S without leading and trailing characters of code up to 32.
std::string_view TrimView(std::string_view S);
inline std::string Trim(std::string_view S) { return std::string(TrimView(S)); }

// The standard integer conversion: leading spaces (not tabs), an optional sign, then decimal
// digits or a hexadecimal number after "$", "x", "X" or "0x"; nothing may follow, and the
// value must fit a 32-bit signed integer. Returns nothing when the text does not convert.
std::optional<int32_t> TryStrToInt(std::string_view S);

// Every occurrence of AOldPattern in S replaced by ANewPattern, left to right, inserted text
// never searched again; the result is cut at 255 characters. An empty pattern is never found.
std::string ReplaceAll(std::string_view S, std::string_view AOldPattern,
                       std::string_view ANewPattern);

}  // namespace vok
