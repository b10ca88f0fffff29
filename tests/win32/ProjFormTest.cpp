// The coordinate system chooser as the host sees it: GetPrjString runs its modal loop on the
// test's thread while a second thread finds the dialog, reads its lists and works it through
// messages, as a user's clicks and keys would. The second thread only records what it sees;
// the test thread asserts after the export returns.
#include <atomic>
#include <functional>
#include <thread>

#include "tests/win32/TestHost.h"

using namespace vok::test;

namespace {

using TStrings = std::vector<std::string>;
using TGetPrjString = int32_t __stdcall(HWND, const char *, char *, char *);

// Windows-1251 texts of the dialog and of the test file.
const std::string kCaption = "\xC2\xFB\xE1\xE5\xF0\xE8\xF2\xE5 \xEF\xF0\xEE\xE5\xEA\xF6\xE8\xFE";
const std::string kCancel = "\xCE\xF2\xEC\xE5\xED\xE0";
const std::string kPlane = "\xCF\xF0\xFF\xEC\xEE\xF3\xE3\xEE\xEB\xFC\xED\xFB\xE5";  // Прямоугольные
const std::string kMetres = "\xCF\xEB\xEE\xF1\xEA\xE0\xFF (\xEC\xE5\xF2\xF0\xFB)";  // Плоская (метры)
const std::string kKilometres = "\xCF\xEB\xEE\xF1\xEA\xE0\xFF (\xEA\xEC)";          // Плоская (км)
const std::string kGeo = "\xC3\xE5\xEE\xE3\xF0\xE0\xF4\xE8\xF7\xE5\xF1\xEA\xE8\xE5";  // Географические

std::string Lines(const TStrings &ALines) {
  std::string R;
  for (const std::string &L : ALines) R += L + "\r\n";
  return R;
}

const std::string kFile = Lines({
    "\"--- " + kPlane + " ---\"",
    "\"" + kMetres + "\", 0, 7",
    "\"" + kKilometres + "\\p9001\", 0, 1",
    "",
    "\"--- " + kGeo + " ---\"",
    "\"WGS 84\\p4326\", 1, 104",
    "\"Zone 5\", 8, 104, 7, 27, 0, 0.9996, 500000, 0",
    "\"--- " + kPlane + " ---\"",
    "\"Never shown\", 0, 3",
});

// The dialog's windows as the second thread found them.
struct TChooser {
  HWND Form = nullptr, Groups = nullptr, Names = nullptr, Params = nullptr, Ok = nullptr, Cancel = nullptr;
};

std::string Text(HWND AWnd) {
  char Buf[1024] = "";
  GetWindowTextA(AWnd, Buf, sizeof Buf);
  return Buf;
}

TStrings ComboItems(HWND ACombo) {
  TStrings R;
  const LRESULT N = SendMessageA(ACombo, CB_GETCOUNT, 0, 0);
  for (LRESULT I = 0; I < N; ++I) {
    std::string S(static_cast<size_t>(SendMessageA(ACombo, CB_GETLBTEXTLEN, I, 0)) + 1, '\0');
    S.resize(static_cast<size_t>(SendMessageA(ACombo, CB_GETLBTEXT, I, reinterpret_cast<LPARAM>(S.data()))));
    R.push_back(S);
  }
  return R;
}

TStrings ListItems(HWND AList) {
  TStrings R;
  const LRESULT N = SendMessageA(AList, LB_GETCOUNT, 0, 0);
  for (LRESULT I = 0; I < N; ++I) {
    std::string S(static_cast<size_t>(SendMessageA(AList, LB_GETTEXTLEN, I, 0)) + 1, '\0');
    S.resize(static_cast<size_t>(SendMessageA(AList, LB_GETTEXT, I, reinterpret_cast<LPARAM>(S.data()))));
    R.push_back(S);
  }
  return R;
}

// What the lists of the dialog hold at one moment.
struct TListsSeen {
  TStrings Groups, Names, Params;
  LRESULT Group = -2, Name = -2;
};

TListsSeen ReadLists(const TChooser &AC) {
  TListsSeen S;
  S.Groups = ComboItems(AC.Groups);
  S.Names = ListItems(AC.Names);
  S.Params = ListItems(AC.Params);
  S.Group = SendMessageA(AC.Groups, CB_GETCURSEL, 0, 0);
  S.Name = SendMessageA(AC.Names, LB_GETCURSEL, 0, 0);
  return S;
}

HWND FocusOf(HWND AForm) {
  GUITHREADINFO Info{};
  Info.cbSize = sizeof Info;
  GetGUIThreadInfo(GetWindowThreadProcessId(AForm, nullptr), &Info);
  return Info.hwndFocus;
}

// Waits up to AMs for ACondition; true when it came.
bool WaitFor(const std::function<bool()> &ACondition, int AMs = 5000) {
  for (int T = 0; T < AMs; T += 10) {
    if (ACondition()) return true;
    Sleep(10);
  }
  return ACondition();
}

void SelectGroup(const TChooser &AC, int AIndex) {
  SendMessageA(AC.Groups, CB_SETCURSEL, AIndex, 0);
  SendMessageA(AC.Form, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(AC.Groups), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(AC.Groups));
}

void PostKey(HWND AWnd, WPARAM AKey) {
  PostMessageA(AWnd, WM_KEYDOWN, AKey, 1);
  PostMessageA(AWnd, WM_KEYUP, AKey, 0xC0000001);
}

// A double click with the left button on row ARow of a list box.
void DoubleClickRow(HWND AList, int ARow) {
  RECT R{};
  SendMessageA(AList, LB_GETITEMRECT, ARow, reinterpret_cast<LPARAM>(&R));
  const LPARAM At = MAKELPARAM(R.left + 4, (R.top + R.bottom) / 2);
  PostMessageA(AList, WM_LBUTTONDOWN, MK_LBUTTON, At);
  PostMessageA(AList, WM_LBUTTONUP, 0, At);
  PostMessageA(AList, WM_LBUTTONDBLCLK, MK_LBUTTON, At);
  PostMessageA(AList, WM_LBUTTONUP, 0, At);
}

struct TFindForm {
  DWORD Thread;
  HWND Found = nullptr;
};

BOOL CALLBACK FindChooser(HWND AWnd, LPARAM AParam) {
  auto *F = reinterpret_cast<TFindForm *>(AParam);
  if (IsWindowVisible(AWnd) && Text(AWnd) == kCaption) {
    F->Found = AWnd;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CloseVisible(HWND AWnd, LPARAM) {
  if (IsWindowVisible(AWnd)) PostMessageA(AWnd, WM_CLOSE, 0, 0);
  return TRUE;
}

// One call of GetPrjString with ADrive working the dialog from a second thread.
struct TRun {
  int32_t Result = -1;
  std::string Name, Clause;
  bool Shown = false;          // the dialog was found
  bool ClosedByDrive = false;  // it closed after ADrive without being forced
  HWND Form = nullptr;
};

class ProjChooser : public ::testing::Test {
 protected:
  TGetPrjString *GetPrjString = Export<TGetPrjString>("GetPrjString");
  TMessageCatcher Messages;
  TTempDir Dir;
  std::string Path = Dir.Write("projections.prj", kFile);

  TRun Run(const std::string &APath, const std::function<void(const TChooser &)> &ADrive,
           HWND AOwner = HostWindow()) {
    TRun R;
    const DWORD Thread = GetCurrentThreadId();
    std::thread Driver([&] {
      TFindForm F{Thread};
      WaitFor(
          [&] {
            EnumThreadWindows(Thread, FindChooser, reinterpret_cast<LPARAM>(&F));
            return F.Found != nullptr;
          },
          10000);
      if (!F.Found) {  // never leave the modal loop running
        EnumThreadWindows(Thread, CloseVisible, 0);
        return;
      }
      R.Shown = true;
      R.Form = F.Found;
      TChooser C;
      C.Form = F.Found;
      C.Groups = FindWindowExA(C.Form, nullptr, "ComboBox", nullptr);
      for (HWND L = nullptr; (L = FindWindowExA(C.Form, L, "ListBox", nullptr));)
        (IsWindowVisible(L) ? C.Names : C.Params) = L;
      for (HWND B = nullptr; (B = FindWindowExA(C.Form, B, "Button", nullptr));)
        (Text(B) == "Ok" ? C.Ok : C.Cancel) = B;
      ADrive(C);
      R.ClosedByDrive = WaitFor([&] { return !IsWindow(C.Form) || !IsWindowVisible(C.Form); });
      if (!R.ClosedByDrive) PostMessageA(C.Form, WM_CLOSE, 0, 0);
    });
    char Name[1024] = "stale name", Clause[1024] = "stale clause";
    R.Result = GetPrjString(AOwner, APath.c_str(), Name, Clause);
    Driver.join();
    R.Name = Name;
    R.Clause = Clause;
    return R;
  }

  void TearDown() override { EXPECT_TRUE(Messages.Take().empty()) << "no message is shown"; }
};

const TStrings kGroups{kPlane, kGeo, kPlane};
const TStrings kPlaneNames{kMetres, kKilometres};
const TStrings kPlaneParams{" 0, 7", " 0, 1"};

}  // namespace

TEST_F(ProjChooser, OffersGroupsInFileOrderAndTheFirstGroupsEntries) {
  TListsSeen Seen;
  HWND Owner = nullptr, Focus = nullptr, Groups = nullptr;
  LONG Style = 0;
  const TRun R = Run(Path, [&](const TChooser &C) {
    Seen = ReadLists(C);
    Groups = C.Groups;
    Owner = GetWindow(C.Form, GW_OWNER);
    Focus = FocusOf(C.Form);
    Style = GetWindowLongA(C.Groups, GWL_STYLE);
    SendMessageA(C.Cancel, BM_CLICK, 0, 0);
  });
  ASSERT_TRUE(R.Shown);
  EXPECT_EQ(R.Result, 0xFFFF);
  EXPECT_EQ(R.Name, "");
  EXPECT_EQ(R.Clause, "");
  EXPECT_EQ(Seen.Groups, kGroups);
  EXPECT_EQ(Seen.Group, 0);
  EXPECT_EQ(Seen.Names, kPlaneNames);
  EXPECT_EQ(Seen.Params, kPlaneParams);
  EXPECT_EQ(Seen.Name, 0);
  EXPECT_EQ(Style & 3, CBS_DROPDOWNLIST);
  EXPECT_EQ(Owner, HostWindow());
  EXPECT_EQ(Focus, Groups);
  EXPECT_FALSE(IsWindow(R.Form)) << "the dialog is destroyed before the export returns";
  EXPECT_NE(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
}

TEST_F(ProjChooser, GroupChangeReadsTheFileAgain) {
  std::vector<TListsSeen> Seen;
  const TRun R = Run(Path, [&](const TChooser &C) {
    SelectGroup(C, 1);
    Seen.push_back(ReadLists(C));
    // The same name twice: the first group of that name is read.
    SelectGroup(C, 2);
    Seen.push_back(ReadLists(C));
    Dir.Write("projections.prj", "\"--- " + kPlane + " ---\"\r\n\"Fresh\", 0, 5\r\n");
    SelectGroup(C, 0);
    Seen.push_back(ReadLists(C));
    SendMessageA(C.Ok, BM_CLICK, 0, 0);
  });
  ASSERT_TRUE(R.Shown);
  ASSERT_EQ(Seen.size(), 3u);
  EXPECT_EQ(Seen[0].Names, TStrings({"WGS 84", "Zone 5"}));
  EXPECT_EQ(Seen[0].Params, TStrings({" 1, 104", " 8, 104, 7, 27, 0, 0.9996, 500000, 0"}));
  EXPECT_EQ(Seen[0].Name, 0);
  EXPECT_EQ(Seen[1].Names, kPlaneNames);
  EXPECT_EQ(Seen[1].Params, kPlaneParams);
  EXPECT_EQ(Seen[2].Groups, kGroups) << "the group list is read once";
  EXPECT_EQ(Seen[2].Names, TStrings({"Fresh"}));
  EXPECT_EQ(R.Result, 0xFFFF);
  EXPECT_EQ(R.Name, "Fresh");
  EXPECT_EQ(R.Clause, "CoordSys NonEarth Units \"mm\"");
}

TEST_F(ProjChooser, WaysToCloseTheDialog) {
  const std::string Zone5 = "CoordSys Earth Projection 8, 104, \"m\", 27, 0, 0.9996, 500000, 0";
  const struct {
    const char *Way;
    std::function<void(const TChooser &)> Drive;
    std::string Name, Clause;
  } Cases[] = {
      {"Ok button", [](const TChooser &C) { SendMessageA(C.Ok, BM_CLICK, 0, 0); }, kMetres,
       "CoordSys NonEarth Units \"m\""},
      {"Ok after choosing the second row",
       [](const TChooser &C) {
         SendMessageA(C.Names, LB_SETCURSEL, 1, 0);
         SendMessageA(C.Ok, BM_CLICK, 0, 0);
       },
       kKilometres, "CoordSys NonEarth Units \"km\""},
      {"double click on a row",
       [](const TChooser &C) {
         SelectGroup(C, 1);
         DoubleClickRow(C.Names, 1);
       },
       "Zone 5", Zone5},
      {"Enter on the focused Ok",
       [](const TChooser &C) {
         SelectGroup(C, 1);
         PostKey(C.Groups, VK_TAB);
         PostKey(C.Names, VK_TAB);
         PostKey(C.Ok, VK_RETURN);
       },
       "WGS 84", "CoordSys Earth Projection 1, 104"},
      {"Enter in the entry list does nothing, Esc then cancels",
       [](const TChooser &C) {
         PostKey(C.Groups, VK_TAB);
         PostKey(C.Names, VK_RETURN);
         Sleep(200);
         if (IsWindowVisible(C.Form)) PostKey(C.Names, VK_ESCAPE);
       },
       "", ""},
      {"Otmena button", [](const TChooser &C) { SendMessageA(C.Cancel, BM_CLICK, 0, 0); }, "", ""},
      {"Enter on the focused Otmena",
       [](const TChooser &C) {
         for (int I = 0; I < 3; ++I) PostKey(C.Groups, VK_TAB);
         PostKey(C.Cancel, VK_RETURN);
       },
       "", ""},
      {"Esc", [](const TChooser &C) { PostKey(C.Groups, VK_ESCAPE); }, "", ""},
      {"close box", [](const TChooser &C) { PostMessageA(C.Form, WM_SYSCOMMAND, SC_CLOSE, 0); }, "", ""},
      {"WM_CLOSE", [](const TChooser &C) { PostMessageA(C.Form, WM_CLOSE, 0, 0); }, "", ""},
  };
  for (const auto &C : Cases) {
    const TRun R = Run(Path, C.Drive);
    EXPECT_TRUE(R.Shown && R.ClosedByDrive) << C.Way;
    EXPECT_EQ(R.Result, 0xFFFF) << C.Way;
    EXPECT_EQ(R.Name, C.Name) << C.Way;
    EXPECT_EQ(R.Clause, C.Clause) << C.Way;
  }
}

TEST_F(ProjChooser, TabWalksGroupsEntriesOkOtmenaAndAround) {
  std::vector<HWND> Focus;
  TChooser Seen;
  Run(Path, [&](const TChooser &C) {
    Seen = C;
    Focus.push_back(FocusOf(C.Form));
    for (int I = 0; I < 4; ++I) {
      PostKey(Focus.back(), VK_TAB);
      const HWND Was = Focus.back();
      WaitFor([&] { return FocusOf(C.Form) != Was; }, 2000);
      Focus.push_back(FocusOf(C.Form));
    }
    PostKey(Focus.back(), VK_ESCAPE);
  });
  EXPECT_EQ(Focus, std::vector<HWND>({Seen.Groups, Seen.Names, Seen.Ok, Seen.Cancel, Seen.Groups}));
}

TEST_F(ProjChooser, MissingFileOrFileWithoutGroupsGivesEmptyListsAndOkGivesNothing) {
  const std::string NoHeader = Dir.Write("plain.prj", "\"" + kMetres + "\", 0, 7\r\n\r\nsome text\r\n");
  for (const std::string &File : {Dir.Path() + "\\none.prj", NoHeader, Dir.Path(), std::string()}) {
    TListsSeen Seen;
    const TRun R = Run(File, [&](const TChooser &C) {
      Seen = ReadLists(C);
      SendMessageA(C.Ok, BM_CLICK, 0, 0);
    });
    ASSERT_TRUE(R.Shown) << File;
    EXPECT_EQ(R.Result, 0xFFFF) << File;
    EXPECT_EQ(R.Name, "") << File;
    EXPECT_EQ(R.Clause, "") << File;
    EXPECT_TRUE(Seen.Groups.empty() && Seen.Names.empty() && Seen.Params.empty()) << File;
    EXPECT_EQ(Seen.Group, CB_ERR) << File;
    EXPECT_EQ(Seen.Name, LB_ERR) << File;
  }
}

TEST_F(ProjChooser, EntriesWithUnusableNumbersFailWithEmptyBuffers) {
  for (const char *Params : {"0, 9", "0, -1", "8, 104, 12, 27", "x, 7", "0, m"}) {
    const std::string File = Dir.Write("bad.prj", std::string("\"--- G ---\"\r\n\"Bad\", ") + Params + "\r\n");
    const TRun R = Run(File, [](const TChooser &C) { SendMessageA(C.Ok, BM_CLICK, 0, 0); });
    ASSERT_TRUE(R.Shown) << Params;
    EXPECT_EQ(R.Result, 0) << Params;
    EXPECT_EQ(R.Name, "") << Params;
    EXPECT_EQ(R.Clause, "") << Params;
    EXPECT_FALSE(IsWindow(R.Form)) << Params;
  }
  // A list of values that is no known kind of system gives the entry's name as its clause.
  const std::string File = Dir.Write("odd.prj", "\"--- G ---\"\r\n\"Odd\", 2, 7\r\n\"Single\", 104\r\n");
  for (int Row : {0, 1}) {
    const TRun R = Run(File, [Row](const TChooser &C) {
      SendMessageA(C.Names, LB_SETCURSEL, Row, 0);
      SendMessageA(C.Ok, BM_CLICK, 0, 0);
    });
    EXPECT_EQ(R.Result, 0xFFFF);
    EXPECT_EQ(R.Name, Row ? "Single" : "Odd");
    EXPECT_EQ(R.Clause, R.Name);
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
      const TRun R = Run(File, [](const TChooser &C) { SendMessageA(C.Ok, BM_CLICK, 0, 0); });
      const bool Fits = Length < 1024;
      SCOPED_TRACE(std::to_string(Length) + (InClause ? " in the clause" : " in the name"));
      EXPECT_EQ(R.Result, Fits ? 0xFFFF : 0);
      EXPECT_EQ(R.Name, Fits ? Name : "");
      EXPECT_EQ(R.Clause, Fits ? Prefix + Last : "");
    }
  }
}

TEST_F(ProjChooser, NullBuffersAndNoOwnerAreTolerated) {
  std::thread Driver([] {
    HWND Form = nullptr;
    WaitFor([&] { return (Form = FindWindowA(nullptr, kCaption.c_str())) != nullptr; }, 10000);
    if (Form) PostMessageA(Form, WM_KEYDOWN, VK_ESCAPE, 1);
  });
  EXPECT_EQ(GetPrjString(nullptr, Path.c_str(), nullptr, nullptr), 0xFFFF);
  Driver.join();
  const TRun R = Run(
      Path, [](const TChooser &C) { SendMessageA(C.Ok, BM_CLICK, 0, 0); }, nullptr);
  EXPECT_EQ(R.Result, 0xFFFF);
  EXPECT_EQ(R.Name, kMetres);
}

TEST_F(ProjChooser, LayoutAtTheScreensDensity) {
  RECT Client{}, Window{}, Names{}, Ok{}, Cancel{}, Groups{};
  LONG Style = 0;
  LOGFONTA Font{};
  Run(Path, [&](const TChooser &C) {
    GetClientRect(C.Form, &Client);
    GetWindowRect(C.Form, &Window);
    Style = GetWindowLongA(C.Form, GWL_STYLE);
    auto InClient = [&](HWND AWnd, RECT &ARect) {
      GetWindowRect(AWnd, &ARect);
      MapWindowPoints(nullptr, C.Form, reinterpret_cast<POINT *>(&ARect), 2);
    };
    InClient(C.Names, Names);
    InClient(C.Ok, Ok);
    InClient(C.Cancel, Cancel);
    InClient(C.Groups, Groups);
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(C.Names, WM_GETFONT, 0, 0)), sizeof Font, &Font);
    SendMessageA(C.Cancel, BM_CLICK, 0, 0);
  });
  HDC Screen = GetDC(nullptr);
  const int Dpi = GetDeviceCaps(Screen, LOGPIXELSY);
  ReleaseDC(nullptr, Screen);
  auto S = [Dpi](int A) { return MulDiv(A, Dpi, 120); };
  auto Box = [&](int L, int T, int W, int H) {
    return std::vector<LONG>{S(L), S(T), S(L) + S(W), S(T) + S(H)};
  };
  auto Of = [](const RECT &R) { return std::vector<LONG>{R.left, R.top, R.right, R.bottom}; };
  EXPECT_EQ(Of(Client), Box(0, 0, 394, 309));
  EXPECT_EQ(Of(Names), Box(11, 44, 369, 214));
  EXPECT_EQ(Of(Ok), Box(103, 272, 87, 28));
  EXPECT_EQ(Of(Cancel), Box(204, 272, 86, 28));
  EXPECT_EQ(Of(Groups)[0], S(11));
  EXPECT_EQ(Of(Groups)[1], S(15));
  EXPECT_EQ(Of(Groups)[2], S(11) + S(369));
  EXPECT_EQ(std::string(Font.lfFaceName), "MS Sans Serif");
  EXPECT_EQ(Font.lfHeight, -S(14));
  EXPECT_TRUE((Style & WS_CAPTION) == WS_CAPTION && (Style & WS_SYSMENU));
  EXPECT_FALSE(Style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
  EXPECT_NEAR((Window.left + Window.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((Window.top + Window.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
}
