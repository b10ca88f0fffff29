// The dictionary done the plain way: every list kept in file order and every question answered
// by walking it. A lookup by code scans one level (ItemExists: every level), an extra text is
// found by scanning the extra list, a group is listed by testing every entry of its level, and a
// search upper-cases each text on its own; it splits texts into lines and sections and fills
// display templates by plain scans too. It gives the answers the indexed TLookup must give
// and serves as the yardstick for the property test, the fuzz targets and the benchmark; it is
// not meant to be fast. Header-only and portable.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "lookup/CodeList.h"
#include "lookup/Cp1251.h"
#include "lookup/Lookup.h"
#include "lookup/ShortStr.h"
#include "lookup/TextOps.h"

namespace vok::bench {

using TRefLines = std::vector<std::string>;

// The lines of a text as the readers must split them: a line ends at a line feed, every carriage
// return is dropped, a character 26 starting a line ends the text. A text that begins with the
// UTF-8 byte order mark is UTF-8, one that begins with FF FE or FE FF is UTF-16 (little- or
// big-endian), one without a mark that holds a byte above 127 and is UTF-8 throughout is UTF-8:
// each line of these is read in the ANSI code page.
inline TRefLines ReferenceLines(std::string_view AText) {
  std::string Utf8;
  bool Convert = true;
  if (AText.substr(0, 3) == "\xEF\xBB\xBF") {
    AText.remove_prefix(3);
  } else if (AText.substr(0, 2) == "\xFF\xFE" || AText.substr(0, 2) == "\xFE\xFF") {
    AppendUtf16AsUtf8(AText.substr(2), AText[0] == '\xFE', true, Utf8);
    AText = Utf8;
  } else {
    Convert = IsUtf8(AText) && std::any_of(AText.begin(), AText.end(), [](char C) { return C & 0x80; });
  }
  TRefLines Lines;
  for (std::size_t From = 0; From < AText.size();) {
    if (AText[From] == 26) break;
    std::size_t Lf = AText.find('\n', From);
    if (Lf == std::string_view::npos) Lf = AText.size();
    std::string Line;
    for (std::size_t I = From; I < Lf; ++I)
      if (AText[I] != '\r') Line += AText[I];
    Lines.push_back(Convert ? Utf8ToAnsi(Line) : Line);
    From = Lf + 1;
  }
  return Lines;
}

// True when ATrimmed, a trimmed line, is a section header "[...]".
inline bool ReferenceIsHeader(std::string_view ATrimmed) {
  return ATrimmed.size() >= 2 && ATrimmed.front() == '[' && ATrimmed.back() == ']';
}

// Fills AList with the non-blank lines, as they stand, of the first section of ALines named
// AName (ignoring case), up to the next header.
inline void ReferenceSection(const TRefLines &ALines, std::string_view AName, TRefLines &AList) {
  AList.clear();
  const std::string Header = "[" + std::string(AName) + "]";
  std::size_t I = 0;
  while (I < ALines.size() && !SameText(TrimView(ALines[I]), Header)) ++I;
  for (++I; I < ALines.size(); ++I) {
    const std::string_view T = TrimView(ALines[I]);
    if (T.empty()) continue;
    if (ReferenceIsHeader(T)) break;
    AList.push_back(ALines[I]);
  }
}

// Fills AList with the lines of the first section named AName (ignoring case) of AFile, read
// as a whole and split by ReferenceLines. Throws std::runtime_error when the file cannot be
// opened.
inline void ReferenceReadSection(const std::string &AFile, std::string_view AName, TRefLines &AList) {
  AList.clear();
  std::ifstream In(AFile, std::ios::binary);
  if (!In) throw std::runtime_error("File not found");
  const std::string Data((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  ReferenceSection(ReferenceLines(Data), AName, AList);
}

// One section of a whole file: its name as written between the brackets, its lines trimmed.
struct TRefSection {
  std::string Name;
  TRefLines Lines;
};

// The sections of ALines as the whole-file loader hands them out, in file order, each with
// its trimmed non-blank lines. Lines before the first header belong to none; a section whose
// header is the last line (but not the first header), or whose name is empty, is passed over
// with its lines.
inline std::vector<TRefSection> ReferenceSections(const TRefLines &ALines) {
  std::vector<TRefSection> Sections;
  bool First = true, Open = false;
  for (std::size_t I = 0; I < ALines.size(); ++I) {
    const std::string T(TrimView(ALines[I]));
    if (T.empty()) continue;
    if (!ReferenceIsHeader(T)) {
      if (Open) Sections.back().Lines.push_back(T);
      continue;
    }
    const std::string Name = T.substr(1, T.size() - 2);
    Open = !(I + 1 == ALines.size() && !First) && !Name.empty();
    if (Open) Sections.push_back({Name, {}});
    First = false;
  }
  return Sections;
}

// Every AOld in S replaced by ANew, left to right, the scan going on after each replacement; an
// empty AOld is never found. The result is cut at 255 at the end.
inline std::string ReferenceReplaceAll(std::string_view S, std::string_view AOld, std::string_view ANew) {
  std::string R;
  for (std::size_t I = 0; I < S.size();) {
    if (!AOld.empty() && S[I] == AOld[0] && S.substr(I, AOld.size()) == AOld) {
      R.append(ANew);
      I += AOld.size();
    } else {
      R += S[I++];
    }
  }
  return ShortStr(R);
}

class TReferenceLookup {
 public:
  struct TItem {
    int32_t Code;
    std::string Text;
  };

  void Clear() {
    fReady = false;
    fVokName.clear();
    fVokPath.clear();
    fGroups.clear();
    fExtraList.clear();
    fFormats.clear();
    fDisplay.clear();
    fDelimiter.clear();
  }

  // Loads section AVokName of AVokFile through LoadVokEx; success shows in Ready().
  void LoadVok(const std::string &AVokFile, std::string_view AVokName, std::string_view AVokAlias,
               std::string_view AFilter) {
    Clear();
    try {
      TRefLines List;
      ReferenceReadSection(AVokFile, AVokName, List);
      LoadVokEx(AVokFile, &List, AVokName, AVokAlias, AFilter);
    } catch (...) {
      fReady = false;
    }
  }

  // Loads from the caller's lines and removes from them the three header lines it used.
  void LoadVokEx(std::string_view AVokFile, TRefLines *ATempList, std::string_view AVokName, std::string_view AVokAlias,
                 std::string_view AFilter) {
    Clear();
    if (!ATempList) return;
    try {
      LoadLines(AVokFile, *ATempList, AVokName, AVokAlias, AFilter);
      fReady = true;
    } catch (...) {
      fReady = false;
    }
  }

  const std::string &VokName() const { return fVokName; }
  const std::string &VokPath() const { return fVokPath; }
  int GroupCount() const { return static_cast<int>(fGroups.size()); }
  bool Ready() const { return fReady; }
  const std::vector<int32_t> &Formats() const { return fFormats; }
  const std::string &Display() const { return fDisplay; }
  const std::string &Delimiter() const { return fDelimiter; }
  // Every entry of a level in file order, texts whole.
  const std::vector<TItem> &Level(int ALevel) const { return fGroups.at(static_cast<std::size_t>(ALevel)); }
  const std::vector<TItem> &ExtraList() const { return fExtraList; }

  int GetGroupId(int32_t AItemId) const {
    const int N = GroupCount();
    int64_t S = WidthSum(1, N - 1);
    for (int K = 0; K <= N - 2; ++K) {
      if (int64_t(AItemId) % Pow10(S) == 0) return K;
      S -= fFormats[static_cast<std::size_t>(K + 1)];
    }
    return N - 1;
  }

  int32_t SetGroupId(int32_t AItemId, int AGroupId) const {
    if (AGroupId < -1) throw std::out_of_range("List index out of bounds");
    const int64_t S = WidthSum(AGroupId + 1, GroupCount() - 1);
    return static_cast<int32_t>(int64_t(AItemId) - int64_t(AItemId) % Pow10(S));
  }

  bool ItemExists(int32_t AItemId) const {
    for (const auto &L : fGroups)
      for (const TItem &E : L)
        if (E.Code == AItemId) return true;
    return false;
  }

  std::string GetItemText(int32_t AItemId) const {
    for (const TItem &E : Level(GetGroupId(AItemId)))
      if (E.Code == AItemId) return ShortStr(E.Text);
    return std::string();
  }

  int GetLevelItemCount(int ALevel) const { return static_cast<int>(Level(ALevel).size()); }

  int32_t GetLevelDivisor(int ALevel) const {
    if (ALevel < 0 || ALevel >= GroupCount() || ALevel > 255) return 1;
    return static_cast<int32_t>(static_cast<uint32_t>(Pow10(WidthSum(ALevel + 1, GroupCount() - 1))));
  }

  void LoadGroup(int NestIndex, int32_t FilterId, TCodeList &AStringList) const {
    AStringList.Clear();
    const std::vector<TItem> &L = Level(NestIndex);
    const int64_t P = Pow10(WidthSum(NestIndex, GroupCount() - 1));
    for (const TItem &E : L)
      if (int64_t(E.Code) / P == int64_t(FilterId) / P) AStringList.Add(E.Text, E.Code);
    if (AStringList.Count() > 0) AStringList.Add(std::string(UndefinedValueText), UndefinedValueCode);
  }

  void GetPrevGroups(int32_t AItemId, std::vector<std::string> &AStrings) const {
    AStrings.clear();
    for (int K = 0; K <= GetGroupId(AItemId) - 1; ++K) AStrings.push_back(GetItemText(SetGroupId(AItemId, K)));
  }

  std::string GetItemExtra(int32_t AItemId) const {
    for (const TItem &E : fExtraList)
      if (E.Code == AItemId) return ShortStr(E.Text);
    return std::string();
  }

  TItem GetLevelItem(int ALevel, int AIndex) const {
    const std::vector<TItem> &L = Level(ALevel);
    const TItem &E = L.at(static_cast<std::size_t>(AIndex));
    return {E.Code, ShortStr(E.Text)};
  }

  std::string GetItemString(int32_t AItemId) const {
    const int G = GetGroupId(AItemId);
    bool Found = false;
    for (const TItem &E : Level(G))
      if (E.Code == AItemId) {
        Found = true;
        break;
      }
    if (!Found) return std::string();
    std::string R = fDisplay;
    bool First = true;
    for (int N = 0; N < GroupCount(); ++N) {
      const std::string P = "%" + std::to_string(N + 1);
      if (R.find(P) == std::string::npos) continue;  // nothing to replace, nothing placed
      std::string Part;
      if (N <= G) {
        Part = GetItemText(SetGroupId(AItemId, N));
        if (!First) Part = ShortStr(fDelimiter + " " + Part);
      }
      if (!Part.empty()) First = false;
      R = ReferenceReplaceAll(R, P, Part);
    }
    return R;
  }

  // What the search export writes: the codes of the items whose text, upper-cased, holds the
  // upper-cased pattern, each followed by ";", level by level in file order, stopping at the
  // first code that would take the result beyond ACapacity characters.
  std::string GetLikeValues(std::string_view APattern, std::size_t ACapacity) const {
    const std::string Pattern = UpperCase(APattern);
    std::string Result;
    if (Pattern.empty()) return Result;
    for (int Level = 0; Level < GroupCount(); ++Level)
      for (int I = 0; I < GetLevelItemCount(Level); ++I) {
        const TItem Item = GetLevelItem(Level, I);
        if (UpperCase(Item.Text).find(Pattern) == std::string::npos) continue;
        const std::string T = std::to_string(Item.Code) + ";";
        if (Result.size() + T.size() > ACapacity) return Result;
        Result += T;
      }
    return Result;
  }

 private:
  struct EFailed {};

  // Sum of the widths of the levels AFrom..ATo (0 when the range is empty).
  int64_t WidthSum(int AFrom, int ATo) const {
    int64_t S = 0;
    for (int K = AFrom < 0 ? 0 : AFrom; K <= ATo; ++K) S += fFormats.at(static_cast<std::size_t>(K));
    return S;
  }

  // Position of the first line whose text before its first "=" is AKey, ignoring case.
  static std::size_t KeyLine(const TRefLines &ALines, std::string_view AKey) {
    for (std::size_t I = 0; I < ALines.size(); ++I) {
      const std::size_t Eq = ALines[I].find('=');
      if (Eq != std::string::npos && SameText(ALines[I].substr(0, Eq), AKey)) return I;
    }
    throw EFailed{};
  }

  // Removes the first line equal to ALine ignoring case; fails when there is none.
  static void RemoveLine(TRefLines &ALines, const std::string &ALine) {
    for (std::size_t I = 0; I < ALines.size(); ++I)
      if (SameText(ALines[I], ALine)) {
        ALines.erase(ALines.begin() + static_cast<std::ptrdiff_t>(I));
        return;
      }
    throw EFailed{};
  }

  // A short-string header value: a longer one cannot be stored whole, so its line would not
  // be found again, and the load fails.
  static std::string ShortHeader(TRefLines &ALines, std::string_view AKey) {
    const std::string &Line = ALines[KeyLine(ALines, AKey)];
    const std::string Value = Line.substr(Line.find('=') + 1);
    if (Value.size() > MaxShortLen) throw EFailed{};
    RemoveLine(ALines, std::string(AKey) + "=" + Value);
    return Value;
  }

  void LoadLines(std::string_view AVokFile, TRefLines &ALines, std::string_view AVokName, std::string_view AVokAlias,
                 std::string_view AFilter) {
    const std::string Name = ShortStr(TrimView(AVokName));
    std::string Alias = ShortStr(TrimView(AVokAlias));
    if (Name.empty()) throw EFailed{};
    if (Alias.empty()) Alias = Name;

    // The width list is taken whole: only the display template and the delimiter are short.
    const std::string &FormatLine = ALines[KeyLine(ALines, "Format")];
    const std::string Format = FormatLine.substr(FormatLine.find('=') + 1);
    RemoveLine(ALines, "Format=" + Format);
    for (std::size_t From = 0;;) {
      const std::size_t Comma = Format.find(',', From);
      const std::string Piece = Format.substr(From, Comma == std::string::npos ? std::string::npos : Comma - From);
      const std::optional<int32_t> Width = TryStrToInt(Piece);
      if (!Width) throw EFailed{};
      fFormats.push_back(*Width);
      if (Comma == std::string::npos) break;
      From = Comma + 1;
    }
    fDisplay = ShortHeader(ALines, "Display");
    fDelimiter = ShortHeader(ALines, "Delimit");
    fGroups.assign(fFormats.size(), std::vector<TItem>());

    std::string Filter(AFilter);
    const bool Filtered = Filter != "*";
    if (Filtered) Filter = ShortStr(";" + Filter + ";");

    for (const std::string &Line : ALines) {
      const std::size_t Eq = Line.find('=');
      if (Eq == std::string::npos) continue;
      const std::optional<int32_t> Code = TryStrToInt(Line.substr(0, Eq));
      if (!Code) continue;
      const std::size_t Hash = Line.find('#');
      std::string Text, Extra;
      if (Hash == std::string::npos) {
        Text = Line.substr(Eq + 1);
      } else {
        Text = Line.substr(Eq + 1, Hash - Eq - 1);
        const std::string Rest = Line.substr(Hash + 1);
        const std::size_t Hash2 = Rest.find('#');
        Extra = Rest.substr(0, Hash2);
        if (Filtered) {
          const std::string Tag = Hash2 == std::string::npos ? std::string() : Rest.substr(Hash2 + 1);
          if (Filter.find(";" + Tag + ";") == std::string::npos) continue;
        }
      }
      fGroups[static_cast<std::size_t>(GetGroupId(*Code))].push_back({*Code, Text});
      if (!IsBlank(ShortStr(Extra))) fExtraList.push_back({*Code, Extra});
    }
    fVokName = Alias;
    fVokPath = ShortStr(AVokFile);
  }

  std::string fVokName;
  std::string fVokPath;
  bool fReady = false;
  std::vector<std::vector<TItem>> fGroups;
  std::vector<TItem> fExtraList;
  std::vector<int32_t> fFormats;
  std::string fDisplay;
  std::string fDelimiter;
};

// The registry as a plain list: entries in the order of registration, a name found by comparing
// every entry from the first, letter by letter.
class TReferenceRegistry {
 public:
  struct TEntry {
    std::string Name;
    const void *Lookup;
  };
  // Position of the first entry named AName (ASCII letters of either case match), or -1.
  int IndexOf(std::string_view AName) const {
    for (std::size_t I = 0; I < fEntries.size(); ++I) {
      const std::string &N = fEntries[I].Name;
      bool Same = N.size() == AName.size();
      for (std::size_t K = 0; Same && K < N.size(); ++K) {
        char X = N[K], Y = AName[K];
        if (X >= 'A' && X <= 'Z') X = static_cast<char>(X - 'A' + 'a');
        if (Y >= 'A' && Y <= 'Z') Y = static_cast<char>(Y - 'A' + 'a');
        Same = X == Y;
      }
      if (Same) return static_cast<int>(I);
    }
    return -1;
  }
  void Add(std::string AName, const void *ALookup) { fEntries.push_back({std::move(AName), ALookup}); }
  void Remove(int AIndex) { fEntries.erase(fEntries.begin() + AIndex); }
  const std::vector<TEntry> &Entries() const { return fEntries; }

 private:
  std::vector<TEntry> fEntries;
};

}  // namespace vok::bench
