// Shared pieces of the fuzz targets: checks that abort (so that libFuzzer records the input),
// and the walk that asks a loaded dictionary and the reference dictionary of tools/bench,
// loaded from the same lines, the same questions.
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
#include "tools/bench/ReferenceLookup.h"

#define VOK_CHECK(ACond)                                                                   \
  do {                                                                                     \
    if (!(ACond)) {                                                                        \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #ACond);       \
      std::abort();                                                                        \
    }                                                                                      \
  } while (0)

namespace vok::fuzz {

using bench::ReferenceLines;
using bench::TRefLines;
using bench::TReferenceLookup;
using test::TMemoryText;

// Levels and entries beyond these are walked only in part, and the reference, which scans its
// lists, is asked only what it answers from levels of at most MaxLinearLevel entries, to keep
// runs fast.
constexpr int MaxScanLevels = 24;
constexpr int MaxScanItems = 48;
constexpr int MaxLinearLevel = 600;

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

// True when every level of the reference from 0 to ALevel holds at most MaxLinearLevel entries:
// what its answers about a code of level ALevel scan.
inline bool ShortLevels(const TReferenceLookup &R, int ALevel) {
  for (int K = 0; K <= ALevel && K < R.GroupCount(); ++K)
    if (R.GetLevelItemCount(K) > MaxLinearLevel) return false;
  return true;
}

// True when the reference holds at most MaxLinearLevel entries and extra texts in all, so that
// it may scan them all for every code asked.
inline bool FewEntries(const TReferenceLookup &R) {
  std::size_t Entries = R.ExtraList().size();
  for (int K = 0; K < R.GroupCount(); ++K) Entries += R.Level(K).size();
  return Entries <= static_cast<std::size_t>(MaxLinearLevel);
}

// Queries with any code: no crash, texts within 255 characters, consistent answers, and the
// reference's answers where its scans stay short.
inline void QueryCode(const TLookup &L, const TReferenceLookup &R, int32_t ACode) {
  const int G = L.GetGroupId(ACode);
  VOK_CHECK(G >= 0 && G < L.GroupCount() && G == R.GetGroupId(ACode));
  const bool Exists = L.ItemExists(ACode);
  const std::string Text = L.GetItemText(ACode), Display = L.GetItemString(ACode), Extra = L.GetItemExtra(ACode);
  VOK_CHECK(Text.size() <= MaxShortLen && Display.size() <= MaxShortLen && Extra.size() <= MaxShortLen);
  VOK_CHECK(Exists || (Text.empty() && Display.empty()));
  std::vector<std::string> Prev;
  L.GetPrevGroups(ACode, Prev);
  VOK_CHECK(Prev.size() == static_cast<std::size_t>(G));
  for (int K = -1; K <= L.GroupCount() && K < MaxScanLevels; ++K)
    VOK_CHECK(L.SetGroupId(ACode, K) == R.SetGroupId(ACode, K));
  ExpectOutOfRange([&] { L.SetGroupId(ACode, -2); });
  if (ShortLevels(R, G)) {
    std::vector<std::string> RefPrev;
    R.GetPrevGroups(ACode, RefPrev);
    VOK_CHECK(Text == R.GetItemText(ACode) && Display == R.GetItemString(ACode) && Prev == RefPrev);
  }
  if (FewEntries(R)) VOK_CHECK(Exists == R.ItemExists(ACode) && Extra == R.GetItemExtra(ACode));
}

// Walks a dictionary after a load beside the reference loaded from the same lines: the
// settings, every level, entries, the code and group indexes against the reference's scans,
// the display strings, and queries outside every range.
inline void ExerciseLookup(const TLookup &L, const TReferenceLookup &R) {
  VOK_CHECK(L.Ready() == R.Ready());
  if (!L.Ready()) {
    VOK_CHECK(L.GroupCount() == 0 && L.GetItemText(0).empty() && L.GetItemString(0).empty());
    return;
  }
  const int N = L.GroupCount();
  VOK_CHECK(N >= 1 && static_cast<std::size_t>(N) == L.Formats().size() && L.Formats() == R.Formats());
  VOK_CHECK(L.VokName() == R.VokName() && L.VokPath() == R.VokPath());
  VOK_CHECK(L.Display() == R.Display() && L.Delimiter() == R.Delimiter());
  VOK_CHECK(L.Display().size() <= MaxShortLen && L.Delimiter().size() <= MaxShortLen);
  for (int Level : {-1, N, INT_MIN, INT_MAX}) {
    ExpectOutOfRange([&] { L.GetLevelItemCount(Level); });
    ExpectOutOfRange([&] { L.GetLevelItem(Level, 0); });
    TCodeList List;
    ExpectOutOfRange([&] { L.LoadGroup(Level, 0, List); });
    VOK_CHECK(L.GetLevelDivisor(Level) == 1);
  }
  for (int32_t Code : {0, -1, 1, INT_MIN, INT_MAX}) QueryCode(L, R, Code);
  for (int K = 0; K < N; ++K) {
    const int32_t Divisor = L.GetLevelDivisor(K);
    const int Count = L.GetLevelItemCount(K);
    VOK_CHECK(Count == R.GetLevelItemCount(K));
    ExpectOutOfRange([&] { L.GetLevelItem(K, -1); });
    ExpectOutOfRange([&] { L.GetLevelItem(K, Count); });
    if (K >= MaxScanLevels) continue;
    VOK_CHECK(Divisor == R.GetLevelDivisor(K));
    for (int I = 0; I < Count && I < MaxScanItems; ++I) {
      const TLookupItem Item = L.GetLevelItem(K, I);
      const TReferenceLookup::TItem RefItem = R.GetLevelItem(K, I);
      VOK_CHECK(Item.Code == RefItem.Code && Item.Text == RefItem.Text);
      VOK_CHECK(Item.Code == L.LevelItemCode(K, I) && Item.Text == L.LevelItemText(K, I));
      VOK_CHECK(Item.Text.size() <= MaxShortLen);
      VOK_CHECK(L.GetGroupId(Item.Code) == K && L.ItemExists(Item.Code));
      // The code index gives the first entry of the code in file order, which the reference
      // finds among the entries walked so far, however long the level.
      VOK_CHECK(L.GetItemText(Item.Code) == R.GetItemText(Item.Code));
      QueryCode(L, R, Item.Code);
      if (Item.Code != INT_MAX) QueryCode(L, R, Item.Code + 1);
      // The group index gives the entries whose fields above the level match, in file order.
      TCodeList Group;
      L.LoadGroup(K, Item.Code, Group);
      VOK_CHECK(Group.Count() >= 2);
      VOK_CHECK(Group[Group.Count() - 1].Code == UndefinedValueCode &&
                Group[Group.Count() - 1].Text == UndefinedValueText);
      if (Count <= MaxLinearLevel) {
        TCodeList RefGroup;
        R.LoadGroup(K, Item.Code, RefGroup);
        VOK_CHECK(Group.Count() == RefGroup.Count());
        for (int J = 0; J < Group.Count(); ++J)
          VOK_CHECK(Group[J].Code == RefGroup[J].Code && Group[J].Text == RefGroup[J].Text);
      }
    }
  }
}

// Loads a copy of ALines into the reference as LoadVokEx does, walks ALookup beside it, and
// returns the lines the reference left in the copy.
inline TRefLines ExerciseBesideReference(const TLookup &ALookup, std::string_view AFile, const TRefLines &ALines,
                                         std::string_view AName, std::string_view AAlias, std::string_view AFilter) {
  TRefLines Rest = ALines;
  TReferenceLookup Reference;
  Reference.LoadVokEx(AFile, &Rest, AName, AAlias, AFilter);
  ExerciseLookup(ALookup, Reference);
  return Rest;
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
