// Drives the library's three dialogs as a person does: finds them among the thread's windows,
// reads their lists back with the codes the rows carry, and posts keys and clicks to the real
// controls. TDriver plays steps on a dialog while an export runs its modal loop, from a timer of
// the test thread, with a watchdog thread that closes whatever is left open, so no test can hang;
// TModalCloser ends every dialog with Esc, thousands of them in a row.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "tests/win32/TestHost.h"
#include "win32/Handles.h"

namespace vok::test {

// A list as it should show: the rows in order with the codes they carry.
using TLevel = std::vector<std::pair<std::string, int32_t>>;

enum : unsigned { Shift = 1, Ctrl = 2, Alt = 4 };

// The texts of the rows of a list box, or of the list of a combo box.
inline std::vector<std::string> ListTexts(HWND AList) {
  const bool Combo = ClassName(AList) == "ComboBox";
  const UINT Length = Combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, Text = Combo ? CB_GETLBTEXT : LB_GETTEXT;
  std::vector<std::string> R;
  const LRESULT N = SendMessageA(AList, Combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
  for (LRESULT I = 0; I < N; ++I) {
    std::string S(static_cast<std::size_t>(SendMessageA(AList, Length, I, 0)) + 1, '\0');
    S.resize(static_cast<std::size_t>(SendMessageA(AList, Text, I, reinterpret_cast<LPARAM>(S.data()))));
    R.push_back(S);
  }
  return R;
}

// The rows of a list box with the codes they carry.
inline TLevel ListRows(HWND AList) {
  TLevel R;
  const std::vector<std::string> Texts = ListTexts(AList);
  for (std::size_t I = 0; I < Texts.size(); ++I)
    R.push_back({Texts[I], static_cast<int32_t>(SendMessageA(AList, LB_GETITEMDATA, I, 0))});
  return R;
}

// Selects row ARow of a list box or a combo box and tells the dialog, as a click on the row does.
inline void SelectRow(HWND AList, int ARow) {
  const bool Combo = ClassName(AList) == "ComboBox";
  SendMessageA(AList, Combo ? CB_SETCURSEL : LB_SETCURSEL, ARow, 0);
  const WPARAM Change = MAKEWPARAM(GetDlgCtrlID(AList), Combo ? CBN_SELCHANGE : LBN_SELCHANGE);
  SendMessageA(GetParent(AList), WM_COMMAND, Change, reinterpret_cast<LPARAM>(AList));
}

// AValue of the dialogs' design, which is made for 120 dots per inch, at the screen's density.
inline int Scaled(int AValue) {
  HDC Screen = GetDC(nullptr);
  const int Dpi = GetDeviceCaps(Screen, LOGPIXELSY);
  ReleaseDC(nullptr, Screen);
  return MulDiv(AValue, Dpi, 120);
}

inline int ClientHeight(HWND AWnd) {
  RECT R;
  GetClientRect(AWnd, &R);
  return R.bottom;
}

// Presses or releases the modifier keys in this thread's keyboard state, which GetKeyState
// reads while the posted messages are handled.
inline void SetModifiers(unsigned AMods) {
  BYTE State[256];
  GetKeyboardState(State);
  const auto Set = [&](std::initializer_list<int> AKeys, bool ADown) {
    for (int K : AKeys) State[K] = ADown ? 0x80 : 0;
  };
  Set({VK_SHIFT, VK_LSHIFT}, AMods & Shift);
  Set({VK_CONTROL, VK_LCONTROL}, AMods & Ctrl);
  Set({VK_MENU, VK_LMENU}, AMods & Alt);
  SetKeyboardState(State);
}

// Posts a key pressed and released to ATarget, with the modifiers AMods held.
inline void PostKey(HWND ATarget, UINT AKey, unsigned AMods = 0) {
  SetModifiers(AMods);
  const LPARAM Scan = static_cast<LPARAM>(MapVirtualKeyW(AKey, MAPVK_VK_TO_VSC)) << 16;
  PostMessageW(ATarget, AMods & Alt ? WM_SYSKEYDOWN : WM_KEYDOWN, AKey, Scan | 1 | (AMods & Alt ? 1 << 29 : 0));
  PostMessageW(ATarget, AMods & Alt ? WM_SYSKEYUP : WM_KEYUP, AKey, Scan | 1 | 0xC0000000);
}

// Posts the mouse messages AMsgs to the middle of row ARow of list box AList, with the modifiers
// AMods held.
inline void PostMouse(HWND AList, int ARow, std::initializer_list<UINT> AMsgs, unsigned AMods = 0) {
  SetModifiers(AMods);
  RECT R{};
  SendMessageW(AList, LB_GETITEMRECT, static_cast<WPARAM>(ARow), reinterpret_cast<LPARAM>(&R));
  const LPARAM At = MAKELPARAM((R.left + R.right) / 2, (R.top + R.bottom) / 2);
  const WPARAM Keys = (AMods & Ctrl ? MK_CONTROL : 0) | (AMods & Shift ? MK_SHIFT : 0);
  for (UINT M : AMsgs) {
    const WPARAM Button = M == WM_LBUTTONDOWN || M == WM_LBUTTONDBLCLK ? MK_LBUTTON
                          : M == WM_RBUTTONDOWN                        ? MK_RBUTTON
                                                                       : 0;
    PostMessageW(AList, M, Keys | Button, At);
  }
}

enum class TDialogKind { None, Selection, Search, Chooser };

// Which of the library's dialogs AWnd is: the search dialog has its pattern box (202), the
// selection dialog a list (101), the coordinate system chooser a combo box (101).
inline TDialogKind DialogKind(HWND AWnd) {
  if (ClassName(AWnd) != "TVokabraForm") return TDialogKind::None;
  if (GetDlgItem(AWnd, 202)) return TDialogKind::Search;
  HWND First = GetDlgItem(AWnd, 101);
  if (!First) return TDialogKind::None;
  return ClassName(First) == "ComboBox" ? TDialogKind::Chooser : TDialogKind::Selection;
}

inline BOOL CALLBACK CollectWindow(HWND AWnd, LPARAM AFound) {
  reinterpret_cast<std::vector<HWND> *>(AFound)->push_back(AWnd);
  return TRUE;
}

// Every window of this thread that is a dialog of kind AKind, shown or not.
inline std::vector<HWND> DialogWindows(TDialogKind AKind = TDialogKind::Selection) {
  std::vector<HWND> All, R;
  EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&All));
  for (HWND W : All)
    if (DialogKind(W) == AKind) R.push_back(W);
  return R;
}

// The visible dialog of kind AKind on this thread, or null.
inline HWND ShownDialog(TDialogKind AKind) {
  for (HWND W : DialogWindows(AKind))
    if (IsWindowVisible(W)) return W;
  return nullptr;
}

// The innermost of the library's dialogs shown on this thread (the search dialog before the
// selection dialog it was opened from), or null.
inline HWND ShownDialog() {
  for (TDialogKind K : {TDialogKind::Search, TDialogKind::Selection, TDialogKind::Chooser})
    if (HWND W = ShownDialog(K)) return W;
  return nullptr;
}

// One of the library's dialogs as a person sees and handles it. List is the list the dialog is
// about: the levels of the selection dialog, the matches of the search, the entries of the
// chooser. Path is the path below the list of the selection or the search, Combo the search's
// pattern or the chooser's groups, Edit the pattern's edit field; Params (the chooser's hidden
// list of values), Ok and Cancel belong to the chooser.
class TDialog {
 public:
  explicit TDialog(HWND AWnd) : Window(AWnd), Kind(DialogKind(AWnd)) {
    const auto Item = [AWnd](int AId) { return GetDlgItem(AWnd, AId); };
    if (Kind == TDialogKind::Selection) List = Item(101), Path = Item(102);
    if (Kind == TDialogKind::Search)
      Label = Item(201), Combo = Item(202), List = Item(203), Path = Item(204),
      Edit = FindWindowExW(Combo, nullptr, L"Edit", nullptr);
    if (Kind == TDialogKind::Chooser)
      Combo = Item(101), List = Item(102), Params = Item(103), Ok = Item(104), Cancel = Item(105);
  }
  HWND Window;
  TDialogKind Kind;
  HWND List = nullptr, Path = nullptr, Combo = nullptr, Edit = nullptr, Label = nullptr, Params = nullptr,
       Ok = nullptr, Cancel = nullptr;

  TLevel Rows() const { return ListRows(List); }
  std::vector<std::string> PathRows() const { return ListTexts(Path); }
  int Selected() const { return static_cast<int>(SendMessageA(List, LB_GETCURSEL, 0, 0)); }
  int RowHeight() const { return static_cast<int>(SendMessageA(List, LB_GETITEMHEIGHT, 0, 0)); }
  // The height of the path list; 0 when it has no room.
  int PathHeight() const {
    RECT R;
    GetWindowRect(Path, &R);
    return R.bottom == R.top ? 0 : ClientHeight(Path);
  }
  std::wstring CaptionW() const { return WindowTextW(Window); }

  // A key pressed and released on the focused control (the list when the focus is elsewhere),
  // with the modifiers held.
  void Key(UINT AKey, unsigned AMods = 0) const {
    HWND Target = GetFocus();
    if (!Target || (Target != Window && !IsChild(Window, Target))) Target = List;
    PostKey(Target, AKey, AMods);
  }
  // The same through the system's keyboard input, as typed on the keyboard: the dialog is the
  // foreground window, so the keys reach its focused control with the real key state.
  void Type(WORD AKey, unsigned AMods = 0) const {
    std::vector<INPUT> In;
    const std::pair<unsigned, WORD> Mods[] = {{Ctrl, VK_CONTROL}, {Shift, VK_SHIFT}, {Alt, VK_MENU}};
    for (auto [M, Vk] : Mods)
      if (AMods & M) In.push_back(KeyInput(Vk, false));
    In.push_back(KeyInput(AKey, false));
    In.push_back(KeyInput(AKey, true));
    for (auto [M, Vk] : Mods)
      if (AMods & M) In.push_back(KeyInput(Vk, true));
    EXPECT_EQ(GetForegroundWindow(), Window);
    EXPECT_EQ(SendInput(static_cast<UINT>(In.size()), In.data(), sizeof(INPUT)), In.size());
  }
  // A left click on row ARow of the list (selects it, as the list box does).
  void Click(int ARow) const { PostMouse(List, ARow, {WM_LBUTTONDOWN, WM_LBUTTONUP}); }
  void DoubleClick(int ARow, unsigned AMods = 0) const {
    PostMouse(List, ARow, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}, AMods);
  }
  void RightClick(int ARow) const { PostMouse(List, ARow, {WM_RBUTTONDOWN, WM_RBUTTONUP}); }
  // A click on the close box of the caption.
  void CloseBox() const { PostMessageW(Window, WM_SYSCOMMAND, SC_CLOSE, 0); }
};

using TStep = std::function<void(TDialog &)>;

// Steps that come back often: a key on the focused control; a click on a row of the list.
inline TStep Press(UINT AKey, unsigned AMods = 0) { return [=](TDialog &D) { D.Key(AKey, AMods); }; }
inline TStep Click(int ARow) { return [=](TDialog &D) { D.Click(ARow); }; }
// Checks that the list shows ARows with row ASelected selected, and the path APath below it.
inline TStep ExpectRows(const TLevel &ARows, int ASelected, const std::vector<std::string> &APath) {
  return [=](TDialog &D) {
    EXPECT_EQ(D.Rows(), ARows);
    EXPECT_EQ(D.Selected(), ASelected);
    EXPECT_EQ(D.PathRows(), APath);
  };
}

// Runs an export that shows a dialog and plays ASteps on the innermost dialog shown: each step
// runs on a timer tick of the dialog's modal loop, after everything the previous step posted was
// handled (timer messages come only when no posted message waits). The last step must end the
// dialog; when the steps do not end it in time, the timer and, failing that, a watchdog thread
// close it.
class TDriver {
 public:
  static constexpr DWORD TimeoutMs = 10000;

  // ACall's result; every step must have run.
  int32_t Run(const std::function<int32_t()> &ACall, std::vector<TStep> ASteps) {
    fSteps = std::move(ASteps);
    fNext = 0;
    fShown = false;
    fStart = GetTickCount();
    fCurrent = this;
    const UINT_PTR Timer = SetTimer(nullptr, 0, 20, &TDriver::Tick);
    fThread = GetCurrentThreadId();
    fDone.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const TUniqueFile Watchdog(CreateThread(nullptr, 0, &TDriver::Watch, this, 0, nullptr));
    const int32_t Result = ACall();
    SetEvent(fDone.get());
    WaitForSingleObject(Watchdog.get(), INFINITE);
    KillTimer(nullptr, Timer);
    fCurrent = nullptr;
    SetModifiers(0);
    // Key-ups and characters left behind by the last key go to the hidden list now.
    MSG Msg;
    while (PeekMessageW(&Msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&Msg);
    EXPECT_FALSE(fWatchdogFired) << "the watchdog had to close the dialog";
    EXPECT_EQ(fNext, fSteps.size()) << "the dialog ended before every step ran";
    fWatchdogFired = false;
    return Result;
  }
  // Whether a dialog was seen.
  bool Shown() const { return fShown; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TDriver *D = fCurrent;
    HWND W = ShownDialog();
    if (!D || !W) return;
    D->fShown = true;
    SetModifiers(0);
    if (GetTickCount() - D->fStart > TimeoutMs) {
      ADD_FAILURE() << "dialog still open after " << TimeoutMs << " ms, step " << D->fNext;
      PostMessageW(W, WM_CLOSE, 0, 0);
      return;
    }
    if (D->fNext >= D->fSteps.size()) {
      ADD_FAILURE() << "the steps are done but the dialog is still open";
      D->fStart = 0;  // close at the next tick
      return;
    }
    TDialog Dialog(W);
    D->fSteps[D->fNext++](Dialog);
  }

  static BOOL CALLBACK CloseVisible(HWND W, LPARAM) {
    if (IsWindowVisible(W)) {
      if (HWND L = GetDlgItem(W, 101)) PostMessageW(L, WM_LBUTTONUP, 0, 0);
      PostMessageW(W, WM_CLOSE, 0, 0);
    }
    return TRUE;
  }

  static DWORD WINAPI Watch(LPVOID ASelf) {
    TDriver &D = *static_cast<TDriver *>(ASelf);
    while (WaitForSingleObject(D.fDone.get(), TimeoutMs * 2) == WAIT_TIMEOUT) {
      // The timer did not get through: end whatever loop runs with a button release and a close.
      D.fWatchdogFired = true;
      EnumThreadWindows(D.fThread, CloseVisible, 0);
    }
    return 0;
  }

  static inline TDriver *fCurrent = nullptr;
  std::vector<TStep> fSteps;
  std::size_t fNext = 0;
  bool fShown = false;
  DWORD fStart = 0;
  DWORD fThread = 0;
  TUniqueFile fDone;  // an event, set when the export has returned
  std::atomic<bool> fWatchdogFired{false};
};

// While alive, ends the library's dialogs the way a user at the keyboard would, from a timer of
// the test thread: every tick that finds one of them showing posts a key to the innermost one
// (Esc, or F3 first in the selection dialog when the search dialog is to be opened). It notes
// what it saw, so that a test can tell that a dialog really opened, and it costs one timer, so
// it can close thousands of dialogs in a row.
class TModalCloser : TPinned {
 public:
  // AOpenSearch: F3 in each opening of the selection dialog before Esc closes it.
  explicit TModalCloser(bool AOpenSearch = false) : fOpenSearch(AOpenSearch) {
    fCurrent = this;
    fTimer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &TModalCloser::Tick);
  }
  ~TModalCloser() {
    KillTimer(nullptr, fTimer);
    fCurrent = nullptr;
  }

  // Starts the count of one export call: the dialogs seen since the last Begin are forgotten.
  void Begin() { fSeen = 0; }
  // Whether a dialog of the kind showed since Begin.
  bool Saw(TDialogKind AKind) const { return fSeen & Bit(AKind); }
  // The owner window of the last dialog closed.
  HWND Owner() const { return fOwner; }

 private:
  static unsigned Bit(TDialogKind AKind) { return 1u << static_cast<int>(AKind); }

  // A tick comes only when the thread's queue holds no posted message, so the key posted by the
  // tick before has been handled: F3 has opened the search dialog, Esc has closed a dialog.
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TModalCloser *Self = fCurrent;
    HWND W = Self ? ShownDialog() : nullptr;
    if (!W) return;
    const TDialog D(W);
    const bool Search = D.Kind == TDialogKind::Selection && Self->fOpenSearch && !Self->Saw(D.Kind);
    Self->fSeen |= Bit(D.Kind);
    Self->fOwner = GetWindow(W, GW_OWNER);
    D.Key(Search ? VK_F3 : VK_ESCAPE);
  }

  static inline TModalCloser *fCurrent = nullptr;
  UINT_PTR fTimer = 0;
  bool fOpenSearch;
  unsigned fSeen = 0;
  HWND fOwner = nullptr;
};

}  // namespace vok::test
