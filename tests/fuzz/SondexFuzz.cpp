// The fuzzy word comparison: symmetric, case-blind, within the bounds its definition gives.
//
// The input's lines: the delimiter set, the minimum word length, the two texts.
#include <algorithm>
#include <cstddef>
#include <limits>

#include "lookup/TextOps.h"
#include "tests/fuzz/FuzzCommon.h"
#include "util/SondexCore.h"

using namespace vok;
using namespace vok::fuzz;

namespace {

// Lengths of the words of the upper-cased text longer than AMinLength.
std::vector<int64_t> WordLengths(const std::string &AText, const std::string &ADelimiters, int32_t AMinLength) {
  std::vector<int64_t> R;
  int64_t Len = 0;
  auto EndWord = [&] {
    if (Len > 0 && Len > AMinLength) R.push_back(Len);
    Len = 0;
  };
  for (char C : UpperCase(AText)) {
    if (ADelimiters.find(C) == std::string::npos)
      ++Len;
    else
      EndWord();
  }
  EndWord();
  return R;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *AData, std::size_t ASize) {
  const std::vector<std::string> Lines =
      ReferenceLines(std::string_view(reinterpret_cast<const char *>(AData), ASize));
  auto LineAt = [&](std::size_t I) { return I < Lines.size() ? Lines[I] : std::string(); };
  const std::string Delimiters = LineAt(0), Text1 = LineAt(2), Text2 = LineAt(3);
  const int32_t MinLength = TryStrToInt(LineAt(1)).value_or(0);

  TSondex Sondex;
  Sondex.SetParse(Delimiters);
  VOK_CHECK(Sondex.Delimiters() == Delimiters);
  const int Score = Sondex.Compare(Text1, Text2, MinLength);
  VOK_CHECK(Score == Sondex.Compare(Text2, Text1, MinLength));
  VOK_CHECK(Score == Sondex.Compare(UpperCase(Text1), Text2, MinLength));

  // Each pair scores from 0 to the shorter word's length; a word against itself scores
  // its length.
  constexpr int64_t Max = std::numeric_limits<int32_t>::max();
  const std::vector<int64_t> Words1 = WordLengths(Text1, Delimiters, MinLength);
  const std::vector<int64_t> Words2 = WordLengths(Text2, Delimiters, MinLength);
  int64_t Bound = 0, Own = 0;
  for (int64_t A : Words1) {
    Own += A;
    for (int64_t B : Words2) Bound += std::min(A, B);
  }
  VOK_CHECK(Score >= 0 && Score <= std::min(Bound, Max));
  if (Words1.empty() || Words2.empty()) VOK_CHECK(Score == 0);
  VOK_CHECK(Sondex.Compare(Text1, Text1, MinLength) >= std::min(Own, Max));
  VOK_CHECK(Sondex.Compare(Text1, std::string(), MinLength) == 0);
  return 0;
}
