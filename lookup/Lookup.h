// One loaded dictionary: items with 32-bit codes and texts, arranged in levels by the digits
// of their codes, read from one section of a .vok file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lookup/CodeList.h"
#include "lookup/ShortStr.h"

namespace vok {

// The row that ends every non-empty level list: "(Значение не определено)", code -1.
extern const char *const UndefinedValueText;
constexpr int32_t UndefinedValueCode = -1;

struct TLookupItem {
  int32_t Code;
  std::string Text;
};

// Lines of one dictionary section as the loaders hand them around.
using TLines = std::vector<std::string>;

// Fills AList with the lines of the first section named AName (found ignoring case) of the
// file AFile; the list stays empty when there is no such section. Throws EInOutError.
void ReadSection(const std::string &AFile, std::string_view AName, TLines &AList);

class TLookup {
 public:
  TLookup() = default;
  TLookup(const TLookup &) = delete;
  TLookup &operator=(const TLookup &) = delete;

  // Not ready; every level, width, extra text and setting released.
  void Clear();

  // Reads section AVokName of AVokFile and loads it; success shows only in Ready().
  void LoadVok(const std::string &AVokFile, std::string_view AVokName,
               std::string_view AVokAlias, std::string_view AFilter);
  // Loads from the caller's section lines, removing the three header lines it used.
  // ATempList may be null (the load then fails). Success shows only in Ready().
  void LoadVokEx(std::string_view AVokFile, TLines *ATempList, std::string_view AVokName,
                 std::string_view AVokAlias, std::string_view AFilter);

  const std::string &VokName() const { return fVokName; }
  const std::string &VokPath() const { return fVokPath; }
  int GroupCount() const { return static_cast<int>(fGroups.size()); }
  bool Ready() const { return fReady; }
  const std::vector<int32_t> &Formats() const { return fFormats; }
  const std::string &Display() const { return fDisplay; }
  const std::string &Delimiter() const { return fDelimiter; }

  // Level of a code from its digits alone, 0 to GroupCount()-1.
  int GetGroupId(int32_t AItemId) const;
  // The code with every field below level AGroupId cleared (AGroupId from -1 up).
  int32_t SetGroupId(int32_t AItemId, int AGroupId) const;
  bool ItemExists(int32_t AItemId) const;
  // Text of the first item with this code on its level, cut at 255; empty when none.
  std::string GetItemText(int32_t AItemId) const;
  // Number of entries of a level; throws std::out_of_range outside 0..GroupCount()-1.
  int GetLevelItemCount(int ALevel) const;
  // 10^(digits below ALevel) as its low 32 bits; 1 outside 0..GroupCount()-1.
  int32_t GetLevelDivisor(int ALevel) const;
  // Fills AStringList with the items of level NestIndex that share FilterId's fields above
  // that level, then the undefined-value row when any was found. Throws std::out_of_range.
  void LoadGroup(int NestIndex, int32_t FilterId, TCodeList &AStringList) const;
  // Fills AStrings with the texts of the item's ancestors, level 0 first.
  void GetPrevGroups(int32_t AItemId, std::vector<std::string> &AStrings) const;

  // Extra text of the first item with this code, cut at 255; empty when it has none.
  std::string GetItemExtra(int32_t AItemId) const;
  // Entry AIndex of level ALevel in file order; throws std::out_of_range outside the ranges.
  TLookupItem GetLevelItem(int ALevel, int AIndex) const;
  // The display string: the template with each level's placeholder replaced by the text of
  // the item's ancestor on that level; empty when no item has the code.
  std::string GetItemString(int32_t AItemId) const;

 private:
  struct TEntry {
    int32_t Code;
    uint32_t Offset;  // into fStore
    uint32_t Length;
  };
  using TLevel = std::vector<TEntry>;

  std::string_view TextOf(const TEntry &AEntry) const {
    return std::string_view(fStore).substr(AEntry.Offset, AEntry.Length);
  }
  TEntry Store(int32_t ACode, std::string_view AText);
  // First entry of ALevel with this code, or null.
  const TEntry *FindInLevel(int ALevel, int32_t ACode) const;
  const TEntry *FindExtra(int32_t ACode) const;
  // Sum of the widths of the levels AFrom..GroupCount()-1 (0 when AFrom is past the last).
  int64_t DigitsFrom(int AFrom) const;

  std::string fVokName;
  std::string fVokPath;
  bool fReady = false;
  std::vector<TLevel> fGroups;
  TLevel fExtraList;
  std::vector<int32_t> fFormats;
  std::string fDisplay;
  std::string fDelimiter;
  std::string fStore;  // every item and extra text, back to back
};

// 10 to the power ADigits as a 64-bit integer; 1 for ADigits <= 0. Powers beyond 10^18 do
// not fit; they are held at 10^18, which gives every 32-bit code the same quotient and
// remainder as the true power would.
int64_t Pow10(int64_t ADigits);

}  // namespace vok
