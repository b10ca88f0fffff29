#include "lookup/CodeList.h"

#include <algorithm>
#include <iterator>

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

void TCodeList::AddAll(std::vector<TCodeRow> ARows) {
  if (!fSorted) {
    fRows.insert(fRows.end(), std::make_move_iterator(ARows.begin()), std::make_move_iterator(ARows.end()));
    return;
  }
  const auto Less = [](const TCodeRow &A, const TCodeRow &B) { return CompareText(A.Text, B.Text) < 0; };
  if (fDuplicates == TDuplicates::Ignore) {
    // The first of equal texts stays: the rows there already, then the new ones in their order.
    std::vector<TCodeRow> All = std::move(fRows);
    All.insert(All.end(), std::make_move_iterator(ARows.begin()), std::make_move_iterator(ARows.end()));
    std::stable_sort(All.begin(), All.end(), Less);
    All.erase(std::unique(All.begin(), All.end(),
                          [](const TCodeRow &A, const TCodeRow &B) { return CompareText(A.Text, B.Text) == 0; }),
              All.end());
    fRows = std::move(All);
  } else {
    // Each new text goes before its equals: the new ones last first, then those there already.
    std::reverse(ARows.begin(), ARows.end());
    ARows.insert(ARows.end(), std::make_move_iterator(fRows.begin()), std::make_move_iterator(fRows.end()));
    std::stable_sort(ARows.begin(), ARows.end(), Less);
    fRows = std::move(ARows);
  }
}

}  // namespace vok
