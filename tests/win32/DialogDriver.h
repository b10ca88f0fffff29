// Drives the library's modal dialogs as a person does: while an export runs a dialog's modal
// loop, a timer of the test thread plays steps on the real windows (keys, clicks, reading the
// rows back), and a watchdog thread closes whatever is left open, so no test can hang.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/win32/TestHost.h"

namespace vok::test {

// A list as it should show: the rows in order with the codes they carry.
using TLevel = std::vector<std::pair<std::string, int32_t>>;

enum : unsigned { Shift = 1, Ctrl = 2, Alt = 4 };

inline std::vector<std::string> ListTexts(HWND AList) {
  std::vector<std::string> R;
  const LRESULT N = SendMessageA(AList, LB_GETCOUNT, 0, 0);
  for (LRESULT I = 0; I < N; ++I) {
    char Buf[2048] = "";
    SendMessageA(AList, LB_GETTEXT, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(Buf));
    R.push_back(Buf);
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

// The running dialog as a person sees and handles it.
class TDialog {
 public:
  explicit TDialog(HWND AWnd) : Window(AWnd), List(GetDlgItem(AWnd, 101)), Path(GetDlgItem(AWnd, 102)) {}
  HWND Window, List, Path;

  TLevel Rows() const { return ListRows(List); }
  std::vector<std::string> PathRows() const { return ListTexts(Path); }
  int Selected() const { return static_cast<int>(SendMessageA(List, LB_GETCURSEL, 0, 0)); }
  int RowHeight() const { return static_cast<int>(SendMessageA(List, LB_GETITEMHEIGHT, 0, 0)); }
  int PathHeight() const {
    RECT R;
    GetWindowRect(Path, &R);
    return R.bottom == R.top ? 0 : ClientHeight(Path);
  }
  std::wstring CaptionW() const {
    wchar_t Buf[512] = L"";
    GetWindowTextW(Window, Buf, 512);
    return Buf;
  }
  std::string Caption() const {
    char Buf[512] = "";
    GetWindowTextA(Window, Buf, sizeof Buf);
    return Buf;
  }

  // A key pressed and released on the focused control, with the modifiers held.
  void Key(UINT AKey, unsigned AMods = 0) const {
    SetModifiers(AMods);
    HWND Target = GetFocus();
    if (!Target || (Target != Window && !IsChild(Window, Target))) Target = List;
    const LPARAM Scan = static_cast<LPARAM>(MapVirtualKeyW(AKey, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(Target, AMods & Alt ? WM_SYSKEYDOWN : WM_KEYDOWN, AKey, Scan | 1 | (AMods & Alt ? 1 << 29 : 0));
    PostMessageW(Target, AMods & Alt ? WM_SYSKEYUP : WM_KEYUP, AKey, Scan | 1 | 0xC0000000);
  }
  // The same through the system's keyboard input, as typed on the keyboard: the dialog is the
  // foreground window, so the keys reach its focused control with the real key state.
  void Type(WORD AKey, unsigned AMods = 0) const {
    std::vector<INPUT> In;
    const auto Add = [&](WORD AVk, bool AUp) {
      INPUT I{};
      I.type = INPUT_KEYBOARD;
      I.ki.wVk = AVk;
      I.ki.wScan = static_cast<WORD>(MapVirtualKeyW(AVk, MAPVK_VK_TO_VSC));
      I.ki.dwFlags = AUp ? KEYEVENTF_KEYUP : 0;
      In.push_back(I);
    };
    const std::pair<unsigned, WORD> Mods[] = {{Ctrl, VK_CONTROL}, {Shift, VK_SHIFT}, {Alt, VK_MENU}};
    for (auto [M, Vk] : Mods)
      if (AMods & M) Add(Vk, false);
    Add(AKey, false);
    Add(AKey, true);
    for (auto [M, Vk] : Mods)
      if (AMods & M) Add(Vk, true);
    EXPECT_EQ(GetForegroundWindow(), Window);
    EXPECT_EQ(SendInput(static_cast<UINT>(In.size()), In.data(), sizeof(INPUT)), In.size());
  }
  // A left click on row ARow (selects it, as the list box does).
  void Click(int ARow) const { Mouse(ARow, {WM_LBUTTONDOWN, WM_LBUTTONUP}, 0); }
  void DoubleClick(int ARow, unsigned AMods = 0) const {
    SetModifiers(AMods);
    Mouse(ARow, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}, AMods);
  }
  void RightClick(int ARow) const { Mouse(ARow, {WM_RBUTTONDOWN, WM_RBUTTONUP}, 0); }
  // A click on the close box of the caption.
  void CloseBox() const { PostMessageW(Window, WM_SYSCOMMAND, SC_CLOSE, 0); }

 private:
  void Mouse(int ARow, std::initializer_list<UINT> AMsgs, unsigned AMods) const {
    RECT R{};
    SendMessageW(List, LB_GETITEMRECT, static_cast<WPARAM>(ARow), reinterpret_cast<LPARAM>(&R));
    const LPARAM At = MAKELPARAM((R.left + R.right) / 2, (R.top + R.bottom) / 2);
    WPARAM Keys = (AMods & Ctrl ? MK_CONTROL : 0) | (AMods & Shift ? MK_SHIFT : 0);
    for (UINT M : AMsgs) {
      const WPARAM Button = M == WM_LBUTTONDOWN || M == WM_LBUTTONDBLCLK ? MK_LBUTTON
                            : M == WM_RBUTTONDOWN                        ? MK_RBUTTON
                                                                         : 0;
      PostMessageW(List, M, Keys | Button, At);
    }
  }
};

inline bool IsSelectionDialog(HWND W) {
  char Class[64] = "";
  GetClassNameA(W, Class, sizeof Class);
  return std::string(Class) == "TVokabraForm" && GetDlgItem(W, 101);
}

inline BOOL CALLBACK CollectDialog(HWND W, LPARAM P) {
  if (IsSelectionDialog(W)) reinterpret_cast<std::vector<HWND> *>(P)->push_back(W);
  return TRUE;
}

// Every selection dialog window of this thread, shown or not.
inline std::vector<HWND> DialogWindows() {
  std::vector<HWND> R;
  EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&R));
  return R;
}

// The visible selection dialog of this thread, or null.
inline HWND FindDialog() {
  for (HWND W : DialogWindows())
    if (IsWindowVisible(W)) return W;
  return nullptr;
}

inline BOOL CALLBACK CloseVisible(HWND W, LPARAM) {
  if (IsWindowVisible(W)) {
    if (HWND L = GetDlgItem(W, 101)) PostMessageW(L, WM_LBUTTONUP, 0, 0);
    PostMessageW(W, WM_CLOSE, 0, 0);
  }
  return TRUE;
}

using TStep = std::function<void(TDialog &)>;

// Runs an export that shows the dialog and plays ASteps on it: each step runs on a timer tick
// of the dialog's modal loop, after everything the previous step posted was handled (timer
// messages come only when no posted message waits). The last step must end the dialog; when
// the steps do not end it in time, the timer and, failing that, a watchdog thread close it.
class TDriver {
 public:
  static constexpr DWORD TimeoutMs = 10000;

  int32_t Run(const std::function<int32_t()> &ACall, std::vector<TStep> ASteps) {
    fSteps = std::move(ASteps);
    fNext = 0;
    fShown = false;
    fStart = GetTickCount();
    fCurrent = this;
    const UINT_PTR Timer = SetTimer(nullptr, 0, 20, &TDriver::Tick);
    std::thread Watchdog([this, Thread = GetCurrentThreadId()] { Watch(Thread); });
    const int32_t Result = ACall();
    {
      std::lock_guard<std::mutex> Lock(fMutex);
      fDone = true;
    }
    fWake.notify_all();
    Watchdog.join();
    fDone = false;
    KillTimer(nullptr, Timer);
    fCurrent = nullptr;
    SetModifiers(0);
    // Key-ups and characters left behind by the last key go to the hidden list now.
    MSG Msg;
    while (PeekMessageW(&Msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&Msg);
    EXPECT_FALSE(fWatchdogFired) << "the watchdog had to close the dialog";
    fWatchdogFired = false;
    return Result;
  }
  // Whether the dialog was seen, and how many steps ran.
  bool Shown() const { return fShown; }
  std::size_t StepsRun() const { return fNext; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TDriver *D = fCurrent;
    HWND W = FindDialog();
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

  void Watch(DWORD AThread) {
    std::unique_lock<std::mutex> Lock(fMutex);
    while (!fWake.wait_for(Lock, std::chrono::milliseconds(TimeoutMs * 2), [this] { return fDone; })) {
      // The timer did not get through: end whatever loop runs with a button release and a close.
      fWatchdogFired = true;
      EnumThreadWindows(AThread, CloseVisible, 0);
    }
  }

  static inline TDriver *fCurrent = nullptr;
  std::vector<TStep> fSteps;
  std::size_t fNext = 0;
  bool fShown = false;
  DWORD fStart = 0;
  std::mutex fMutex;
  std::condition_variable fWake;
  bool fDone = false;
  std::atomic<bool> fWatchdogFired{false};
};


}  // namespace vok::test
