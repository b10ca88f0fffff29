#include "lookup/Lookup.h"

#include <stdexcept>

#include "lookup/TextFile.h"
#include "lookup/TextOps.h"

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

bool IsSectionHeader(std::string_view ATrimmed) {
  return ATrimmed.size() >= 2 && ATrimmed.front() == '[' && ATrimmed.back() == ']';
}

// Position of the first line whose key (text before its first "=") is AKey ignoring case.
std::size_t FindKey(const TLines &ALines, std::string_view AKey) {
  for (std::size_t I = 0; I < ALines.size(); ++I) {
    const std::size_t Eq = ALines[I].find('=');
    if (Eq != std::string::npos && SameText(std::string_view(ALines[I]).substr(0, Eq), AKey))
      return I;
  }
  throw ELoadFailed{};
}

// The value of the first line with key AKey; the line is removed from ALines. A value longer
// than a short string fails: its line could not be matched again after the cut.
std::string TakeHeader(TLines &ALines, std::string_view AKey) {
  const std::size_t I = FindKey(ALines, AKey);
  std::string Value = ALines[I].substr(ALines[I].find('=') + 1);
  if (Value.size() > MaxShortLen) throw ELoadFailed{};
  ALines.erase(ALines.begin() + static_cast<std::ptrdiff_t>(I));
  return Value;
}

}  // namespace

void ReadSection(const std::string &AFile, std::string_view AName, TLines &AList) {
  AList.clear();
  TTextReader Reader(AFile);
  const std::string Header = "[" + std::string(AName) + "]";
  std::string Line;
  bool Found = false;
  while (!Found && Reader.ReadLine(Line)) Found = SameText(TrimView(Line), Header);
  while (Found && Reader.ReadLine(Line)) {
    const std::string_view T = TrimView(Line);
    if (T.empty()) continue;
    if (IsSectionHeader(T)) break;
    AList.push_back(Line);
  }
}

void TLookup::Clear() {
  fReady = false;
  fVokName.clear();
  fVokPath.clear();
  fGroups.clear();
  fExtraList.clear();
  fFormats.clear();
  fDisplay.clear();
  fDelimiter.clear();
  fStore.clear();
}

void TLookup::LoadVok(const std::string &AVokFile, std::string_view AVokName,
                      std::string_view AVokAlias, std::string_view AFilter) {
  Clear();
  try {
    TLines List;
    ReadSection(AVokFile, AVokName, List);
    LoadVokEx(AVokFile, &List, AVokName, AVokAlias, AFilter);
  } catch (...) {
    fReady = false;
  }
}

TLookup::TEntry TLookup::Store(int32_t ACode, std::string_view AText) {
  TEntry E{ACode, static_cast<uint32_t>(fStore.size()), static_cast<uint32_t>(AText.size())};
  fStore.append(AText);
  return E;
}

void TLookup::LoadVokEx(std::string_view AVokFile, TLines *ATempList, std::string_view AVokName,
                        std::string_view AVokAlias, std::string_view AFilter) {
  Clear();
  if (!ATempList) return;
  try {
    const std::string Name = ShortStr(TrimView(AVokName));
    std::string Alias = ShortStr(TrimView(AVokAlias));
    if (Name.empty()) return;
    if (Alias.empty()) Alias = Name;

    const std::string Format = TakeHeader(*ATempList, "Format");
    if (Format.empty()) throw ELoadFailed{};
    for (std::size_t From = 0;;) {
      const std::size_t Comma = Format.find(',', From);
      const auto Width = TryStrToInt(std::string_view(Format).substr(From, Comma - From));
      if (!Width) throw ELoadFailed{};
      fFormats.push_back(*Width);
      if (Comma == std::string::npos) break;
      From = Comma + 1;
    }
    fDisplay = TakeHeader(*ATempList, "Display");
    fDelimiter = TakeHeader(*ATempList, "Delimit");
    fGroups.assign(fFormats.size(), TLevel());

    const bool Filtered = AFilter != "*";
    const std::string Filter = Filtered ? ShortStr(";" + std::string(AFilter) + ";") : std::string();

    for (const std::string &Line : *ATempList) {
      const std::size_t Eq = Line.find('=');
      if (Eq == std::string::npos) continue;
      const auto Code = TryStrToInt(std::string_view(Line).substr(0, Eq));
      if (!Code) continue;
      const std::string_view Rest = std::string_view(Line).substr(Eq + 1);
      const std::size_t Hash = Rest.find('#');
      std::string_view Text = Rest, Extra;
      if (Hash != std::string_view::npos) {
        Text = Rest.substr(0, Hash);
        const std::string_view After = Rest.substr(Hash + 1);
        const std::size_t Hash2 = After.find('#');
        Extra = After.substr(0, Hash2);
        if (Filtered) {
          const std::string_view Tag =
              Hash2 == std::string_view::npos ? std::string_view() : After.substr(Hash2 + 1);
          if (Filter.find(";" + std::string(Tag) + ";") == std::string::npos) continue;
        }
      }
      fGroups[static_cast<std::size_t>(GetGroupId(*Code))].push_back(Store(*Code, Text));
      if (!IsBlank(ShortView(Extra))) fExtraList.push_back(Store(*Code, Extra));
    }
    fVokName = Alias;
    fVokPath = ShortStr(AVokFile);
    fReady = true;
  } catch (...) {
    fReady = false;
  }
}

int64_t TLookup::DigitsFrom(int AFrom) const {
  int64_t S = 0;
  for (std::size_t K = AFrom < 0 ? 0 : static_cast<std::size_t>(AFrom); K < fFormats.size(); ++K)
    S += fFormats[K];
  return S;
}

int TLookup::GetGroupId(int32_t AItemId) const {
  const int N = GroupCount();
  int64_t S = DigitsFrom(1);
  for (int K = 0; K <= N - 2; ++K) {
    if (int64_t(AItemId) % Pow10(S) == 0) return K;
    S -= fFormats[static_cast<std::size_t>(K + 1)];
  }
  return N > 0 ? N - 1 : 0;
}

int32_t TLookup::SetGroupId(int32_t AItemId, int AGroupId) const {
  if (AGroupId < -1) throw std::out_of_range("List index out of bounds");
  const int64_t Code = AItemId;
  return static_cast<int32_t>(Code - Code % Pow10(DigitsFrom(AGroupId + 1)));
}

const TLookup::TEntry *TLookup::FindInLevel(int ALevel, int32_t ACode) const {
  for (const TEntry &E : fGroups.at(static_cast<std::size_t>(ALevel)))
    if (E.Code == ACode) return &E;
  return nullptr;
}

const TLookup::TEntry *TLookup::FindExtra(int32_t ACode) const {
  for (const TEntry &E : fExtraList)
    if (E.Code == ACode) return &E;
  return nullptr;
}

bool TLookup::ItemExists(int32_t AItemId) const {
  for (int K = 0; K < GroupCount(); ++K)
    if (FindInLevel(K, AItemId)) return true;
  return false;
}

std::string TLookup::GetItemText(int32_t AItemId) const {
  if (fGroups.empty()) return std::string();
  const TEntry *E = FindInLevel(GetGroupId(AItemId), AItemId);
  return E ? ShortStr(TextOf(*E)) : std::string();
}

int TLookup::GetLevelItemCount(int ALevel) const {
  if (ALevel < 0 || ALevel >= GroupCount()) throw std::out_of_range("List index out of bounds");
  return static_cast<int>(fGroups[static_cast<std::size_t>(ALevel)].size());
}

int32_t TLookup::GetLevelDivisor(int ALevel) const {
  if (ALevel < 0 || ALevel >= GroupCount() || ALevel > 255) return 1;
  return static_cast<int32_t>(static_cast<uint32_t>(Pow10(DigitsFrom(ALevel + 1))));
}

void TLookup::LoadGroup(int NestIndex, int32_t FilterId, TCodeList &AStringList) const {
  AStringList.Clear();
  if (NestIndex < 0 || NestIndex >= GroupCount()) throw std::out_of_range("List index out of bounds");
  const int64_t P = Pow10(DigitsFrom(NestIndex));
  const int64_t Key = FilterId / P;
  for (const TEntry &E : fGroups[static_cast<std::size_t>(NestIndex)])
    if (E.Code / P == Key) AStringList.Add(TextOf(E), E.Code);
  if (!AStringList.Empty()) AStringList.Add(UndefinedValueText, UndefinedValueCode);
}

void TLookup::GetPrevGroups(int32_t AItemId, std::vector<std::string> &AStrings) const {
  AStrings.clear();
  const int G = GetGroupId(AItemId);
  for (int K = 0; K < G; ++K) AStrings.push_back(GetItemText(SetGroupId(AItemId, K)));
}

std::string TLookup::GetItemExtra(int32_t AItemId) const {
  const TEntry *E = FindExtra(AItemId);
  return E ? ShortStr(TextOf(*E)) : std::string();
}

TLookupItem TLookup::GetLevelItem(int ALevel, int AIndex) const {
  if (ALevel < 0 || ALevel >= GroupCount()) throw std::out_of_range("List index out of bounds");
  const TLevel &L = fGroups[static_cast<std::size_t>(ALevel)];
  if (AIndex < 0 || static_cast<std::size_t>(AIndex) >= L.size())
    throw std::out_of_range("List index out of bounds");
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

}  // namespace vok
