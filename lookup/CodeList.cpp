#include "lookup/CodeList.h"

#include "lookup/TextOps.h"

namespace vok {

int TCodeList::Add(std::string_view AText, int32_t ACode) {
  if (!fSorted) {
    fRows.push_back({std::string(AText), ACode});
    return Count() - 1;
  }
  // Binary search for the first row not less than AText: a new equal text goes before the
  // rows already there.
  int L = 0, H = Count() - 1;
  bool Found = false;
  while (L <= H) {
    const int I = (L + H) / 2;
    const int C = CompareText(fRows[static_cast<std::size_t>(I)].Text, AText);
    if (C < 0) {
      L = I + 1;
    } else {
      H = I - 1;
      if (C == 0) Found = true;
    }
  }
  if (Found && fDuplicates == TDuplicates::Ignore) return -1;
  fRows.insert(fRows.begin() + L, {std::string(AText), ACode});
  return L;
}

}  // namespace vok
