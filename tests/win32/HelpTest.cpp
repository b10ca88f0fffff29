// Context help through the stand-in word processor (WordStub.dll, registered as
// "Word.Application" in the test prefix) and the F1 hook, driven with real keyboard input.
#include "tests/win32/Keyboard.h"
#include "tests/win32/WordStub.h"

using namespace vok::test;

namespace {

const std::string Caption = "\xD1\xEE\xF0\xE2\xE8\xED\xF2\xE0";
const std::string SectionNotFound =
    "\xD0\xE0\xE7\xE4\xE5\xEB \xF1\xEF\xF0\xE0\xE2\xEA\xE8 \xED\xE5 \xED\xE0\xE9\xE4\xE5\xED.\n\n";
const std::string WordFailed = "\xCE\xF8\xE8\xE1\xEA\xE0 \xEF\xF0\xE8 \xE7\xE0\xEF\xF3\xF1\xEA\xE5 Microsoft Word.\n\n";
const char *const ProgIdKey = "Software\\Classes\\Word.Application";

std::string StubPath() {
  char Exe[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, Exe, MAX_PATH);
  std::string Path = Exe;
  return Path.substr(0, Path.find_last_of('\\') + 1) + "WordStub.dll";
}

// "Word.Application" served in-process by WordStub.dll. Wine reads classes from the machine's
// part of the registry only (HKCU\Software\Classes is not seen), so it goes there; the prefix
// belongs to the build tree.
void RegisterWordStub() {
  SetRegText(HKEY_LOCAL_MACHINE, std::string(ProgIdKey) + "\\CLSID", nullptr, WordStubClsid);
  const std::string Server = std::string("Software\\Classes\\CLSID\\") + WordStubClsid + "\\InprocServer32";
  SetRegText(HKEY_LOCAL_MACHINE, Server, nullptr, StubPath());
  SetRegText(HKEY_LOCAL_MACHINE, Server, "ThreadingModel", "Apartment");
}

// The exports of WordStub.dll, registered and loaded.
struct TWordStub {
  TWordStub() { EXPECT_NE(Module, nullptr); }
  HMODULE Module = (RegisterWordStub(), LoadLibraryA(StubPath().c_str()));
  TStubReset *Reset = ExportOf<TStubReset>(Module, "StubReset");
  TStubSetBookmarks *SetBookmarks = ExportOf<TStubSetBookmarks>(Module, "StubSetBookmarks");
  TStubSetFlags *SetFlags = ExportOf<TStubSetFlags>(Module, "StubSetFlags");
  TStubSetWindowTitle *SetWindowTitle = ExportOf<TStubSetWindowTitle>(Module, "StubSetWindowTitle");
  TStubRun *Run = ExportOf<TStubRun>(Module, "StubRun");
  TStubCloseAll *CloseAll = ExportOf<TStubCloseAll>(Module, "StubCloseAll");
  TStubLog *Log = ExportOf<TStubLog>(Module, "StubLog");
  TStubWindow *Window = ExportOf<TStubWindow>(Module, "StubWindow");
  TStubOpenCursor *OpenCursor = ExportOf<TStubOpenCursor>(Module, "StubOpenCursor");
};

const TWordStub &WordStub() {
  static const TWordStub S;
  return S;
}

const std::vector<INPUT> F1 = {KeyInput(VK_F1, false), KeyInput(VK_F1, true)};
const std::vector<INPUT> ShiftF1 = {KeyInput(VK_SHIFT, false), KeyInput(VK_F1, false), KeyInput(VK_F1, true),
                                    KeyInput(VK_SHIFT, true)};
const std::vector<INPUT> F2 = {KeyInput(VK_F2, false), KeyInput(VK_F2, true)};
const std::vector<std::string> F1Reached = {"down 112", "up 112"};  // what a window records of F1

// TypeKeys, whose keys must arrive.
void Type(HWND AFocus, const std::vector<INPUT> &AKeys) {
  EXPECT_TRUE(TypeKeys(AFocus, AKeys)) << "the keys never arrived";
}

// While alive, the first message box shown on this thread gets F1 typed into it and is closed a
// moment later; the keys are thus handled inside its modal loop. Later boxes go to the catcher.
class TF1InMessageBox {
 public:
  TF1InMessageBox() {
    Box = nullptr;
    Text.clear();
    fHook = SetWindowsHookExA(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
  }
  ~TF1InMessageBox() { UnhookWindowsHookEx(fHook); }
  static inline std::string Text;

 private:
  static LRESULT CALLBACK HookProc(int ACode, WPARAM AWParam, LPARAM ALParam) {
    HWND H = reinterpret_cast<HWND>(AWParam);
    if (ClassName(H) != "#32770" || (Box && H != Box)) return CallNextHookEx(nullptr, ACode, AWParam, ALParam);
    if (ACode == HCBT_ACTIVATE && !Box) {
      Box = H;
      SendKeys(F1);
      SetTimer(nullptr, 0, 300, CloseBox);
    } else if (ACode == HCBT_DESTROYWND && H == Box) {
      Text = WindowText(GetDlgItem(H, 0xFFFF));  // read when it closes: a system-modal box gets its text late
    }
    return 0;
  }
  static void CALLBACK CloseBox(HWND, UINT, UINT_PTR AId, DWORD) {
    KillTimer(nullptr, AId);
    PostMessageA(Box, WM_COMMAND, IDOK, 0);
  }
  static inline HWND Box = nullptr;
  HHOOK fHook;
};

// The calls of an opening of APath on ASection by application number AApp, which the library
// started (or found running).
std::vector<std::string> Opening(const std::string &APath, const std::string &ASection, bool AFound = true,
                                 int AApp = 1, bool AStarted = true) {
  const std::string N = std::to_string(AApp);
  std::vector<std::string> R = {"get App" + N + ".Documents()", "call Documents" + N + ".Open(&\"" + APath + "\")",
                                "put App" + N + ".Visible(true)", "get Document" + N + ".Name()",
                                "get App" + N + ".Caption()"};
  if (AStarted) R.insert(R.begin(), "new App" + N);
  if (ASection.empty()) return R;
  R.push_back("get Document" + N + ".Bookmarks()");
  R.push_back("call Bookmarks" + N + ".Exists(&\"" + ASection + "\")");
  if (!AFound) return R;
  R.push_back("get App" + N + ".Selection()");
  R.push_back("call Selection" + N + ".GoTo(-1, -, -, &\"" + ASection + "\")");
  return R;
}

std::vector<std::string> Quit(int AApp) {
  const std::string N = std::to_string(AApp);
  return {"get App" + N + ".Application()", "call App" + N + ".Quit()"};
}

// Checks the one message box shown since the last look: its text, the help's caption, its owner.
void ExpectMessage(const TShownMessage &AShown, const std::string &AText, HWND AOwner) {
  EXPECT_EQ(AShown.Text, AText);
  EXPECT_EQ(AShown.Caption, Caption);
  EXPECT_EQ(AShown.Owner, AOwner);
}

std::vector<std::string> operator+(std::vector<std::string> A, const std::vector<std::string> &B) {
  A.insert(A.end(), B.begin(), B.end());
  return A;
}

class Help : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetStub();
    H.SetHelpHook(0);
    H.SetHelpFile("", "");
    H.SetHelpParent(nullptr);
    Doc = Dir.Write("help.doc", "stand-in help document");
  }
  void TearDown() override {
    Vok().CloseVokabra();
    Stub.Reset();
  }
  std::vector<std::string> Calls() const { return Lines(Stub.Log()); }
  // Closes the library, which quits the word processor it started, and leaves a stand-in without
  // applications whose documents have the bookmarks Intro and Tables.
  void ResetStub() {
    Vok().CloseVokabra();
    Stub.Reset();
    Stub.SetBookmarks("Intro;Tables");
  }

  const TExports H{Dll()};
  const TWordStub &Stub = WordStub();
  TKeyWatch Keys;  // installed before any hook of the library
  TMessageCatcher Messages;
  TTempDir Dir;
  std::string Doc;
};

}  // namespace

TEST_F(Help, OpeningTalksToTheWordProcessorInOrderAndQuitsItAtClose) {
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  H.ShowHelpFile(Doc.c_str(), "Intro");
  EXPECT_EQ(Calls(), Opening(Doc, "Intro"));
  for (auto &M : Messages.Take()) ADD_FAILURE() << M.Text;
  EXPECT_EQ(Stub.OpenCursor(), LoadCursor(nullptr, IDC_WAIT));
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));
  ASSERT_NE(Stub.Window(), nullptr);
  EXPECT_TRUE(IsWindowVisible(Stub.Window()));
  EXPECT_EQ(GetForegroundWindow(), Stub.Window());

  Vok().CloseVokabra();
  EXPECT_EQ(Calls(), Opening(Doc, "Intro") + Quit(1));
  Vok().CloseVokabra();
  EXPECT_EQ(Calls(), Opening(Doc, "Intro") + Quit(1));
}

TEST_F(Help, PathAndSectionAreTrimmedAndAnEmptySectionTestsNoBookmark) {
  struct TCase {
    std::string File;
    const char *Section, *WantSection;
  } Cases[] = {
      {" \t" + Doc + "  ", "  Tables\t", "Tables"},
      {Doc, "", ""},
      {Doc + " ", " \r\n", ""},
      {Doc, nullptr, ""},
  };
  for (const TCase &C : Cases) {
    ResetStub();
    H.ShowHelpFile(C.File.c_str(), C.Section);
    EXPECT_EQ(Calls(), Opening(Doc, C.WantSection))
        << "[" << C.File << "] [" << (C.Section ? C.Section : "null") << "]";
    EXPECT_TRUE(Messages.Take().empty());
  }
}

TEST_F(Help, MissingBookmarkIsReportedAndTheDocumentStaysOpen) {
  H.ShowHelpFile(Doc.c_str(), "Nowhere");
  EXPECT_EQ(Calls(), Opening(Doc, "Nowhere", false));
  ExpectMessage(Messages.TakeOne(), SectionNotFound + Doc + "\n\nNowhere", nullptr);
  EXPECT_TRUE(IsWindowVisible(Stub.Window()));
}

TEST_F(Help, MissingFileIsReportedToTheHelpParentAndEmptyPathDoesNothing) {
  TKeyWindow Parent;
  const std::string Missing = Dir.Path() + "\\none.doc";
  struct TCase {
    HWND Parent;
    const char *File;
    std::string Shown;
    HWND Owner;
  } Cases[] = {
      {Parent.Handle(), Missing.c_str(), HelpFileNotFound + Missing, Parent.Handle()},
      {Parent.Handle(), Dir.Path().c_str(), HelpFileNotFound + Dir.Path(), Parent.Handle()},
      {DestroyedWindow(), Missing.c_str(), HelpFileNotFound + Missing, nullptr},  // shown all the same, without owner
      {Parent.Handle(), "", "", nullptr},
      {Parent.Handle(), " \t ", "", nullptr},
      {Parent.Handle(), nullptr, "", nullptr},
  };
  for (const TCase &C : Cases) {
    H.SetHelpParent(C.Parent);
    H.ShowHelpFile(C.File, "Intro");
    SCOPED_TRACE(C.File ? C.File : "null");
    if (C.Shown.empty())
      EXPECT_TRUE(Messages.Take().empty());
    else
      ExpectMessage(Messages.TakeOne(), C.Shown, C.Owner);
  }
  EXPECT_EQ(Calls(), std::vector<std::string>{});
}

TEST_F(Help, RunningWordProcessorIsReusedAndNotQuit) {
  Stub.Run();
  H.ShowHelpFile(Doc.c_str(), "");
  H.ShowHelpFile(Doc.c_str(), "");
  Vok().CloseVokabra();
  EXPECT_EQ(Calls(),
            std::vector<std::string>{"run App1"} + Opening(Doc, "", true, 1, false) + Opening(Doc, "", true, 1, false));
  EXPECT_TRUE(IsWindowVisible(Stub.Window()));
}

TEST_F(Help, StartedWordProcessorIsKeptAcrossOpeningsUntilTheUserClosesIt) {
  Stub.SetFlags(StubRegisterCreated);
  H.ShowHelpFile(Doc.c_str(), "");
  H.ShowHelpFile(Doc.c_str(), "");  // attaches to the one it started
  Stub.CloseAll();
  H.ShowHelpFile(Doc.c_str(), "");  // starts App2, which replaces App1
  Vok().CloseVokabra();
  EXPECT_EQ(Calls(), Opening(Doc, "") + Opening(Doc, "", true, 1, false) + Opening(Doc, "", true, 2) + Quit(2));
}

TEST_F(Help, FailingQuitIsIgnored) {
  Stub.SetFlags(StubFailQuit);
  H.ShowHelpFile(Doc.c_str(), "");
  Vok().CloseVokabra();
  Vok().CloseVokabra();
  EXPECT_EQ(Calls(), Opening(Doc, "") + Quit(1));
  EXPECT_TRUE(Messages.Take().empty());
}

TEST_F(Help, AutomationErrorsAreReportedWithTheirOwnText) {
  // "Не удалось открыть документ.", the server's own description.
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  Stub.SetFlags(StubFailOpen);
  H.ShowHelpFile(Doc.c_str(), "Intro");
  ExpectMessage(Messages.TakeOne(), WordFailed + "\xCD\xE5 \xF3\xE4\xE0\xEB\xEE\xF1\xFC \xEE\xF2\xEA\xF0\xFB\xF2\xFC "
                                                 "\xE4\xEE\xEA\xF3\xEC\xE5\xED\xF2.", nullptr);
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));
  std::vector<std::string> Opened = Opening(Doc, "");
  Opened.resize(3);
  EXPECT_EQ(Calls(), Opened);
  Vok().CloseVokabra();  // the started one is kept and quit even so
  EXPECT_EQ(Calls(), Opened + Quit(1));

  // The class refuses to start, or is not registered at all: the system's message.
  Stub.Reset();
  Stub.SetFlags(StubFailCreate);
  H.ShowHelpFile(Doc.c_str(), "Intro");
  ASSERT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, ProgIdKey), 0);
  H.ShowHelpFile(Doc.c_str(), "Intro");
  RegisterWordStub();
  const std::vector<TShownMessage> Shown = Messages.Take();
  ASSERT_EQ(Shown.size(), 2u);
  for (const TShownMessage &M : Shown) {
    EXPECT_EQ(M.Text.substr(0, WordFailed.size()), WordFailed);
    EXPECT_GT(M.Text.size(), WordFailed.size() + 3) << M.Text;
  }
  EXPECT_NE(Shown[0].Text, Shown[1].Text);
  Vok().CloseVokabra();
  EXPECT_EQ(Calls(), std::vector<std::string>{"refuse new App"});
}

TEST_F(Help, WindowIsFoundByItsExactTitleOnly) {
  TKeyWindow Other;
  SetForegroundWindow(Other.Handle());
  Stub.SetWindowTitle("HELP.DOC - MICROSOFT WORD");
  H.ShowHelpFile(Doc.c_str(), "");
  EXPECT_EQ(GetForegroundWindow(), Other.Handle());

  HWND Exact = CreateWindowExA(0, "STATIC", "help.doc - Microsoft Word", WS_OVERLAPPEDWINDOW, 50, 50, 200, 100, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  H.ShowHelpFile(Doc.c_str(), "");
  EXPECT_TRUE(IsWindowVisible(Exact));
  EXPECT_EQ(GetForegroundWindow(), Exact);
  DestroyWindow(Exact);
  EXPECT_TRUE(Messages.Take().empty());
}

TEST_F(Help, HelpFileIsKeptAsGiven) {
  struct TCase {
    const char *File, *Section, *WantFile, *WantSection;
  } Cases[] = {
      {"  C:\\Help\\main.doc\t", " Intro ", "  C:\\Help\\main.doc\t", " Intro "},
      {"\xD1\xEF\xF0\xE0\xE2\xEA\xE0.doc", "\xD0\xE0\xE7\xE4\xE5\xEB", "\xD1\xEF\xF0\xE0\xE2\xEA\xE0.doc",
       "\xD0\xE0\xE7\xE4\xE5\xEB"},
      {nullptr, nullptr, "", ""},
  };
  for (const TCase &C : Cases) {
    H.SetHelpFile(C.File, C.Section);
    TBuffers B;
    char *File = B.Room(300), *Section = B.Room(300);
    H.GetHelpFile(File, Section);
    EXPECT_EQ(B.Texts(), (std::vector<std::string>{C.WantFile, C.WantSection}));
    EXPECT_EQ(B.Overruns(), "");
  }
  H.GetHelpFile(nullptr, nullptr);
}

TEST_F(Help, F1OpensTheHelpOnlyWhileAHelpFileIsSet) {
  TKeyWindow Host;
  struct TCase {
    bool Hook;
    std::string File;
    const std::vector<INPUT> &Keys;
    std::vector<std::string> WantKeys;
    bool Opens;
  } Cases[] = {
      {true, "", F1, F1Reached, false},
      {true, Doc, F1, {}, true},
      {true, Doc, ShiftF1, {"down 16"}, true},  // Shift is released in the window brought forward
      {true, Doc, F2, {"down 113", "up 113"}, false},
      {true, "  ", F1, {}, false},       // swallowed, but nothing to open
      {false, Doc, F1, F1Reached, false},  // CloseVokabra removed the hook of the row before
  };
  for (const TCase &C : Cases) {
    ResetStub();
    H.SetHelpFile(C.File.c_str(), "Intro");
    if (C.Hook) H.SetHelpHook(1);
    Type(Host.Handle(), C.Keys);
    EXPECT_EQ(Host.Take(), C.WantKeys) << C.Hook << " [" << C.File << "]";
    EXPECT_EQ(TKeyWatch::F1Seen, &C.Keys == &F2 ? 0 : 2) << "the hook chain goes on below the library's hook";
    EXPECT_EQ(Calls(), C.Opens ? Opening(Doc, "Intro") : std::vector<std::string>{}) << C.Hook << " [" << C.File << "]";
  }
  EXPECT_TRUE(Messages.Take().empty());
}

TEST_F(Help, HookIsInstalledOnceAndRemovedByZero) {
  TKeyWindow Host;
  H.SetHelpFile(Doc.c_str(), "");
  H.SetHelpHook(1);
  H.SetHelpHook(-1);
  Type(Host.Handle(), F1);
  EXPECT_EQ(Calls(), Opening(Doc, ""));  // one hook: one opening
  EXPECT_TRUE(Host.Take().empty());
  H.SetHelpHook(0);
  H.SetHelpHook(0);
  Type(Host.Handle(), F1);
  EXPECT_EQ(Host.Take(), F1Reached);
  EXPECT_EQ(Calls(), Opening(Doc, ""));
}

TEST_F(Help, F1WorksInsideTheLibrarysModalLoopsWithoutNestingItself) {
  TKeyWindow Host;
  H.SetHelpParent(Host.Handle());
  H.SetHelpFile(Doc.c_str(), "Intro");
  H.SetHelpHook(1);
  {
    // F1 while the message about a missing file is shown opens the help from there.
    TF1InMessageBox InBox;
    H.ShowHelpFile((Dir.Path() + "\\none.doc").c_str(), "");
    EXPECT_EQ(TF1InMessageBox::Text, HelpFileNotFound + Dir.Path() + "\\none.doc");
  }
  EXPECT_EQ(Calls(), Opening(Doc, "Intro"));
  EXPECT_TRUE(Messages.Take().empty());

  // F1 while the message of an F1 opening is shown is swallowed but opens nothing more.
  ResetStub();
  H.SetHelpFile(Doc.c_str(), "Nowhere");
  H.SetHelpHook(1);
  {
    TF1InMessageBox InBox;
    Type(Host.Handle(), F1);
    EXPECT_EQ(TF1InMessageBox::Text, SectionNotFound + Doc + "\n\nNowhere");
  }
  EXPECT_EQ(Calls(), Opening(Doc, "Nowhere", false));
  EXPECT_TRUE(Messages.Take().empty());
  EXPECT_TRUE(Host.Take().empty());
}

TEST_F(Help, UnloadingTheLibraryRemovesItsHookAndQuitsItsWordProcessor) {
  HMODULE Module = LoadLibraryA(Dir.CopyOfDll("VokabraCopy.dll").c_str());
  ASSERT_NE(Module, nullptr);
  const TExports C(Module);

  TKeyWindow Host;
  EXPECT_EQ(C.GetHelpParent(), nullptr);
  C.SetHelpParent(Host.Handle());
  EXPECT_EQ(C.GetHelpParent(), Host.Handle());
  TBuffers B;
  char *File = B.Room(300), *Section = B.Room(300);
  C.GetHelpFile(File, Section);
  EXPECT_EQ(B.Texts(), (std::vector<std::string>{"", ""}));

  C.SetHelpFile(Doc.c_str(), "Intro");
  C.SetHelpHook(1);
  Type(Host.Handle(), F1);
  EXPECT_TRUE(Host.Take().empty());
  EXPECT_EQ(Calls(), Opening(Doc, "Intro"));

  ASSERT_TRUE(FreeLibrary(Module));
  EXPECT_EQ(GetModuleHandleA("VokabraCopy.dll"), nullptr);
  EXPECT_EQ(Calls(), Opening(Doc, "Intro") + Quit(1));
  Type(Host.Handle(), F1);
  EXPECT_EQ(Host.Take(), F1Reached);
}
