// Reading dictionaries through the query and enumeration exports, as the host sees them.
#include "tests/win32/TestHost.h"

using namespace vok::test;

namespace {

class Queries : public TOpenLibrary {
 protected:
  void SetUp() override {
    TOpenLibrary::SetUp();
    ASSERT_EQ(V.LoadVok(Places.c_str(), "Places"), 65535);
  }
  // Writes AContents to a file and loads its section D.
  void LoadD(const std::string &AContents) { ASSERT_EQ(V.LoadVok(Dir.Write("d.vok", AContents).c_str(), "D"), 65535); }
  // The text AFn writes into the 256 bytes the host offers.
  std::string Text(TText3 *AFn, int32_t ACode, const char *AName = "Places") {
    return Written(256, [&](char *ABuf) { AFn(AName, ACode, ABuf); });
  }
  // The codes FindFirstItem and FindNextItem hand out, up to and including the first 0 and
  // AExtra further calls.
  std::vector<int32_t> Enumerate(const char *AName, int32_t ACode, int AExtra = 1) {
    std::vector<int32_t> R{Vok().FindFirstItem(AName, ACode)};
    while (R.back() != 0 && R.size() < 100) R.push_back(Vok().FindNextItem());
    for (int I = 0; I < AExtra; ++I) R.push_back(Vok().FindNextItem());
    return R;
  }
  // The codes GetLikeValues writes into a buffer of ARoom blanks and the zero byte.
  std::string Like(const char *APattern, std::size_t ARoom, const char *AName = "Places") {
    return Written(ARoom + 1, [&](char *ABuf) { Vok().GetLikeValues(AName, APattern, ABuf); });
  }
};

std::string Dict(const std::string &AHeader, const std::string &ABody) { return "[D]\r\n" + AHeader + ABody; }

}  // namespace

TEST_F(Queries, TextsOfPlaces) {
  struct TCase {
    TText3 *Fn;
    int32_t Code;
    const char *Want;
  } Cases[] = {
      {Vok().GetVokString, 1101001, "North region, Lake district, Stone village"},
      {Vok().GetVokString, 1101000, "North region, Lake district"},
      {Vok().GetVokString, 1200000, "South region"},
      {Vok().GetVokString, 1103000, ""},
      {Vok().GetVokStr, 1101001, "Stone village"},
      {Vok().GetVokStr, 1103000, ""},
      {Vok().GetVokExtra, 1101001, "pop. 120"},
      {Vok().GetVokExtra, 1101000, "Lake district"},
      {Vok().GetVokExtra, 1103000, ""},
  };
  for (const TCase &C : Cases) EXPECT_EQ(Text(C.Fn, C.Code), C.Want) << C.Code;
  EXPECT_EQ(Text(Vok().GetVokStr, 1101001, "PLACES"), "Stone village");
  EXPECT_EQ(Text(Vok().GetVokStr, 1101001, "Nowhere"), "");
  EXPECT_EQ(Text(Vok().GetVokStr, 1101001, nullptr), "");
  EXPECT_EQ(Written(256, [](char *ABuf) { Vok().GetVokPath("places", ABuf); }), Places);
  Vok().GetVokString("Places", 1101001, nullptr);  // a null buffer is ignored
}

TEST_F(Queries, DisplayTemplates) {
  struct TCase {
    const char *Display, *Delimit;
    int32_t Code;
    const char *Want;
  } Cases[] = {
      {"%1%2%3", "", 1101001, "North region Lake district Stone village"},
      {"%2 (%1)", ",", 1101001, ", Lake district (North region)"},
      {"fixed", ",", 1101001, "fixed"},
      {"%3/%3", ",", 1101001, "Stone village/Stone village"},  // nothing placed before it
      {"%1%2%3", ",", 1100000, "North region"},
      {"[%3] %1", " -", 1101002, "[ - Hill town] North region"},
      {"%1%2%3", ",", 1301001, ""},
  };
  for (const TCase &C : Cases) {
    const std::string Body = PlacesCrlf.substr(PlacesCrlf.find("1100000="));
    LoadD(Dict("Format=2,2,3\r\nDisplay=" + std::string(C.Display) + "\r\nDelimit=" + C.Delimit + "\r\n", Body));
    EXPECT_EQ(Text(Vok().GetVokString, C.Code, "D"), C.Want) << C.Display;
  }
}

TEST_F(Queries, DisplayStringWithTenLevelsAndTheCutAt255) {
  // Ten one-digit levels: %1 also matches the start of %10.
  LoadD(Dict("Format=1,1,1,1,1,1,1,1,1,1\r\nDisplay=%10|%1\r\nDelimit=\r\n", "1000000000=A\r\n1000000001=J\r\n"));
  EXPECT_EQ(Text(Vok().GetVokString, 1000000001, "D"), "A0|A");
  const std::string Long(200, 'L');
  LoadD(Dict("Format=1,1\r\nDisplay=%1%2\r\nDelimit=,\r\n", "10=" + Long + "\r\n11=" + Long + "\r\n"));
  const std::string S = Text(Vok().GetVokString, 11, "D");
  EXPECT_EQ(S.size(), 255u);
  EXPECT_EQ(S.substr(198, 6), "LL, LL");
  const std::string Longer(300, 'x');
  LoadD(FlatSection("D", "1=" + Longer + "#" + Longer + "\r\n"));
  EXPECT_EQ(Text(Vok().GetVokStr, 1, "D"), Longer.substr(0, 255));
  EXPECT_EQ(Text(Vok().GetVokExtra, 1, "D"), Longer.substr(0, 255));
}

TEST_F(Queries, CountsItemsAndDivisors) {
  EXPECT_EQ(Vok().GetGroupCount("Places"), 3);
  EXPECT_EQ(Vok().GetGroupCount("Nowhere"), 0);
  const int32_t Counts[] = {0, 2, 2, 2, 0};
  for (int32_t Level = 0; Level <= 4; ++Level) EXPECT_EQ(Vok().GetItemCount("Places", Level), Counts[Level]) << Level;
  EXPECT_EQ(Vok().GetItemCount("Places", INT32_MIN), 0);
  const std::tuple<int32_t, int32_t, int32_t> Items[] = {{1, 2, 1200000}, {3, 1, 1101001}, {1, 3, 0},
                                                         {1, 0, 0},       {0, 1, 0},       {4, 1, 0}};
  for (const auto &[Level, Index, Code] : Items)
    EXPECT_EQ(Vok().GetItem("Places", Level, Index), Code) << Level << ", " << Index;
  EXPECT_EQ(Vok().GetItem("Nowhere", 1, 1), 0);
  const int32_t Filters[] = {1, 100000, 1000, 1, 1};
  for (int32_t Level = 0; Level <= 4; ++Level) EXPECT_EQ(Vok().GetGroupFilter("Places", Level), Filters[Level]) << Level;
  EXPECT_EQ(Vok().GetGroupFilter("Nowhere", 1), 1);
  EXPECT_EQ(Vok().GetGroupFilter("Places", INT32_MIN), 1);
}

TEST_F(Queries, EnumeratesChildrenToTheEnd) {
  EXPECT_EQ(Enumerate("Places", 1100000, 2), (std::vector<int32_t>{1101000, 1102000, 0, 0, 0}));
  EXPECT_EQ(Enumerate("Places", 1101000), (std::vector<int32_t>{1101001, 1101002, 0, 0}));
  EXPECT_EQ(Enumerate("Places", 1101001), (std::vector<int32_t>{0, 0}));  // deepest level
  EXPECT_EQ(Enumerate("Places", 1102000), (std::vector<int32_t>{0, 0}));  // no villages
  EXPECT_EQ(Enumerate("Places", 0), (std::vector<int32_t>{0, 0}));
  EXPECT_EQ(Enumerate("Nowhere", 1100000), (std::vector<int32_t>{0, 0}));
}

TEST_F(Queries, RefusedStartNeverContinuesAnEarlierEnumeration) {
  ASSERT_EQ(Vok().FindFirstItem("Places", 1100000), 1101000);
  EXPECT_EQ(Vok().FindFirstItem("Places", 1101001), 0);
  EXPECT_EQ(Vok().FindNextItem(), 0);
  ASSERT_EQ(Vok().FindFirstItem("Places", 1100000), 1101000);
  EXPECT_EQ(Vok().FindFirstItem("Nowhere", 1100000), 0);
  EXPECT_EQ(Vok().FindNextItem(), 0);
}

TEST_F(Queries, EnumerationOutlivesItsDictionaryAndEndsWithClose) {
  ASSERT_EQ(Vok().FindFirstItem("Places", 1100000), 1101000);
  ASSERT_EQ(V.UnLoadVok("Places"), -1);
  EXPECT_EQ(Vok().FindNextItem(), 1102000);
  Vok().FindCloseItem();
  EXPECT_EQ(Vok().FindNextItem(), 0);
  Vok().FindCloseItem();
  EXPECT_EQ(Vok().FindNextItem(), 0);
}

TEST_F(Queries, ZeroAndNegativeChildrenEndTheEnumerationForTheHost) {
  LoadD(Dict("Format=1,2\r\nDisplay=%1\r\nDelimit=\r\n", "-100=top\r\n-101=a\r\n-102=b\r\n"));
  EXPECT_EQ(Vok().FindFirstItem("D", -100), 0);
  EXPECT_EQ(Vok().FindNextItem(), 0);  // -102 is handed out as 0 as well
}

TEST_F(Queries, LikeValuesRespectsTheRoomOffered) {
  const std::pair<std::size_t, const char *> Rooms[] = {
      {30, "1101001;1101002;"}, {16, "1101001;1101002;"}, {15, "1101001;"}, {8, "1101001;"}, {7, ""}, {0, ""}};
  for (const auto &[Room, Codes] : Rooms) EXPECT_EQ(Like("ILL", Room), Codes) << Room;
  EXPECT_EQ(Like("lake", 30), "1101000;");
  EXPECT_EQ(Like("", 30), "");
  EXPECT_EQ(Like(nullptr, 30), "");
  EXPECT_EQ(Like("region", 100), "1100000;1200000;");  // level order, then file order
  EXPECT_EQ(Like("ILL", 30, "Nowhere"), "");
  Vok().GetLikeValues("Places", "ILL", nullptr);
}

TEST_F(Queries, LikeValuesStopsAtTheFirstCodeThatDoesNotFit) {
  LoadD(FlatSection("D", "123456=ab\r\n1=ab\r\n-5=ab\r\n"));
  EXPECT_EQ(Like("AB", 5, "D"), "");  // "1;" would fit, but the search has stopped
  EXPECT_EQ(Like("AB", 100, "D"), "123456;1;-5;");
}

TEST_F(Queries, LikeValuesMatchesCyrillicInAnyCase) {
  // Items Москва and ТВЕРЬ, searched for as "СКВ" and "верь".
  LoadD(FlatSection("D", "1=\xCC\xEE\xF1\xEA\xE2\xE0\r\n2=\xD2\xC2\xC5\xD0\xDC\r\n"));
  EXPECT_EQ(Like("\xD1\xCA\xC2", 30, "D"), "1;");
  EXPECT_EQ(Like("\xE2\xE5\xF0\xFC", 30, "D"), "2;");
}

TEST_F(Queries, ClosedLibraryAnswersNeutrally) {
  V.CloseVokList();
  EXPECT_EQ(Text(Vok().GetVokStr, 1101001), "");
  EXPECT_EQ(Vok().GetGroupCount("Places"), 0);
  EXPECT_EQ(Vok().GetGroupFilter("Places", 1), 1);
  EXPECT_EQ(Vok().FindFirstItem("Places", 1100000), 0);
  EXPECT_EQ(Vok().FindNextItem(), 0);
  EXPECT_EQ(Like("ILL", 30), "");
}
