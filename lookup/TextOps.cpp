#include "lookup/TextOps.h"

namespace vok {

TUpperMatcher::TUpperMatcher(std::string_view APattern) : fTable(UpperCaseTable()), fPattern(APattern) {
  UpperCaseInPlace(fPattern);
}

bool TUpperMatcher::Matches(std::string_view AText) const {
  if (fPattern.empty() || AText.size() < fPattern.size()) return false;
  if (!fTable) return UpperCase(AText).find(fPattern) != std::string::npos;
  fScratch.resize(AText.size());
  for (std::size_t I = 0; I < AText.size(); ++I)
    fScratch[I] = static_cast<char>(fTable[static_cast<unsigned char>(AText[I])]);
  return fScratch.find(fPattern) != std::string::npos;
}

}  // namespace vok
