// The coordinate system chooser as the host sees it: while GetPrjString runs its modal loop, a
// timer of the test thread finds the dialog, reads its lists and works it with clicks and keys
// to the real windows; what the export gives back is checked at the end.
#include "tests/win32/DialogDriver.h"

using namespace vok::test;

namespace {

using TStrings = std::vector<std::string>;

// Windows-1251 texts of the dialog and of the test file.
const std::string kCancel = "\xCE\xF2\xEC\xE5\xED\xE0";                        // Отмена
const std::string kPlane = "\xCF\xF0\xFF\xEC\xEE\xF3\xE3\xEE\xEB\xFC\xED\xFB\xE5";  // Прямоугольные
const std::string kMetres = "\xCF\xEB\xEE\xF1\xEA\xE0\xFF (\xEC\xE5\xF2\xF0\xFB)";  // Плоская (метры)
const std::string kKilometres = "\xCF\xEB\xEE\xF1\xEA\xE0\xFF (\xEA\xEC)";          // Плоская (км)
const std::string kGeo = "\xC3\xE5\xEE\xE3\xF0\xE0\xF4\xE8\xF7\xE5\xF1\xEA\xE8\xE5";  // Географические

const std::string kFile = "\"--- " + kPlane + " ---\"\r\n"
                          "\"" + kMetres + "\", 0, 7\r\n"
                          "\"" + kKilometres + "\\p9001\", 0, 1\r\n"
                          "\r\n"
                          "\"--- " + kGeo + " ---\"\r\n"
                          "\"WGS 84\\p4326\", 1, 104\r\n"
                          "\"Zone 5\", 8, 104, 7, 27, 0, 0.9996, 500000, 0\r\n"
                          "\"--- " + kPlane + " ---\"\r\n"
                          "\"Never shown\", 0, 3\r\n";

// Checks that the chooser shows the groups AGroups with row AGroup selected, and the entries
// ANames with their values AParams, row AName selected.
void ExpectLists(const TDialog &AC, const TStrings &AGroups, LRESULT AGroup, const TStrings &ANames,
                 const TStrings &AParams, int AName) {
  EXPECT_EQ(ListTexts(AC.Combo), AGroups);
  EXPECT_EQ(SendMessageA(AC.Combo, CB_GETCURSEL, 0, 0), AGroup);
  EXPECT_EQ(ListTexts(AC.List), ANames);
  EXPECT_EQ(ListTexts(AC.Params), AParams);
  EXPECT_EQ(AC.Selected(), AName);
}

// What one call of GetPrjString gave back.
struct TChosen {
  int32_t Result;
  std::string Name, Clause;
  bool operator==(const TChosen &A) const { return Result == A.Result && Name == A.Name && Clause == A.Clause; }
};
std::ostream &operator<<(std::ostream &S, const TChosen &A) {
  return S << A.Result << " [" << A.Name << "] [" << A.Clause << "]";
}

// Steps that come back often: the Ok and Otmena buttons clicked.
const TStep ClickOk = [](TDialog &C) { SendMessageA(C.Ok, BM_CLICK, 0, 0); };
const TStep ClickCancel = [](TDialog &C) { SendMessageA(C.Cancel, BM_CLICK, 0, 0); };

class ProjChooser : public ::testing::Test {
 protected:
  TMessageCatcher Messages;
  TTempDir Dir;
  std::string Path = Dir.Write("projections.prj", kFile);
  TDriver Driver;

  // GetPrjString on APath with ASteps played on the chooser, which must show; Form is its window.
  TChosen Run(const std::string &APath, std::vector<TStep> ASteps, HWND AOwner = HostWindow()) {
    ASteps.insert(ASteps.begin(), [this](TDialog &C) { Form = C.Window; });
    char Name[1024] = "stale name", Clause[1024] = "stale clause";
    const auto Call = [&] { return Vok().GetPrjString(AOwner, APath.c_str(), Name, Clause); };
    const int32_t Result = Driver.Run(Call, std::move(ASteps));
    EXPECT_TRUE(Driver.Shown()) << APath;
    return {Result, Name, Clause};
  }
  HWND Form = nullptr;

  void TearDown() override { EXPECT_TRUE(Messages.Take().empty()) << "no message is shown"; }
};

const TStrings kGroups{kPlane, kGeo, kPlane};
const TStrings kPlaneNames{kMetres, kKilometres};
const TStrings kPlaneParams{" 0, 7", " 0, 1"};

}  // namespace

TEST_F(ProjChooser, OffersGroupsInFileOrderAndTheFirstGroupsEntries) {
  const TChosen R = Run(Path, {[](TDialog &C) {
                       ExpectLists(C, kGroups, 0, kPlaneNames, kPlaneParams, 0);
                       EXPECT_EQ(GetWindowLongA(C.Combo, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
                       EXPECT_EQ(GetWindow(C.Window, GW_OWNER), HostWindow());
                       EXPECT_EQ(GetFocus(), C.Combo);
                       EXPECT_EQ(WindowText(C.Window), ChooserCaption);
                       EXPECT_EQ(WindowText(C.Ok), "Ok");
                       EXPECT_EQ(WindowText(C.Cancel), kCancel);
                       EXPECT_FALSE(IsWindowVisible(C.Params)) << "the values of the entries stay hidden";
                     },
                     ClickCancel});
  EXPECT_EQ(R, (TChosen{0xFFFF, "", ""}));
  EXPECT_FALSE(IsWindow(Form)) << "the dialog is destroyed before the export returns";
  EXPECT_NE(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
}

TEST_F(ProjChooser, GroupChangeReadsTheFileAgain) {
  const TStrings Geo{"WGS 84", "Zone 5"}, GeoParams{" 1, 104", " 8, 104, 7, 27, 0, 0.9996, 500000, 0"};
  const TChosen R = Run(Path, {[&](TDialog &C) {
                       SelectRow(C.Combo, 1);
                       ExpectLists(C, kGroups, 1, Geo, GeoParams, 0);
                       // The same name twice: the first group of that name is read.
                       SelectRow(C.Combo, 2);
                       ExpectLists(C, kGroups, 2, kPlaneNames, kPlaneParams, 0);
                       Dir.Write("projections.prj", "\"--- " + kPlane + " ---\"\r\n\"Fresh\", 0, 5\r\n");
                       SelectRow(C.Combo, 0);
                       // The group list is read once.
                       ExpectLists(C, kGroups, 0, {"Fresh"}, {" 0, 5"}, 0);
                     },
                     ClickOk});
  EXPECT_EQ(R, (TChosen{0xFFFF, "Fresh", "CoordSys NonEarth Units \"mm\""}));
}

TEST_F(ProjChooser, WaysToCloseTheDialog) {
  const std::string Zone5 = "CoordSys Earth Projection 8, 104, \"m\", 27, 0, 0.9996, 500000, 0";
  const struct {
    const char *Way;
    std::vector<TStep> Steps;
    std::string Name, Clause;
  } Cases[] = {
      {"Ok button", {ClickOk}, kMetres, "CoordSys NonEarth Units \"m\""},
      {"Ok after choosing the second row",
       {[](TDialog &C) { SendMessageA(C.List, LB_SETCURSEL, 1, 0); }, ClickOk},
       kKilometres,
       "CoordSys NonEarth Units \"km\""},
      {"double click on a row",
       {[](TDialog &C) {
          SelectRow(C.Combo, 1);
          C.DoubleClick(1);
        }},
       "Zone 5",
       Zone5},
      {"Enter on the focused Ok",
       {[](TDialog &C) {
          SelectRow(C.Combo, 1);
          PostKey(C.Combo, VK_TAB);
          PostKey(C.List, VK_TAB);
          PostKey(C.Ok, VK_RETURN);
        }},
       "WGS 84",
       "CoordSys Earth Projection 1, 104"},
      {"Enter in the entry list does nothing, Esc then cancels",
       {[](TDialog &C) {
          PostKey(C.Combo, VK_TAB);
          PostKey(C.List, VK_RETURN);
        },
        [](TDialog &C) { PostKey(C.List, VK_ESCAPE); }},
       "",
       ""},
      {"Otmena button", {ClickCancel}, "", ""},
      {"Enter on the focused Otmena",
       {[](TDialog &C) {
          for (int I = 0; I < 3; ++I) PostKey(C.Combo, VK_TAB);
          PostKey(C.Cancel, VK_RETURN);
        }},
       "",
       ""},
      {"Esc", {[](TDialog &C) { PostKey(C.Combo, VK_ESCAPE); }}, "", ""},
      {"close box", {[](TDialog &C) { C.CloseBox(); }}, "", ""},
      {"WM_CLOSE", {[](TDialog &C) { PostMessageA(C.Window, WM_CLOSE, 0, 0); }}, "", ""},
  };
  for (const auto &C : Cases) {
    SCOPED_TRACE(C.Way);
    EXPECT_EQ(Run(Path, C.Steps), (TChosen{0xFFFF, C.Name, C.Clause}));
  }
}

TEST_F(ProjChooser, TabWalksGroupsEntriesOkOtmenaAndAround) {
  std::vector<HWND> Focus;
  HWND Groups = nullptr, Names = nullptr, Ok = nullptr, Cancel = nullptr;
  const TStep Tab = [&](TDialog &) {
    Focus.push_back(GetFocus());
    PostKey(Focus.back(), VK_TAB);
  };
  Run(Path, {[&](TDialog &C) {
               Groups = C.Combo, Names = C.List, Ok = C.Ok, Cancel = C.Cancel;
               Tab(C);
             },
             Tab, Tab, Tab,
             [&](TDialog &) {
               Focus.push_back(GetFocus());
               PostKey(Focus.back(), VK_ESCAPE);
             }});
  EXPECT_EQ(Focus, std::vector<HWND>({Groups, Names, Ok, Cancel, Groups}));
}

TEST_F(ProjChooser, MissingFileOrFileWithoutGroupsGivesEmptyListsAndOkGivesNothing) {
  const std::string NoHeader = Dir.Write("plain.prj", "\"" + kMetres + "\", 0, 7\r\n\r\nsome text\r\n");
  for (const std::string &File : {Dir.Path() + "\\none.prj", NoHeader, Dir.Path(), std::string()}) {
    SCOPED_TRACE(File);
    EXPECT_EQ(Run(File, {[](TDialog &C) { ExpectLists(C, {}, CB_ERR, {}, {}, LB_ERR); }, ClickOk}),
              (TChosen{0xFFFF, "", ""}));
  }
}

TEST_F(ProjChooser, EntriesWithUnusableNumbersFailWithEmptyBuffers) {
  for (const char *Params : {"0, 9", "0, -1", "8, 104, 12, 27", "x, 7", "0, m"}) {
    SCOPED_TRACE(Params);
    const std::string File = Dir.Write("bad.prj", std::string("\"--- G ---\"\r\n\"Bad\", ") + Params + "\r\n");
    EXPECT_EQ(Run(File, {ClickOk}), (TChosen{0, "", ""}));
    EXPECT_FALSE(IsWindow(Form));
  }
  // A list of values that is no known kind of system gives the entry's name as its clause.
  const std::string File = Dir.Write("odd.prj", "\"--- G ---\"\r\n\"Odd\", 2, 7\r\n\"Single\", 104\r\n");
  for (int Row : {0, 1}) {
    const std::string Name = Row ? "Single" : "Odd";
    EXPECT_EQ(Run(File, {[Row](TDialog &C) { SendMessageA(C.List, LB_SETCURSEL, Row, 0); }, ClickOk}),
              (TChosen{0xFFFF, Name, Name}));
  }
}

// The host's buffers hold 1023 characters and the zero byte: a longer name or clause is
// refused, not written past them.
TEST_F(ProjChooser, NamesAndClausesLongerThanTheBuffersAreRefused) {
  const std::string Prefix = "CoordSys Earth Projection 1, ";
  for (const std::size_t Length : {1022, 1023, 1024, 5000}) {
    for (const bool InClause : {false, true}) {
      const std::string Name = InClause ? "Long" : std::string(Length, 'n');
      const std::string Last = InClause ? std::string(Length - Prefix.size(), 'c') : "104";
      const std::string File = Dir.Write("long.prj", "\"--- G ---\"\r\n\"" + Name + "\", 1, " + Last + "\r\n");
      SCOPED_TRACE(std::to_string(Length) + (InClause ? " in the clause" : " in the name"));
      const bool Fits = Length < 1024;
      EXPECT_EQ(Run(File, {ClickOk}), (Fits ? TChosen{0xFFFF, Name, Prefix + Last} : TChosen{0, "", ""}));
    }
  }
}

TEST_F(ProjChooser, NullBuffersAndNoOwnerAreTolerated) {
  EXPECT_EQ(Driver.Run([&] { return Vok().GetPrjString(nullptr, Path.c_str(), nullptr, nullptr); },
                       {Press(VK_ESCAPE)}),
            0xFFFF);
  EXPECT_TRUE(Driver.Shown());
  EXPECT_EQ(Run(Path, {ClickOk}, nullptr), (TChosen{0xFFFF, kMetres, "CoordSys NonEarth Units \"m\""}));
}

TEST_F(ProjChooser, LayoutAtTheScreensDensity) {
  const auto Box = [](int L, int T, int W, int H) {
    return std::vector<LONG>{Scaled(L), Scaled(T), Scaled(L) + Scaled(W), Scaled(T) + Scaled(H)};
  };
  const auto Of = [](const RECT &R) { return std::vector<LONG>{R.left, R.top, R.right, R.bottom}; };
  Run(Path, {[&](TDialog &C) {
               // The place of control AWnd in the dialog's client area.
               const auto InClient = [&](HWND AWnd) {
                 RECT R;
                 GetWindowRect(AWnd, &R);
                 MapWindowPoints(nullptr, C.Window, reinterpret_cast<POINT *>(&R), 2);
                 return Of(R);
               };
               RECT Client, Window;
               GetClientRect(C.Window, &Client);
               GetWindowRect(C.Window, &Window);
               EXPECT_EQ(Of(Client), Box(0, 0, 394, 309));
               EXPECT_EQ(InClient(C.List), Box(11, 44, 369, 214));
               EXPECT_EQ(InClient(C.Ok), Box(103, 272, 87, 28));
               EXPECT_EQ(InClient(C.Cancel), Box(204, 272, 86, 28));
               std::vector<LONG> Groups = InClient(C.Combo);
               Groups.pop_back();  // the height of a combo box is its own
               EXPECT_EQ(Groups, (std::vector<LONG>{Scaled(11), Scaled(15), Scaled(11) + Scaled(369)}));
               LOGFONTA Font{};
               GetObjectA(reinterpret_cast<HFONT>(SendMessageA(C.List, WM_GETFONT, 0, 0)), sizeof Font, &Font);
               EXPECT_EQ(std::string(Font.lfFaceName), "MS Sans Serif");
               EXPECT_EQ(Font.lfHeight, -Scaled(14));
               const LONG Style = GetWindowLongA(C.Window, GWL_STYLE);
               EXPECT_TRUE((Style & WS_CAPTION) == WS_CAPTION && (Style & WS_SYSMENU));
               EXPECT_FALSE(Style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
               EXPECT_NEAR((Window.left + Window.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
               EXPECT_NEAR((Window.top + Window.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
             },
             ClickCancel});
}
