#include <gtest/gtest.h>

#include "forms/ProjData.h"
#include "tests/common/TestFiles.h"

using TStrings = std::vector<std::string>;
using vok::test::Crlf;
using vok::test::TTempFile;

namespace {

const char kSample[] =
    "\"--- Plane systems ---\"\n"
    "\"Plane (metres)\", 0, 7\n"
    "\"Plane (feet)\\p9001\", 0, 3\n"
    "\n"
    "\"--- Geographic ---\"\n"
    "\"Degrees\", 1, 104\n"
    "\"Zone 5\\p1234\", 8, 104, 7, 27, 0, 0.9996, 500000, 0";

// Hands out ALines one by one, then fails to read the next line as a broken device does.
vok::TLineSource FailingAfter(TStrings ALines) {
  auto Next = std::make_shared<size_t>(0);
  return [ALines, Next](std::string &ALine) {
    if (*Next == ALines.size()) throw vok::EInOutError("Read error");
    ALine = ALines[(*Next)++];
    return true;
  };
}

TEST(ProjFile, ExampleClausesWithLfAndCrlf) {
  const TStrings ExpNames[] = {{"Plane (metres)", "Plane (feet)"}, {"Degrees", "Zone 5"}};
  const TStrings ExpParams[] = {{" 0, 7", " 0, 3"}, {" 1, 104", " 8, 104, 7, 27, 0, 0.9996, 500000, 0"}};
  const TStrings ExpClauses[] = {{"CoordSys NonEarth Units \"m\"", "CoordSys NonEarth Units \"ft\""},
                                 {"CoordSys Earth Projection 1, 104",
                                  "CoordSys Earth Projection 8, 104, \"m\", 27, 0, 0.9996, 500000, 0"}};
  for (const std::string &Content : {std::string(kSample), Crlf(kSample)}) {
    const TTempFile File(Content);
    const std::string &Path = File.Path();
    TStrings Groups;
    ASSERT_EQ(vok::prjOk, vok::LoadPrjGroups(Path, Groups));
    ASSERT_EQ(TStrings({"Plane systems", "Geographic"}), Groups);
    for (size_t G = 0; G < Groups.size(); ++G) {
      TStrings Names, Params;
      ASSERT_EQ(vok::prjOk, vok::LoadPrjNames(Path, Groups[G], Names, Params));
      EXPECT_EQ(ExpNames[G], Names);
      ASSERT_EQ(ExpParams[G], Params);
      for (size_t I = 0; I < Names.size(); ++I)
        EXPECT_EQ(ExpClauses[G][I], vok::GetCoordSys(Names[I], Params[I]).Clause);
    }
  }
}

TEST(ProjFile, GroupHeaderRules) {
  const struct {
    const char *Content;
    TStrings Groups;
  } Cases[] = {
      {"", {}},
      {"\"Plane\", 0, 7\n\n", {}},
      {"\"--- Open group\n", {""}},
      {"\"--- A ---\"\n\"---  B  ---\"\n\"--- A ---\"", {"A", " B ", "A"}},
      {" \"--- A ---\"\nx\"--- B ---\"\n", {}},
      {"\"--- A ---\" ---\"\n", {"A"}},
      {"\"--- A ---\"\n\x1A\"--- B ---\"\n", {"A"}},  // end-of-text mark
  };
  for (const auto &C : Cases) {
    TStrings Groups{"stale"};
    EXPECT_EQ(vok::prjOk, vok::LoadPrjGroups(TTempFile(C.Content).Path(), Groups)) << C.Content;
    EXPECT_EQ(C.Groups, Groups) << C.Content;
  }
}

TEST(ProjFile, EntryLinesAndTheEndOfAGroup) {
  const struct {
    const char *Content;
    TStrings Names, Params;
  } Cases[] = {
      // lines without a quote after the first char are skipped, a line of blanks too
      {"\"--- G ---\"\n\"NoQuote\n   \n\"B\", 1, 104\n", {"B"}, {" 1, 104"}},
      {"\"--- G ---\"\n\"A\", 0, 7\n\n\"B\", 0, 3\n", {"A"}, {" 0, 7"}},
      {"\"--- G ---\"\n\"A\", 0, 7\nx \"--- H\n\"B\", 0, 3\n", {"A"}, {" 0, 7"}},
      {"\"--- G ---\"\n\"A\", 0, 7\n\n\"--- G ---\"\n\"B\", 0, 3\n", {"A"}, {" 0, 7"}},
      {"\"--- g ---\"\n\"X\", 0, 7\n\nxx \"--- G ---\" yy\n\"A\", 0, 7\n", {"A"}, {" 0, 7"}},
      {"\"--- G ---\"\n\"A\", 0\\p7\n", {"A\", 0"}, {" 0\\p7"}},
      {"\"--- G ---\"\n\"A\"\n\"B\",\n", {"A", "B"}, {"", ""}},
      {"\"--- G ---\"\nxName\\p1\", 0, 7\r", {"Name"}, {" 0, 7"}},  // no LF after the CR
      {"\"--- H ---\"\n\"A\", 0, 7\n", {}, {}},
  };
  for (const auto &C : Cases) {
    TStrings Names{"stale"}, Params{"stale"};
    EXPECT_EQ(vok::prjOk, vok::LoadPrjNames(TTempFile(C.Content).Path(), "G", Names, Params)) << C.Content;
    EXPECT_EQ(C.Names, Names) << C.Content;
    EXPECT_EQ(C.Params, Params) << C.Content;
  }
}

TEST(ProjFile, MissingFileAndReadFailures) {
  TStrings Groups{"stale"}, Names{"stale"}, Params{"stale"};
  const std::string Missing = "/nonexistent/none.prj";
  EXPECT_EQ(vok::prjCannotOpen, vok::LoadPrjGroups(Missing, Groups));
  EXPECT_EQ(vok::prjCannotOpen, vok::LoadPrjNames(Missing, "A", Names, Params));
  EXPECT_TRUE(Groups.empty() && Names.empty() && Params.empty());

  const TStrings kBroken{"\"--- A ---\"", "\"X\", 0, 7", "\"--- B ---\"", "\"Y\", 0, 3"};
  EXPECT_EQ(5, vok::LoadPrjGroups(FailingAfter(kBroken), Groups));
  EXPECT_EQ(TStrings({"A", "B"}), Groups);
  Names = Params = {"stale"};
  EXPECT_EQ(5, vok::LoadPrjNames(FailingAfter(kBroken), "B", Names, Params));
  EXPECT_TRUE(Names.empty() && Params.empty());

  // A folder opens for reading here but its first line cannot be read.
  EXPECT_EQ(1, vok::LoadPrjGroups("/tmp", Groups));
  EXPECT_EQ(1, vok::LoadPrjNames("/tmp", "A", Names, Params));
}

TEST(CoordSys, ClauseAndUnitsByKindOfSystem) {
  const TStrings kNone{"", ""}, kMetres{"\xEC\xE5\xF2\xF0\xFB", "\xE2 \xEC\xE5\xF2\xF0\xE5"},
      kDegrees{"\xE3\xF0\xE0\xE4\xF3\xF1\xFB", "\xE2 \xE3\xF0\xE0\xE4\xF3\xF1\xE5"},
      kSurveyFt{"\xF2\xEE\xEF\xEE \xF4\xF3\xF2\xFB", "\xE2 \xF2\xEE\xEF\xEE \xF4\xF3\xF2\xE5"};
  const struct {
    const char *Params, *Clause, *UnitStr;
    const TStrings &UnitNames;
  } Cases[] = {
      {"0, 7,", "CoordSys NonEarth Units \"m\"", "\"m\"", kMetres},
      {"+0,$8", "CoordSys NonEarth Units \"survey ft\"", "\"survey ft\"", kSurveyFt},
      {" 1,\t104 ", "CoordSys Earth Projection 1, 104", "", kDegrees},
      // other parts are copied unchecked, and bytes above 127 are not blanks
      {"abc,,0x7, \xC0\xA0", "CoordSys Earth Projection abc, , \"m\", \xC0\xA0", "\"m\"", kMetres},
      // A datum of the entry's own: the unit code after its parameters (999: 7th part, 9999: 12th).
      {"8, 999, 3, 23, -124, -82, 7, 39, 0, 1, 7500000, 0", "CoordSys Earth Projection 8, 999, 3, 23, -124, -82, \"m\", 39, 0, 1, 7500000, 0", "\"m\"", kMetres},
      {"8, 9999, 3, 23.57, -140.95, -79.8, 0, -0.35, -0.79, -0.22, 0, 7, 21, 0, 1, 1300000, 0",
       "CoordSys Earth Projection 8, 9999, 3, 23.57, -140.95, -79.8, 0, -0.35, -0.79, -0.22, 0, \"m\", 21, 0, 1, 1300000, 0",
       "\"m\"", kMetres},
      // too few parts for the datum: the third part, as for any other datum
      {"8, 9999, 7, 23", "CoordSys Earth Projection 8, 9999, \"m\", 23", "\"m\"", kMetres},
      // geographic with a datum of its own: no unit, the parts as written
      {"1, 999, 3, 23, -124, -82", "CoordSys Earth Projection 1, 999, 3, 23, -124, -82", "", kDegrees},
      {"2, 5", "N", "", kNone},
      {"-2147483648, 1", "N", "", kNone},
      {"7", "N", "", kNone},
      {"", "N", "", kNone},
  };
  for (const auto &C : Cases) {
    const vok::TCoordSys R = vok::GetCoordSys("N", C.Params);
    EXPECT_EQ("N", R.Name);
    EXPECT_EQ(C.Clause, R.Clause) << C.Params;
    EXPECT_EQ(C.UnitStr, R.UnitStr) << C.Params;
    EXPECT_EQ(C.UnitNames, TStrings({R.UnitName, R.UnitName2})) << C.Params;
  }
}

TEST(CoordSys, RefusesBadNumbersAndUnknownUnits) {
  for (const char *Params : {"0, 9", "0, -1", "0, abc", "0, 7.0", "0, ", "x, 7", "0x, 7", "1.5, 104",
                             "2147483648, 1", ",,", "8, 104, 9", "8, 104, m", "8, 104, ",
                             "8, 999, 3, 1, 2, 3, 12, 0"})
    EXPECT_THROW(vok::GetCoordSys("N", Params), vok::EConvertError) << Params;
}

// The projection file that ships with the library: every entry must give a clause.
TEST(ProjExample, EveryEntryOfTheShippedFileGivesAClause) {
  const std::string Path = "examples/projections.prj";
  TStrings Groups;
  ASSERT_EQ(vok::prjOk, vok::LoadPrjGroups(Path, Groups));
  ASSERT_EQ(6u, Groups.size());
  EXPECT_EQ("\xCF\xF0\xFF\xEC\xEE\xF3\xE3\xEE\xEB\xFC\xED\xFB\xE5 \xF1\xE8\xF1\xF2\xE5\xEC\xFB", Groups[0]);
  EXPECT_EQ("Universal Transverse Mercator (WGS 84)", Groups[5]);
  size_t Entries = 0;
  for (const std::string &G : Groups) {
    TStrings Names, Params;
    ASSERT_EQ(vok::prjOk, vok::LoadPrjNames(Path, G, Names, Params));
    EXPECT_FALSE(Names.empty()) << G;
    for (size_t I = 0; I < Names.size(); ++I) {
      const std::string Clause = vok::GetCoordSys(Names[I], Params[I]).Clause;
      EXPECT_EQ(0u, Clause.rfind("CoordSys ", 0)) << Names[I];
      EXPECT_EQ(std::string::npos, Names[I].find_first_of("\"\\\r")) << Names[I];
    }
    Entries += Names.size();
  }
  EXPECT_EQ(19u, Entries);

  TStrings Names, Params;
  vok::LoadPrjNames(Path, Groups[2], Names, Params);
  ASSERT_EQ(5u, Names.size());
  EXPECT_EQ("\xC3\xE0\xF3\xF1\xF1-\xCA\xF0\xFE\xE3\xE5\xF0, \xE7\xEE\xED\xE0 4 (21 \xE2.\xE4.)", Names[0]);
  EXPECT_EQ("CoordSys Earth Projection 8, 1001, \"m\", 21, 0, 1, 4500000, 0",
            vok::GetCoordSys(Names[0], Params[0]).Clause);
}

}  // namespace
