// The search dialog behind F3, driven from the selection dialog as a person drives it.
#include "tests/win32/DialogDriver.h"

using namespace vok::test;

namespace {


const std::string Undefined =
    "(\xC7\xED\xE0\xF7\xE5\xED\xE8\xE5 \xED\xE5 \xEE\xEF\xF0\xE5\xE4\xE5\xEB\xE5\xED\xEE)";
const std::string North = "\xD1\xE5\xE2\xE5\xF0";                     // Север
const std::string Lake = "\xCE\xE7\xE5\xF0\xED\xFB\xE9";              // Озерный
const std::string Stone = "\xCA\xE0\xEC\xE5\xED\xEA\xE0";             // Каменка
const std::string StoneLower = "\xEA\xE0\xEC\xE5\xED\xEA\xE0";        // каменка
const std::string Hills = "\xD5\xEE\xEB\xEC\xFB";                     // Холмы
const std::string South = "\xDE\xE3";                                 // Юг
const std::string Stony = "\xCA\xE0\xEC\xE5\xED\xED\xFB\xE9";         // Каменный
const std::string River = "\xD0\xE5\xEA\xE0";                         // Река
const std::string Kam = "\xCA\xC0\xCC";                               // КАМ
const std::string Search = "\xCF\xEE\xE8\xF1\xEA";                    // Поиск
const std::string Pattern = "\xCE\xE1\xF0\xE0\xE7\xE5\xF6:";          // Образец:

std::string TownsFile() {
  return "[Towns]\r\nFormat=2,2,3\r\nDisplay=%1%2%3\r\nDelimit=,\r\n"
         "1100000=" + North + "\r\n1101000=" + Lake + "\r\n1101001=" + Stone + "\r\n1101002=" + Hills +
         "\r\n1101003=" + StoneLower + "\r\n1200000=" + South + "\r\n1201000=" + Stony + "\r\n"
         "[Flat]\r\nFormat=3\r\nDisplay=%1\r\nDelimit=\r\n1=" + Stone + "\r\n2=" + River + "\r\n";
}

const TLevel KamMatches = {{StoneLower, 1101003}, {Stone, 1101001}, {Stony, 1201000}};

BOOL CALLBACK CollectSearch(HWND W, LPARAM P) {
  char Class[64] = "";
  GetClassNameA(W, Class, sizeof Class);
  if (std::string(Class) == "TVokabraForm" && GetDlgItem(W, 202) && IsWindowVisible(W))
    *reinterpret_cast<HWND *>(P) = W;
  return TRUE;
}

// The search dialog while it shows.
struct TSearch {
  HWND Window = nullptr, Label, Combo, Edit, Found, Path;
  TSearch() {
    EnumThreadWindows(GetCurrentThreadId(), CollectSearch, reinterpret_cast<LPARAM>(&Window));
    EXPECT_NE(Window, nullptr) << "the search dialog is not shown";
    Label = GetDlgItem(Window, 201);
    Combo = GetDlgItem(Window, 202);
    Edit = FindWindowExW(Combo, nullptr, L"Edit", nullptr);
    Found = GetDlgItem(Window, 203);
    Path = GetDlgItem(Window, 204);
  }
  TLevel Rows() const { return ListRows(Found); }
  int Selected() const { return static_cast<int>(SendMessageA(Found, LB_GETCURSEL, 0, 0)); }
  std::vector<std::string> PathRows() const { return ListTexts(Path); }
  int PathHeight() const {
    RECT R;
    GetWindowRect(Path, &R);
    return R.bottom == R.top ? 0 : ClientHeight(Path);
  }
  std::vector<std::string> History() const {
    std::vector<std::string> R;
    const LRESULT N = SendMessageA(Combo, CB_GETCOUNT, 0, 0);
    for (LRESULT I = 0; I < N; ++I) {
      char Buf[512] = "";
      SendMessageA(Combo, CB_GETLBTEXT, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(Buf));
      R.push_back(Buf);
    }
    return R;
  }
  std::string Text(HWND AWnd) const {
    char Buf[512] = "";
    GetWindowTextA(AWnd, Buf, sizeof Buf);
    return Buf;
  }
  // Types APattern into the pattern field and presses Enter there.
  void Enter(const std::string &APattern) const {
    SetWindowTextA(Combo, APattern.c_str());
    Key(Edit, VK_RETURN);
  }
  void Key(HWND ATarget, UINT AKey) const {
    PostMessageW(ATarget, WM_KEYDOWN, AKey, 1);
    PostMessageW(ATarget, WM_KEYUP, AKey, 0xC0000001);
  }
  void DoubleClick(int ARow) const {
    RECT R{};
    SendMessageW(Found, LB_GETITEMRECT, static_cast<WPARAM>(ARow), reinterpret_cast<LPARAM>(&R));
    const LPARAM At = MAKELPARAM((R.left + R.right) / 2, (R.top + R.bottom) / 2);
    for (UINT M : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
      PostMessageW(Found, M, M == WM_LBUTTONDOWN || M == WM_LBUTTONDBLCLK ? MK_LBUTTON : 0, At);
  }
};

using TSearchStep = std::function<void(TSearch &)>;

// A step played on the search dialog.
TStep OnSearch(TSearchStep AStep) {
  return [AStep](TDialog &) {
    TSearch S;
    if (S.Window) AStep(S);
  };
}
TStep F3() {
  return [](TDialog &D) { D.Key(VK_F3); };
}
TStep Find(const std::string &APattern) {
  return OnSearch([APattern](TSearch &S) { S.Enter(APattern); });
}
TStep ExpectMatches(const TLevel &ARows, int ASelected, const std::vector<std::string> &APath) {
  return OnSearch([=](TSearch &S) {
    EXPECT_EQ(S.Rows(), ARows);
    EXPECT_EQ(S.Selected(), ASelected);
    EXPECT_EQ(S.PathRows(), APath);
  });
}
TStep SearchKey(UINT AKey) {
  return OnSearch([AKey](TSearch &S) { S.Key(GetFocus() ? GetFocus() : S.Found, AKey); });
}
TStep ExpectSelection(const TLevel &ARows, int ASelected, const std::vector<std::string> &APath) {
  return [=](TDialog &D) {
    EXPECT_EQ(D.Rows(), ARows);
    EXPECT_EQ(D.Selected(), ASelected);
    EXPECT_EQ(D.PathRows(), APath);
  };
}
TStep ExpectNoSearch() {
  return [](TDialog &) {
    HWND W = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), CollectSearch, reinterpret_cast<LPARAM>(&W));
    EXPECT_EQ(W, nullptr) << "the search dialog is still shown";
  };
}
TStep Press(UINT AKey) {
  return [=](TDialog &D) { D.Key(AKey); };
}

class SearchDialog : public TOpenLibrary {
 protected:
  void SetUp() override {
    TOpenLibrary::SetUp();
    ShowWindow(HostWindow(), SW_SHOW);
    SetForegroundWindow(HostWindow());
    File = Dir.Write("towns.vok", TownsFile());
    ASSERT_EQ(V.LoadVok(File.c_str(), "Towns"), 65535);
    ASSERT_EQ(V.LoadVok(File.c_str(), "Flat"), 65535);
  }
  void TearDown() override {
    TOpenLibrary::TearDown();
    ShowWindow(HostWindow(), SW_HIDE);
  }
  int32_t Value(const char *AName, int32_t AItemId, std::vector<TStep> ASteps) {
    const std::size_t Count = ASteps.size();
    const int32_t R = Driver.Run([&] { return Vok().GetVokValue("Test", AName, AItemId); }, std::move(ASteps));
    EXPECT_EQ(Driver.StepsRun(), Count) << "the dialog ended before every step ran";
    return R;
  }
  int32_t ValueSt(int32_t AItemId, std::vector<TStep> ASteps) {
    const std::size_t Count = ASteps.size();
    const int32_t R = Driver.Run([&] { return Vok().GetVokValueSt("Test", "Towns", AItemId, 0); }, std::move(ASteps));
    EXPECT_EQ(Driver.StepsRun(), Count) << "the dialog ended before every step ran";
    return R;
  }
  std::string File;
  TDriver Driver;
};

}  // namespace

TEST_F(SearchDialog, FindsOnEveryLevelInAnyCaseWithRowZeroAndItsPath) {
  EXPECT_EQ(Value("Towns", 0,
                  {F3(), OnSearch([](TSearch &S) {
                     EXPECT_EQ(S.Text(S.Window), Search);
                     EXPECT_EQ(S.Text(S.Label), Pattern);
                     EXPECT_EQ(GetFocus(), S.Edit);
                     EXPECT_EQ(S.PathHeight(), 2 * static_cast<int>(SendMessageA(S.Path, LB_GETITEMHEIGHT, 0, 0)));
                   }),
                   Find(Kam), ExpectMatches(KamMatches, 0, {North, Lake}),
                   OnSearch([](TSearch &S) { EXPECT_EQ(GetFocus(), S.Found); }),
                   // Another row shows its own path.
                   OnSearch([](TSearch &S) {
                     SendMessageW(S.Found, LB_SETCURSEL, 2, 0);
                     SendMessageW(S.Window, WM_COMMAND, MAKEWPARAM(203, LBN_SELCHANGE), reinterpret_cast<LPARAM>(S.Found));
                   }),
                   ExpectMatches(KamMatches, 2, {South}), SearchKey(VK_ESCAPE), ExpectNoSearch(), Press(VK_ESCAPE)}),
            0);
}

TEST_F(SearchDialog, UnchangedPatternIsNotSearchedAgainInAnyCase) {
  EXPECT_EQ(Value("Towns", 0,
                  {F3(), Find(Kam), OnSearch([](TSearch &S) { SendMessageW(S.Found, LB_SETCURSEL, 1, 0); }),
                   Find(Kam), ExpectMatches(KamMatches, 1, {North, Lake}),
                   Find("\xEA\xE0\xEC"),  // кам
                   ExpectMatches(KamMatches, 1, {North, Lake}), OnSearch([](TSearch &S) {
                     EXPECT_EQ(S.History(), std::vector<std::string>{Kam});
                   }),
                   SearchKey(VK_ESCAPE), Press(VK_ESCAPE)}),
            0);
}

TEST_F(SearchDialog, EmptyPatternEmptiesTheResults) {
  EXPECT_EQ(Value("Towns", 0,
                  {F3(), Find(Kam), Find(""), ExpectMatches({}, -1, {}), Find("xyz"), ExpectMatches({}, -1, {}),
                   SearchKey(VK_ESCAPE), Press(VK_ESCAPE)}),
            0);
}

TEST_F(SearchDialog, HistoryKeepsTwentyFourPatternsNewestFirst) {
  std::vector<TStep> Steps{F3()};
  for (int I = 1; I <= 25; ++I) Steps.push_back(Find("p" + std::to_string(I)));
  Steps.push_back(Find("P3"));  // present already: keeps its place
  Steps.push_back(OnSearch([](TSearch &S) {
    const std::vector<std::string> H = S.History();
    ASSERT_EQ(H.size(), 24u);
    EXPECT_EQ(H.front(), "p25");
    EXPECT_EQ(H.back(), "p2");
    EXPECT_EQ(H[22], "p3");
  }));
  Steps.push_back(SearchKey(VK_ESCAPE));
  Steps.push_back(Press(VK_ESCAPE));
  EXPECT_EQ(Value("Towns", 0, Steps), 0);
}

TEST_F(SearchDialog, HistoryEntryChosenRunsTheSearch) {
  EXPECT_EQ(Value("Towns", 0,
                  {F3(), Find(Kam), Find(River), ExpectMatches({}, -1, {}), OnSearch([](TSearch &S) {
                     SendMessageW(S.Combo, CB_SETCURSEL, 1, 0);
                     SendMessageW(S.Window, WM_COMMAND, MAKEWPARAM(202, CBN_SELCHANGE), reinterpret_cast<LPARAM>(S.Combo));
                   }),
                   ExpectMatches(KamMatches, 0, {North, Lake}), SearchKey(VK_ESCAPE), Press(VK_ESCAPE)}),
            0);
}

TEST_F(SearchDialog, EscClosesTheHistoryFirst) {
  EXPECT_EQ(Value("Towns", 0,
                  {F3(), Find(Kam), OnSearch([](TSearch &S) {
                     SetFocus(S.Edit);
                     SendMessageW(S.Combo, CB_SHOWDROPDOWN, TRUE, 0);
                   }),
                   OnSearch([](TSearch &S) { S.Key(S.Edit, VK_ESCAPE); }), OnSearch([](TSearch &S) {
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
                  {F3(), Find(Kam), SearchKey(VK_RETURN), ExpectNoSearch(), ExpectSelection(LakeLevel, 1, {North, Lake}),
                   Press(VK_RETURN)}),
            1101001);
  // A double-click on the third match, a district: its level; Enter opens its (no) children.
  const TLevel SouthLevel = {{Undefined, -1}, {Stony, 1201000}};
  EXPECT_EQ(Value("Towns", 0,
                  {F3(), Find(Kam), OnSearch([](TSearch &S) { S.DoubleClick(2); }), ExpectNoSearch(),
                   ExpectSelection(SouthLevel, 1, {South}), Press(VK_RETURN)}),
            1201000);
  // Esc gives up: the selection dialog stays where it was.
  EXPECT_EQ(Value("Towns", 1101002,
                  {F3(), Find(Kam), SearchKey(VK_ESCAPE), ExpectSelection(LakeLevel, 2, {North, Lake}),
                   Press(VK_RETURN)}),
            1101002);
}

TEST_F(SearchDialog, TakingAMatchUnderStartGroupMakesItTheRoot) {
  const TLevel Districts = {{Undefined, -1}, {Lake, 1101000}};
  const TLevel Villages = {{Undefined, -1}, {Stone, 1101001}, {Hills, 1101002}};
  // Север found and taken: the dialog opens on its children, and Backspace is refused there.
  EXPECT_EQ(ValueSt(1200000, {F3(), Find(North), SearchKey(VK_RETURN), ExpectSelection(Districts, 0, {North}),
                              Press(VK_BACK), ExpectSelection(Districts, 0, {North}), Press(VK_ESCAPE)}),
            0);
  // A match without children opens on its own level, the match selected.
  EXPECT_EQ(ValueSt(1100000, {F3(), Find(Hills), SearchKey(VK_RETURN), ExpectSelection(Villages, 2, {North, Lake}),
                              Press(VK_RETURN)}),
            1101002);
}

TEST_F(SearchDialog, ReopeningKeepsResultsForTheSameDictionaryOnly) {
  EXPECT_EQ(Value("Towns", 0, {F3(), Find(Kam), SearchKey(VK_ESCAPE), F3(), ExpectMatches(KamMatches, 0, {North, Lake}),
                               SearchKey(VK_ESCAPE), Press(VK_ESCAPE)}),
            0);
  EXPECT_EQ(Value("Towns", 0, {F3(), ExpectMatches(KamMatches, 0, {North, Lake}), SearchKey(VK_ESCAPE), Press(VK_ESCAPE)}),
            0);
  // Another dictionary: no results, no path room for one level, and the same pattern searches it.
  EXPECT_EQ(Value("Flat", 0, {F3(), ExpectMatches({}, -1, {}), OnSearch([](TSearch &S) { EXPECT_EQ(S.PathHeight(), 0); }),
                              Find(Kam), ExpectMatches({{Stone, 1}}, 0, {}), SearchKey(VK_ESCAPE), Press(VK_ESCAPE)}),
            0);
}

TEST_F(SearchDialog, PatternsLongerThanAShortStringAreCut) {
  const std::string Long = Kam + std::string(300, 'x');
  EXPECT_EQ(Value("Towns", 0, {F3(), Find(Long), ExpectMatches({}, -1, {}), OnSearch([&](TSearch &S) {
                                 ASSERT_EQ(S.History().size(), 1u);
                                 EXPECT_EQ(S.History()[0], Long.substr(0, 255));
                               }),
                               SearchKey(VK_ESCAPE), Press(VK_ESCAPE)}),
            0);
}
