#include "lookup/ShortStr.h"

#include <algorithm>
#include <cstdint>

namespace vok {

namespace {
int DigitValue(char C, bool AHex) {
  if (C >= '0' && C <= '9') return C - '0';
  if (!AHex) return -1;
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}
}  // namespace

bool IsBlank(std::string_view S) {
  for (char C : S)
    if (!IsBlankChar(C)) return false;
  return true;
}

bool SameAsciiText(std::string_view A, std::string_view B) {
  return A.size() == B.size() &&
         std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) { return AsciiLower(X) == AsciiLower(Y); });
}

std::string_view TrimView(std::string_view S) {
  std::size_t B = 0, E = S.size();
  while (B < E && IsBlankChar(S[B])) ++B;
  while (E > B && IsBlankChar(S[E - 1])) --E;
  return S.substr(B, E - B);
}

namespace {
// The integer conversion; with AWhy, AReading also receives whether the number was hexadecimal
// and, when the text does not convert, why.
template <bool AWhy>
std::optional<int32_t> ParseInt(std::string_view S, TIntReading &AReading) {
  std::size_t I = 0;
  auto Fail = [&](TIntFault AFault) -> std::optional<int32_t> {
    if constexpr (AWhy) {
      AReading.Fault = AFault;
      AReading.At = I;
    }
    return std::nullopt;
  };
  while (I < S.size() && S[I] == ' ') ++I;
  if (I == S.size()) return Fail(S.empty() ? TIntFault::Empty : TIntFault::OnlySpaces);
  // Without AWhy, such a character fails the conversion where the digits begin.
  if constexpr (AWhy)
    if (IsBlankChar(S[I])) return Fail(TIntFault::BlankBefore);
  bool Negative = false;
  if (S[I] == '-' || S[I] == '+') Negative = S[I++] == '-';
  bool Hex = false;
  if (I < S.size() && (S[I] == '$' || S[I] == 'x' || S[I] == 'X')) {
    Hex = true;
    ++I;
  } else if (I + 1 < S.size() && S[I] == '0' && (S[I + 1] == 'x' || S[I + 1] == 'X')) {
    Hex = true;
    I += 2;
  }
  if constexpr (AWhy) AReading.Hex = Hex;
  if (I == S.size()) return Fail(TIntFault::NoDigits);
  const int64_t Limit = Negative ? int64_t(INT32_MAX) + 1 : int64_t(INT32_MAX);
  const std::size_t Start = I;
  int64_t Value = 0;
  if (Hex) {
    for (; I < S.size() && Value <= Limit; ++I) {
      const int D = DigitValue(S[I], true);
      if (D < 0) break;
      Value = Value * 16 + D;
    }
  } else {
    for (; I < S.size() && Value <= Limit; ++I) {
      const unsigned D = static_cast<unsigned char>(S[I]) - unsigned('0');
      if (D > 9) break;
      Value = Value * 10 + D;
    }
  }
  if (I == S.size() && Value <= Limit) return static_cast<int32_t>(Negative ? -Value : Value);
  if constexpr (!AWhy) return std::nullopt;
  // Digits beyond the range are read on: a character that is no digit is the fault then.
  while (I < S.size() && DigitValue(S[I], Hex) >= 0) ++I;
  if (I == S.size()) return Fail(TIntFault::OutOfRange);
  return Fail(I > Start && IsBlank(S.substr(I)) ? TIntFault::BlankAfter : TIntFault::NotADigit);
}
}  // namespace

std::optional<int32_t> TryStrToInt(std::string_view S) {
  TIntReading Unused;
  return ParseInt<false>(S, Unused);
}

TIntReading ReadInt(std::string_view S) {
  TIntReading R;
  R.Value = ParseInt<true>(S, R);
  return R;
}

std::string ReplaceAll(std::string_view S, std::string_view AOldPattern, std::string_view ANewPattern) {
  if (AOldPattern.empty()) return ShortStr(S);
  std::size_t P = S.find(AOldPattern);
  if (P == std::string_view::npos) return ShortStr(S);
  std::string Result;
  while (P != std::string_view::npos) {
    Result.append(S.substr(0, P)).append(ANewPattern);
    if (Result.size() > MaxShortLen) Result.resize(MaxShortLen);
    S.remove_prefix(P + AOldPattern.size());
    P = S.find(AOldPattern);
  }
  Result.append(S);
  if (Result.size() > MaxShortLen) Result.resize(MaxShortLen);
  return Result;
}

}  // namespace vok
