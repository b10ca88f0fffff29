#include "help/Help.h"

#include <windows.h>

#include <string>

#include "help/OleAuto.h"
#include "lookup/ShortStr.h"
#include "win32/ExportGuard.h"
#include "win32/Handles.h"
#include "win32/Message.h"
#include "win32/Text.h"
#include "win32/Windows.h"

namespace vok {

namespace {

const char *const HelpCaption = "\xD1\xEE\xF0\xE2\xE8\xED\xF2\xE0";
const char *const FileNotFound = "\xD4\xE0\xE9\xEB \xF1\xEF\xF0\xE0\xE2\xEA\xE8 \xED\xE5 \xED\xE0\xE9\xE4\xE5\xED.\n\n";
const char *const SectionNotFound =
    "\xD0\xE0\xE7\xE4\xE5\xEB \xF1\xEF\xF0\xE0\xE2\xEA\xE8 \xED\xE5 \xED\xE0\xE9\xE4\xE5\xED.\n\n";
const char *const WordFailed = "\xCE\xF8\xE8\xE1\xEA\xE0 \xEF\xF0\xE8 \xE7\xE0\xEF\xF3\xF1\xEA\xE5 Microsoft Word.\n\n";
const wchar_t *const WordClass = L"Word.Application";
constexpr long GoToBookmark = -1;  // wdGoToBookmark

// The help state, one set per loaded library.
struct THelpState {
  // At process exit the word processor's objects may be gone already; CloseVokabra has released
  // it when the library is unloaded before that.
  ~THelpState() { (void)WordApp.release(); }

  std::string HelpFile;
  std::string HelpSection;
  HWND HelpParent = nullptr;
  TUniqueHook HelpHook;
  TComPtr<IDispatch> WordApp;  // the word processor that an opening started
  std::string HelpWindowTitle;
  HWND HelpWindow = nullptr;
  // True while an opening started by F1 runs: F1 pressed in its message loops (a message box)
  // is swallowed without opening the help once more inside it.
  bool HelpHookOpening = false;
};

THelpState &Help() {
  static THelpState State;
  return State;
}

// The first top-level window titled exactly HelpWindowTitle, letter case included, into
// HelpWindow (0 when none matches).
void FindHelpWindow() {
  THelpState &H = Help();
  H.HelpWindow = nullptr;
  ForEachTopWindow([&H](HWND AWindow) {
    char Title[260] = "";
    GetWindowTextA(AWindow, Title, sizeof Title);
    if (H.HelpWindowTitle != Title) return true;
    H.HelpWindow = AWindow;
    return false;
  });
}

bool KeyIsDown(int AKey) { return (GetKeyState(AKey) & 0x8000) != 0; }

TVariant GetProperty(IDispatch *AObject, const wchar_t *AName) { return Invoke(AObject, AName, DISPATCH_PROPERTYGET); }

// The automation conversation of an opening, for an existing AFileName. The running word
// processor is used when there is one; one started here is kept in WordApp. Throws on any
// failed call.
void OpenInWord(const std::string &AFileName, const std::string &ASection) {
  TComPtr<IDispatch> App = GetActiveOleObject(WordClass);
  if (!App) {
    App = CreateOleObject(WordClass);
    App->AddRef();  // WordApp keeps a reference of its own; an earlier one there is released
    Help().WordApp.reset(App.get());
  }

  TBstr Path(AnsiToWide(AFileName));
  const TComPtr<IDispatch> Doc =
      CallForObject(GetObjectProperty(App.get(), L"Documents").get(), L"Open", {ByRef(Path.ref())});
  Invoke(App.get(), L"Visible", DISPATCH_PROPERTYPUT, {BoolArg(true)});
  const std::string DocName = AsText(GetProperty(Doc.get(), L"Name"));
  THelpState &H = Help();
  H.HelpWindowTitle = DocName + " - " + AsText(GetProperty(App.get(), L"Caption"));

  FindHelpWindow();
  if (H.HelpWindow) SetWindowPos(H.HelpWindow, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);

  if (ASection.empty()) return;
  const TComPtr<IDispatch> Bookmarks = GetObjectProperty(Doc.get(), L"Bookmarks");
  TBstr Name(AnsiToWide(ASection));
  if (!AsBool(Invoke(Bookmarks.get(), L"Exists", DISPATCH_METHOD, {ByRef(Name.ref())}))) {
    ShowMessage(nullptr, FromCyrillic(SectionNotFound) + AnsiToWide(AFileName + "\n\n" + ASection),
                FromCyrillic(HelpCaption), TModality::System);
    return;
  }
  const TComPtr<IDispatch> Selection = GetObjectProperty(App.get(), L"Selection");
  TBstr Target(AnsiToWide(ASection));
  Invoke(Selection.get(), L"GoTo", DISPATCH_METHOD,
         {Int32Arg(GoToBookmark), Omitted(), Omitted(), ByRef(Target.ref())});
}

// The F1 hook of the thread that installed it: F1 never reaches the thread's windows while a
// help file is set (the result is the file name's length), and opens the help when pressed.
LRESULT CALLBACK HelpHookProc(int ACode, WPARAM AWParam, LPARAM ALParam) {
  THelpState &H = Help();
  LRESULT Result = CallNextHookEx(H.HelpHook.get(), ACode, AWParam, ALParam);
  try {
    if (ACode == HC_ACTION && AWParam == VK_F1) {
      Result = static_cast<LRESULT>(H.HelpFile.size());
      if (KeyIsDown(VK_F1) && !H.HelpFile.empty() && !H.HelpHookOpening) {
        H.HelpHookOpening = true;
        const std::string File = H.HelpFile, Section = H.HelpSection;
        OpenHelpSection(File, Section);
        H.HelpHookOpening = false;
      }
    }
  } catch (...) {
    H.HelpHookOpening = false;
  }
  return Result;
}

}  // namespace

void OpenHelpSection(std::string_view AFileName, std::string_view ASection) noexcept {
  Guarded([&] {
    const std::string FileName = Trim(AFileName);
    const std::string Section = Trim(ASection);
    if (!FileExists(FileName)) {
      if (!FileName.empty())
        ShowMessage(Help().HelpParent, FromCyrillic(FileNotFound) + AnsiToWide(FileName), FromCyrillic(HelpCaption));
      return;
    }
    TWaitCursor Wait;
    try {
      OpenInWord(FileName, Section);
    } catch (...) {
      ShowMessage(nullptr, FromCyrillic(WordFailed) + AnsiToWide(CurrentErrorText()), FromCyrillic(HelpCaption),
                  TModality::System);
    }
  });
}

void InstallHelpHook() noexcept {
  RemoveHelpHook();
  Help().HelpHook.reset(SetWindowsHookExW(WH_KEYBOARD, HelpHookProc, nullptr, GetCurrentThreadId()));
}

void RemoveHelpHook() noexcept { Help().HelpHook.reset(); }

void ReleaseWordApp() noexcept {
  TComPtr<IDispatch> App = std::move(Help().WordApp);
  if (!App) return;
  try {
    const TComPtr<IDispatch> Application = GetObjectProperty(App.get(), L"Application");
    Invoke(Application.get(), L"Quit", DISPATCH_METHOD);
  } catch (...) {
  }
}

}  // namespace vok

using namespace vok;

VOK_EXPORT void ShowHelpFile(const char *AFileName, const char *ASection) {
  Guarded([&] { OpenHelpSection(Arg(AFileName), Arg(ASection)); });
}

VOK_EXPORT void SetHelpFile(const char *AFileName, const char *ASection) {
  Guarded([&] {
    std::string File(Arg(AFileName)), Section(Arg(ASection));
    Help().HelpFile.swap(File);
    Help().HelpSection.swap(Section);
  });
}

VOK_EXPORT void GetHelpFile(char *AFileName, char *ASection) {
  Guarded([&] {
    WriteBuffer(AFileName, Help().HelpFile);
    WriteBuffer(ASection, Help().HelpSection);
  });
}

VOK_EXPORT void SetHelpParent(HWND AHandle) {
  Guarded([&] { Help().HelpParent = HandleArg(AHandle); });
}

VOK_EXPORT HWND GetHelpParent() {
  return Guarded<HWND>(nullptr, [] { return Help().HelpParent; });
}

VOK_EXPORT void SetHelpHook(int32_t AOn) {
  Guarded([&] {
    if (AOn)
      InstallHelpHook();
    else
      RemoveHelpHook();
  });
}
