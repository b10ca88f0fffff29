#include "lookup/Lookup.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <stdexcept>

#include "lookup/TextFile.h"
#include "lookup/TextOps.h"
#include "lookup/VokRules.h"

namespace vok {

const char *const UndefinedValueText =
    "(\xC7\xED\xE0\xF7\xE5\xED\xE8\xE5 \xED\xE5 \xEE\xEF\xF0\xE5\xE4\xE5\xEB\xE5\xED\xEE)";

int64_t Pow10(int64_t ADigits) {
  static constexpr int64_t Powers[19] = {1,
                                         10,
                                         100,
                                         1000,
                                         10000,
                                         100000,
                                         1000000,
                                         10000000,
                                         100000000,
                                         1000000000,
                                         10000000000,
                                         100000000000,
                                         1000000000000,
                                         10000000000000,
                                         100000000000000,
                                         1000000000000000,
                                         10000000000000000,
                                         100000000000000000,
                                         1000000000000000000};
  return Powers[ADigits <= 0 ? 0 : ADigits > 18 ? 18 : ADigits];
}

namespace {

// Signals a failed load inside the loader's guard.
struct ELoadFailed {};

// Position of the first of ALines that is a header line of AKey; AValue receives its value.
// Throws ELoadFailed when no line is.
std::size_t FindKey(const TLines &ALines, THeaderKey AKey, std::string_view &AValue) {
  for (std::size_t I = 0; I < ALines.size(); ++I) {
    const TSectionLine L = ReadSectionLine(ALines[I]);
    if (L.Kind == TSectionLine::Header && L.HeaderKey == AKey) {
      AValue = L.Value;
      return I;
    }
  }
  throw ELoadFailed{};
}

}  // namespace

void ReadSection(const std::string &AFile, std::string_view AName, TLines &AList) {
  AList.clear();
  TTextReader Reader(AFile);
  std::string_view Line;
  if (!FindSection(Reader, AName)) return;
  while (NextSectionLine(Reader, Line)) AList.emplace_back(Line);
}

// ---- text store ----

const char *TLookup::TTextStore::Add(std::string_view AText) {
  constexpr std::size_t LargestBlock = 1 << 20;
  if (AText.empty()) return "";
  if (AText.size() > LargestBlock / 4) {
    // A block of its own; the block being filled goes on filling.
    fBlocks.emplace_back(new char[AText.size()]);
    std::memcpy(fBlocks.back().get(), AText.data(), AText.size());
    return fBlocks.back().get();
  }
  if (!fCurrent && AText.size() <= FirstBlock) {
    fCurrent = fFirst;
    fSize = FirstBlock;
    fUsed = 0;
  }
  if (!fCurrent || fUsed + AText.size() > fSize) {
    // The next block is twice the last (up to the largest), and never smaller than the text
    // that opens it.
    fSize = std::max(fCurrent ? std::min(fSize * 2, LargestBlock) : FirstBlock, AText.size());
    fBlocks.emplace_back(new char[fSize]);
    fCurrent = fBlocks.back().get();
    fUsed = 0;
  }
  char *P = fCurrent + fUsed;
  std::memcpy(P, AText.data(), AText.size());
  fUsed += AText.size();
  return P;
}

void TLookup::TTextStore::Clear() {
  fBlocks.clear();
  fBlocks.shrink_to_fit();
  fCurrent = nullptr;
  fUsed = fSize = 0;
}

// ---- indexes ----

namespace {
// Number of bits of a power-of-two table with at least twice as many slots as entries.
uint32_t TableBits(std::size_t ACount) {
  uint32_t Bits = 3;
  while ((std::size_t(1) << Bits) < 2 * ACount && Bits < 31) ++Bits;
  return Bits;
}
inline uint32_t HashCode(int32_t ACode, uint32_t AShift) {
  return (static_cast<uint32_t>(ACode) * 0x9E3779B1u) >> AShift;
}
inline uint32_t HashKey(int64_t AKey, uint32_t AShift) {
  const uint64_t H = static_cast<uint64_t>(AKey) * 0x9E3779B97F4A7C15ull;
  return static_cast<uint32_t>(H >> 32) >> AShift;
}
}  // namespace

void TLookup::TEntries::push_back(const TEntry &AEntry) {
  if (fCount < InlineRoom && !fFirst) {
    fInline[fCount++] = AEntry;
    return;
  }
  if (fCount < BlockSize) {
    if (fCount == std::max(fFirstRoom, InlineRoom)) {
      // The first block doubles, from twice the entries in the object up to a whole block.
      fFirstRoom = std::min<std::size_t>(2 * fCount, BlockSize);
      std::unique_ptr<TEntry[]> Bigger(new TEntry[fFirstRoom]);
      const TEntry *Old = fFirst ? fFirst.get() : fInline;
      std::copy(Old, Old + fCount, Bigger.get());
      fFirst = std::move(Bigger);
    }
    fFirst[fCount++] = AEntry;
    return;
  }
  const std::size_t Block = (fCount >> BlockBits) - 1;
  if (Block == fBlocks.size()) fBlocks.emplace_back(new TEntry[BlockSize]);
  fBlocks[Block][fCount & (BlockSize - 1)] = AEntry;
  ++fCount;
}

void TLookup::TCodeIndex::Build(const TEntries &AEntries, std::unordered_map<int32_t, const TEntry *> &ALaterExtras) {
  fSlots.clear();
  if (AEntries.size() <= SmallLevel) {
    // A scan of a few entries is as quick as the table and costs no memory.
    for (std::size_t I = 0; I < AEntries.size(); ++I) {
      const TEntry &E = AEntries[I];
      if (!E.Extra) continue;
      std::size_t First = 0;
      while (AEntries[First].Code != E.Code) ++First;
      if (First < I && !AEntries[First].Extra) ALaterExtras.try_emplace(E.Code, &E);
    }
    return;
  }
  const uint32_t Bits = TableBits(AEntries.size());
  fShift = 32 - Bits;
  fSlots.assign(std::size_t(1) << Bits, 0);
  const uint32_t Mask = (1u << Bits) - 1;
  for (uint32_t I = 0; I < AEntries.size(); ++I) {
    const TEntry &E = AEntries[I];
    for (uint32_t S = HashCode(E.Code, fShift);; S = (S + 1) & Mask) {
      if (!fSlots[S]) {
        fSlots[S] = I + 1;
        break;
      }
      const TEntry &First = AEntries[fSlots[S] - 1];
      if (First.Code != E.Code) continue;
      if (!First.Extra && E.Extra) ALaterExtras.try_emplace(E.Code, &E);
      break;
    }
  }
}

const TLookup::TEntry *TLookup::TCodeIndex::Find(const TEntries &AEntries, int32_t ACode) const {
  if (fSlots.empty()) {
    for (std::size_t I = 0; I < AEntries.size(); ++I)
      if (AEntries[I].Code == ACode) return &AEntries[I];
    return nullptr;
  }
  const uint32_t Mask = static_cast<uint32_t>(fSlots.size() - 1);
  for (uint32_t S = HashCode(ACode, fShift); fSlots[S]; S = (S + 1) & Mask) {
    const TEntry &E = AEntries[fSlots[S] - 1];
    if (E.Code == ACode) return &E;
  }
  return nullptr;
}

int TLookup::TGroupIndex::FindGroup(int64_t AKey) const {
  if (fSlots.empty()) return -1;
  const uint32_t Mask = static_cast<uint32_t>(fSlots.size() - 1);
  for (uint32_t S = HashKey(AKey, fShift); fSlots[S]; S = (S + 1) & Mask)
    if (fGroups[fSlots[S] - 1].Key == AKey) return static_cast<int>(fSlots[S] - 1);
  return -1;
}

void TLookup::TGroupIndex::Build(const TEntries &AEntries, int64_t APower) {
  fPower = APower;
  fGroups.clear();
  fSlots.clear();
  fOrder.clear();
  if (AEntries.size() <= SmallLevel) return;  // scanned in file order
  fSlots.assign(8, 0);
  fShift = 32 - 3;
  // Puts group AGroup into the slot table, which holds no equal key yet.
  auto Insert = [this](uint32_t AGroup) {
    const uint32_t Mask = static_cast<uint32_t>(fSlots.size() - 1);
    uint32_t S = HashKey(fGroups[AGroup].Key, fShift);
    while (fSlots[S]) S = (S + 1) & Mask;
    fSlots[S] = AGroup + 1;
  };
  std::vector<uint32_t> GroupOf(AEntries.size());
  for (uint32_t I = 0; I < AEntries.size(); ++I) {
    const int64_t Key = AEntries[I].Code / fPower;
    int G = FindGroup(Key);
    if (G < 0) {
      G = static_cast<int>(fGroups.size());
      fGroups.push_back({Key, 0, 0});
      if (2 * fGroups.size() > fSlots.size()) {
        fSlots.assign(fSlots.size() * 2, 0);
        --fShift;
        for (uint32_t Old = 0; Old < fGroups.size(); ++Old) Insert(Old);
      } else {
        Insert(static_cast<uint32_t>(G));
      }
    }
    GroupOf[I] = static_cast<uint32_t>(G);
    ++fGroups[static_cast<std::size_t>(G)].Count;
  }
  uint32_t Start = 0;
  for (TGroup &G : fGroups) {
    G.Start = Start;
    Start += G.Count;
    G.Count = 0;
  }
  fOrder.resize(AEntries.size());
  for (uint32_t I = 0; I < AEntries.size(); ++I) {
    TGroup &G = fGroups[GroupOf[I]];
    fOrder[G.Start + G.Count++] = I;
  }
  fGroups.shrink_to_fit();
}

template <typename F>
void TLookup::TGroupIndex::ForEach(const TEntries &AEntries, int32_t AFilterId, F &&AVisit) const {
  if (fSlots.empty()) {
    const int64_t Key = AFilterId / fPower;
    for (std::size_t I = 0; I < AEntries.size(); ++I)
      if (AEntries[I].Code / fPower == Key) AVisit(AEntries[I]);
    return;
  }
  const int G = FindGroup(AFilterId / fPower);
  if (G < 0) return;
  const TGroup &Group = fGroups[static_cast<std::size_t>(G)];
  for (uint32_t I = Group.Start; I < Group.Start + Group.Count; ++I) AVisit(AEntries[fOrder[I]]);
}

// ---- loading ----

TLookup::TLookup() = default;
TLookup::~TLookup() = default;

void TLookup::Clear() {
  fReady = false;
  fVokName.clear();
  fVokPath.reset();
  fGroups.clear();
  fLaterExtras.clear();
  fDisplay.clear();
  fDelimiter.clear();
  fStore.Clear();
  fLoad.reset();
}

const std::string &TLookup::NoPath() {
  static const std::string None;
  return None;
}

void TLookup::BeginLoad(std::string_view AVokFile, std::string_view AVokName, std::string_view AVokAlias,
                        std::string_view AFilter) {
  BeginLoad(std::make_shared<const std::string>(ShortStr(AVokFile)), AVokName, AVokAlias, AFilter);
}

void TLookup::BeginLoad(std::shared_ptr<const std::string> AVokPath, std::string_view AVokName,
                        std::string_view AVokAlias, std::string_view AFilter) {
  Clear();
  fLoad.emplace();
  TLoadState &L = *fLoad;
  L.Name = ShortStr(TrimView(AVokName));
  L.Alias = ShortStr(TrimView(AVokAlias));
  if (L.Alias.empty()) L.Alias = L.Name;
  L.Failed = L.Name.empty();
  L.Filtered = AFilter != "*";
  if (L.Filtered) L.Filter = ShortStr(";" + std::string(AFilter) + ";");
  fVokPath = std::move(AVokPath);
}

void TLookup::TakeHeaderLine(THeaderKey AKey, std::string_view AValue) {
  TLoadState &L = *fLoad;
  bool &Taken = L.Taken[static_cast<int>(AKey)];
  if (Taken) return;
  Taken = true;
  if (AKey == THeaderKey::Format) {
    L.Failed |= !SetFormat(AValue);
  } else {
    L.Failed |= AValue.size() > MaxShortLen;
    (AKey == THeaderKey::Display ? fDisplay : fDelimiter) = ShortStr(AValue);
  }
}

void TLookup::AddLine(std::string_view ALine) {
  if (!fLoad || fLoad->Failed) return;
  TLoadState &L = *fLoad;
  const TSectionLine Line = ReadSectionLine(ALine);
  if (Line.Kind == TSectionLine::Header) TakeHeaderLine(Line.HeaderKey, Line.Value);
  if (Line.Kind != TSectionLine::Item) return;
  if (L.Filtered && Line.HasHash) {
    const std::string_view Tag = Line.Tag;
    if (Tag.size() + 2 > L.Filter.size() || L.Filter.find(";" + std::string(Tag) + ";") == std::string::npos) return;
  }
  // Extra texts are handed out cut at 255 only, and judged blank on that part.
  const std::string_view Text = Line.Text, Extra = ShortView(Line.Extra);
  const bool HasExtra = !IsBlank(Extra);
  const TEntry E{fStore.Add(Text), HasExtra ? fStore.Add(Extra) : nullptr, Line.Code,
                 static_cast<uint32_t>(Text.size()), HasExtra ? static_cast<uint32_t>(Extra.size()) : 0};
  if (fGroups.empty() || !L.Pending.empty())
    L.Pending.push_back(E);
  else
    Place(E);
}

bool TLookup::SetFormat(std::string_view AValue) {
  fGroups.resize(static_cast<std::size_t>(std::count(AValue.begin(), AValue.end(), ',')) + 1);
  bool Converted = true;
  std::size_t K = 0;
  ForEachWidth(AValue, [&](std::string_view APiece) {
    const auto Width = TryStrToInt(APiece);
    if (Width) fGroups[K++].Width = *Width;
    return Converted = Width.has_value();
  });
  if (!Converted) {
    fGroups.clear();
    return false;
  }
  for (K = 0; K < fGroups.size(); ++K) fGroups[K].Below = Pow10(DigitsFrom(static_cast<int>(K) + 1));
  return true;
}

void TLookup::Place(const TEntry &AEntry) {
  fGroups[static_cast<std::size_t>(GetGroupId(AEntry.Code))].Items.push_back(AEntry);
}

void TLookup::EndLoad() {
  if (!fLoad) return;
  try {
    TLoadState &L = *fLoad;
    const bool Missing = std::find(std::begin(L.Taken), std::end(L.Taken), false) != std::end(L.Taken);
    if (L.Failed || Missing) throw ELoadFailed{};
    Build();
    fVokName = L.Alias;
    fLoad.reset();
    fReady = true;
  } catch (...) {
    Clear();
  }
}

// Places the pending items on their levels and indexes every level.
void TLookup::Build() {
  for (const TEntry &E : fLoad->Pending) Place(E);
  fLoad->Pending.clear();
  for (std::size_t K = 0; K < fGroups.size(); ++K) {
    fGroups[K].Codes.Build(fGroups[K].Items, fLaterExtras);
    fGroups[K].Groups.Build(fGroups[K].Items, Pow10(DigitsFrom(static_cast<int>(K))));
  }
}

void TLookup::LoadVok(const std::string &AVokFile, std::string_view AVokName, std::string_view AVokAlias,
                      std::string_view AFilter) {
  Clear();
  try {
    TTextReader Reader(AVokFile);
    const bool Found = FindSection(Reader, AVokName);
    BeginLoad(AVokFile, AVokName, AVokAlias, AFilter);
    std::string_view Line;
    while (Found && NextSectionLine(Reader, Line)) AddLine(Line);
    Reader.Close();
    EndLoad();
  } catch (...) {
    Clear();
  }
}

void TLookup::LoadVokEx(std::string_view AVokFile, TLines *ATempList, std::string_view AVokName,
                        std::string_view AVokAlias, std::string_view AFilter) {
  Clear();
  if (!ATempList) return;
  try {
    BeginLoad(AVokFile, AVokName, AVokAlias, AFilter);
    if (fLoad->Failed) return Clear();
    for (const std::string &Line : *ATempList) AddLine(Line);
    // The caller's list loses the header lines used, as far as the load got.
    for (const THeaderKey Key : HeaderKeys) {
      std::string_view Value;
      const std::size_t I = FindKey(*ATempList, Key, Value);
      if (Value.size() > MaxShortLen && Key != THeaderKey::Format) break;
      ATempList->erase(ATempList->begin() + static_cast<std::ptrdiff_t>(I));
    }
  } catch (...) {
  }
  EndLoad();
}

std::vector<int32_t> TLookup::Formats() const {
  std::vector<int32_t> R;
  for (const TLevel &L : fGroups) R.push_back(L.Width);
  return R;
}

int64_t TLookup::DigitsFrom(int AFrom) const {
  int64_t S = 0;
  for (std::size_t K = AFrom < 0 ? 0 : static_cast<std::size_t>(AFrom); K < fGroups.size(); ++K) S += fGroups[K].Width;
  return S;
}

int TLookup::GetGroupId(int32_t AItemId) const {
  const int N = static_cast<int>(fGroups.size());
  for (int K = 0; K <= N - 2; ++K)
    if (int64_t(AItemId) % fGroups[static_cast<std::size_t>(K)].Below == 0) return K;
  return N > 0 ? N - 1 : 0;
}

int32_t TLookup::SetGroupId(int32_t AItemId, int AGroupId) const {
  if (AGroupId < -1) throw std::out_of_range("List index out of bounds");
  const int64_t Code = AItemId;
  return static_cast<int32_t>(Code - Code % Pow10(DigitsFrom(AGroupId + 1)));
}

const TLookup::TEntry *TLookup::FindInLevel(int ALevel, int32_t ACode) const {
  const TLevel &L = fGroups.at(static_cast<std::size_t>(ALevel));
  return L.Codes.Find(L.Items, ACode);
}

// Every entry stands on the level of its code, so that level alone can hold the code.
bool TLookup::ItemExists(int32_t AItemId) const {
  return !fGroups.empty() && FindInLevel(GetGroupId(AItemId), AItemId);
}

std::string_view TLookup::ItemTextView(int32_t AItemId) const {
  if (fGroups.empty()) return std::string_view();
  const TEntry *E = FindInLevel(GetGroupId(AItemId), AItemId);
  return E ? ShortView(TextOf(*E)) : std::string_view();
}

int TLookup::GetLevelItemCount(int ALevel) const {
  if (ALevel < 0 || ALevel >= GroupCount()) throw std::out_of_range("List index out of bounds");
  return static_cast<int>(fGroups[static_cast<std::size_t>(ALevel)].Items.size());
}

int32_t TLookup::GetLevelDivisor(int ALevel) const {
  if (ALevel < 0 || ALevel >= GroupCount() || ALevel > 255) return 1;
  return static_cast<int32_t>(static_cast<uint32_t>(Pow10(DigitsFrom(ALevel + 1))));
}

void TLookup::LoadGroup(int NestIndex, int32_t FilterId, TCodeList &AStringList) const {
  AStringList.Clear();
  if (NestIndex < 0 || NestIndex >= GroupCount()) throw std::out_of_range("List index out of bounds");
  const TLevel &L = fGroups[static_cast<std::size_t>(NestIndex)];
  std::vector<TCodeRow> Rows;
  L.Groups.ForEach(L.Items, FilterId, [&](const TEntry &E) { Rows.push_back({std::string(TextOf(E)), E.Code}); });
  if (!Rows.empty()) Rows.push_back({UndefinedValueText, UndefinedValueCode});
  AStringList.AddAll(std::move(Rows));
}

void TLookup::GetPrevGroups(int32_t AItemId, std::vector<std::string> &AStrings) const {
  AStrings.clear();
  const int G = GetGroupId(AItemId);
  for (int K = 0; K < G; ++K) AStrings.push_back(GetItemText(SetGroupId(AItemId, K)));
}

std::string_view TLookup::ItemExtraView(int32_t AItemId) const {
  if (fGroups.empty()) return std::string_view();
  // Every entry of a code stands on the level of the code, so the first extra text of the
  // code is its first entry's, or a later entry's when the first has none.
  const TEntry *E = FindInLevel(GetGroupId(AItemId), AItemId);
  if (E && !E->Extra) {
    const auto Later = fLaterExtras.find(AItemId);
    E = Later == fLaterExtras.end() ? nullptr : Later->second;
  }
  return E ? std::string_view(E->Extra, E->ExtraLength) : std::string_view();
}

TLookupItem TLookup::GetLevelItem(int ALevel, int AIndex) const {
  if (ALevel < 0 || ALevel >= GroupCount()) throw std::out_of_range("List index out of bounds");
  const TEntries &L = fGroups[static_cast<std::size_t>(ALevel)].Items;
  if (AIndex < 0 || static_cast<std::size_t>(AIndex) >= L.size()) throw std::out_of_range("List index out of bounds");
  const TEntry &E = L[static_cast<std::size_t>(AIndex)];
  return {E.Code, ShortStr(TextOf(E))};
}

std::string TLookup::GetItemString(int32_t AItemId) const {
  if (fGroups.empty()) return std::string();
  const int G = GetGroupId(AItemId);
  if (!FindInLevel(G, AItemId)) return std::string();
  std::string R = fDisplay;
  bool First = true;
  for (int N = 0; N < GroupCount(); ++N) {
    const std::string P = "%" + std::to_string(N + 1);
    std::string Part;
    if (N <= G) {
      Part = GetItemText(SetGroupId(AItemId, N));
      if (!First) Part = ShortStr(fDelimiter + " " + Part);
    }
    if (!Part.empty() && R.find(P) != std::string::npos) First = false;
    R = ReplaceAll(R, P, Part);
  }
  return R;
}

std::string LikeValues(const TLookup &ALookup, std::string_view APattern, std::size_t ACapacity) {
  const TUpperMatcher Pattern(APattern);
  std::string Result;
  if (Pattern.Empty()) return Result;
  for (int Level = 0; Level < ALookup.GroupCount(); ++Level) {
    const int Count = ALookup.GetLevelItemCount(Level);
    for (int I = 0; I < Count; ++I) {
      if (!Pattern.Matches(ALookup.LevelItemText(Level, I))) continue;
      const std::string Code = std::to_string(ALookup.LevelItemCode(Level, I)) + ";";
      if (Result.size() + Code.size() > ACapacity) return Result;
      Result += Code;
    }
  }
  return Result;
}

}  // namespace vok
