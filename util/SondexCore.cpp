#include "util/SondexCore.h"

#include <limits>

#include "lookup/TextOps.h"

namespace vok {

namespace {

// Returns the best score of sliding the shorter word along the longer one, at least 0.
// The first word is the longer one only when strictly longer, so equal words get one
// aligned placement.
int64_t PairScore(std::string_view AWord1, std::string_view AWord2) {
  const bool FirstLonger = AWord1.size() > AWord2.size();
  const std::string_view Longer = FirstLonger ? AWord1 : AWord2;
  const std::string_view Shorter = FirstLonger ? AWord2 : AWord1;
  const size_t ShortLen = Shorter.size();
  const int64_t Perfect = static_cast<int64_t>(ShortLen);

  int64_t Best = 0;
  for (size_t K = 0; K + ShortLen <= Longer.size() && Best < Perfect; ++K) {
    int64_t Sum = 0;
    for (size_t I = 0; I < ShortLen; ++I) Sum += Shorter[I] == Longer[K + I] ? 1 : -1;
    if (Sum > Best) Best = Sum;
  }
  return Best;
}

}  // namespace

TSondex::TSondex() { fIsDelimiter.fill(false); }

void TSondex::SetParse(std::string_view ADelimiters) {
  fDelimiters.assign(ADelimiters.data(), ADelimiters.size());
  fIsDelimiter.fill(false);
  for (char C : fDelimiters) fIsDelimiter[static_cast<unsigned char>(C)] = true;
}

void TSondex::SplitWords(std::string_view AText, int32_t AMinLength, std::vector<std::string_view> &AWords) const {
  const size_t N = AText.size();
  size_t I = 0;
  while (I < N) {
    while (I < N && IsDelimiter(AText[I])) ++I;
    const size_t Start = I;
    while (I < N && !IsDelimiter(AText[I])) ++I;
    const size_t Len = I - Start;
    if (Len > 0 && static_cast<int64_t>(Len) > AMinLength) AWords.push_back(AText.substr(Start, Len));
  }
}

int TSondex::Compare(std::string_view AText1, std::string_view AText2, int32_t AMinLength) const {
  const std::string Upper1 = UpperCase(AText1);
  const std::string Upper2 = UpperCase(AText2);

  std::vector<std::string_view> Words1;
  std::vector<std::string_view> Words2;
  SplitWords(Upper1, AMinLength, Words1);
  if (Words1.empty()) return 0;
  SplitWords(Upper2, AMinLength, Words2);

  constexpr int64_t Most = std::numeric_limits<int32_t>::max();
  int64_t Total = 0;
  for (std::string_view A : Words1) {
    for (std::string_view B : Words2) {
      Total += PairScore(A, B);
      if (Total >= Most) return static_cast<int>(Most);
    }
  }
  return static_cast<int>(Total);
}

}  // namespace vok
