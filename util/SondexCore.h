// Sondex: fuzzy comparison of two short texts word by word.
//
// Both texts are upper-cased by the user's locale and split into words at the characters
// of the delimiter set. Every word of the first text that is longer than the minimum
// length is matched against every such word of the second text; a pair scores the best
// placement of the shorter word along the longer one (+1 per equal byte, -1 per unequal,
// never below 0). The result is the sum over all pairs, so higher means more alike.
//
// Platform-neutral: the locale comes only through lookup/TextOps.h.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vok {

class TSondex {
 public:
  TSondex();

  // Replaces the whole delimiter set; empty text leaves no delimiters, so each
  // non-empty text becomes a single word.
  void SetParse(std::string_view ADelimiters);

  const std::string &Delimiters() const { return fDelimiters; }

  // Returns the summed pair score of the words of both texts longer than AMinLength;
  // 0 when either text has no such word, INT32_MAX at most.
  int Compare(std::string_view AText1, std::string_view AText2, int32_t AMinLength) const;

 private:
  std::string fDelimiters;
  std::array<bool, 256> fIsDelimiter;

  bool IsDelimiter(char AChar) const { return fIsDelimiter[static_cast<unsigned char>(AChar)]; }

  // Appends to AWords the views into AText of its words longer than AMinLength.
  void SplitWords(std::string_view AText, int32_t AMinLength, std::vector<std::string_view> &AWords) const;
};

}  // namespace vok
