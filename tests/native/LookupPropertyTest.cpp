// TLookup against the plain reference dictionary of tools/bench: random dictionaries (odd
// widths, duplicate, negative, zero and over-long codes, long and Cyrillic texts, blank extras,
// tags and filters) are loaded into both, from lines and from a file, and every question is
// asked of both. Whatever indexes TLookup keeps, its answers must not differ.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <random>
#include <set>

#include "lookup/Lookup.h"
#include "lookup/Registry.h"
#include "lookup/TextOps.h"
#include "tests/common/TestFiles.h"
#include "tools/bench/ReferenceLookup.h"

using namespace vok;
using vok::bench::TRefLines;
using vok::bench::TReferenceLookup;
using vok::bench::TReferenceRegistry;
using vok::test::LevelRows;
using vok::test::Rows;
using vok::test::TTempFile;

namespace {

// A small deterministic generator (splitmix64), the same on every platform and compiler.
class TRandom {
 public:
  explicit TRandom(uint64_t ASeed) : fState(ASeed) {}
  uint64_t Next() {
    uint64_t Z = (fState += 0x9E3779B97F4A7C15ull);
    Z = (Z ^ (Z >> 30)) * 0xBF58476D1CE4E5B9ull;
    Z = (Z ^ (Z >> 27)) * 0x94D049BB133111EBull;
    return Z ^ (Z >> 31);
  }
  // A number from ALo to AHi, both included.
  int64_t Int(int64_t ALo, int64_t AHi) { return ALo + static_cast<int64_t>(Next() % uint64_t(AHi - ALo + 1)); }
  bool Chance(int APercent) { return Int(0, 99) < APercent; }
  template <typename T>
  const T &Pick(const std::vector<T> &AValues) { return AValues[static_cast<std::size_t>(Int(0, int64_t(AValues.size()) - 1))]; }

 private:
  uint64_t fState;
};

// Letters of both cases (Latin and Cyrillic in Windows-1251, Ё/ё among them), digits, blanks,
// and now and then the characters the loader and the display string treat specially.
std::string RandomText(TRandom &R, std::size_t ALength) {
  std::string S;
  for (std::size_t I = 0; I < ALength; ++I) {
    const int Kind = static_cast<int>(R.Int(0, 99));
    char C;
    if (Kind < 30) C = static_cast<char>(R.Int(0xC0, 0xFF));
    else if (Kind < 55) C = static_cast<char>(R.Chance(50) ? R.Int('a', 'z') : R.Int('A', 'Z'));
    else if (Kind < 65) C = ' ';
    else if (Kind < 75) C = static_cast<char>(R.Int('0', '9'));
    else if (Kind < 80) C = static_cast<char>(R.Chance(50) ? 0xA8 : 0xB8);
    else if (Kind < 84) C = '%';
    else if (Kind < 86) C = '=';
    else if (Kind < 87) C = '\t';
    else if (Kind < 88) C = ';';
    else C = static_cast<char>(R.Int('a', 'e'));
    S += C;
  }
  return S;
}

std::size_t RandomLength(TRandom &R) {
  const int K = static_cast<int>(R.Int(0, 99));
  if (K < 5) return 0;
  if (K < 85) return static_cast<std::size_t>(R.Int(1, 20));
  if (K < 94) return static_cast<std::size_t>(R.Int(21, 80));
  return static_cast<std::size_t>(R.Int(250, 300));
}

// A code on a random level built from fields of the intended widths, the fields kept small
// so that items share parents; std::nullopt when it does not fit 32 bits.
std::optional<int32_t> FieldCode(TRandom &R, const std::vector<int32_t> &AWidths) {
  const int N = static_cast<int>(AWidths.size());
  const int Level = static_cast<int>(R.Int(0, N - 1));
  int64_t Code = 0, Below = 0;
  for (int K = N - 1; K >= 0; --K) {
    if (K <= Level) {
      const int64_t Max = Pow10(std::max<int32_t>(AWidths[static_cast<std::size_t>(K)], 0)) - 1;
      int64_t Field = R.Chance(80) ? R.Int(1, std::min<int64_t>(3, std::max<int64_t>(Max, 1))) : R.Int(0, std::max<int64_t>(Max, 0));
      if (K == 0 && R.Chance(10)) Field = R.Int(0, 30);
      if (Field != 0 && Below >= 10) return std::nullopt;
      Code += Field * Pow10(Below);
    }
    if (Code > INT32_MAX) return std::nullopt;
    Below += AWidths[static_cast<std::size_t>(K)];
  }
  return static_cast<int32_t>(Code);
}

int32_t RandomCode(TRandom &R, const std::vector<int32_t> &AWidths, const std::vector<int32_t> &AEarlier) {
  const int K = static_cast<int>(R.Int(0, 99));
  if (K < 10 && !AEarlier.empty()) return R.Pick(AEarlier);  // a duplicate
  if (K < 14) return 0;
  if (K < 18) return R.Pick(std::vector<int32_t>{-1, 1, INT32_MIN, INT32_MAX, -2147483647});
  if (K < 26) return static_cast<int32_t>(static_cast<uint32_t>(R.Next()));
  const std::optional<int32_t> F = FieldCode(R, AWidths);
  if (!F) return static_cast<int32_t>(R.Int(-99999, 99999));
  if (K < 36) return -*F;
  if (K < 44) {  // more digits than the widths allow
    int64_t Total = 0;
    for (int32_t W : AWidths) Total += W;
    const int64_t Longer = int64_t(*F) + R.Int(1, 9) * Pow10(Total);
    return Longer <= INT32_MAX ? static_cast<int32_t>(Longer) : *F;
  }
  return *F;
}

// The code as it stands in an item line: mostly plain decimal, now and then in another form
// that converts, or one that does not (the line is then no item).
std::string CodeText(TRandom &R, int32_t ACode) {
  const int K = static_cast<int>(R.Int(0, 99));
  const std::string Dec = std::to_string(ACode);
  if (K < 80) return Dec;
  if (K < 85) return "  " + Dec;
  if (K < 88) return ACode >= 0 ? "+" + Dec : Dec;
  if (K < 93) {
    const int64_t V = ACode;
    const uint64_t Abs = static_cast<uint64_t>(V < 0 ? -V : V);
    char Hex[32];
    std::snprintf(Hex, sizeof Hex, "%llx", static_cast<unsigned long long>(Abs));
    const std::string Prefix = R.Pick(std::vector<std::string>{"$", "0x", "x", "X", "0X"});
    return (V < 0 ? "-" : "") + Prefix + Hex;
  }
  if (K < 96) return Dec + " ";
  return R.Pick(std::vector<std::string>{"abc", "", "-", "1a", "note"});
}

std::string RandomTag(TRandom &R) {
  return R.Pick(std::vector<std::string>{"", "a", "b", "a;b", "urban", " *", "*", "x y", "a#b",
                                         "\xE3\xEE\xF0", "\xC3\xCE\xD0", "b "});
}

// One random section: its body lines (header lines among the items), the filter and alias to
// load it with, and the codes worth asking about.
struct TRandomDict {
  std::vector<std::string> Lines;
  std::string Filter, Alias;
  std::vector<int32_t> Codes;
  std::vector<std::string> Texts;
};

std::string FormatValue(TRandom &R, const std::vector<int32_t> &AWidths) {
  std::string V;
  for (std::size_t I = 0; I < AWidths.size(); ++I) {
    if (I) V += ',';
    const int K = static_cast<int>(R.Int(0, 99));
    const std::string Dec = std::to_string(AWidths[I]);
    if (K < 80) V += Dec;
    else if (K < 86) V += " " + Dec;
    else if (K < 90) V += AWidths[I] >= 0 ? "+" + Dec : Dec;
    else if (K < 95) V += AWidths[I] >= 0 && AWidths[I] < 10 ? "$" + Dec : Dec;
    else if (K < 97) V += Dec + " ";  // does not convert: the load fails
    else if (K < 98) V += "";
    else V += "w";
  }
  return V;
}

TRandomDict RandomDict(TRandom &R) {
  TRandomDict D;
  std::vector<int32_t> Widths(static_cast<std::size_t>(R.Int(1, 5)));
  for (int32_t &W : Widths) {
    W = static_cast<int32_t>(R.Int(1, 4));
    if (R.Chance(4)) W = static_cast<int32_t>(R.Int(-2, 0));
  }
  const auto Key = [&](const char *AKey) {
    std::string K = AKey;
    if (R.Chance(30)) UpperCaseInPlace(K);
    else if (R.Chance(20)) K[0] = static_cast<char>(K[0] + 32);
    return K;
  };

  std::vector<std::string> Headers;
  if (!R.Chance(2)) Headers.push_back(Key("Format") + "=" + FormatValue(R, Widths));
  if (!R.Chance(2)) {
    std::string Display = R.Pick(std::vector<std::string>{
        "%1%2%3", "%1%2%3%4%5", "%2 (%1)", "", "%1", "%3%2%1", "%1%1", "[%1]-%5 ", "plain text",
        "%10%1", "\xC3\xEE\xF0\xEE\xE4 %1, %2", "%4%3%2%1", "%1 %2 %3 %4 %5 %6"});
    if (R.Chance(3)) Display = std::string(256, 'd');  // too long: the load fails
    Headers.push_back(Key("Display") + "=" + Display);
  }
  if (!R.Chance(2)) {
    std::string Delimit = R.Pick(std::vector<std::string>{",", "", " - ", ";", "\xE8", "  ", "%1"});
    if (R.Chance(2)) Delimit = std::string(300, ',');
    Headers.push_back(Key("Delimit") + "=" + Delimit);
  }
  // Later lines with the same keys fall through to the item rules.
  if (R.Chance(20)) Headers.push_back("Format=9");
  if (R.Chance(20)) Headers.push_back("DISPLAY=%2");

  const int Count = static_cast<int>(R.Chance(5) ? 0 : R.Int(1, 150));
  std::vector<int32_t> Used;
  for (int I = 0; I < Count; ++I) {
    const int Kind = static_cast<int>(R.Int(0, 99));
    if (Kind < 3) {
      D.Lines.push_back(R.Pick(std::vector<std::string>{"; a comment", "note=not an item", "", "   ",
                                                        "Format2=1", "12", "=text", "\t7=tab"}));
      continue;
    }
    const int32_t Code = RandomCode(R, Widths, Used);
    Used.push_back(Code);
    std::string Text = RandomText(R, RandomLength(R));
    std::string Line = CodeText(R, Code) + "=" + Text;
    if (!R.Chance(35)) {
      std::string Extra;
      const int E = static_cast<int>(R.Int(0, 99));
      if (E < 15) Extra = R.Pick(std::vector<std::string>{"", " ", "  \t ", "\x01\x1F"});
      else if (E < 20) Extra = std::string(255, ' ') + "x";  // blank where it is judged
      else if (E < 25) Extra = RandomText(R, static_cast<std::size_t>(R.Int(256, 320)));
      else Extra = RandomText(R, static_cast<std::size_t>(R.Int(1, 30)));
      Line += "#" + Extra;
      if (R.Chance(50)) Line += "#" + RandomTag(R);
    }
    D.Lines.push_back(Line);
    D.Texts.push_back(Text);
  }
  for (const std::string &H : Headers)
    D.Lines.insert(D.Lines.begin() + R.Int(0, int64_t(D.Lines.size())), H);

  D.Filter = R.Pick(std::vector<std::string>{"*", "*", "*", "*", "", " *", "a", "a;b", "b;urban",
                                             "x y", "*;a", "a#b", "\xE3\xEE\xF0", "b "});
  if (R.Chance(3)) D.Filter = std::string(249, 'z') + ";urban";  // its last ";" is cut off
  D.Alias = R.Pick(std::vector<std::string>{"", "", "  ", "Alias", " A b "});
  D.Codes = Used;
  return D;
}

// The section in a file: lines before it, a header in some spelling, the body with mixed line
// ends, then another section that must not be read.
std::string FileText(TRandom &R, const std::vector<std::string> &ABody) {
  std::string F = R.Chance(50) ? "; lines before any section\nS=1\n" : "";
  F += R.Pick(std::vector<std::string>{"[S]", "[s]", "  [S]\t", "[S]"}) + "\n";
  for (const std::string &L : ABody) F += L + (R.Chance(30) ? "\r\n" : "\n");
  if (R.Chance(50)) F += "[Other]\nFormat=1\nDisplay=\nDelimit=\n5=other\n";
  else if (R.Chance(10)) F += "\x1A\n9=after the end of the text\n";
  return F;
}

// The codes to ask about: every code of the file, its neighbours, its ancestors on every
// level, and a few that stand for the extremes.
std::vector<int32_t> QueryCodes(TRandom &R, const TReferenceLookup &ARef, const std::vector<int32_t> &ACodes) {
  std::set<int32_t> Q{0, -1, 1, INT32_MIN, INT32_MAX};
  for (int32_t C : ACodes) {
    Q.insert(C);
    if (C < INT32_MAX) Q.insert(C + 1);
    for (int K = 0; K < ARef.GroupCount(); ++K) Q.insert(ARef.SetGroupId(C, K));
  }
  for (int I = 0; I < 20; ++I) Q.insert(static_cast<int32_t>(R.Int(-2000000, 2000000)));
  return std::vector<int32_t>(Q.begin(), Q.end());
}

// Upper and lower case swapped for Latin and Cyrillic letters, so that patterns are found
// only through case-insensitive matching.
std::string SwapCase(std::string S) {
  for (char &C : S) {
    const unsigned char U = static_cast<unsigned char>(C);
    if ((U >= 'a' && U <= 'z') || (U >= 0xE0)) C = static_cast<char>(U - 32);
    else if ((U >= 'A' && U <= 'Z') || (U >= 0xC0 && U <= 0xDF)) C = static_cast<char>(U + 32);
  }
  return S;
}

class LookupProperty : public ::testing::Test {
 protected:
  // Asks both dictionaries everything; stops at the first difference.
  void Compare(TRandom &R, const TLookup &Lib, const TReferenceLookup &Ref, const TRandomDict &D) {
    ASSERT_EQ(Lib.Ready(), Ref.Ready());
    if (!Ref.Ready()) return;
    ASSERT_EQ(Lib.VokName(), Ref.VokName());
    ASSERT_EQ(Lib.VokPath(), Ref.VokPath());
    const int N = Ref.GroupCount();
    ASSERT_EQ(Lib.GroupCount(), N);
    for (int Level = 0; Level < N; ++Level) {
      ASSERT_EQ(LevelRows(Lib, Level), LevelRows(Ref, Level)) << "level " << Level;
      EXPECT_THROW(Lib.GetLevelItem(Level, -1), std::exception);
      EXPECT_THROW(Lib.GetLevelItem(Level, Ref.GetLevelItemCount(Level)), std::exception);
    }
    EXPECT_THROW(Lib.GetLevelItemCount(-1), std::exception);
    EXPECT_THROW(Lib.GetLevelItemCount(N), std::exception);
    for (int Level = -1; Level <= N + 1; ++Level)
      ASSERT_EQ(Lib.GetLevelDivisor(Level), Ref.GetLevelDivisor(Level)) << "level " << Level;
    ASSERT_EQ(Lib.GetLevelDivisor(256), 1);

    const std::vector<int32_t> Q = QueryCodes(R, Ref, D.Codes);
    std::vector<std::string> LibPath, RefPath;
    for (int32_t C : Q) {
      SCOPED_TRACE("code " + std::to_string(C));
      ASSERT_EQ(Lib.GetGroupId(C), Ref.GetGroupId(C));
      for (int K = -1; K <= N; ++K) ASSERT_EQ(Lib.SetGroupId(C, K), Ref.SetGroupId(C, K)) << "level " << K;
      ASSERT_EQ(Lib.ItemExists(C), Ref.ItemExists(C));
      ASSERT_EQ(Lib.GetItemText(C), Ref.GetItemText(C));
      ASSERT_EQ(Lib.GetItemExtra(C), Ref.GetItemExtra(C));
      ASSERT_EQ(Lib.GetItemString(C), Ref.GetItemString(C));
      Lib.GetPrevGroups(C, LibPath);
      Ref.GetPrevGroups(C, RefPath);
      ASSERT_EQ(LibPath, RefPath);
    }
    EXPECT_THROW(Lib.SetGroupId(Q.front(), -2), std::exception);

    // Groups under present codes, their ancestors, neighbours, random codes, 0 and negatives.
    std::vector<int32_t> Filters{0, -1, INT32_MIN};
    for (int I = 0; I < 40; ++I) Filters.push_back(R.Pick(Q));
    TCodeList LibList, RefList;
    TCodeList LibSorted(true, TDuplicates::Ignore), RefSorted(true, TDuplicates::Ignore);
    for (int Level = 0; Level < N; ++Level)
      for (int32_t F : Filters) {
        SCOPED_TRACE("LoadGroup level " + std::to_string(Level) + " filter " + std::to_string(F));
        Lib.LoadGroup(Level, F, LibList);
        Ref.LoadGroup(Level, F, RefList);
        ASSERT_EQ(Rows(LibList), Rows(RefList));
        Lib.LoadGroup(Level, F, LibSorted);
        Ref.LoadGroup(Level, F, RefSorted);
        ASSERT_EQ(Rows(LibSorted), Rows(RefSorted));
      }
    LibList.Add("stale", 5);
    EXPECT_THROW(Lib.LoadGroup(N, 0, LibList), std::exception);
    EXPECT_TRUE(LibList.Empty());
    EXPECT_THROW(Lib.LoadGroup(-1, 0, LibList), std::exception);

    std::vector<std::string> Patterns{"", "a", "\xE0", "%"};
    for (int I = 0; I < 6 && !D.Texts.empty(); ++I) {
      const std::string &T = R.Pick(D.Texts);
      if (T.empty()) continue;
      const std::size_t From = static_cast<std::size_t>(R.Int(0, int64_t(T.size()) - 1));
      Patterns.push_back(SwapCase(T.substr(From, static_cast<std::size_t>(R.Int(1, 4)))));
    }
    for (const std::string &P : Patterns)
      for (const std::size_t Capacity : {std::string::npos, std::size_t(20)})
        ASSERT_EQ(LikeValues(Lib, P, Capacity), Ref.GetLikeValues(P, Capacity))
            << "pattern " << P << ", room " << Capacity;
  }
};

}  // namespace

// A thousand random dictionaries, each loaded from its lines and from a file.
TEST_F(LookupProperty, RandomDictionariesAnswerLikeTheReference) {
  TRandom R(20240611);
  int Ready = 0, Failed = 0;
  for (int Round = 0; Round < 600; ++Round) {
    const TRandomDict D = RandomDict(R);
    SCOPED_TRACE("dictionary " + std::to_string(Round));

    // From lines: the loader takes the header lines it used out of the caller's list.
    const std::vector<std::string> Source = D.Lines;
    TLines LibLines(Source.begin(), Source.end());
    TRefLines RefLines = D.Lines;
    TLookup Lib;
    TReferenceLookup Ref;
    const std::string Name = R.Pick(std::vector<std::string>{"S", " S ", "s\t"});
    Lib.LoadVokEx("dict.vok", &LibLines, Name, D.Alias, D.Filter);
    Ref.LoadVokEx("dict.vok", &RefLines, Name, D.Alias, D.Filter);
    Compare(R, Lib, Ref, D);
    if (Ref.Ready()) {
      EXPECT_EQ(std::vector<std::string>(LibLines.begin(), LibLines.end()), RefLines);
    }
    if (HasFailure()) {
      std::string All;
      for (const std::string &L : D.Lines) All += L + "\n";
      ADD_FAILURE() << "filter \"" << D.Filter << "\", lines:\n" << All;
      return;
    }
    (Ref.Ready() ? Ready : Failed)++;

    // From a file, through the line reader.
    const TTempFile File(FileText(R, D.Lines));
    const std::string FileName = R.Pick(std::vector<std::string>{"S", "s"});
    TLookup LibFile;
    TReferenceLookup RefFile;
    LibFile.LoadVok(File.Path(), FileName, D.Alias, D.Filter);
    RefFile.LoadVok(File.Path(), FileName, D.Alias, D.Filter);
    Compare(R, LibFile, RefFile, D);
    if (HasFailure()) return;
  }
  // The generator must exercise both outcomes of a load.
  EXPECT_GT(Ready, 400);
  EXPECT_GT(Failed, 20);
}

// Random loads, replacements and unloads as the loaders do them: the registry finds the same
// entries as the plain list and keeps the same order.
TEST(RegistryProperty, AnswersLikeThePlainList) {
  std::mt19937 Random(11);
  // Names that differ in the case of ASCII letters, of Cyrillic letters (never equal), or not at all.
  const char *const Names[] = {"Places", "places", "PLACES", "Rivers", "\xD0\xE5\xEA\xE8", "\xF0\xE5\xEA\xE8", "a", "A b", "a B", ""};
  vok::TRegistry Registry;
  TReferenceRegistry Reference;
  for (int Step = 0; Step < 3000; ++Step) {
    const std::string Name = Names[Random() % 10];
    const vok::TRegistry::TEntry *Found = Registry.Find(Name);
    const int At = Reference.IndexOf(Name);
    ASSERT_EQ(Found != nullptr, At >= 0) << Step;
    if (Found) {
      ASSERT_EQ(Found->Lookup.get(), Reference.Entries()[static_cast<std::size_t>(At)].Lookup) << Step;
    }
    switch (Random() % 4) {
      case 0:  // a load that replaces the dictionary of the same name
        if (Found) Registry.Remove(Found), Reference.Remove(At);
        [[fallthrough]];
      case 1: {  // a registration beside an equal name, which the registry does not refuse
        auto Lookup = std::make_unique<vok::TLookup>();
        Reference.Add(Name, Lookup.get());
        Registry.Add(Name, std::move(Lookup));
        break;
      }
      case 2:  // an unload
        if (Found) Registry.Remove(Found), Reference.Remove(At);
        break;
      default:
        break;
    }
    ASSERT_EQ(Registry.Count(), Reference.Entries().size()) << Step;
    if (Step % 8) continue;  // the order is read now and then: removals gather between the readings
    for (std::size_t I = 0; I < Registry.Count(); ++I) {
      ASSERT_EQ(Registry[I].Name, Reference.Entries()[I].Name) << Step;
      ASSERT_EQ(Registry[I].Lookup.get(), Reference.Entries()[I].Lookup) << Step;
    }
  }
}

TEST(LookupPropertyFiles, MissingFileLeavesBothNotReady) {
  TLookup Lib;
  TReferenceLookup Ref;
  Lib.LoadVok("/nonexistent/dir/x.vok", "S", "", "*");
  Ref.LoadVok("/nonexistent/dir/x.vok", "S", "", "*");
  EXPECT_FALSE(Lib.Ready());
  EXPECT_FALSE(Ref.Ready());
}
