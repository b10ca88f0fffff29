// Shared pieces of the fuzz targets: checks that abort (so that libFuzzer records the input),
// and the queries that walk a loaded dictionary and compare its indexes with plain scans of its
// levels.
#pragma once

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "lookup/CodeList.h"
#include "lookup/Lookup.h"
#include "lookup/ShortStr.h"
#include "tests/common/TestFiles.h"

#define VOK_CHECK(ACond)                                                                   \
  do {                                                                                     \
    if (!(ACond)) {                                                                        \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #ACond);       \
      std::abort();                                                                        \
    }                                                                                      \
  } while (0)

namespace vok::fuzz {

using test::TMemoryText;

// The lines of a text as the readers must split them: at line feeds, every carriage return
// dropped, up to a character 26 that starts a line.
inline std::vector<std::string> ReferenceLines(std::string_view AText) {
  std::vector<std::string> R;
  std::size_t Pos = 0;
  while (Pos < AText.size() && AText[Pos] != 26) {
    std::size_t Lf = AText.find('\n', Pos);
    if (Lf == std::string_view::npos) Lf = AText.size();
    std::string Line;
    for (std::size_t I = Pos; I < Lf; ++I)
      if (AText[I] != '\r') Line += AText[I];
    R.push_back(Line);
    Pos = Lf + 1;
  }
  return R;
}

// ReplaceAll done the slow way: scan left to right, replace, cut at 255 at the end.
inline std::string NaiveReplaceAll(std::string_view S, std::string_view AOld, std::string_view ANew) {
  std::string R;
  for (std::size_t I = 0; I < S.size();) {
    if (!AOld.empty() && S.substr(I, AOld.size()) == AOld) {
      R.append(ANew);
      I += AOld.size();
    } else {
      R += S[I++];
    }
  }
  return R.substr(0, MaxShortLen);
}

// Levels and entries larger than these are queried only in part, to keep runs fast.
constexpr int MaxScanLevels = 24;
constexpr int MaxScanItems = 48;
constexpr int MaxLinearLevel = 600;

// Text of the first entry with code ACode on its level, by a scan in file order; false
// when the level is too long to scan.
inline bool ScanItemText(const TLookup &L, int32_t ACode, std::string &AText) {
  AText.clear();
  const int Level = L.GetGroupId(ACode);
  const int Count = L.GetLevelItemCount(Level);
  if (Count > MaxLinearLevel) return false;
  for (int I = 0; I < Count; ++I)
    if (L.LevelItemCode(Level, I) == ACode) {
      AText = std::string(L.LevelItemText(Level, I));
      return true;
    }
  return true;
}

inline int64_t DigitsFromLevel(const TLookup &L, int ALevel) {
  int64_t S = 0;
  for (std::size_t K = static_cast<std::size_t>(ALevel < 0 ? 0 : ALevel); K < L.Formats().size(); ++K)
    S += L.Formats()[K];
  return S;
}

// The display string of an existing code built from scans of the levels; false when a
// level was too long to scan.
inline bool ReferenceItemString(const TLookup &L, int32_t ACode, std::string &AResult) {
  const int G = L.GetGroupId(ACode);
  std::string R = L.Display();
  bool First = true;
  for (int N = 0; N < L.GroupCount(); ++N) {
    const std::string P = "%" + std::to_string(N + 1);
    std::string Part;
    if (N <= G) {
      if (!ScanItemText(L, L.SetGroupId(ACode, N), Part)) return false;
      if (!First) Part = ShortStr(L.Delimiter() + " " + Part);
    }
    if (!Part.empty() && R.find(P) != std::string::npos) First = false;
    R = NaiveReplaceAll(R, P, Part);
  }
  AResult = R;
  return true;
}

// Calls AQuery and requires it to throw std::out_of_range.
template <typename F>
void ExpectOutOfRange(F &&AQuery) {
  try {
    AQuery();
  } catch (const std::out_of_range &) {
    return;
  }
  VOK_CHECK(!"std::out_of_range expected");
}

// Queries with any code: no crash, texts within 255 characters, consistent answers.
inline void QueryCode(const TLookup &L, int32_t ACode) {
  const int G = L.GetGroupId(ACode);
  VOK_CHECK(G >= 0 && G < L.GroupCount());
  const bool Exists = L.ItemExists(ACode);
  const std::string Text = L.GetItemText(ACode), Display = L.GetItemString(ACode);
  VOK_CHECK(Text.size() <= MaxShortLen && Display.size() <= MaxShortLen);
  VOK_CHECK(Exists || (Text.empty() && Display.empty()));
  VOK_CHECK(L.GetItemExtra(ACode).size() <= MaxShortLen);
  std::vector<std::string> Prev;
  L.GetPrevGroups(ACode, Prev);
  VOK_CHECK(Prev.size() == static_cast<std::size_t>(G));
  for (int K = -1; K <= L.GroupCount() && K < MaxScanLevels; ++K) (void)L.SetGroupId(ACode, K);
  ExpectOutOfRange([&] { L.SetGroupId(ACode, -2); });
}

// Walks a dictionary after a load: every level, entries, the code and group indexes
// against scans, the display strings, and queries outside every range.
inline void ExerciseLookup(const TLookup &L) {
  if (!L.Ready()) {
    VOK_CHECK(L.GroupCount() == 0 && L.GetItemText(0).empty() && L.GetItemString(0).empty());
    return;
  }
  const int N = L.GroupCount();
  VOK_CHECK(N >= 1 && static_cast<std::size_t>(N) == L.Formats().size());
  VOK_CHECK(L.Display().size() <= MaxShortLen && L.Delimiter().size() <= MaxShortLen);
  for (int Level : {-1, N, INT_MIN, INT_MAX}) {
    ExpectOutOfRange([&] { L.GetLevelItemCount(Level); });
    ExpectOutOfRange([&] { L.GetLevelItem(Level, 0); });
    TCodeList List;
    ExpectOutOfRange([&] { L.LoadGroup(Level, 0, List); });
    VOK_CHECK(L.GetLevelDivisor(Level) == 1);
  }
  for (int32_t Code : {0, -1, 1, INT_MIN, INT_MAX}) QueryCode(L, Code);
  for (int K = 0; K < N; ++K) {
    (void)L.GetLevelDivisor(K);
    const int Count = L.GetLevelItemCount(K);
    ExpectOutOfRange([&] { L.GetLevelItem(K, -1); });
    ExpectOutOfRange([&] { L.GetLevelItem(K, Count); });
    if (K >= MaxScanLevels) continue;
    const int64_t Power = Pow10(DigitsFromLevel(L, K));
    for (int I = 0; I < Count && I < MaxScanItems; ++I) {
      const TLookupItem Item = L.GetLevelItem(K, I);
      VOK_CHECK(Item.Code == L.LevelItemCode(K, I) && Item.Text == L.LevelItemText(K, I));
      VOK_CHECK(Item.Text.size() <= MaxShortLen);
      VOK_CHECK(L.GetGroupId(Item.Code) == K);
      VOK_CHECK(L.ItemExists(Item.Code));
      // The code index gives the first entry of the code in file order.
      int First = 0;
      while (L.LevelItemCode(K, First) != Item.Code) ++First;
      VOK_CHECK(L.GetItemText(Item.Code) == L.LevelItemText(K, First));
      std::string Expected;
      if (ReferenceItemString(L, Item.Code, Expected)) VOK_CHECK(L.GetItemString(Item.Code) == Expected);
      QueryCode(L, Item.Code);
      if (Item.Code != INT_MAX) QueryCode(L, Item.Code + 1);
      // The group index gives the entries whose fields above the level match, in file order.
      TCodeList Group;
      L.LoadGroup(K, Item.Code, Group);
      VOK_CHECK(Group.Count() >= 2);
      VOK_CHECK(Group[Group.Count() - 1].Code == UndefinedValueCode &&
                Group[Group.Count() - 1].Text == UndefinedValueText);
      if (Count <= MaxLinearLevel) {
        int Row = 0;
        for (int J = 0; J < Count; ++J) {
          if (L.LevelItemCode(K, J) / Power != Item.Code / Power) continue;
          VOK_CHECK(Row < Group.Count() - 1);
          VOK_CHECK(Group[Row].Code == L.LevelItemCode(K, J));
          VOK_CHECK(ShortView(Group[Row].Text) == L.LevelItemText(K, J));
          ++Row;
        }
        VOK_CHECK(Row == Group.Count() - 1);
      }
    }
  }
}

// Everything a dictionary hands out, as one text, for comparing two loads.
inline std::string Digest(const TLookup &L) {
  std::string D = L.Ready() ? "ready\n" : "failed\n";
  if (!L.Ready()) return D;
  D += L.VokName() + '\n' + L.VokPath() + '\n' + L.Display() + '\n' + L.Delimiter() + '\n';
  for (int32_t W : L.Formats()) D += std::to_string(W) + ',';
  D += '\n';
  for (int K = 0; K < L.GroupCount(); ++K)
    for (int I = 0; I < L.GetLevelItemCount(K); ++I) {
      const int32_t Code = L.LevelItemCode(K, I);
      D += std::to_string(K) + ':' + std::to_string(Code) + '=' + std::string(L.LevelItemText(K, I)) + '#' +
           L.GetItemExtra(Code) + '\n';
    }
  return D;
}

}  // namespace vok::fuzz
