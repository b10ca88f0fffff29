// TLookup: the worked examples of the Places dictionary, which the reference dictionary of
// tools/bench must answer alike (the property test takes it for the yardstick), and the rules
// of loading, texts and the file reader.
#include "lookup/Lookup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <type_traits>

#include "lookup/VokFile.h"
#include "tests/common/LongItems.h"
#include "tests/common/TestFiles.h"
#include "tools/bench/ReferenceLookup.h"

using namespace vok;
using namespace vok::test;
using vok::bench::TReferenceLookup;

namespace {

const std::string Undefined = UndefinedValueText;

// Loads ABody (the lines after a section header) as section "S" of a file.
struct TLoaded {
  TTempFile File;
  TLookup Lookup;
  TLoaded(const std::string &ABody, const std::string &AFilter = "*") : File("[S]\n" + ABody) {
    Lookup.LoadVok(File.Path(), "S", "", AFilter);
  }
};

// The search the export runs, of either dictionary.
std::string Like(const TLookup &ALookup, std::string_view APattern, std::size_t ACapacity) {
  return LikeValues(ALookup, APattern, ACapacity);
}
std::string Like(const TReferenceLookup &ALookup, std::string_view APattern, std::size_t ACapacity) {
  return ALookup.GetLikeValues(APattern, ACapacity);
}

// The Places dictionary of the sample file, loaded into TLookup or into the reference.
template <typename TDictionary>
class PlacesTest : public ::testing::Test {
 protected:
  TTempFile File{PlacesFile()};
  TDictionary Places;
  void SetUp() override {
    Places.LoadVok(File.Path(), "Places", "", "*");
    ASSERT_TRUE(Places.Ready());
  }
};

struct TDictionaryName {
  template <typename TDictionary>
  static std::string GetName(int) { return std::is_same_v<TDictionary, TLookup> ? "Lookup" : "Reference"; }
};
using TDictionaries = ::testing::Types<TLookup, TReferenceLookup>;
TYPED_TEST_SUITE(PlacesTest, TDictionaries, TDictionaryName);

// What the Places dictionary answers for a code: its text, extra text, display string and level.
struct TPlacesItem {
  int32_t Code;
  const char *Text, *Extra, *Display;
  int Level;
};
const TPlacesItem PlacesItems[] = {
    {1101001, "Stone village", "pop. 120", "North region, Lake district, Stone village", 2},
    {1101000, "Lake district", "", "North region, Lake district", 1},
    {1200000, "South region", "coastal", "South region", 0},
    {1103000, "", "", "", 1},
    {1100005, "", "", "", 2},
    {21100000, "", "", "", 0},
    {-1101000, "", "", "", 1},
};

}  // namespace

TYPED_TEST(PlacesTest, LoadsLevelsInFileOrder) {
  const auto &Places = this->Places;
  EXPECT_EQ(Places.VokName(), "Places");
  EXPECT_EQ(Places.VokPath(), this->File.Path());
  EXPECT_EQ(Places.Formats(), (std::vector<int32_t>{2, 2, 3}));
  EXPECT_EQ(Places.Display(), "%1%2%3");
  EXPECT_EQ(Places.Delimiter(), ",");
  ASSERT_EQ(Places.GroupCount(), 3);
  EXPECT_EQ(LevelRows(Places, 0), (TRows{{1100000, "North region"}, {1200000, "South region"}}));
  EXPECT_EQ(LevelRows(Places, 1), (TRows{{1101000, "Lake district"}, {1102000, "Forest district"}}));
  EXPECT_EQ(LevelRows(Places, 2), (TRows{{1101001, "Stone village"}, {1101002, "Hill town"}}));
}

TYPED_TEST(PlacesTest, LevelArithmetic) {
  const auto &Places = this->Places;
  for (const TPlacesItem &I : PlacesItems) EXPECT_EQ(Places.GetGroupId(I.Code), I.Level) << I.Code;
  EXPECT_EQ(Places.GetGroupId(1100000), 0);
  EXPECT_EQ(Places.GetGroupId(0), 0);
  for (const auto &[Level, Code] : {std::pair{0, 1100000}, {1, 1101000}, {2, 1101001}, {5, 1101001}, {-1, 0}})
    EXPECT_EQ(Places.SetGroupId(1101001, Level), Code) << Level;
  EXPECT_EQ(Places.SetGroupId(-1101000, 0), -1100000);
  EXPECT_THROW(Places.SetGroupId(1101001, -2), std::out_of_range);
  const int32_t Divisors[] = {1, 100000, 1000, 1, 1};
  for (int Level = -1; Level <= 3; ++Level) EXPECT_EQ(Places.GetLevelDivisor(Level), Divisors[Level + 1]) << Level;
}

TYPED_TEST(PlacesTest, ItemQueries) {
  const auto &Places = this->Places;
  for (const TPlacesItem &I : PlacesItems) {
    EXPECT_EQ(Places.GetItemText(I.Code), I.Text) << I.Code;
    EXPECT_EQ(Places.GetItemExtra(I.Code), I.Extra) << I.Code;
    EXPECT_EQ(Places.ItemExists(I.Code), *I.Text != '\0') << I.Code;
  }
  EXPECT_THROW(Places.GetLevelItemCount(3), std::out_of_range);
  EXPECT_THROW(Places.GetLevelItemCount(-1), std::out_of_range);
  EXPECT_THROW(Places.GetLevelItem(2, 2), std::out_of_range);
}

TYPED_TEST(PlacesTest, LoadGroupListsChildrenSiblingsAndTop) {
  const auto &Places = this->Places;
  TCodeList L, Sorted(true, TDuplicates::Ignore);
  const auto Group = [&](int ALevel, int32_t AFilter, TCodeList &AList) {
    Places.LoadGroup(ALevel, AFilter, AList);
    return Rows(AList);
  };
  const TRows Districts{{1101000, "Lake district"}, {1102000, "Forest district"}, {-1, Undefined}};
  EXPECT_EQ(Group(1, 1100000, L), Districts);
  EXPECT_EQ(Group(1, 1101001, L), Districts);
  EXPECT_EQ(Group(0, 0, L), (TRows{{1100000, "North region"}, {1200000, "South region"}, {-1, Undefined}}));
  Places.LoadGroup(2, 1102000, L);
  EXPECT_TRUE(L.Empty());
  EXPECT_THROW(Places.LoadGroup(3, 0, L), std::out_of_range);
  EXPECT_EQ(Group(1, 1100000, Sorted),
            (TRows{{-1, Undefined}, {1102000, "Forest district"}, {1101000, "Lake district"}}));
}

TYPED_TEST(PlacesTest, PrevGroupsListsAncestorsTopFirst) {
  const auto &Places = this->Places;
  using TPath = std::vector<std::string>;
  TPath S{"stale"};  // each call replaces what the list held
  const auto Prev = [&](int32_t ACode) { return Places.GetPrevGroups(ACode, S), S; };
  EXPECT_EQ(Prev(1101001), (TPath{"North region", "Lake district"}));
  EXPECT_TRUE(Prev(1100000).empty());
  EXPECT_EQ(Prev(1100005), (TPath{"North region", "North region"}));
  EXPECT_EQ(Prev(1301001), (TPath{"", ""}));
}

// A filter keeps tagged lines only when their tag is listed; lines without "#" always load.
TYPED_TEST(PlacesTest, FilterKeepsTaggedItemsOnlyWhenListed) {
  TypeParam Urban;
  Urban.LoadVok(this->File.Path(), "Places", "North", "urban");
  ASSERT_TRUE(Urban.Ready());
  EXPECT_EQ(Urban.VokName(), "North");
  EXPECT_EQ(LevelRows(Urban, 0), (TRows{{1100000, "North region"}}));
  EXPECT_EQ(LevelRows(Urban, 2), (TRows{{1101002, "Hill town"}}));
  EXPECT_EQ(Urban.GetLevelItemCount(1), 2);
  EXPECT_FALSE(Urban.ItemExists(1101001));
  EXPECT_TRUE(Urban.ItemExists(1101002));
  EXPECT_FALSE(Urban.ItemExists(1200000));
}

TYPED_TEST(PlacesTest, DisplayStringsFollowTheTemplate) {
  for (const TPlacesItem &I : PlacesItems) EXPECT_EQ(this->Places.GetItemString(I.Code), I.Display) << I.Code;
}

// The search, and the section asked for in another case.
TYPED_TEST(PlacesTest, AnswersTheWorkedExamples) {
  const auto &Places = this->Places;
  EXPECT_EQ(Like(Places, "ILL", 30), "1101001;1101002;");
  EXPECT_EQ(Like(Places, "ILL", 8), "1101001;");
  EXPECT_EQ(Like(Places, "ILL", 7), "");
  EXPECT_EQ(Like(Places, "lake", 30), "1101000;");
  EXPECT_EQ(Like(Places, "", 30), "");
  TypeParam Lower;
  Lower.LoadVok(this->File.Path(), "places", "", "*");
  ASSERT_TRUE(Lower.Ready());
  EXPECT_EQ(Lower.VokName(), "places");
}

// Display strings under other templates and delimiters, and texts beyond 255 characters.
TYPED_TEST(PlacesTest, DisplayStringRules) {
  const struct {
    const char *Display, *Delimit;
    int32_t Code;
    const char *Expected;
  } Cases[] = {
      {"%1%2%3", "", 1101001, "North region Lake district Stone village"},
      {"%2 (%1)", ",", 1101001, ", Lake district (North region)"},
      {"none", ",", 1101001, "none"},
      {"%1%2%3", ",", 1301001, ""},
      {"%1|%3", ",", 1302001, "|Gap village"},
      {"%1%2%3", ",", 1401001, "East region, , Lone village"},
      {"%2%2", "-", 1101001, "Lake districtLake district"},
  };
  for (const auto &C : Cases) {
    TLines Lines{"Format=2,2,3", std::string("Display=") + C.Display, std::string("Delimit=") + C.Delimit,
                 "1100000=North region", "1101000=Lake district", "1101001=Stone village",
                 "1302001=Gap village", "1400000=East region", "1401001=Lone village"};
    TypeParam P;
    P.LoadVokEx("f", &Lines, "S", "", "*");
    ASSERT_TRUE(P.Ready());
    EXPECT_EQ(P.GetItemString(C.Code), C.Expected) << C.Display << " " << C.Code;
  }
  TLines Long{"Format=3", "Display=", "Delimit=", "1=" + std::string(300, 'x'), "2=a#" + std::string(255, ' ') + "b"};
  TypeParam P;
  P.LoadVokEx("f", &Long, "S", "", "*");
  ASSERT_TRUE(P.Ready());
  EXPECT_EQ(P.GetItemText(1).size(), 255u);
  EXPECT_EQ(P.GetItemExtra(2), "");
  if constexpr (std::is_same_v<TypeParam, TReferenceLookup>) {
    EXPECT_EQ(P.Level(0)[0].Text.size(), 300u);
    EXPECT_TRUE(P.ExtraList().empty());
  }
}

TEST(LookupLoad, SectionHeadersMatchIgnoringCaseButNotInnerBlanks) {
  TTempFile F("  [places]  \nFormat=3\nDisplay=\nDelimit=\n1=a\n[ Other ]\nFormat=3\nDisplay=\nDelimit=\n");
  TLookup L;
  L.LoadVok(F.Path(), "Places", "", "*");
  EXPECT_TRUE(L.Ready());
  EXPECT_EQ(L.VokName(), "Places");
  L.LoadVok(F.Path(), "Other", "", "*");
  EXPECT_FALSE(L.Ready());
  L.LoadVok(F.Path(), " Other ", "", "*");
  EXPECT_TRUE(L.Ready());
}

TEST(LookupLoad, CyrillicSectionNamesMatchInAnyCase) {
  // [Реки] in the file, looked up as РЕКИ.
  TTempFile F("[\xD0\xE5\xEA\xE8]\nFormat=3\nDisplay=\nDelimit=\n");
  TLookup L;
  L.LoadVok(F.Path(), "\xD0\xC5\xCA\xC8", "", "*");
  EXPECT_TRUE(L.Ready());
}

TEST(LookupLoad, HeaderKeyRules) {
  struct TCase {
    std::string Body;
    bool Ready;
  } Cases[] = {
      {"Format=2,2\nDisplay=\nDelimit=\n", true},
      {"FORMAT=2,2\ndisplay=\nDeLiMiT=\n", true},
      {"  Format=2,2\nDisplay=\nDelimit=\n", false},  // indented key is not found
      {"Format =2,2\nDisplay=\nDelimit=\n", false},
      {"Format=2, 2\nDisplay=\nDelimit=\n", true},   // blank before a number
      {"Format=2 ,2\nDisplay=\nDelimit=\n", false},  // blank after a number
      {"Format=\nDisplay=\nDelimit=\n", false},
      {"Format=2,\nDisplay=\nDelimit=\n", false},
      {"Format=$2,x3\nDisplay=\nDelimit=\n", true},
      {"Format=2\nDisplay=\n", false},
      {"Format=2\nDelimit=\n", false},
      {"Display=\nDelimit=\n", false},
      {"Format=2\nDisplay=" + std::string(255, 'd') + "\nDelimit=\n", true},
      {"Format=" + std::string(300, ' ') + "2\nDisplay=\nDelimit=\n", true},  // no limit there
      {"Format=2\nDisplay=" + std::string(256, 'd') + "\nDelimit=\n", false},
      {"Format=2\nDisplay=\nDelimit=" + std::string(256, ',') + "\n", false},
  };
  for (const TCase &C : Cases) {
    TLoaded L(C.Body);
    EXPECT_EQ(L.Lookup.Ready(), C.Ready) << C.Body;
  }
}

TEST(LookupLoad, FirstHeaderLineCountsAndValuesKeepTrailingBlanks) {
  TLoaded L("Format=2,3\nDisplay=%1 \nDelimit=; \nFormat=7\nDisplay=x\n10000=Top\n");
  ASSERT_TRUE(L.Lookup.Ready());
  EXPECT_EQ(L.Lookup.GroupCount(), 2);
  EXPECT_EQ(L.Lookup.Display(), "%1 ");
  EXPECT_EQ(L.Lookup.Delimiter(), "; ");
  EXPECT_EQ(L.Lookup.GetItemText(10000), "Top");
}

TEST(LookupLoad, LoadVokExRemovesExactlyTheHeaderLinesUsed) {
  TLines Lines{"1=a", "format=3", "Display=%1", "Format=9", "Delimit=-", "2=b", "Delimit=+"};
  TLookup L;
  L.LoadVokEx("file.vok", &Lines, "  Name ", "", "*");
  ASSERT_TRUE(L.Ready());
  EXPECT_EQ(L.VokName(), "Name");
  EXPECT_EQ(L.VokPath(), "file.vok");
  EXPECT_EQ(Lines, (TLines{"1=a", "Format=9", "2=b", "Delimit=+"}));
  EXPECT_EQ(L.GetLevelItemCount(0), 2);
  L.LoadVokEx("file.vok", nullptr, "Name", "", "*");
  EXPECT_FALSE(L.Ready());
}

TEST(LookupLoad, NamesAndAliasesAreTrimmed) {
  TLines Lines{"Format=3", "Display=", "Delimit="};
  TLookup L;
  TLines Copy = Lines;
  L.LoadVokEx("f", &Copy, "Name", " \t Alias \r", "*");
  EXPECT_EQ(L.VokName(), "Alias");
  Copy = Lines;
  L.LoadVokEx("f", &Copy, " \t ", "Alias", "*");
  EXPECT_FALSE(L.Ready());
}

TEST(LookupLoad, ItemLineRules) {
  TLoaded L(
      "Format=1,2\nDisplay=%1%2\nDelimit=,\n"
      "100= spaced text \n"
      "200=a=b#extra  \n"
      " 300=indented code\n"
      "400 =code with blank after\n"
      "x=not a number\n"
      "no equals sign\n"
      "201=with tag#x#t#u\n"
      "202=blank extra#   \n"
      "-100=negative\n"
      "0x1F5=hex\n"
      "99999999999=too big\n"
      "100=duplicate\n");
  const TLookup &D = L.Lookup;
  ASSERT_TRUE(D.Ready());
  EXPECT_EQ(D.GetItemText(100), " spaced text ");
  EXPECT_EQ(D.GetItemText(200), "a=b");
  EXPECT_EQ(D.GetItemExtra(200), "extra  ");
  EXPECT_EQ(D.GetItemText(300), "indented code");
  EXPECT_FALSE(D.ItemExists(400));
  EXPECT_EQ(D.GetItemExtra(201), "x");
  EXPECT_EQ(D.GetItemExtra(202), "");
  EXPECT_EQ(D.GetItemText(-100), "negative");
  EXPECT_EQ(D.GetItemText(501), "hex");
  EXPECT_EQ(D.GetLevelItemCount(0), 5);  // 100, 200, 300, -100 and the duplicate 100
  EXPECT_EQ(D.GetLevelItemCount(1), 3);  // 201, 202, 501
}

TEST(LookupLoad, DuplicateCodesAreKeptAndTheFirstIsFound) {
  TLoaded L("Format=3\nDisplay=\nDelimit=\n5=first#x1\n5=second#x2\n");
  EXPECT_EQ(L.Lookup.GetLevelItemCount(0), 2);
  EXPECT_EQ(L.Lookup.GetItemText(5), "first");
  EXPECT_EQ(L.Lookup.GetItemExtra(5), "x1");
}

TEST(LookupLoad, FilterRules) {
  const std::string Body = "Format=3\nDisplay=\nDelimit=\n1=plain\n2=untagged#e\n3=a#e#A\n4=b#e#b\n5=ab#e#a;b\n";
  struct TCase {
    const char *Filter;
    std::vector<int32_t> Codes;
  } Cases[] = {
      {"*", {1, 2, 3, 4, 5}},
      {"", {1, 2}},  // the list holding only the empty tag
      {"A", {1, 3}},
      {"a", {1}},  // tags compare with case
      {"b;A", {1, 3, 4}},
      {" *", {1}},
      {"a;b", {1, 4, 5}},  // the tag "a;b" stands in ";a;b;" as a whole
  };
  for (const TCase &C : Cases) {
    TLoaded L(Body, C.Filter);
    std::vector<int32_t> Got;
    for (int I = 0; I < L.Lookup.GetLevelItemCount(0); ++I) Got.push_back(L.Lookup.GetLevelItem(0, I).Code);
    EXPECT_EQ(Got, C.Codes) << "filter '" << C.Filter << "'";
  }
}

TEST(LookupLoad, OneLevelDictionaryPutsEveryCodeOnLevelZero) {
  TLoaded L("Format=3\nDisplay=%1\nDelimit=\n100=a\n123=b\n7=c\n");
  ASSERT_EQ(L.Lookup.GroupCount(), 1);
  EXPECT_EQ(L.Lookup.GetLevelItemCount(0), 3);
  EXPECT_EQ(L.Lookup.GetGroupId(123), 0);
  EXPECT_EQ(L.Lookup.SetGroupId(123, 0), 123);
  EXPECT_EQ(L.Lookup.GetLevelDivisor(0), 1);
}

TEST(LookupLoad, ReloadEmptiesTheDictionaryFirst) {
  TTempFile F(PlacesFile());
  TLookup L;
  L.LoadVok(F.Path(), "Places", "", "*");
  ASSERT_TRUE(L.Ready());
  L.LoadVok(F.Path(), "Missing", "", "*");
  EXPECT_FALSE(L.Ready());
  EXPECT_EQ(L.GroupCount(), 0);
  EXPECT_EQ(L.VokName(), "");
  EXPECT_FALSE(L.ItemExists(1100000));
}

TEST(LookupLoad, SectionEndsAtNextHeaderAndSkipsBlankLines) {
  TTempFile F("[A]\n\n   \nFormat=3\nDisplay=\n\t\nDelimit=\n1=one\n [B] \n2=two\n");
  TLookup L;
  L.LoadVok(F.Path(), "A", "", "*");
  ASSERT_TRUE(L.Ready());
  EXPECT_TRUE(L.ItemExists(1));
  EXPECT_FALSE(L.ItemExists(2));
}

TEST(LookupLoad, BadFilesLeaveTheDictionaryNotReady) {
  TLookup L;
  L.LoadVok("/nonexistent/file.vok", "S", "", "*");
  EXPECT_FALSE(L.Ready());
  L.LoadVok("/tmp", "S", "", "*");
  EXPECT_FALSE(L.Ready());
  TTempFile Binary(std::string("\x00\xFF\x01[S]\x00\n", 8) + std::string(1000, '\0'));
  L.LoadVok(Binary.Path(), "S", "", "*");
  EXPECT_FALSE(L.Ready());
}

TEST(TextReader, LineEndsAndEndOfText) {
  TTempFile F(std::string("a\r\nb\rc\n\nlong") + std::string(200000, 'x') + "\nz\x1A" "after\n\x1A" "gone\nmore");
  TTextReader R(F.Path());
  std::vector<std::string> Lines;
  std::string Line;
  while (R.ReadLine(Line)) Lines.push_back(Line);
  ASSERT_EQ(Lines.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(Lines.begin(), Lines.begin() + 3), (std::vector<std::string>{"a", "bc", ""}))
      << "a lone carriage return is dropped";
  EXPECT_EQ(Lines[3].size(), 200004u);
  EXPECT_EQ(Lines[4], "z\x1A" "after");  // only a leading 26 ends the text
  EXPECT_EQ(R.LineNumber(), 5u);
}

namespace {

// A stream that cannot seek, holding AText (short enough for the pipe's buffer).
std::FILE *PipeHolding(const std::string &AText) {
  int Fds[2];
  if (pipe(Fds) != 0) return nullptr;
  EXPECT_EQ(write(Fds[1], AText.data(), AText.size()), static_cast<ssize_t>(AText.size()));
  close(Fds[1]);
  return fdopen(Fds[0], "r");
}

std::vector<std::string> Plus(std::vector<std::string> A, const std::vector<std::string> &B) {
  A.insert(A.end(), B.begin(), B.end());
  return A;
}

}  // namespace

// The encoding is decided once, from the whole file: after a byte order mark UTF-8 or UTF-16;
// without one UTF-8 when the file is valid UTF-8 to its end, otherwise the code page. UTF-8 and
// UTF-16 lines are handed out in the code page, "?" for what it cannot hold. In every block
// size, from a stream that seeks and from one that cannot.
TEST(TextReader, Encodings) {
  const std::string Mark = "\xEF\xBB\xBF";
  const auto Le = [](const std::string &AUtf8) { return "\xFF\xFE" + Iconv(AUtf8, "UTF-16LE", "UTF-8"); };
  const auto Be = [](const std::string &AUtf8) { return "\xFE\xFF" + Iconv(AUtf8, "UTF-16BE", "UTF-8"); };
  const std::string Utf16Text = "\xD0\x90\xD0\xB1\r\n\xE2\x82\xAC \xF0\x9F\x98\x80\n\x1A" "gone\n";  // Аб, € and an emoji
  // "Аб" in UTF-8, line after line past the reader's first block; the byte at 1 MiB ends a letter.
  const std::size_t N = (1 << 20) / 5 + 1;
  std::string Big;
  for (std::size_t I = 0; I < N; ++I) Big += "\xD0\x90\xD0\xB1\n";
  const std::vector<std::string> BigRaw(N, "\xD0\x90\xD0\xB1"), BigAnsi(N, "\xC0\xE1");
  const struct {
    const char *Label;
    std::string Text;
    TEncoding Encoding;
    std::vector<std::string> Lines;
  } Cases[] = {
      {"mark, Cyrillic and the euro sign", Mark + "\xD0\x90\xD0\xB1\r\n\xE2\x82\xAC 1\n", TEncoding::Utf8Mark,
       {"\xC0\xE1", "\x88 1"}},
      {"mark, what 1251 cannot hold", Mark + "a\xC3\xBC\xE4\xB8\xAD\n\xFF\xD0\n", TEncoding::Utf8Mark, {"a??", "??"}},
      {"mark alone", Mark, TEncoding::Utf8Mark, {}},
      {"mark, then the end of the text", Mark + "\x1A" "gone\n", TEncoding::Utf8Mark, {}},
      {"UTF-8 without the mark after ASCII lines", "ab\ncd\xD0\x90\r\n\xE2\x82\xAC\xC3\xBC\n", TEncoding::Utf8,
       {"ab", "cd\xC0", "\x88?"}},
      {"UTF-8 cut short at the end", "\xD0\x90\n\xD0", TEncoding::Ansi, {"\xD0\x90", "\xD0"}},
      {"UTF-8, then Windows-1251", "\xD0\x90\n\xC0\xE1\n", TEncoding::Ansi, {"\xD0\x90", "\xC0\xE1"}},
      {"the mark's first bytes only", "\xEF\xBB" "a\n", TEncoding::Ansi, {"\xEF\xBB" "a"}},
      {"shorter than the mark", "ab", TEncoding::Ansi, {"ab"}},
      {"Windows-1251", "\xC0\xE1\n", TEncoding::Ansi, {"\xC0\xE1"}},
      {"UTF-16 LE", Le(Utf16Text), TEncoding::Utf16Le, {"\xC0\xE1", "\x88 ?"}},
      {"UTF-16 BE", Be(Utf16Text), TEncoding::Utf16Be, {"\xC0\xE1", "\x88 ?"}},
      {"UTF-16, unpaired surrogates, an odd last byte",
       std::string("\xFF\xFE" "\x00\xD8" "a\x00" "\n\x00" "\x00\xDC" "\n\x00" "\x3D\xD8" "b", 15), TEncoding::Utf16Le,
       {"?a", "?", "??"}},
      {"UTF-16 mark alone", "\xFE\xFF", TEncoding::Utf16Be, {}},
      {"UTF-8 across the first block's end", Big + "\xE2\x82\xAC\n", TEncoding::Utf8, Plus(BigAnsi, {"\x88"})},
      {"invalid UTF-8 only at the end of a large file", Big + "\xFF", TEncoding::Ansi, Plus(BigRaw, {"\xFF"})},
      {"Windows-1251 that is valid UTF-8 in its first block", Big + "\xC0\xE1\n" + Big, TEncoding::Ansi,
       Plus(Plus(BigRaw, {"\xC0\xE1"}), BigRaw)},
  };
  for (const auto &C : Cases) {
    const bool Large = C.Text.size() > (1 << 20);
    const TTempFile File(C.Text);
    std::vector<std::pair<std::string, std::size_t>> Streams = {{"the file", 0}};  // 0: by name
    for (std::size_t Block : {1, 2, 3, 4, 5})
      if (!Large) Streams.push_back({"a file", Block}), Streams.push_back({"a pipe", Block});
    for (const auto &[Kind, Block] : Streams) {
      SCOPED_TRACE(std::string(C.Label) + ", " + Kind + " in blocks of " + std::to_string(Block));
      const std::unique_ptr<TTextReader> R =
          !Block ? std::make_unique<TTextReader>(File.Path())
                 : std::make_unique<TTextReader>(
                       Kind == "a pipe" ? PipeHolding(C.Text) : std::fopen(File.Path().c_str(), "rb"), Block);
      std::vector<std::string> Lines;
      for (std::string_view Line; R->ReadLine(Line);) {
        Lines.emplace_back(Line);
        if (R->LineConverted()) {
          EXPECT_EQ(Utf8ToAnsi(R->Utf8Line()), Line);
        }
      }
      if (Large) {
        EXPECT_TRUE(Lines == C.Lines) << Lines.size() << " lines instead of " << C.Lines.size();
      } else {
        EXPECT_EQ(Lines, C.Lines);
      }
      EXPECT_EQ(R->LineNumber(), C.Lines.size());
      EXPECT_EQ(R->Encoding(), C.Encoding);
    }
  }
  // The loaders take a section of such a file as the code page holds it: [Аб] with the item "Вг".
  const std::string Section = "[\xD0\x90\xD0\xB1]\nFormat=1\nDisplay=%1\nDelimit=\n1=\xD0\x92\xD0\xB3\n";
  for (const std::string &Text : {Mark + Section, Section, Le(Section), Be(Section)}) {
    const TTempFile File(Text);
    TLookup L;
    L.LoadVok(File.Path(), "\xC0\xE1", "", "*");
    EXPECT_EQ(L.GetItemText(1), "\xC2\xE3");
    TTextReader Reader(File.Path());
    LoadAllSections(Reader, File.Path(), [](std::string_view AName, std::unique_ptr<TLookup> ALookup) {
      EXPECT_EQ(AName, "\xC0\xE1");
      EXPECT_EQ(ALookup->GetItemText(1), "\xC2\xE3");
    });
  }
}

TEST(TextReader, MissingFileRaisesInOutError) {
  EXPECT_THROW(TTextReader("/nonexistent/x.vok"), EInOutError);
  TTextReader Dir("/tmp");
  std::string Line;
  EXPECT_THROW(Dir.ReadLine(Line), EInOutError);
}

TEST(LookupTexts, MissingAncestorStillShowsTheDelimiterOncePlaced) {
  TLoaded L("Format=1,1,1\nDisplay=%1|%2|%3\nDelimit=;\n100=Top\n111=Leaf\n");
  EXPECT_EQ(L.Lookup.GetItemString(111), "Top|; |; Leaf");
  TLoaded Orphan("Format=1,1,1\nDisplay=%1%2%3\nDelimit=;\n111=Leaf\n");
  EXPECT_EQ(Orphan.Lookup.GetItemString(111), "Leaf");  // empty parts place nothing
}

TEST(LookupLoad, ItemsBeforeTheHeaderLinesKeepFileOrder) {
  TLoaded L("10=first\n1=child\nFormat=1,1\n20=second\nDisplay=%1\n2=child2\nDelimit=\n30=third\n");
  ASSERT_TRUE(L.Lookup.Ready());
  EXPECT_EQ(LevelRows(L.Lookup, 0), (TRows{{10, "first"}, {20, "second"}, {30, "third"}}));
  EXPECT_EQ(LevelRows(L.Lookup, 1), (TRows{{1, "child"}, {2, "child2"}}));
}

TEST(LookupLoad, ExtraTextOfADuplicateCodeIsTheFirstNonBlankOne) {
  TLoaded L("Format=3\nDisplay=\nDelimit=\n5=a\n5=b#  \n5=c#second\n5=d#third\n6=e#x\n6=f#y\n");
  EXPECT_EQ(L.Lookup.GetItemText(5), "a");
  EXPECT_EQ(L.Lookup.GetItemExtra(5), "second");
  EXPECT_EQ(L.Lookup.GetItemExtra(6), "x");
}

TEST(LookupLoad, ManyItemsAcrossStorageBlocks) {
  std::string Body = "Format=1,4\nDisplay=%1%2\nDelimit=,\n";
  for (int Top = 1; Top <= 3; ++Top)
    for (int I = 1; I <= 3000; ++I) Body += std::to_string(Top * 10000 + I) + "=item " + std::to_string(I) + "#x" + std::to_string(I) + "\n";
  Body += "10000=one\n20000=" + std::string(400000, 'w') + "\n30000=three\n";
  TLoaded L(Body);
  ASSERT_TRUE(L.Lookup.Ready());
  EXPECT_EQ(L.Lookup.GetLevelItemCount(1), 9000);
  EXPECT_EQ(L.Lookup.GetItemText(22999), "item 2999");
  EXPECT_EQ(L.Lookup.GetItemExtra(32999), "x2999");
  EXPECT_EQ(L.Lookup.GetItemText(20000), std::string(255, 'w'));
  EXPECT_EQ(L.Lookup.GetItemString(30001), "three, item 1");
  TCodeList Children;
  L.Lookup.LoadGroup(1, 20000, Children);
  ASSERT_EQ(Children.Count(), 3001);
  EXPECT_EQ(Children[0].Code, 20001);
  EXPECT_EQ(Children[2999].Code, 23000);
  EXPECT_EQ(Children[3000].Code, -1);
}

namespace {

// Compares long texts without printing them: their lengths and the first position that differs.
testing::AssertionResult WholeText(const std::string &AGot, const std::string &AWant) {
  if (AGot == AWant) return testing::AssertionSuccess();
  std::size_t I = 0;
  while (I < AGot.size() && I < AWant.size() && AGot[I] == AWant[I]) ++I;
  return testing::AssertionFailure() << "length " << AGot.size() << " instead of " << AWant.size()
                                     << ", first difference at " << I;
}

// Every text of section S whole where the dictionary hands it out whole (the rows of a level
// list), cut at 255 where it hands out a short string.
void ExpectWhole(const TLookup &L, const TLongItem &C) {
  ASSERT_TRUE(L.Ready());
  TCodeList Rows;
  L.LoadGroup(0, 0, Rows);
  ASSERT_EQ(Rows.Count(), 4);
  const TRows Want = {{1, "one"}, {2, C.Text()}, {3, "three"}, {-1, Undefined}};
  for (int I = 0; I < 4; ++I) {
    EXPECT_TRUE(WholeText(Rows[I].Text, Want[I].Text)) << "row " << I;
    EXPECT_EQ(Rows[I].Code, Want[I].Code);
  }
  EXPECT_TRUE(WholeText(L.GetItemText(2), ShortStr(C.Text())));
  EXPECT_TRUE(WholeText(L.GetLevelItem(0, 1).Text, ShortStr(C.Text())));
  EXPECT_TRUE(WholeText(L.GetItemString(2), ShortStr(C.Text())));
  EXPECT_TRUE(WholeText(L.GetItemExtra(2), ShortStr(C.Extra())));
  EXPECT_EQ(L.GetItemExtra(1), "first");
  EXPECT_EQ(L.GetItemExtra(3), "third");
  EXPECT_EQ(L.GetItemText(3), "three");
}

}  // namespace

TEST(LookupLoad, TextsOfEveryLengthAroundTheStoreAndReaderSizesComeBackWhole) {
  for (const TLongItem &C : LongItems()) {
    SCOPED_TRACE(C.Label());
    const TTempFile File(C.File());
    TLookup L;
    L.LoadVok(File.Path(), "S", "", "*");
    ExpectWhole(L, C);
    TLines Lines;
    ReadSection(File.Path(), "S", Lines);
    L.LoadVokEx(File.Path(), &Lines, "S", "", "*");
    ExpectWhole(L, C);
    TTextReader Reader(File.Path());
    std::vector<std::string> Names;
    LoadAllSections(Reader, File.Path(), [&](std::string_view AName, std::unique_ptr<TLookup> ALookup) {
      Names.emplace_back(AName);
      if (AName == "S") {
        ExpectWhole(*ALookup, C);
      } else {
        EXPECT_EQ(ALookup->GetItemText(1), "t");
      }
    });
    EXPECT_EQ(Names, (std::vector<std::string>{"S", "T"}));
  }
}

// Texts of every such length in one dictionary, longest first and shortest first, so that each
// opens a block after blocks of every other size.
TEST(LookupLoad, TextsOfEveryLengthInOneDictionary) {
  std::vector<std::size_t> Lengths;
  for (const TLongItem &C : LongItems())
    if (!C.InExtra) Lengths.push_back(C.Length);
  for (bool Longest : {true, false}) {
    std::sort(Lengths.begin(), Lengths.end());
    if (Longest) std::reverse(Lengths.begin(), Lengths.end());
    std::string Body = "Format=3\nDisplay=%1\nDelimit=\n";
    for (std::size_t I = 0; I < Lengths.size(); ++I)
      Body += std::to_string(I + 1) + "=" + LongText(Lengths[I], 'A' + I % 5) + "#" + LongText(300, 'a') + "\n";
    TLoaded L(Body);
    ASSERT_TRUE(L.Lookup.Ready());
    TCodeList Rows;
    L.Lookup.LoadGroup(0, 0, Rows);
    ASSERT_EQ(Rows.Count(), static_cast<int>(Lengths.size()) + 1);
    for (std::size_t I = 0; I < Lengths.size(); ++I) {
      EXPECT_TRUE(WholeText(Rows[static_cast<int>(I)].Text, LongText(Lengths[I], 'A' + I % 5))) << Lengths[I];
      EXPECT_EQ(L.Lookup.GetItemExtra(static_cast<int32_t>(I + 1)), LongText(255, 'a'));
    }
  }
}

// Lines ended by a carriage return alone are one line: such a file holds no section header, or,
// after a header of its own, a section whose keys are run together. Nothing loads; nothing breaks.
TEST(LookupLoad, CarriageReturnOnlyFileIsOneLine) {
  for (const std::size_t Length : {std::size_t(5000), std::size_t(300000)}) {
    const std::string Text = TLongItem{false, Length}.File("\r");
    for (const std::string &Contents : {Text, "[S]\r\n" + Text.substr(4)}) {
      const TTempFile File(Contents);
      TLookup L;
      L.LoadVok(File.Path(), "S", "", "*");
      EXPECT_FALSE(L.Ready());
      TTextReader Reader(File.Path());
      int Sections = 0;
      LoadAllSections(Reader, File.Path(), [&](std::string_view, std::unique_ptr<TLookup> ALookup) {
        ++Sections;
        EXPECT_FALSE(ALookup->Ready());
      });
      EXPECT_EQ(Sections, Contents.compare(0, 5, "[S]\r\n") == 0 ? 1 : 0);
    }
  }
}
