// The dictionary authors' tool: check, tree, import, export and diff, run through its command line.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "lookup/Cp1251.h"
#include "lookup/Lookup.h"
#include "lookup/VokRules.h"
#include "tests/common/TestFiles.h"
#include "tools/vok/Import.h"
#include "tools/vok/VokTool.h"

using namespace vok;
using namespace vok::tool;
using vok::test::Crlf;
using vok::test::Iconv;
using vok::test::LevelRows;
using vok::test::Lines;
using vok::test::TRow;
using vok::test::TTempFile;

namespace {

struct TRun {
  int Status;
  std::string Out, Err;
};

TRun Vok(const std::vector<std::string> &AArgs) {
  std::ostringstream Out, Err;
  const int Status = RunVok(AArgs, Out, Err);
  return {Status, Out.str(), Err.str()};
}

// The diagnostics of a report about APath, without the file name: "LINE: severity: text".
std::vector<std::string> Diagnostics(const std::string &AReport, const std::string &APath) {
  std::vector<std::string> R;
  for (const std::string &L : Lines(AReport))
    if (L.compare(0, APath.size() + 1, APath + ":") == 0 && L.size() > APath.size() + 1 &&
        std::isdigit(static_cast<unsigned char>(L[APath.size() + 1])))
      R.push_back(L.substr(APath.size() + 1));
  return R;
}

// The summary lines of a check report, one per section.
std::vector<std::string> Summaries(const std::string &AReport) {
  std::vector<std::string> R;
  for (const std::string &L : Lines(AReport))
    if (!L.empty() && L[0] == '[') R.push_back(L);
  return R;
}

const std::string Undefined = UndefinedValueText;
const std::string Long300(300, 'x');
const std::string OneLevel = "[A]\nFormat=1\nDisplay=%1\nDelimit=\n";
const std::string TwoLevels = "[A]\nFormat=1,1\nDisplay=%1%2\nDelimit=\n";
const std::string ThreeLevels = "[A]\nFormat=1,1,1\nDisplay=%1%2%3\nDelimit=\n";

struct TCheckCase {
  const char *Name;
  std::string File;  // saved as UTF-16 when ReadAs names it
  int Status;
  std::vector<std::string> Diagnostics;
  std::string ReadAs = "Windows-1251";  // the encoding that the last line names
};

const TCheckCase CheckCases[] = {
    {"MissingFormat", "[A]\nDisplay=%1\nDelimit=,\n1=x\n", 2, {"1: error: section [A] has no \"Format=\" line"}},
    {"MissingDisplay", "[A]\nFormat=1\nDelimit=,\n1=x\n", 2, {"1: error: section [A] has no \"Display=\" line"}},
    {"MissingDelimit", "[A]\nFormat=1\nDisplay=%1\n1=x\n", 2, {"1: error: section [A] has no \"Delimit=\" line"}},
    {"RepeatedKey", OneLevel + "Display=x\n1=a\n", 1,
     {"5: warning: repeated \"Display=\" line: ignored, the one on line 3 counts"}},
    {"WidthBlankAfterNumber", "[A]\nFormat=2 ,2\nDisplay=%1\nDelimit=\n", 2,
     {"2: error: the 1st width of \"Format=\" does not convert: \"2 \": blank after the number"}},
    {"WidthTwoCommas", "[A]\nFormat=2,,3\nDisplay=%1\nDelimit=\n", 2,
     {"2: error: the 2nd width of \"Format=\" does not convert: it is empty (two commas in a row)"}},
    {"WidthCommaAtEnd", "[A]\nFormat=2,2,\nDisplay=%1\nDelimit=\n", 2,
     {"2: error: the 3rd width of \"Format=\" does not convert: it is empty (nothing after the last comma)"}},
    {"WidthCommaAtStart", "[A]\nFormat=,2\nDisplay=%1\nDelimit=\n", 2,
     {"2: error: the 1st width of \"Format=\" does not convert: it is empty (nothing before the first comma)"}},
    {"WidthNotANumber", "[A]\nFormat=2,a\nDisplay=%1\nDelimit=\n", 2,
     {"2: error: the 2nd width of \"Format=\" does not convert: \"a\": not a number (\"a\" is not a digit)"}},
    {"WidthOutOfRange", "[A]\nFormat=2147483648\nDisplay=%1\nDelimit=\n", 2,
     {"2: error: the 1st width of \"Format=\" does not convert: \"2147483648\": out of the 32-bit range "
      "-2147483648..2147483647"}},
    {"FormatWithoutValue", "[A]\nFormat=\nDisplay=%1\nDelimit=\n", 2,
     {"2: error: \"Format=\" has no value: it needs the digit width of each level, such as Format=2,2,3"}},
    {"WidthAfterTab", "[A]\nFormat=\t2\nDisplay=%1\nDelimit=\n", 2,
     {"2: error: the 1st width of \"Format=\" does not convert: \"\\t2\": a tab or control character before the "
      "number, where only spaces may stand"}},
    {"FormatLineEndsWithBlank", "[A]\nFormat=2,2 \nDisplay=%1%2\nDelimit=\n", 2,
     {"2: error: the 2nd width of \"Format=\" does not convert: \"2 \": blank after the number (LoadVok only)"}},
    {"WidthsNotPositiveOrTooMany", "[A]\nFormat=0,6,6\nDisplay=%1%2%3\nDelimit=\n", 1,
     {"2: warning: width 0 of level 1 is not positive: that level has no digits of its own",
      "2: warning: the widths of \"Format=\" add up to 12 digits; a 32-bit code has at most 10"}},
    {"DisplayTooLong", "[A]\nFormat=1\nDisplay=" + Long300 + "\nDelimit=\n", 2,
     {"3: error: \"Display=\" value is 300 characters long; at most 255 are allowed"}},
    {"DelimitTooLong", "[A]\nFormat=1\nDisplay=%1\nDelimit=" + Long300 + "\n", 2,
     {"4: error: \"Delimit=\" value is 300 characters long; at most 255 are allowed"}},
    {"DisplayTooLongWithItsTrailingBlank", "[A]\nFormat=1\nDisplay=%1" + std::string(253, 'x') + " \nDelimit=\n", 2,
     {"3: error: \"Display=\" value is 256 characters long; at most 255 are allowed (LoadVok only)"}},
    {"DelimitEndsWithBlank", "[A]\nFormat=1\nDisplay=%1\nDelimit=, \n", 1,
     {"4: warning: \"Delimit=\" value ends with blanks: LoadVok keeps them, LoadAllVok (which trims lines) drops them"}},
    {"PlaceholderOfNoLevel", "[A]\nFormat=1\nDisplay=%1%2\nDelimit=\n", 1,
     {"3: warning: placeholder \"%2\" of \"Display=\" names no level (the section has 1): it stays in the display "
      "strings as it is"}},
    {"DisplayWithoutPlaceholder", "[A]\nFormat=1\nDisplay=abc\nDelimit=\n", 1,
     {"3: warning: \"Display=\" has no placeholder %1..%1: every display string is this same text"}},
    {"BlankSectionName", "[ ]\nFormat=1\nDisplay=\nDelimit=\n", 2,
     {"1: error: the name of section [ ] is blank: LoadVok cannot load it, and LoadAllVok fails on it (\"Operation "
      "aborted\") and stops reading the file"}},
    {"EmptySectionName", "[]\nFormat=1\n" + OneLevel, 1,
     {"1: warning: section with an empty name: LoadAllVok skips it with its lines, and LoadVok cannot be asked for it"}},
    {"IndentedKey", "[A]\n  Format=1\nDisplay=%1\nDelimit=\n1=a\n", 2,
     {"2: error: the key \"Format\" is indented: LoadVok takes header keys only at the start of a line, so section "
      "[A] has no \"Format=\" line for it (LoadAllVok, which trims lines, accepts it)"}},
    {"IndentedKeyLeavesTheOtherLoadersFindings", "[A]\n  Format=1,1\nDisplay=%1\nDelimit=\n11=x\n", 2,
     {"2: error: the key \"Format\" is indented: LoadVok takes header keys only at the start of a line, so section "
      "[A] has no \"Format=\" line for it (LoadAllVok, which trims lines, accepts it)",
      "5: warning: item 11 lacks its ancestor 10 (level 1): the selection dialog cannot reach it by browsing"}},
    {"BlankBeforeEquals", "[A]\nFormat =1\nDisplay=%1\nDelimit=\n", 2,
     {"2: error: blank between \"Format\" and \"=\": not a header line, so section [A] has no \"Format=\" line"}},
    {"BlanksInsideBrackets", "[ A ]\nFormat=1\nDisplay=%1\nDelimit=\n", 2,
     {"1: error: the name of section [ A ] has blanks inside the brackets: LoadVok trims the name it is given and "
      "finds no such section (LoadAllVok registers it as \"A\")"}},
    {"RepeatedSectionName", OneLevel + "[a]\nFormat=2\nDisplay=%1\nDelimit=\n", 1,
     {"5: warning: LoadVok never reads section [a]: it reads the section on line 1, which has the same name; "
      "LoadAllVok loads both, and this one replaces the first"}},
    {"HeaderOnLastLine", OneLevel + "[B]", 2,
     {"5: warning: the header of section [B] is the last line of the file: LoadAllVok skips it",
      "5: error: section [B] has no \"Format=\" line", "5: error: section [B] has no \"Display=\" line",
      "5: error: section [B] has no \"Delimit=\" line"}},
    {"LineBeforeFirstSection", "1=a\n; comment\n" + OneLevel, 1,
     {"1: warning: line before the first section: no loader reads it"}},
    {"UnclosedHeader", OneLevel + "[B\n1=a\n", 1,
     {"5: warning: the line begins with \"[\" but does not end with \"]\": it is no section header"}},
    {"CodeNotConverting", OneLevel + "1O=a\n\t2=b\nnote=c\n3 d\n", 1,
     {"5: warning: line skipped: code \"1O\" does not convert: not a number (\"O\" is not a digit)",
      "6: warning: line skipped: code \"\\t2\" does not convert: a tab or control character before the number, "
      "where only spaces may stand (LoadVok only)",
      "8: warning: no \"=\" after the code: not an item line, ignored"}},
    {"DuplicateCode", OneLevel + "1=a\n1=b\n", 1,
     {"6: warning: duplicate code 1: the item on line 5 comes first, and lookups by code find that one"}},
    {"MissingAncestors", ThreeLevels + "111=c\n", 1,
     {"5: warning: item 111 lacks its ancestors 100 (level 1), 110 (level 2): the selection dialog cannot reach it "
      "by browsing"}},
    {"ZeroMiddleField", ThreeLevels + "100=a\n101=b\n", 1,
     {"6: warning: item 101 is on level 3 but its field of level 2 is zero: it has no parent on that level, and the "
      "selection dialog cannot reach it by browsing"}},
    {"MoreDigitsThanWidths", OneLevel + "12=a\n", 1,
     {"5: warning: code 12 has 2 digits, more than the 1 that \"Format=\" gives: the selection dialog cannot reach "
      "it from the top level"}},
    {"LongTexts", OneLevel + "1=" + Long300 + "\n2=a#" + Long300 + "\n", 1,
     {"5: warning: text of item 1 is 300 characters long: the library hands out only the first 255",
      "6: warning: extra text of item 2 is 300 characters long: the library hands out only the first 255"}},
    {"SameTextUnderOneParent", OneLevel + "1=Abc\n2=aBC\n", 1,
     {"6: warning: item 2 has the same text as item 1 (line 5) under the same parent: the selection dialog shows "
      "one row for both, and it stands for item 1"}},
    {"TextBeforeUndefinedRow", TwoLevels + "10=!top\n11=child\n", 1,
     {"5: warning: the text of item 10 sorts before \"" + Undefined +
      "\": in the selection dialog it takes row 0, which ends the dialog at once, so the items under it cannot be "
      "opened"}},
    {"CodesMinusOneAndZero", OneLevel + "-1=a\n0=b\n", 1,
     {"5: warning: code -1 is the code of the dialog row \"" + Undefined + "\": a host cannot tell this item from "
      "that row",
      "6: note: code 0: the selection dialog returns 0 also when the user cancels it, so a host cannot tell this "
      "item from a cancel"}},
    {"TagsUnderAFilter", TwoLevels + "10=Top#note\n11=Kid#k#city\n12=Spaced#s#city \n30=Lone#w\n", 1,
     {"5: warning: item 10 is dropped by the filter \"city\" (its \"#\" part has no tag), which keeps the item on "
      "line 6 under it: that item then lacks this ancestor",
      "7: warning: tag \"city \" has blanks around it: filters compare tags byte for byte, so the filter \"city\" "
      "does not keep this item",
      "8: note: item 30 has a \"#\" part but no tag: every filter drops it (lines without \"#\" are never "
      "filtered)"}},
    // "Аб" converts; "ü" and the emoji have no place in the code page.
    {"Utf8WithTheMark", "\xEF\xBB\xBF" + OneLevel + "1=\xD0\x90\xD0\xB1\n2=a\xC3\xBC\n3=\xFF\n", 1,
     {"6: warning: character 4, U+00FC, has no Windows-1251 code: the loaders read \"?\" in its place",
      "7: warning: invalid UTF-8 at character 3: the loaders read \"?\" in its place"},
     "UTF-8 (byte order mark)"},
    {"Utf8WithoutTheMark", OneLevel + "1=\xD0\x90\xD0\xB1\n2=a\xC3\xBC\n", 1,
     {"6: warning: character 4, U+00FC, has no Windows-1251 code: the loaders read \"?\" in its place"},
     "UTF-8 (no byte order mark)"},
    {"Utf16", OneLevel + "1=\xD0\x90\xD0\xB1\n2=\xF0\x9F\x98\x80\n", 1,
     {"6: warning: character 3, U+1F600, has no Windows-1251 code: the loaders read \"?\" in its place"},
     "UTF-16 little-endian (byte order mark)"},
    {"Utf16BigEndian", OneLevel + "1=\xD0\x90\xD0\xB1\n", 0, {}, "UTF-16 big-endian (byte order mark)"},
    {"Windows1251ValidAsUtf8InPart", OneLevel + "1=\xD0\x90\n2=\xC0\xE1\n", 0, {}},
    {"Clean", "; a comment\n" + TwoLevels + "10=Top#t#a\n11=Kid#k#a\n20=Other\n", 0, {}},
};

void PrintTo(const TCheckCase &C, std::ostream *AOut) { *AOut << C.Name; }

class CheckReasons : public ::testing::TestWithParam<std::tuple<TCheckCase, bool>> {};

TEST_P(CheckReasons, ReportsEachReasonWithItsLine) {
  const TCheckCase &C = std::get<0>(GetParam());
  std::string Text = std::get<1>(GetParam()) ? Crlf(C.File) : C.File;
  if (C.ReadAs.rfind("UTF-16 little", 0) == 0) Text = "\xFF\xFE" + Iconv(Text, "UTF-16LE", "UTF-8");
  if (C.ReadAs.rfind("UTF-16 big", 0) == 0) Text = "\xFE\xFF" + Iconv(Text, "UTF-16BE", "UTF-8");
  const TTempFile File(Text);
  const TRun R = Vok({"check", "--raw", File.Path()});
  EXPECT_EQ(Diagnostics(R.Out, File.Path()), C.Diagnostics) << R.Out;
  EXPECT_EQ(R.Status, C.Status) << R.Out;
  EXPECT_NE(R.Out.find("; read as " + C.ReadAs + "\n"), std::string::npos) << R.Out;
}

INSTANTIATE_TEST_SUITE_P(Vok, CheckReasons, ::testing::Combine(::testing::ValuesIn(CheckCases), ::testing::Bool()),
                         [](const auto &AInfo) {
                           return std::string(std::get<0>(AInfo.param).Name) +
                                  (std::get<1>(AInfo.param) ? "Crlf" : "Lf");
                         });

struct TSummaryCase {
  const char *Name;
  std::string File;
  std::vector<std::string> Summaries;
};

const TSummaryCase SummaryCases[] = {
    {"BothLoad", ThreeLevels + "100=a\n110=b\n111=c\n112=d\n200=e\n",
     {"[A] line 1: 3 levels (widths 1,1,1), items per level 2, 1, 2; LoadVok: loads; LoadAllVok: loads"}},
    {"OnlyLoadAllVokAcceptsIndentedKey", "[A]\n Display=%1\nFormat=1\nDelimit=\n",
     {"[A] line 1: 1 level (widths 1), items per level 0; LoadVok: fails; LoadAllVok: loads"}},
    {"LoadersSeeDifferentItems", OneLevel + "1=a\n\t2=b\n",
     {"[A] line 1: 1 level (widths 1), items per level 2 (LoadVok: 1); LoadVok: loads; LoadAllVok: loads"}},
    {"LoadAllVokStopsAtFirstFailure", "[A]\nDisplay=\nDelimit=\n[B]\nFormat=1\nDisplay=%1\nDelimit=\n",
     {"[A] line 1: LoadVok: fails; LoadAllVok: fails (\"Operation aborted\") and reads no further sections",
      "[B] line 4: 1 level (widths 1), items per level 0; LoadVok: loads; LoadAllVok: does not reach it (stops at "
      "line 1)"}},
    {"RepeatedName", OneLevel + "[a]\nFormat=2\nDisplay=%1\nDelimit=\n",
     {"[A] line 1: 1 level (widths 1), items per level 0; LoadVok: loads; LoadAllVok: loads, then replaces it by "
      "the section on line 5",
      "[a] line 5: 1 level (widths 2), items per level 0; LoadVok: reads the section on line 1 instead; LoadAllVok: "
      "loads"}},
    {"NamesLoadVokCannotAskFor", "[ A ]\n" + OneLevel.substr(4) + "[]\n" + OneLevel,
     {"[ A ] line 1: 1 level (widths 1), items per level 0; LoadVok: reads the section on line 6 instead; "
      "LoadAllVok: loads, then replaces it by the section on line 6",
      "[] line 5: LoadVok: cannot load it; LoadAllVok: skips it (empty name)",
      "[A] line 6: 1 level (widths 1), items per level 0; LoadVok: loads; LoadAllVok: loads"}},
    {"HeaderOnLastLine", OneLevel + "[B]",
     {"[A] line 1: 1 level (widths 1), items per level 0; LoadVok: loads; LoadAllVok: loads",
      "[B] line 5: LoadVok: fails; LoadAllVok: skips it (header on the last line)"}},
};

void PrintTo(const TSummaryCase &C, std::ostream *AOut) { *AOut << C.Name; }

class CheckSummaries : public ::testing::TestWithParam<TSummaryCase> {};

TEST_P(CheckSummaries, TellWhatEachLoaderDoes) {
  const TTempFile File(GetParam().File);
  EXPECT_EQ(Summaries(Vok({"check", "--raw", File.Path()}).Out), GetParam().Summaries);
}

INSTANTIATE_TEST_SUITE_P(Vok, CheckSummaries, ::testing::ValuesIn(SummaryCases),
                         [](const auto &AInfo) { return std::string(AInfo.param.Name); });

TEST(VokCheck, SampleFileLoadsWithWarningsAboutFilters) {
  const TRun R = Vok({"check", "examples/sample.vok"});
  EXPECT_EQ(R.Status, 1);
  const std::vector<std::string> D = Diagnostics(R.Out, "examples/sample.vok");
  ASSERT_EQ(D.size(), 3u) << R.Out;
  EXPECT_EQ(D[0].substr(0, 30), "9: warning: item 4500000 is dr");
  EXPECT_EQ(D[1].substr(0, 31), "10: warning: item 4501000 is dr");
  EXPECT_EQ(D[2].substr(0, 25), "38: note: item 1200000 ha");
  // UTF-8 by default natively: "город" as the terminal shows it.
  EXPECT_NE(D[0].find("\"\xD0\xB3\xD0\xBE\xD1\x80\xD0\xBE\xD0\xB4\""), std::string::npos);
  EXPECT_NE(R.Out.find("examples/sample.vok: 3 sections, 0 errors, 2 warnings, 1 note"), std::string::npos);
}

TEST(VokCheck, MissingFileIsAnError) {
  const TRun R = Vok({"check", "/nonexistent/x.vok"});
  EXPECT_EQ(R.Status, 2);
  EXPECT_EQ(R.Out, "/nonexistent/x.vok: error: cannot read the file: File not found\n");
}

TEST(VokCheck, WorstStatusOfSeveralFiles) {
  const TTempFile Clean(OneLevel), Warned(OneLevel + "1=a\n1=b\n");
  EXPECT_EQ(Vok({"check", Clean.Path()}).Status, 0);
  EXPECT_EQ(Vok({"check", Clean.Path(), Warned.Path()}).Status, 1);
  EXPECT_EQ(Vok({"check", Warned.Path(), "/nonexistent/x.vok", Clean.Path()}).Status, 2);
}

TEST(VokCommandLine, RefusesWhatItDoesNotKnow) {
  for (const std::vector<std::string> &Args :
       std::vector<std::vector<std::string>>{{}, {"frobnicate"}, {"check"}, {"tree", "a.vok"},
                                             {"check", "--format", "1", "a.vok"}, {"import", "a.csv", "--bogus"},
                                             {"import", "a.csv", "--sep"}, {"import", "a.csv", "--sep", "ab"},
                                             {"import", "a.csv", "--encoding", "latin9"}, {"export", "a.vok"},
                                             {"export", "a.vok", "S", "--format", "1"},
                                             {"diff", "a.vok"}}) {
    const TRun R = Vok(Args);
    EXPECT_EQ(R.Status, 2) << ::testing::PrintToString(Args);
    EXPECT_NE(R.Err.find("usage: vok check"), std::string::npos);
    EXPECT_TRUE(R.Out.empty());
  }
  EXPECT_EQ(Vok({"--help"}).Status, 0);
}

// ---- tree ----

TEST(VokTree, SampleSectionsAsTheDialogOffersThem) {
  EXPECT_EQ(Vok({"tree", "examples/sample.vok", "Places"}).Out,
            "1100000 North region\n"
            "  1102000 Forest district\n"
            "  1101000 Lake district\n"
            "    1101002 Hill town\n"
            "    1101001 Stone village\n"
            "1200000 South region\n");
  EXPECT_EQ(Vok({"tree", "examples/sample.vok", "rivers"}).Out, "200 Don\n300 Neva\n100 Volga\n");
}

TEST(VokTree, CyrillicSortedByTheCodePage) {
  const std::string Regions = "\xD0\xE5\xE3\xE8\xEE\xED\xFB";  // Регионы
  const TRun R = Vok({"tree", "--raw", "examples/sample.vok", Regions});
  ASSERT_EQ(R.Status, 0) << R.Err;
  const std::vector<std::string> L = Lines(R.Out);
  ASSERT_EQ(L.size(), 19u);
  EXPECT_EQ(L[0], "4600000 \xCB\xE5\xED\xE8\xED\xE3\xF0\xE0\xE4\xF1\xEA\xE0\xFF \xEE\xE1\xEB\xE0\xF1\xF2\xFC");
  EXPECT_EQ(L[1], "  4601000 \xC2\xFB\xE1\xEE\xF0\xE3\xF1\xEA\xE8\xE9 \xF0\xE0\xE9\xEE\xED");
  EXPECT_EQ(L[2], "    4601001 \xC2\xFB\xE1\xEE\xF0\xE3");            // Выборг
  EXPECT_EQ(L[3], "    4601003 \xD0\xEE\xF9\xE8\xED\xEE");            // Рощино
  EXPECT_EQ(L[4], "    4601002 \xD1\xE2\xE5\xF2\xEE\xE3\xEE\xF0\xF1\xEA");  // Светогорск
  EXPECT_EQ(L[8].substr(0, 8), "4500000 ");
  EXPECT_EQ(L[17].substr(0, 8), "4700000 ");
  // The same name given as UTF-8 finds the section; the texts come out as UTF-8.
  const TRun U = Vok({"tree", "examples/sample.vok", Cp1251ToUtf8(Regions)});
  EXPECT_EQ(Lines(U.Out)[2], "    4601001 " + Cp1251ToUtf8("\xC2\xFB\xE1\xEE\xF0\xE3"));
}

TEST(VokTree, FilterDropsTheItemsWithOtherTags) {
  const TRun R = Vok({"tree", "examples/sample.vok", "Places", "--filter", "urban"});
  EXPECT_EQ(R.Out,
            "1100000 North region\n"
            "  1102000 Forest district\n"
            "  1101000 Lake district\n"
            "    1101002 Hill town\n");
}

TEST(VokTree, EqualTextsShowOnceAndRowZeroIsMarked) {
  const TTempFile File(TwoLevels + "10=Abc\n11=x\n20=aBC\n21=y\n30=!first\n31=z\n");
  EXPECT_EQ(Vok({"tree", File.Path(), "A"}).Out,
            "30 !first  <- row 0: the dialog returns it at once\n"
            "10 Abc\n"
            "  11 x\n");
}

TEST(VokTree, SectionThatDoesNotLoad) {
  const TTempFile File("[A]\nFormat=x\nDisplay=\nDelimit=\n");
  const TRun Bad = Vok({"tree", File.Path(), "A"});
  EXPECT_EQ(Bad.Status, 2);
  EXPECT_NE(Bad.Err.find("section [A] does not load through LoadVok"), std::string::npos);
  const TRun Missing = Vok({"tree", File.Path(), "B"});
  EXPECT_EQ(Missing.Status, 2);
  EXPECT_EQ(Missing.Err, File.Path() + ": error: no section [B]\n");
}

// ---- import ----

// A file name under /tmp that is removed at the end of the test.
struct TTempName {
  std::string Path;
  explicit TTempName(const char *ASuffix) : Path(TTempFile("").Path() + ASuffix) {}
  ~TTempName() { std::remove(Path.c_str()); }
  std::string Read() const {
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
  }
};

TEST(VokImport, RoundTripKeepsEveryText) {
  // UTF-8: a heading row, quoting with separators and doubled quotes, "=" in a text, a BOM,
  // CRLF and LF records, an empty extra text with a tag, blanks around a code.
  const TTempFile Csv(
      "\xEF\xBB\xBF"
      "code,text,extra,tag\r\n"
      "1100000,\xD0\xA1\xD0\xB5\xD0\xB2\xD0\xB5\xD1\x80,,\r\n"                  // Север
      "1101000,\"\xD0\x81\xD0\xBB\xD0\xBA\xD0\xB8 \"\"a=b\"\"\",,\xD0\xB3\n"  // "Ёлки ""a=b""", tag г
      " 1101001 ,\xC2\xABx\xC2\xBB \xE2\x80\x94 y,e,\xD0\xB3\n"            // «x» — y
      "1102000,  lead,,\n"
      "1200000,\xD0\xAE\xD0\xB3,\"\xD1\x80\xD0\xB5\xD0\xB3\xD0\xB8\xD0\xBE\xD0\xBD, \xE2\x84\x96 1\",\xD0\xB4\n");  // Юг, "регион, № 1", д
  const TTempName Out(".vok");
  const TRun R = Vok({"import", Csv.Path(), "Imp", "--format", "2,2,3", "-o", Out.Path});
  ASSERT_EQ(R.Status, 1) << R.Err;
  // Written, with what the dialog will make of a text that begins with a blank.
  EXPECT_EQ(R.Err, "vok: " + Csv.Path() + ": UTF-8 (byte order mark), separator \",\"\n" + Csv.Path() +
                       ":1: note: taken as the column headings and skipped\n" + Csv.Path() +
                       ":5: warning: the text of item 1102000 sorts before \"" + Cp1251ToUtf8(Undefined) +
                       "\": in the selection dialog it takes row 0, which ends the dialog at once\n");
  EXPECT_EQ(R.Out, "");
  EXPECT_EQ(Out.Read(),
            "[Imp]\r\nFormat=2,2,3\r\nDisplay=%1%2%3\r\nDelimit=,\r\n"
            "1100000=\xD1\xE5\xE2\xE5\xF0\r\n"
            "1101000=\xA8\xEB\xEA\xE8 \"a=b\"##\xE3\r\n"
            "1101001=\xABx\xBB \x97 y#e#\xE3\r\n"
            "1102000=  lead\r\n"
            "1200000=\xDE\xE3#\xF0\xE5\xE3\xE8\xEE\xED, \xB9 1#\xE4\r\n");
  TLookup L;
  L.LoadVok(Out.Path, "Imp", "", "*");
  ASSERT_TRUE(L.Ready());
  EXPECT_EQ(L.GetItemText(1100000), "\xD1\xE5\xE2\xE5\xF0");
  EXPECT_EQ(L.GetItemText(1101000), "\xA8\xEB\xEA\xE8 \"a=b\"");
  EXPECT_EQ(L.GetItemExtra(1101000), "");
  EXPECT_EQ(L.GetItemText(1101001), "\xABx\xBB \x97 y");
  EXPECT_EQ(L.GetItemExtra(1101001), "e");
  EXPECT_EQ(L.GetItemText(1102000), "  lead");
  EXPECT_EQ(L.GetItemExtra(1200000), "\xF0\xE5\xE3\xE8\xEE\xED, \xB9 1");
  EXPECT_EQ(L.GetItemString(1101001), "\xD1\xE5\xE2\xE5\xF0, \xA8\xEB\xEA\xE8 \"a=b\", \xABx\xBB \x97 y");
  // The tag column is what a filter sees; rows without extra text and tag are never filtered.
  TLookup Filtered;
  Filtered.LoadVok(Out.Path, "Imp", "F", "\xE3");
  ASSERT_TRUE(Filtered.Ready());
  for (int32_t Code : {1100000, 1101001, 1102000}) EXPECT_TRUE(Filtered.ItemExists(Code)) << Code;
  EXPECT_FALSE(Filtered.ItemExists(1200000));
}

TEST(VokImport, EveryByteOfTheCodePageRoundTrips) {
  std::string Text1251 = "A";
  for (int C = 0x20; C < 0x100; ++C)
    if (C != '#' && C != 0x98 && C != '"' && C != ',') Text1251 += static_cast<char>(C);
  const TTempFile Csv("1," + Cp1251ToUtf8(Text1251) + "\n");
  const TTempName Out(".vok");
  const TRun R = Vok({"import", Csv.Path(), "S", "--sep", ",", "-o", Out.Path});
  ASSERT_EQ(R.Status, 0) << R.Err;
  TLookup L;
  L.LoadVok(Out.Path, "S", "", "*");
  ASSERT_TRUE(L.Ready());
  EXPECT_EQ(L.GetItemText(1), Text1251);
}

TEST(VokImport, RefusesWhatTheFormatCannotHoldWithLineNumbers) {
  const TTempFile Csv(
      "1,fine\n"
      "2,Caf\xC3\xA9\n"                 // é: no 1251 code
      "3,\"two\nlines\"\n"              // a line break inside a field (the record starts on line 3)
      "4,a#b\n"                         // "#" in the text
      "5,ok,x#y\n"                      // "#" in the extra text
      "6,ok,,t#1\n"                     // "#" in the tag is allowed
      "7,\xF0\x9F\x98\x80\n"            // an emoji
      "8,\xD0\n"                        // broken UTF-8
      "1a9,text\n"                      // a code that does not convert
      "10,\"open\n");                   // a quote never closed
  const TTempName Out(".vok");
  // Not valid UTF-8 throughout, so read as UTF-8 only when told.
  const TRun R = Vok({"import", Csv.Path(), "S", "--encoding", "utf8", "-o", Out.Path});
  EXPECT_EQ(R.Status, 2);
  EXPECT_EQ(Diagnostics(R.Err, Csv.Path()),
            (std::vector<std::string>{
                "2: error: column 2 (text): character 4, U+00E9, has no Windows-1251 code",
                "3: error: column 2 (text): line break inside the field: a .vok line cannot hold it",
                "5: error: column 2 (text): contains \"#\", which the .vok format uses to separate the parts of an "
                "item line",
                "6: error: column 3 (extra text): contains \"#\", which the .vok format uses to separate the parts of "
                "an item line",
                "8: error: column 2 (text): character 1, U+1F600, has no Windows-1251 code",
                "9: error: column 2 (text): invalid UTF-8 at character 1",
                "10: error: column 1 (code): \"1a9\" does not convert: not a number (\"a\" is not a digit)",
                "11: error: a quoted field is not closed",
            }));
  EXPECT_NE(R.Err.find("vok: import: nothing written"), std::string::npos);
  EXPECT_EQ(Out.Read(), "");
  std::ifstream Probe(Out.Path);
  EXPECT_FALSE(Probe.good());
}

TEST(VokImport, DefaultsAndWarnings) {
  const TTempFile Csv("12,a\n7,b,\"x, y\"\n12,c\n345,d \n");
  const TRun R = Vok({"import", Csv.Path()});
  EXPECT_EQ(R.Status, 1);
  // The section is named after the file; one level as wide as the longest code.
  const std::string Name = Csv.Path().substr(Csv.Path().rfind('/') + 1);
  EXPECT_EQ(R.Out, "[" + Name + "]\r\nFormat=3\r\nDisplay=%1\r\nDelimit=,\r\n12=a\r\n7=b#x, y\r\n12=c\r\n345=d \r\n");
  EXPECT_EQ(Diagnostics(R.Err, Csv.Path()),
            (std::vector<std::string>{
                "3: warning: duplicate code 12: the item on line 1 comes first, and lookups by code find that one",
                "4: warning: column 2 (text) ends with blanks, which LoadAllVok (it trims lines) drops"}));
}

TEST(VokImport, HeaderOptions) {
  const TTempFile Csv("100;a\n110;b\n");
  const TRun R = Vok({"import", Csv.Path(), "S", "--sep", ";", "--format=1,1,1", "--display", "%3 (%1)",
                      "--delimit", " /"});
  EXPECT_EQ(R.Status, 0) << R.Err;
  EXPECT_EQ(R.Out, "[S]\r\nFormat=1,1,1\r\nDisplay=%3 (%1)\r\nDelimit= /\r\n100=a\r\n110=b\r\n");

  struct {
    std::vector<std::string> Options;
    std::string Problem;
  } const Bad[] = {
      {{"--format", "2,,2"}, "vok: import: error: --format: width 2 \"\" does not convert: empty"},
      {{"--format", "2,0"}, "vok: import: error: --format: width 2 is not positive"},
      {{"--display", std::string(256, 'x')}, "vok: import: error: --display: 256 characters; at most 255 are allowed"},
      {{"--delimit", "a\tb"}, "vok: import: error: --delimit: control characters cannot stand in a header line"},
      {{}, "vok: import: error: the section name begins or ends with blanks, so LoadVok could not find it"},
  };
  for (const auto &B : Bad) {
    std::vector<std::string> Args = {"import", Csv.Path(), B.Options.empty() ? " S" : "S", "--sep", ";"};
    Args.insert(Args.end(), B.Options.begin(), B.Options.end());
    const TRun Refused = Vok(Args);
    EXPECT_EQ(Refused.Status, 2) << B.Problem;
    EXPECT_NE(Refused.Err.find(B.Problem + "\n"), std::string::npos) << Refused.Err;
    EXPECT_EQ(Refused.Out, "");
  }
}

// The same table as spreadsheets and editors save it: headings, a quoted field with separators
// and doubled quotes, an empty extra text and tag.
std::string Table(char ASep) {
  const std::string S(1, ASep);
  return "code" + S + "text" + S + "extra text" + S + "tag\r\n" +                            //
         "1" + S + "\xD0\xA1\xD0\xB5\xD0\xB2\xD0\xB5\xD1\x80" + S + "\"a;, \"\"b\"\"\"" + S +  // Север
         "\xD1\x82\r\n" +                                                                    // т
         "2" + S + "\xD0\xAE\xD0\xB3" + S + S + "\r\n";                                      // Юг
}
const std::string TableSection = "Format=1\r\nDisplay=%1\r\nDelimit=,\r\n1=\xD1\xE5\xE2\xE5\xF0#a;, \"b\"#\xF2\r\n2=\xDE\xE3\r\n";

struct TReadCase {
  const char *Name;
  std::string File;
  std::vector<std::string> Options;
  std::string Read;     // what vok import says it read
  std::string Section;  // the lines after "[S]"
};

const TReadCase ReadCases[] = {
    {"ExcelRussianCsv", Utf8To1251Lossy(Table(';')), {}, "Windows-1251 (not valid UTF-8), separator \";\"",
     TableSection},
    {"ExcelUnicodeText", "\xFF\xFE" + Iconv(Table('\t'), "UTF-16LE", "UTF-8"), {},
     "UTF-16 (byte order mark), separator tab", TableSection},
    {"Utf16BigEndian", "\xFE\xFF" + Iconv(Table(','), "UTF-16BE", "UTF-8"), {},
     "UTF-16 big-endian (byte order mark), separator \",\"", TableSection},
    {"Utf8WithMark", "\xEF\xBB\xBF" + Table(';'), {}, "UTF-8 (byte order mark), separator \";\"", TableSection},
    {"Utf8WithoutMark", Table(','), {}, "UTF-8 (no byte order mark), separator \",\"", TableSection},
    {"Utf16WithoutMarkWhenTold", Iconv(Table('\t'), "UTF-16LE", "UTF-8"), {"--encoding", "UTF-16LE"},
     "UTF-16 (--encoding), separator tab", TableSection},
    {"SeparatorWhenTold", Table('|'), {"--sep", "|"}, "UTF-8 (no byte order mark), separator \"|\" (--sep)",
     TableSection},
    {"QuotedSeparatorsDoNotCount", "1,\"x;y;z\"\n", {}, "UTF-8 (no byte order mark), separator \",\"",
     "Format=1\r\nDisplay=%1\r\nDelimit=,\r\n1=x;y;z\r\n"},
    // "Р" and a no-break space in Windows-1251 are the UTF-8 bytes of "Р".
    {"Cp1251ThatLooksLikeUtf8", "1;\xD0\xA0\xD0\xA0\n", {}, "UTF-8 (no byte order mark), separator \";\"",
     "Format=1\r\nDisplay=%1\r\nDelimit=,\r\n1=\xD0\xD0\r\n"},
    {"Cp1251WhenTold", "1;\xD0\xA0\xD0\xA0\n", {"--encoding", "Windows-1251"},
     "Windows-1251 (--encoding), separator \";\"", "Format=1\r\nDisplay=%1\r\nDelimit=,\r\n1=\xD0\xA0\xD0\xA0\r\n"},
    // Settings rows as vok export writes them, a value holding the separator quoted; options win.
    {"SettingsRows", "Format=1,1\r\n\"Delimit=;\";;\r\ndisplay=%2 (%1)\r\n10;a\r\n11;b\r\n", {"--display", "%1"},
     "UTF-8 (no byte order mark), separator \";\"", "Format=1,1\r\nDisplay=%1\r\nDelimit=;\r\n10=a\r\n11=b\r\n"},
};

void PrintTo(const TReadCase &C, std::ostream *AOut) { *AOut << C.Name; }

class ImportReads : public ::testing::TestWithParam<TReadCase> {};

TEST_P(ImportReads, WhatSpreadsheetsAndEditorsSave) {
  const TReadCase &C = GetParam();
  const TTempFile Csv(C.File);
  std::vector<std::string> Args = {"import", Csv.Path(), "S"};
  Args.insert(Args.end(), C.Options.begin(), C.Options.end());
  const TRun R = Vok(Args);
  EXPECT_EQ(R.Status, 0) << R.Err;
  EXPECT_EQ(Lines(R.Err).at(0), "vok: " + Csv.Path() + ": " + C.Read);
  EXPECT_EQ(R.Out, "[S]\r\n" + C.Section);
}

INSTANTIATE_TEST_SUITE_P(Vok, ImportReads, ::testing::ValuesIn(ReadCases),
                         [](const auto &AInfo) { return std::string(AInfo.param.Name); });

TEST(VokImport, SettingsRowsThatDoNotFit) {
  const TTempFile Csv("Format=2,y\nFormat=3\nDisplay=%1;x\n\"Delimit=\xC3\xBC\"\n1;a\n");
  const TRun R = Vok({"import", Csv.Path(), "S"});
  EXPECT_EQ(R.Status, 2);
  EXPECT_EQ(Diagnostics(R.Err, Csv.Path()),
            (std::vector<std::string>{
                "1: error: \"Format=\": width 2 \"y\" does not convert: not a number (\"y\" is not a digit)",
                "2: error: repeated \"Format=\" row: the one on line 1 gives it",
                "3: error: a settings row holds its header line in its first cell alone",
                "4: error: \"Delimit=\": character 1, U+00FC, has no Windows-1251 code"}));
}

// ---- export ----

// A section with what a table must carry with care: a lower-case key, blanks at the end of a
// setting, the separator as the delimiter, a comment, keys with a blank and in hexadecimal, texts
// a spreadsheet takes for formulas, quotes, "#" in a tag, Cyrillic.
const std::string Awkward =
    "[Odd]\nformat=1,2\nDisplay=%2 (%1) \nDelimit=;\n; a comment\n100=Top\n 101==1+1#-5 km#t\n"
    "$66=+7 \"q\"; x#@home#t#u\n103='=x#'y\n200=\xC0\xE1\n";

TEST(VokExport, WritesWhatASpreadsheetOpens) {
  const TTempFile File(Awkward + "104=lost#\n");
  const TRun R = Vok({"export", File.Path(), "odd", "--sep", ",", "-o", "-"});
  EXPECT_EQ(R.Status, 1);
  EXPECT_EQ(R.Out,
            "\xEF\xBB\xBF\"Format=1,2\"\r\n\"Display=%2 (%1) \"\r\nDelimit=;\r\ncode,text,extra text,tag\r\n"
            "100,Top,,\r\n101,'=1+1,'-5 km,t\r\n102,\"'+7 \"\"q\"\"; x\",'@home,t#u\r\n103,''=x,'y,\r\n"
            "200,\xD0\x90\xD0\xB1,,\r\n104,lost,,\r\n");
  EXPECT_EQ(R.Err, File.Path() +
                       ":11: warning: item 104 has an empty \"#\" part, which the table cannot show: imported again, "
                       "the item has no \"#\" part, so every filter keeps it\n");
}

TEST(VokExport, WritesAFileOnlyWhereAskedTo) {
  char Dir[] = "/tmp/vokexportXXXXXX";
  ASSERT_NE(mkdtemp(Dir), nullptr);
  char Home[4096];
  ASSERT_NE(getcwd(Home, sizeof Home), nullptr);
  const std::string Sample = std::string(Home) + "/examples/sample.vok";
  ASSERT_EQ(chdir(Dir), 0);
  const auto Read = [](const char *AName) {
    std::ifstream In(AName, std::ios::binary);
    return In ? std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()) : "(none)";
  };
  // Without -o: SECTION.csv here, never replacing a file.
  const TRun First = Vok({"export", Sample, "Rivers"});
  EXPECT_EQ(First.Status, 0) << First.Err;
  EXPECT_EQ(First.Err, "vok: export: 3 items of [Rivers] written to Rivers.csv\n");
  std::ofstream("Rivers.csv", std::ios::binary) << "mine";
  const TRun Again = Vok({"export", Sample, "Rivers"});
  EXPECT_EQ(Again.Status, 2);
  EXPECT_EQ(Again.Err, "Rivers.csv: error: the file exists; name it with -o to replace it\n");
  EXPECT_EQ(Read("Rivers.csv"), "mine");
  // A section that is not there writes nothing, not even where -o points.
  EXPECT_EQ(Vok({"export", Sample, "Lakes", "-o", "Rivers.csv"}).Status, 2);
  EXPECT_EQ(Read("Rivers.csv"), "mine");
  // -o replaces; no file is left beside it.
  EXPECT_EQ(Vok({"export", Sample, "Rivers", "-o", "Rivers.csv"}).Status, 0);
  EXPECT_EQ(Read("Rivers.csv").substr(0, 13), "\xEF\xBB\xBF" "Format=3\r\n");
  EXPECT_EQ(Read("Rivers.csv.tmp"), "(none)");
  EXPECT_EQ(Vok({"export", Sample, "Rivers", "-o", "no/such/folder.csv"}).Status, 2);
  // What cannot take the new file's place leaves no file beside it.
  ASSERT_EQ(mkdir("Folder.csv", 0700), 0);
  EXPECT_EQ(Vok({"export", Sample, "Rivers", "-o", "Folder.csv"}).Status, 2);
  EXPECT_EQ(Read("Folder.csv.tmp"), "(none)");
  rmdir("Folder.csv");
  std::remove("Rivers.csv");
  EXPECT_EQ(chdir(Home), 0);
  EXPECT_EQ(rmdir(Dir), 0);
}

// What a host can ask of a section loaded with AFilter: the settings, then by level in file order
// every item with its extra text and display string.
std::string Dictionary(const std::string &AFile, const std::string &ASection, const std::string &AFilter) {
  TLookup L;
  L.LoadVok(AFile, ASection, "", AFilter);
  if (!L.Ready()) return "not ready";
  std::ostringstream S;
  for (const int32_t W : L.Formats()) S << W << ',';
  S << "\n" << L.Display() << "|" << L.Delimiter() << "\n";
  for (int Level = 0; Level < L.GroupCount(); ++Level)
    for (const TRow &Row : LevelRows(L, Level))
      S << Level << ' ' << Row << '#' << L.GetItemExtra(Row.Code) << '#' << L.GetItemString(Row.Code) << "\n";
  return S.str();
}

TEST(VokExport, ThenImportGivesTheSameDictionaries) {
  const TTempFile Odd(Awkward);
  std::vector<std::pair<std::string, std::string>> Sections = {{Odd.Path(), "Odd"}};
  {
    TTextReader Reader("examples/sample.vok");
    std::string_view Line, Name;
    while (Reader.ReadLine(Line))
      if (HeaderName(TrimView(Line), Name)) Sections.push_back({"examples/sample.vok", std::string(Name)});
  }
  ASSERT_EQ(Sections.size(), 4u);
  for (const auto &[File, Section] : Sections) {
    const TTempName Csv(".csv"), Back(".vok");
    const TRun Export = Vok({"export", "--raw", File, Section, "-o", Csv.Path});
    ASSERT_EQ(Export.Status, 0) << Export.Err;
    const TRun Import = Vok({"import", "--raw", Csv.Path, Section, "-o", Back.Path});
    ASSERT_LE(Import.Status, 1) << Import.Err;
    // Every filter: no filter, none of the tags, and each tag of the section.
    std::vector<std::string> Filters = {"*", ""};
    TLines Lines;
    ReadSection(File, Section, Lines);
    for (const std::string &L : Lines) Filters.emplace_back(ReadSectionLine(L).Tag);
    for (const std::string &Filter : Filters)
      EXPECT_EQ(Dictionary(Back.Path, Section, Filter), Dictionary(File, Section, Filter)) << Section << " " << Filter;
    EXPECT_NE(Dictionary(Back.Path, Section, "*"), "not ready");
  }
}

// ---- diff ----

const std::string Base = TwoLevels + "10=Top\n11=Kid#e#t\n20=Other# #g\n";
// The header lines of a section of one and of three levels.
const std::string OneLevelHead = OneLevel.substr(4), ThreeLevelsHead = ThreeLevels.substr(4);
const std::string Regions = "\xD0\xE5\xE3\xE8\xEE\xED\xFB";  // Регионы

struct TDiffCase {
  const char *Name;
  std::optional<std::string> Old;  // none: the file does not exist
  std::string New;
  std::vector<std::string> Sections;
  int Status;
  std::vector<std::string> Lines;  // standard output, then standard error; OLD and NEW stand for the paths
};

const TDiffCase DiffCases[] = {
    {"OnlyWhatLoadsCounts", Base + "[a]\n" + OneLevelHead,
     Crlf("; a comment\n[A]\nFormat=1, 1\nDisplay=%1%2\nDelimit=\n\n10=Top\nnote=x\n\t12=y\n11=Kid#e#t\n20=Other##g\n"),
     {}, 0,
     {"[A]: no changes (3 items)",
      "OLD:8: note: section [a] is left out: LoadVok reads the section on line 1 for that name"}},
    {"AddedAndRemoved", Base, TwoLevels + "10=Top\n11=Kid#e#t\n12=New#x\n", {}, 1,
     {"[A]: 1 added, 1 removed, 0 changed, 0 unreachable", "+ 12 New#x", "- 20 Other# #g"}},
    {"EachPartChanged", Base, TwoLevels + "10=Top#\n11=Kid \t#f#u\n20=Other#x#g\n", {}, 1,
     {"[A]: 0 added, 0 removed, 3 changed, 0 unreachable", "~ 10 tag: none (no \"#\") -> \"\"",
      "~ 11 text: \"Kid\" -> \"Kid \\t\"", "~ 11 extra text: \"e\" -> \"f\"", "~ 11 tag: \"t\" -> \"u\"",
      "~ 20 extra text: \"\" -> \"x\""}},
    {"Duplicates", Base + "11=Kid2\n", Base + "11=Kid3\n10=Top\n", {}, 1,
     {"[A]: 0 added, 0 removed, 2 changed, 0 unreachable", "~ 10 lines with this code: 1 -> 2 (lookups find the first)",
      "~ 11 its later lines changed (lookups find the first)"}},
    {"SettingsChanged", Base, "[A]\nFormat=2\nDelimit=,\nDisplay=<%1>\n10=Top\n11=Kid#e#t\n20=Other# #g\n", {}, 1,
     {"[A]: Format, Display, Delimit changed; 0 added, 0 removed, 0 changed, 0 unreachable", "~ Format: 1,1 -> 2",
      "~ Display: \"%1%2\" -> \"<%1>\"", "~ Delimit: \"\" -> \",\""}},
    {"AncestorsMissing", Base + "41=Stray\n[B]\n" + ThreeLevelsHead + "100=a\n",
     TwoLevels + "11=Kid#e#t\n20=Other# #g\n31=New\n41=Stray\n[B]\n" + ThreeLevelsHead + "100=a\n101=b\n", {}, 1,
     {"[A]: 1 added, 1 removed, 0 changed, 2 unreachable", "- 10 Top", "! 11 ancestor missing: 10", "+ 31 New",
      "! 31 ancestor missing: 30", "[B]: 1 added, 0 removed, 0 changed, 1 unreachable", "+ 101 b",
      "! 101 its field of level 2 is zero"}},
    {"SectionsAddedAndRemoved", Base + "[B]\n" + OneLevelHead + "1=a\n", "[C]\n" + OneLevelHead + "1=a\n2=b\n" + Base,
     {}, 1,
     {"[A]: no changes (3 items)", "[B]: section removed (1 item)", "[C]: section added (2 items)"}},
    {"NamedSectionFoundIgnoringCase", "[B]\n" + OneLevelHead + "[" + Regions + "]\n" + Base.substr(4),
     "[\xD0\xC5\xC3\xC8\xCE\xCD\xDB]\n" + TwoLevels.substr(4) + "10=\xC2\xE5\xF0\xF5\n11=Kid#e#t\n20=Other# #g\n",
     {Cp1251ToUtf8("\xF0\xE5\xE3\xE8\xEE\xED\xFB")}, 1,  // регионы
     {Cp1251ToUtf8("[" + Regions + "]: name changed; 0 added, 0 removed, 1 changed, 0 unreachable"),
      Cp1251ToUtf8("~ name: [" + Regions + "] -> [\xD0\xC5\xC3\xC8\xCE\xCD\xDB]"),
      Cp1251ToUtf8("~ 10 text: \"Top\" -> \"\xC2\xE5\xF0\xF5\"")}},
    {"MissingFile", std::nullopt, Base, {}, 2, {"OLD: error: cannot read the file: File not found"}},
    {"SectionThatDoesNotLoad", Base, "[A]\nDisplay=\nDelimit=\n[ ]\nFormat=1\nDisplay=\nDelimit=\n", {}, 2,
     {"NEW:4: error: the name of section [ ] is blank: LoadVok cannot load it",
      "NEW:1: error: section [A] does not load through LoadVok (\"vok check NEW\" tells why)"}},
    {"NamedSectionInNeitherFile", Base, Base, {"A", "Z"}, 2, {"vok: diff: error: no section [Z] in OLD or NEW"}},
};

void PrintTo(const TDiffCase &C, std::ostream *AOut) { *AOut << C.Name; }

class Diff : public ::testing::TestWithParam<TDiffCase> {};

TEST_P(Diff, ReportsEachChangeOnItsLine) {
  const TDiffCase &C = GetParam();
  const TTempFile Old(C.Old.value_or("")), New(C.New);
  const std::string OldPath = C.Old ? Old.Path() : "/nonexistent/old.vok";
  std::vector<std::string> Args = {"diff", OldPath, New.Path()};
  Args.insert(Args.end(), C.Sections.begin(), C.Sections.end());
  const TRun R = Vok(Args);
  std::vector<std::string> Got = Lines(R.Out);
  for (std::string L : Lines(R.Err)) {
    for (const auto &[Path, Name] : {std::pair(OldPath, "OLD"), std::pair(New.Path(), "NEW")})
      for (std::size_t P; (P = L.find(Path)) != std::string::npos;) L.replace(P, Path.size(), Name);
    Got.push_back(L);
  }
  EXPECT_EQ(Got, C.Lines);
  EXPECT_EQ(R.Status, C.Status);
}

INSTANTIATE_TEST_SUITE_P(Vok, Diff, ::testing::ValuesIn(DiffCases),
                         [](const auto &AInfo) { return std::string(AInfo.param.Name); });

TEST(VokDiff, SampleFileIsTheSameAsItself) {
  const TRun R = Vok({"diff", "examples/sample.vok", "examples/sample.vok"});
  EXPECT_EQ(R.Status, 0) << R.Out << R.Err;
}

// ---- pieces ----

TEST(VokCsv, RecordsFieldsAndLines) {
  const std::vector<TCsvRecord> R = ParseCsv("a,b\r\n\r\n\"x\"\"y\",\"1\n2\",\n\"\"\nlast,\"q\"z");
  ASSERT_EQ(R.size(), 4u);
  EXPECT_EQ(R[0].Line, 1);
  EXPECT_EQ(R[0].Fields, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(R[1].Line, 3);
  EXPECT_EQ(R[1].Fields, (std::vector<std::string>{"x\"y", "1\n2", ""}));
  EXPECT_EQ(R[2].Line, 5);  // a quoted empty field is a record
  EXPECT_EQ(R[2].Fields, (std::vector<std::string>{""}));
  EXPECT_EQ(R[3].Line, 6);
  EXPECT_EQ(R[3].Problem, "text after the closing quote of a field");
}

// The converter's table against the C library's.
TEST(VokCp1251, AgreesWithIconv) {
  for (int C = 1; C < 256; ++C) {
    if (C == 0x98) continue;
    const std::string Byte(1, static_cast<char>(C)), Expected = Iconv(Byte, "UTF-8", "CP1251");
    EXPECT_EQ(Cp1251ToUtf8(Byte), Expected) << C;
    std::string Back;
    EXPECT_TRUE(Utf8To1251(Expected, Back));
    EXPECT_EQ(Back, Byte);
  }
}

// Overlong forms, surrogates, values beyond U+10FFFF, stray and missing continuation bytes; the
// validator in pieces agrees, and takes the edges of every range.
TEST(VokCp1251, RefusesMalformedUtf8) {
  for (const char *Bad : {"\xC0\xAF", "\xED\xA0\x80", "\xD0", "\x80", "\xF4\x90\x80\x80", "\xE0\x80\x80",
                          "\xF0\x8F\xBF\xBF", "\xF5\x80\x80\x80", "\xD0\xD0"}) {
    std::string Out;
    TUtf8Problem P;
    EXPECT_FALSE(Utf8To1251(std::string("ok") + Bad, Out, &P)) << Bad;
    EXPECT_TRUE(P.Malformed);
    EXPECT_EQ(P.Offset, 2u);
    EXPECT_FALSE(IsUtf8(std::string("ok") + Bad)) << Bad;
  }
  for (const char *Good : {"\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xED\x9F\xBF", "\xEE\x80\x80",
                           "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF"}) {
    EXPECT_TRUE(IsUtf8(Good)) << Good;
    TUtf8Validator Pieces;
    for (const char *C = Good; *C; ++C) EXPECT_TRUE(Pieces.Feed(std::string_view(C, 1)));
    EXPECT_TRUE(Pieces.Complete()) << Good;
  }
}

// UTF-16 in both byte orders against iconv, fed whole and a byte at a time: pairs and odd bytes
// across the pieces wait for the next one; what is unpaired at the end becomes U+FFFD.
TEST(VokCp1251, Utf16AgreesWithIconvInEveryPiece) {
  const std::string Text = "A\xD0\xAF\xE2\x82\xAC\xF0\x9F\x98\x80z";  // A, Cyrillic Ya, euro, an emoji
  const std::string Bad = "\xEF\xBF\xBD";
  for (const bool Be : {false, true}) {
    const std::string Utf16 = Iconv(Text, Be ? "UTF-16BE" : "UTF-16LE", "UTF-8");
    std::string Whole, Bytewise;
    EXPECT_EQ(AppendUtf16AsUtf8(Utf16, Be, true, Whole), Utf16.size());
    EXPECT_EQ(Whole, Text);
    std::string Pending;
    for (char C : Utf16) Pending.erase(0, AppendUtf16AsUtf8(Pending += C, Be, false, Bytewise));
    EXPECT_EQ(Bytewise, Text);
    const std::string HighLast = Utf16.substr(0, 8), LowFirst = Utf16.substr(8, 4);  // half an emoji
    std::string Out;
    EXPECT_EQ(AppendUtf16AsUtf8(HighLast + "x", Be, false, Out), 6u);
    AppendUtf16AsUtf8(HighLast + "x", Be, true, Out = "");
    EXPECT_EQ(Out, Text.substr(0, 6) + Bad + Bad);
    AppendUtf16AsUtf8(LowFirst, Be, true, Out = "");
    EXPECT_EQ(Out, Bad + "z");
  }
}

}  // namespace
