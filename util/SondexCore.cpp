#include "util/SondexCore.h"

#include <limits>

#include "lookup/TextOps.h"

namespace vok {

namespace {

// Returns the best score of sliding the shorter word along the longer one, at least 0.
// The first word is the longer one only when strictly longer, so equal words get one
// aligned placement.
int64_t PairScore(std::string_view AWord1, std::string_view AWord2) {
  const bool firstLonger = AWord1.size() > AWord2.size();
  const std::string_view longer = firstLonger ? AWord1 : AWord2;
  const std::string_view shorter = firstLonger ? AWord2 : AWord1;
  const size_t shortLen = shorter.size();
  const int64_t perfect = static_cast<int64_t>(shortLen);

  int64_t best = 0;
  for (size_t k = 0; k + shortLen <= longer.size() && best < perfect; ++k) {
    int64_t sum = 0;
    for (size_t i = 0; i < shortLen; ++i)
      sum += shorter[i] == longer[k + i] ? 1 : -1;
    if (sum > best)
      best = sum;
  }
  return best;
}

}  // namespace

TSondex::TSondex() { fIsDelimiter.fill(false); }

void TSondex::SetParse(std::string_view ADelimiters) {
  fDelimiters.assign(ADelimiters.data(), ADelimiters.size());
  fIsDelimiter.fill(false);
  for (char c : fDelimiters)
    fIsDelimiter[static_cast<unsigned char>(c)] = true;
}

void TSondex::SplitWords(std::string_view AText, int32_t AMinLength,
                         std::vector<std::string_view> &AWords) const {
  const size_t n = AText.size();
  size_t i = 0;
  while (i < n) {
    while (i < n && IsDelimiter(AText[i]))
      ++i;
    const size_t start = i;
    while (i < n && !IsDelimiter(AText[i]))
      ++i;
    const size_t len = i - start;
    if (len > 0 && static_cast<int64_t>(len) > AMinLength)
      AWords.push_back(AText.substr(start, len));
  }
}

int TSondex::Compare(std::string_view AText1, std::string_view AText2,
                     int32_t AMinLength) const {
  const std::string upper1 = UpperCase(AText1);
  const std::string upper2 = UpperCase(AText2);

  std::vector<std::string_view> words1;
  std::vector<std::string_view> words2;
  SplitWords(upper1, AMinLength, words1);
  if (words1.empty())
    return 0;
  SplitWords(upper2, AMinLength, words2);

  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  int64_t total = 0;
  for (std::string_view a : words1) {
    for (std::string_view b : words2) {
      total += PairScore(a, b);
      if (total >= kMax)
        return static_cast<int>(kMax);
    }
  }
  return static_cast<int>(total);
}

}  // namespace vok
