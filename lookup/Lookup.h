// One loaded dictionary: items with 32-bit codes and texts, arranged in levels by the digits
// of their codes, read from one section of a .vok file.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "lookup/CodeList.h"
#include "lookup/ShortStr.h"

namespace vok {

enum class THeaderKey;

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
  TLookup();
  ~TLookup();
  TLookup(const TLookup &) = delete;
  TLookup &operator=(const TLookup &) = delete;

  // Not ready; every level, width, extra text and setting released.
  void Clear();

  // Reads section AVokName of AVokFile and loads it; success shows only in Ready().
  void LoadVok(const std::string &AVokFile, std::string_view AVokName, std::string_view AVokAlias,
               std::string_view AFilter);
  // Loads from the caller's section lines, removing the three header lines it used.
  // ATempList may be null (the load then fails). Success shows only in Ready().
  void LoadVokEx(std::string_view AVokFile, TLines *ATempList, std::string_view AVokName, std::string_view AVokAlias,
                 std::string_view AFilter);

  // The same load fed one line at a time, for readers that stream a file: BeginLoad, then
  // AddLine for every line of the section in order, then EndLoad, which sets Ready().
  // The header lines are the first of each key; the caller keeps no list.
  // The same with the file's path (cut at 255) shared with the other dictionaries read from it.
  void BeginLoad(std::shared_ptr<const std::string> AVokPath, std::string_view AVokName, std::string_view AVokAlias,
                 std::string_view AFilter);
  void BeginLoad(std::string_view AVokFile, std::string_view AVokName, std::string_view AVokAlias,
                 std::string_view AFilter);
  void AddLine(std::string_view ALine);
  void EndLoad();

  const std::string &VokName() const { return fVokName; }
  const std::string &VokPath() const { return fVokPath ? *fVokPath : NoPath(); }
  int GroupCount() const { return static_cast<int>(fGroups.size()); }
  bool Ready() const { return fReady; }
  // The digit width of each level, level 0 first.
  std::vector<int32_t> Formats() const;
  const std::string &Display() const { return fDisplay; }
  const std::string &Delimiter() const { return fDelimiter; }

  // Level of a code from its digits alone, 0 to GroupCount()-1.
  int GetGroupId(int32_t AItemId) const;
  // The code with every field below level AGroupId cleared (AGroupId from -1 up).
  int32_t SetGroupId(int32_t AItemId, int AGroupId) const;
  bool ItemExists(int32_t AItemId) const;
  // Text of the first item with this code on its level, cut at 255; empty when none.
  std::string GetItemText(int32_t AItemId) const { return std::string(ItemTextView(AItemId)); }
  // The same without copying, valid while the dictionary stays loaded.
  std::string_view ItemTextView(int32_t AItemId) const;
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
  std::string GetItemExtra(int32_t AItemId) const { return std::string(ItemExtraView(AItemId)); }
  // The same without copying, valid while the dictionary stays loaded.
  std::string_view ItemExtraView(int32_t AItemId) const;
  // Entry AIndex of level ALevel in file order; throws std::out_of_range outside the ranges.
  TLookupItem GetLevelItem(int ALevel, int AIndex) const;
  // The code and the text (cut at 255, valid while the dictionary is loaded) of entry AIndex
  // of level ALevel, without copying; the caller keeps to the ranges.
  int32_t LevelItemCode(int ALevel, int AIndex) const { return Entry(ALevel, AIndex).Code; }
  std::string_view LevelItemText(int ALevel, int AIndex) const { return ShortView(TextOf(Entry(ALevel, AIndex))); }
  // The display string: the template with each level's placeholder replaced by the text of
  // the item's ancestor on that level; empty when no item has the code.
  std::string GetItemString(int32_t AItemId) const;

 private:
  // One item: its code, its text and its extra text (null when blank), both in fStore.
  struct TEntry {
    const char *Text;
    const char *Extra;
    int32_t Code;
    uint32_t Length, ExtraLength;
  };

  // A level's items in file order, in blocks of 1,024 that never move once full, so that growing
  // copies little and a level costs memory in proportion to its items. The first few entries
  // stand in the object itself; beyond them the first block grows while the level is loaded.
  // Pointers to entries are taken after that.
  class TEntries {
   public:
    static constexpr uint32_t BlockBits = 10;
    void push_back(const TEntry &AEntry);
    std::size_t size() const { return fCount; }
    const TEntry &operator[](std::size_t AIndex) const {
      if (AIndex < BlockSize) return fFirst ? fFirst[AIndex] : fInline[AIndex];
      return fBlocks[(AIndex >> BlockBits) - 1][AIndex & (BlockSize - 1)];
    }

   private:
    static constexpr std::size_t BlockSize = std::size_t(1) << BlockBits;
    static constexpr std::size_t InlineRoom = 8;
    TEntry fInline[InlineRoom];                      // the first entries, until fFirst is made
    std::unique_ptr<TEntry[]> fFirst;                // the first block, fFirstRoom entries
    std::vector<std::unique_ptr<TEntry[]>> fBlocks;  // the blocks after it, whole
    std::size_t fCount = 0;
    std::size_t fFirstRoom = 0;
  };

  // Levels of at most this many entries are scanned instead of indexed.
  static constexpr std::size_t SmallLevel = 16;

  // Code to the position of its first entry in file order (open addressing).
  class TCodeIndex {
   public:
    // Indexes AEntries; ALaterExtras receives the codes whose first entry has no extra text
    // but a later entry of the same code has one.
    void Build(const TEntries &AEntries, std::unordered_map<int32_t, const TEntry *> &ALaterExtras);
    const TEntry *Find(const TEntries &AEntries, int32_t ACode) const;

   private:
    std::vector<uint32_t> fSlots;  // position + 1, 0 for an empty slot
    uint32_t fShift = 32;
  };

  // The entries of a level grouped by code div the level's power (the fields of the level
  // and the levels above it), each group in file order.
  class TGroupIndex {
   public:
    void Build(const TEntries &AEntries, int64_t APower);
    // Calls AVisit(entry) for every entry whose quotient equals AFilterId's, in file order.
    template <typename F>
    void ForEach(const TEntries &AEntries, int32_t AFilterId, F &&AVisit) const;

   private:
    struct TGroup {
      int64_t Key;
      uint32_t Start, Count;
    };
    int FindGroup(int64_t AKey) const;
    int64_t fPower = 1;
    std::vector<TGroup> fGroups;
    std::vector<uint32_t> fSlots;  // group + 1
    uint32_t fShift = 32;
    std::vector<uint32_t> fOrder;  // entry positions, group after group
  };

  struct TLevel {
    int32_t Width = 0;  // its digit width, from the "Format=" line
    int64_t Below = 1;  // 10^(the digits of the levels below it)
    TEntries Items;
    TCodeIndex Codes;
    TGroupIndex Groups;
  };

  // Keeps every text of the dictionary in large blocks that never move.
  class TTextStore {
   public:
    const char *Add(std::string_view AText);
    void Clear();

   private:
    static constexpr std::size_t FirstBlock = 256;
    char fFirst[FirstBlock];  // the first block: a small dictionary's texts cost no allocation
    std::vector<std::unique_ptr<char[]>> fBlocks;
    char *fCurrent = nullptr;  // the block being filled, fSize bytes, fUsed of them taken
    std::size_t fUsed = 0, fSize = 0;
  };

  struct TLoadState {
    TLoadState() {}  // declared, so that the optional below may build it while the class is open
    std::string Name, Alias, Filter;
    bool Filtered = false;
    bool Failed = false;
    bool Taken[3] = {};  // per header key (Format, Display, Delimit): its line was taken
    // Items read before the widths were known, or after such an item: placed at the end so
    // that every level keeps the order of the file.
    std::vector<TEntry> Pending;
  };

  const TEntry &Entry(int ALevel, int AIndex) const {
    return fGroups[static_cast<std::size_t>(ALevel)].Items[static_cast<std::size_t>(AIndex)];
  }
  static std::string_view TextOf(const TEntry &AEntry) { return std::string_view(AEntry.Text, AEntry.Length); }
  // First entry of ALevel with this code, or null.
  const TEntry *FindInLevel(int ALevel, int32_t ACode) const;
  static const std::string &NoPath();
  // Sum of the widths of the levels AFrom..GroupCount()-1 (0 when AFrom is past the last).
  int64_t DigitsFrom(int AFrom) const;
  // Takes the value of a header line when it is the first line of its key.
  void TakeHeaderLine(THeaderKey AKey, std::string_view AValue);
  // Reads the digit widths and makes the levels; false when a width does not convert.
  bool SetFormat(std::string_view AValue);
  void Place(const TEntry &AEntry);
  void Build();

  std::string fVokName;
  std::shared_ptr<const std::string> fVokPath;  // the same string for every section of a file
  bool fReady = false;
  std::vector<TLevel> fGroups;
  std::unordered_map<int32_t, const TEntry *> fLaterExtras;
  std::string fDisplay;
  std::string fDelimiter;
  TTextStore fStore;
  std::optional<TLoadState> fLoad;  // only while a load runs
};

// The codes of the items whose text (as GetLevelItem hands it out) holds APattern ignoring
// case, level by level in file order, each followed by ";". The search stops at the first code
// that would take the result beyond ACapacity characters; an empty pattern finds nothing.
std::string LikeValues(const TLookup &ALookup, std::string_view APattern, std::size_t ACapacity);

// 10 to the power ADigits as a 64-bit integer; 1 for ADigits <= 0. Powers beyond 10^18 do
// not fit; they are held at 10^18, which gives every 32-bit code the same quotient and
// remainder as the true power would.
int64_t Pow10(int64_t ADigits);

}  // namespace vok
