// The search dialog behind F3, driven from the selection dialog as a person drives it.
#include "tests/win32/DialogDriver.h"

using namespace vok::test;

namespace {

// Windows-1251 texts of the test dictionary and the dialog, besides the words every dialog's
// dictionary has.
const std::string Stony = "\xCA\xE0\xEC\xE5\xED\xED\xFB\xE9";         // Каменный
const std::string River = "\xD0\xE5\xEA\xE0";                         // Река
const std::string Kam = "\xCA\xC0\xCC";                               // КАМ
const std::string Search = "\xCF\xEE\xE8\xF1\xEA";                    // Поиск
const std::string Pattern = "\xCE\xE1\xF0\xE0\xE7\xE5\xF6:";          // Образец:

std::string TownsFile() {
  return "[Towns]\r\nFormat=2,2,3\r\nDisplay=%1%2%3\r\nDelimit=,\r\n"
         "1100000=" + North + "\r\n1101000=" + Lake + "\r\n1101001=" + Stone + "\r\n1101002=" + Hills +
         "\r\n1101003=" + StoneLower + "\r\n1200000=" + South + "\r\n1201000=" + Stony + "\r\n" +
         FlatSection("Flat", "1=" + Stone + "\r\n2=" + River + "\r\n");
}

const TLevel KamMatches = {{StoneLower, 1101003}, {Stone, 1101001}, {Stony, 1201000}};

// A step played on the search dialog, which must be the dialog on top.
TStep OnSearch(TStep AStep) {
  return [AStep](TDialog &D) {
    if (D.Kind == TDialogKind::Search)
      AStep(D);
    else
      ADD_FAILURE() << "the search dialog is not shown";
  };
}
// Types APattern into the pattern field and presses Enter there.
TStep Find(const std::string &APattern) {
  return OnSearch([APattern](TDialog &D) {
    SetWindowTextA(D.Combo, APattern.c_str());
    PostKey(D.Edit, VK_RETURN);
  });
}
TStep ExpectMatches(const TLevel &ARows, int ASelected, const std::vector<std::string> &APath) {
  return OnSearch(ExpectRows(ARows, ASelected, APath));
}
TStep SearchKey(UINT AKey) { return OnSearch(Press(AKey)); }
// The search dialog has closed: the selection dialog shows ARows.
TStep ExpectSelection(const TLevel &ARows, int ASelected, const std::vector<std::string> &APath) {
  return [=](TDialog &D) {
    EXPECT_EQ(D.Kind, TDialogKind::Selection) << "the search dialog is still shown";
    ExpectRows(ARows, ASelected, APath)(D);
  };
}
TStep ExpectNoSearch() {
  return [](TDialog &D) { EXPECT_NE(D.Kind, TDialogKind::Search) << "the search dialog is still shown"; };
}
const TStep F3 = Press(VK_F3);

class SearchDialog : public TOpenLibrary {
 protected:
  void SetUp() override {
    TOpenLibrary::SetUp();
    File = Dir.Write("towns.vok", TownsFile());
    ASSERT_EQ(V.LoadVok(File.c_str(), "Towns"), 65535);
    ASSERT_EQ(V.LoadVok(File.c_str(), "Flat"), 65535);
  }
  int32_t Value(const char *AName, int32_t AItemId, std::vector<TStep> ASteps) {
    return Driver.Run([&] { return Vok().GetVokValue("Test", AName, AItemId); }, std::move(ASteps));
  }
  int32_t ValueSt(int32_t AItemId, std::vector<TStep> ASteps) {
    return Driver.Run([&] { return Vok().GetVokValueSt("Test", "Towns", AItemId, 0); }, std::move(ASteps));
  }
  std::string File;
  TShownHost Host;
  TDriver Driver;
};

}  // namespace

TEST_F(SearchDialog, FindsOnEveryLevelInAnyCaseWithRowZeroAndItsPath) {
  EXPECT_EQ(Value("Towns", 0,
                  {F3, OnSearch([](TDialog &S) {
                     EXPECT_EQ(WindowText(S.Window), Search);
                     EXPECT_EQ(WindowText(S.Label), Pattern);
                     EXPECT_EQ(GetFocus(), S.Edit);
                     EXPECT_EQ(S.PathHeight(), 2 * static_cast<int>(SendMessageA(S.Path, LB_GETITEMHEIGHT, 0, 0)));
                   }),
                   Find(Kam), ExpectMatches(KamMatches, 0, {North, Lake}),
                   OnSearch([](TDialog &S) { EXPECT_EQ(GetFocus(), S.List); }),
                   // Another row shows its own path.
                   OnSearch([](TDialog &S) { SelectRow(S.List, 2); }),
                   ExpectMatches(KamMatches, 2, {South}), SearchKey(VK_ESCAPE), ExpectNoSearch(), Press(VK_ESCAPE)}),
            0);
}

TEST_F(SearchDialog, UnchangedPatternIsNotSearchedAgainInAnyCase) {
  EXPECT_EQ(Value("Towns", 0,
                  {F3, Find(Kam), OnSearch([](TDialog &S) { SendMessageW(S.List, LB_SETCURSEL, 1, 0); }),
                   Find(Kam), ExpectMatches(KamMatches, 1, {North, Lake}),
                   Find("\xEA\xE0\xEC"),  // кам
                   ExpectMatches(KamMatches, 1, {North, Lake}), OnSearch([](TDialog &S) {
                     EXPECT_EQ(ListTexts(S.Combo), std::vector<std::string>{Kam});
                   }),
                   SearchKey(VK_ESCAPE), Press(VK_ESCAPE)}),
            0);
}

TEST_F(SearchDialog, EmptyPatternEmptiesTheResults) {
  EXPECT_EQ(Value("Towns", 0,
                  {F3, Find(Kam), Find(""), ExpectMatches({}, -1, {}), Find("xyz"), ExpectMatches({}, -1, {}),
                   // searched, but no entry of the history
                   OnSearch([](TDialog &S) { EXPECT_EQ(ListTexts(S.Combo), (std::vector<std::string>{"xyz", Kam})); }),
                   SearchKey(VK_ESCAPE), Press(VK_ESCAPE)}),
            0);
}

TEST_F(SearchDialog, HistoryKeepsTwentyFourPatternsNewestFirst) {
  std::vector<TStep> Steps{F3};
  for (int I = 1; I <= 25; ++I) Steps.push_back(Find("p" + std::to_string(I)));
  Steps.insert(Steps.end(), {Find("P3"),  // present already: keeps its place
                             OnSearch([](TDialog &S) {
                               const std::vector<std::string> H = ListTexts(S.Combo);
                               ASSERT_EQ(H.size(), 24u);
                               EXPECT_EQ(H.front(), "p25");
                               EXPECT_EQ(H.back(), "p2");
                               EXPECT_EQ(H[22], "p3");
                             }),
                             SearchKey(VK_ESCAPE), Press(VK_ESCAPE)});
  EXPECT_EQ(Value("Towns", 0, Steps), 0);
}

TEST_F(SearchDialog, HistoryEntryChosenRunsTheSearch) {
  EXPECT_EQ(Value("Towns", 0,
                  {F3, Find(Kam), Find(River), ExpectMatches({}, -1, {}),
                   OnSearch([](TDialog &S) { SelectRow(S.Combo, 1); }),
                   ExpectMatches(KamMatches, 0, {North, Lake}), SearchKey(VK_ESCAPE), Press(VK_ESCAPE)}),
            0);
}

TEST_F(SearchDialog, EscClosesTheHistoryFirst) {
  EXPECT_EQ(Value("Towns", 0,
                  {F3, Find(Kam), OnSearch([](TDialog &S) {
                     SetFocus(S.Edit);
                     SendMessageW(S.Combo, CB_SHOWDROPDOWN, TRUE, 0);
                   }),
                   OnSearch([](TDialog &S) { PostKey(S.Edit, VK_ESCAPE); }), OnSearch([](TDialog &S) {
                     EXPECT_FALSE(SendMessageW(S.Combo, CB_GETDROPPEDSTATE, 0, 0));
                   }),
                   SearchKey(VK_ESCAPE), ExpectNoSearch(), Press(VK_ESCAPE)}),
            0);
}

TEST_F(SearchDialog, TakingAMatchPutsTheSelectionDialogOnIt) {
  // каменка and Каменка show as one row on their level, standing for the first of them.
  const TLevel LakeLevel = {{Undefined, -1}, {Stone, 1101001}, {Hills, 1101002}};
  // Enter in the match list: the match's level with the match's row selected and its path.
  EXPECT_EQ(Value("Towns", 0,
                  {F3, Find(Kam), SearchKey(VK_RETURN), ExpectNoSearch(), ExpectSelection(LakeLevel, 1, {North, Lake}),
                   Press(VK_RETURN)}),
            1101001);
  // A double-click on the third match, a district: its level; Enter opens its (no) children.
  const TLevel SouthLevel = {{Undefined, -1}, {Stony, 1201000}};
  EXPECT_EQ(Value("Towns", 0,
                  {F3, Find(Kam), OnSearch([](TDialog &S) { S.DoubleClick(2); }), ExpectNoSearch(),
                   ExpectSelection(SouthLevel, 1, {South}), Press(VK_RETURN)}),
            1201000);
  // Esc gives up: the selection dialog stays where it was.
  EXPECT_EQ(Value("Towns", 1101002,
                  {F3, Find(Kam), SearchKey(VK_ESCAPE), ExpectSelection(LakeLevel, 2, {North, Lake}),
                   Press(VK_RETURN)}),
            1101002);
}

TEST_F(SearchDialog, TakingAMatchUnderStartGroupMakesItTheRoot) {
  const TLevel Districts = {{Undefined, -1}, {Lake, 1101000}};
  const TLevel Villages = {{Undefined, -1}, {Stone, 1101001}, {Hills, 1101002}};
  // Север found and taken: the dialog opens on its children, and Backspace is refused there.
  EXPECT_EQ(ValueSt(1200000, {F3, Find(North), SearchKey(VK_RETURN), ExpectSelection(Districts, 0, {North}),
                              Press(VK_BACK), ExpectSelection(Districts, 0, {North}), Press(VK_ESCAPE)}),
            0);
  // A match without children opens on its own level, the match selected.
  EXPECT_EQ(ValueSt(1100000, {F3, Find(Hills), SearchKey(VK_RETURN), ExpectSelection(Villages, 2, {North, Lake}),
                              Press(VK_RETURN)}),
            1101002);
}

TEST_F(SearchDialog, ReopeningKeepsResultsForTheSameDictionaryOnly) {
  EXPECT_EQ(Value("Towns", 0, {F3, Find(Kam), SearchKey(VK_ESCAPE), F3, ExpectMatches(KamMatches, 0, {North, Lake}),
                               SearchKey(VK_ESCAPE), Press(VK_ESCAPE)}),
            0);
  EXPECT_EQ(Value("Towns", 0, {F3, ExpectMatches(KamMatches, 0, {North, Lake}), SearchKey(VK_ESCAPE), Press(VK_ESCAPE)}),
            0);
  // Another dictionary: no results, no path room for one level, and the same pattern searches it.
  EXPECT_EQ(Value("Flat", 0, {F3, ExpectMatches({}, -1, {}), OnSearch([](TDialog &S) { EXPECT_EQ(S.PathHeight(), 0); }),
                              Find(Kam), ExpectMatches({{Stone, 1}}, 0, {}), SearchKey(VK_ESCAPE), Press(VK_ESCAPE)}),
            0);
}

TEST_F(SearchDialog, PatternsLongerThanAShortStringAreCut) {
  const std::string Long = Kam + std::string(300, 'x');
  EXPECT_EQ(Value("Towns", 0, {F3, Find(Long), ExpectMatches({}, -1, {}), OnSearch([&](TDialog &S) {
                                 ASSERT_EQ(ListTexts(S.Combo).size(), 1u);
                                 EXPECT_EQ(ListTexts(S.Combo)[0], Long.substr(0, 255));
                               }),
                               SearchKey(VK_ESCAPE), Press(VK_ESCAPE)}),
            0);
}
