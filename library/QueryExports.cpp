// Reading a loaded dictionary: texts, counts, items by position, the children of an item one
// by one, level divisors and a search of item texts.
#include <windows.h>

#include <string>

#include "library/VokLibrary.h"
#include "lookup/TextOps.h"
#include "win32/ExportGuard.h"

using namespace vok;

namespace {

// Writes into ABuffer what AText makes of the dictionary named AVokName; the buffer is
// emptied first and stays empty when the dictionary is not registered.
template <typename F>
void WriteText(const char *AVokName, char *ABuffer, F &&AText) {
  ClearBuffer(ABuffer);
  Guarded([&] {
    if (const TLookup *L = FindVok(Arg(AVokName))) WriteBuffer(ABuffer, AText(*L));
  });
}

// A level counted from 1 at the export interface, as the dictionary's 0-based level, or -1
// when it lies outside 1..GroupCount.
int LevelIndex(const TLookup &L, int32_t ALevel) { return ALevel >= 1 && ALevel <= L.GroupCount() ? ALevel - 1 : -1; }

int32_t PositiveOrZero(int32_t ACode) { return ACode < 0 ? 0 : ACode; }

}  // namespace

VOK_EXPORT void GetVokPath(const char *AVokName, char *ABuffer) {
  WriteText(AVokName, ABuffer, [](const TLookup &L) { return L.VokPath(); });
}

VOK_EXPORT void GetVokString(const char *AVokName, int32_t AItemId, char *ABuffer) {
  WriteText(AVokName, ABuffer, [=](const TLookup &L) { return L.GetItemString(AItemId); });
}

VOK_EXPORT void GetVokStr(const char *AVokName, int32_t AItemId, char *ABuffer) {
  WriteText(AVokName, ABuffer, [=](const TLookup &L) { return L.ItemTextView(AItemId); });
}

VOK_EXPORT void GetVokExtra(const char *AVokName, int32_t AItemId, char *ABuffer) {
  WriteText(AVokName, ABuffer, [=](const TLookup &L) {
    // An extra text that the host reads as empty (its first byte is a zero byte) is none.
    const std::string_view Extra = L.ItemExtraView(AItemId);
    return Extra.empty() || Extra.front() == '\0' ? L.ItemTextView(AItemId) : Extra;
  });
}

VOK_EXPORT int32_t GetGroupCount(const char *AVokName) {
  return Guarded(0, [&] {
    const TLookup *L = FindVok(Arg(AVokName));
    return L ? L->GroupCount() : 0;
  });
}

VOK_EXPORT int32_t GetItemCount(const char *AVokName, int32_t ALevel) {
  return Guarded(0, [&] {
    const TLookup *L = FindVok(Arg(AVokName));
    const int Level = L ? LevelIndex(*L, ALevel) : -1;
    return Level < 0 ? 0 : L->GetLevelItemCount(Level);
  });
}

VOK_EXPORT int32_t GetItem(const char *AVokName, int32_t ALevel, int32_t AItemIndex) {
  return Guarded(0, [&] {
    const TLookup *L = FindVok(Arg(AVokName));
    const int Level = L ? LevelIndex(*L, ALevel) : -1;
    if (Level < 0 || AItemIndex < 1 || AItemIndex > L->GetLevelItemCount(Level)) return 0;
    return L->GetLevelItem(Level, AItemIndex - 1).Code;
  });
}

VOK_EXPORT int32_t FindFirstItem(const char *AVokName, int32_t AItemId) {
  return Guarded(0, [&] {
    TLibraryState &S = Library();
    S.Cursor = 0;
    // A refused start also ends the enumeration before it, so FindNextItem never hands out
    // a child of an earlier item.
    const TLookup *L = FindVok(Arg(AVokName));
    const int Level = L ? L->GetGroupId(AItemId) : 0;
    if (!L || Level + 1 >= L->GroupCount()) {
      if (S.ItemList) S.ItemList->Clear();
      return 0;
    }
    if (!S.ItemList) S.ItemList = std::make_unique<TCodeList>();
    L->LoadGroup(Level + 1, AItemId, *S.ItemList);
    return S.ItemList->Empty() ? 0 : PositiveOrZero((*S.ItemList)[0].Code);
  });
}

VOK_EXPORT int32_t FindNextItem() {
  return Guarded(0, [] {
    TLibraryState &S = Library();
    if (!S.ItemList || S.Cursor + 1 >= S.ItemList->Count()) return 0;
    ++S.Cursor;
    return PositiveOrZero((*S.ItemList)[S.Cursor].Code);
  });
}

VOK_EXPORT void FindCloseItem() {
  Guarded([] { Library().ItemList.reset(); });
}

VOK_EXPORT int32_t GetGroupFilter(const char *AVokName, int32_t ALevel) {
  return Guarded(1, [&] {
    const TLookup *L = FindVok(Arg(AVokName));
    return L ? L->GetLevelDivisor(ALevel >= 1 ? ALevel - 1 : -1) : 1;
  });
}

// The codes of the items whose text holds APattern, ignoring case, each followed by ";".
// The room is what the caller filled the buffer with before the call; the result never
// exceeds it, and the search stops at the first code that would not fit.
VOK_EXPORT void GetLikeValues(const char *AVokName, const char *APattern, char *ABuffer) {
  if (!ABuffer) return;
  const std::size_t Capacity = std::strlen(ABuffer);
  ClearBuffer(ABuffer);
  Guarded([&] {
    if (const TLookup *L = FindVok(Arg(AVokName))) WriteBuffer(ABuffer, LikeValues(*L, Arg(APattern), Capacity));
  });
}
