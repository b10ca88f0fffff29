// The integer conversion against a plain reference parser, on any text, and round trips
// of every value it gives.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <optional>

#include "tests/fuzz/FuzzCommon.h"

using namespace vok;

namespace {

// Leading spaces, a sign, then "$", "x", "X", "0x" or "0X" and hex digits, or decimal
// digits; the whole text used; the value within 32 bits.
std::optional<int32_t> ReferenceStrToInt(const std::string &S) {
  std::size_t I = S.find_first_not_of(' ');
  if (I == std::string::npos) return std::nullopt;
  bool Negative = false;
  if (S[I] == '+' || S[I] == '-') Negative = S[I++] == '-';
  std::string Digits = S.substr(I);
  const char *Allowed = "0123456789";
  unsigned Base = 10;
  for (const char *Prefix : {"$", "x", "X", "0x", "0X"}) {
    if (Digits.rfind(Prefix, 0) == 0) {
      Digits = Digits.substr(std::string(Prefix).size());
      Allowed = "0123456789abcdefABCDEF";
      Base = 16;
      break;
    }
  }
  if (Digits.empty() || Digits.find_first_not_of(Allowed) != std::string::npos) return std::nullopt;
  Digits.erase(0, std::min(Digits.find_first_not_of('0'), Digits.size()));
  if (Digits.size() > (Base == 16 ? 8u : 10u)) return std::nullopt;
  const unsigned long long Magnitude = Digits.empty() ? 0 : std::stoull(Digits, nullptr, static_cast<int>(Base));
  if (Magnitude > (Negative ? 2147483648ull : 2147483647ull)) return std::nullopt;
  return static_cast<int32_t>(Negative ? -static_cast<long long>(Magnitude) : static_cast<long long>(Magnitude));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *AData, std::size_t ASize) {
  const std::string Text(reinterpret_cast<const char *>(AData), ASize);
  const std::optional<int32_t> Value = TryStrToInt(Text);
  VOK_CHECK(Value == ReferenceStrToInt(Text));
  // A fault exactly when there is no value; the character that is no digit lies in the text.
  const TIntReading Reading = ReadInt(Text);
  VOK_CHECK((Reading.Fault == TIntFault::None) == Value.has_value());
  VOK_CHECK(Reading.Fault != TIntFault::NotADigit || Reading.At < Text.size());
  if (Value) {
    char Hex[16];
    std::snprintf(Hex, sizeof Hex, "$%X", static_cast<uint32_t>(*Value));
    VOK_CHECK(TryStrToInt(std::to_string(*Value)) == Value);
    VOK_CHECK(TryStrToInt("  +" + std::to_string(*Value)).has_value() == (*Value >= 0));
    // Positive hexadecimal texts hold 32 bits only up to $7FFFFFFF.
    VOK_CHECK(TryStrToInt(Hex) == (*Value >= 0 ? Value : std::nullopt));
  }
  // The first bytes as a value: its decimal and hexadecimal forms come back.
  int32_t Raw = 0;
  if (ASize) std::memcpy(&Raw, AData, std::min<std::size_t>(ASize, sizeof Raw));
  VOK_CHECK(TryStrToInt(std::to_string(Raw)) == Raw);
  char Hex[24];
  std::snprintf(Hex, sizeof Hex, "%s0x%llX", Raw < 0 ? "-" : "", std::llabs(static_cast<long long>(Raw)));
  VOK_CHECK(TryStrToInt(Hex) == Raw);
  return 0;
}
