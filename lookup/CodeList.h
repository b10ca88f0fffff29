// A list of (text, code) rows: unsorted in insertion order, or sorted by text ignoring case
// by the user's locale, either ignoring duplicates or putting a new equal text before the
// earlier ones. Dictionary operations fill it; the dialogs show it row for row.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vok {

struct TCodeRow {
  std::string Text;
  int32_t Code;
};

enum class TDuplicates { Accept, Ignore };

class TCodeList {
 public:
  TCodeList() = default;
  TCodeList(bool ASorted, TDuplicates ADuplicates) : fSorted(ASorted), fDuplicates(ADuplicates) {}

  // Adds a row by the list's ordering and duplicate rules; returns its position, or -1 when
  // a sorted list that ignores duplicates already holds an equal text.
  int Add(std::string_view AText, int32_t ACode);
  // Adds ARows, in their order, as one Add each would: the same rows in the same places, in
  // n log n instead of a shift of the list per row.
  void AddAll(std::vector<TCodeRow> ARows);
  void Clear() { fRows.clear(); }
  // Replaces every row by ARows, which the caller has put in this list's order already.
  void Assign(std::vector<TCodeRow> ARows) { fRows = std::move(ARows); }

  int Count() const { return static_cast<int>(fRows.size()); }
  bool Empty() const { return fRows.empty(); }
  const TCodeRow &operator[](int AIndex) const { return fRows.at(static_cast<std::size_t>(AIndex)); }
  const std::vector<TCodeRow> &Rows() const { return fRows; }

 private:
  bool fSorted = false;
  TDuplicates fDuplicates = TDuplicates::Accept;
  std::vector<TCodeRow> fRows;
};

}  // namespace vok
