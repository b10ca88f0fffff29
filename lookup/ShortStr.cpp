#include "lookup/ShortStr.h"

#include <cstdint>

namespace vok {

namespace {
inline bool IsBlankChar(char C) { return static_cast<unsigned char>(C) <= 32; }

int HexDigit(char C) {
  if (C >= '0' && C <= '9') return C - '0';
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

std::string_view TrimView(std::string_view S) {
  std::size_t B = 0, E = S.size();
  while (B < E && IsBlankChar(S[B])) ++B;
  while (E > B && IsBlankChar(S[E - 1])) --E;
  return S.substr(B, E - B);
}

std::optional<int32_t> TryStrToInt(std::string_view S) {
  std::size_t I = 0;
  while (I < S.size() && S[I] == ' ') ++I;
  bool Negative = false;
  if (I < S.size() && (S[I] == '-' || S[I] == '+')) Negative = S[I++] == '-';
  int Base = 10;
  if (I < S.size() && (S[I] == '$' || S[I] == 'x' || S[I] == 'X')) {
    Base = 16;
    ++I;
  } else if (I + 1 < S.size() && S[I] == '0' && (S[I + 1] == 'x' || S[I + 1] == 'X')) {
    Base = 16;
    I += 2;
  }
  if (I == S.size()) return std::nullopt;
  const int64_t Limit = Negative ? int64_t(INT32_MAX) + 1 : int64_t(INT32_MAX);
  int64_t Value = 0;
  if (Base == 10) {
    for (; I < S.size(); ++I) {
      const unsigned D = static_cast<unsigned char>(S[I]) - unsigned('0');
      if (D > 9) return std::nullopt;
      Value = Value * 10 + D;
      if (Value > Limit) return std::nullopt;
    }
  } else {
    for (; I < S.size(); ++I) {
      const int D = HexDigit(S[I]);
      if (D < 0) return std::nullopt;
      Value = Value * 16 + D;
      if (Value > Limit) return std::nullopt;
    }
  }
  return static_cast<int32_t>(Negative ? -Value : Value);
}

std::string ReplaceAll(std::string_view S, std::string_view AOldPattern,
                       std::string_view ANewPattern) {
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
