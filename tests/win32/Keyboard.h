// Keys typed through the system's input queue, as on the keyboard, and seen where they arrive:
// in a window of the test that records the keys it receives, and in a keyboard hook at the
// bottom of the thread's hook chain. TF1Probe tells with them whether a keyboard hook swallows
// F1: with a help file set (blanks are enough, they open nothing), the library's F1 hook
// swallows the key while it is installed.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "tests/win32/TestHost.h"

namespace vok::test {

// A visible window of the test host that records the keys it receives.
class TKeyWindow : TPinned {
 public:
  TKeyWindow() {
    WNDCLASSA C{};
    C.lpfnWndProc = WndProc;
    C.hInstance = GetModuleHandleA(nullptr);
    C.lpszClassName = "VokabraTestKeys";
    RegisterClassA(&C);
    fWindow = CreateWindowExA(0, C.lpszClassName, "Keys", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                              nullptr, nullptr, C.hInstance, nullptr);
    SetWindowLongPtrA(fWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~TKeyWindow() { DestroyWindow(fWindow); }
  HWND Handle() const { return fWindow; }
  // The key messages received, as "down 112" / "up 112".
  std::vector<std::string> Take() { return std::exchange(fKeys, {}); }

 private:
  static LRESULT CALLBACK WndProc(HWND AWnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam) {
    auto *Self = reinterpret_cast<TKeyWindow *>(GetWindowLongPtrA(AWnd, GWLP_USERDATA));
    if (Self && (AMsg == WM_KEYDOWN || AMsg == WM_KEYUP) && AWParam != VK_F13)
      Self->fKeys.push_back((AMsg == WM_KEYDOWN ? "down " : "up ") + std::to_string(AWParam));
    return DefWindowProcA(AWnd, AMsg, AWParam, ALParam);
  }
  HWND fWindow;
  std::vector<std::string> fKeys;
};

// Sees the keys at the bottom of the thread's keyboard hook chain, below any hook installed
// later: F13 released after the typed keys tells that the thread has retrieved them.
class TKeyWatch : TPinned {
 public:
  TKeyWatch() { fHook = SetWindowsHookExA(WH_KEYBOARD, HookProc, nullptr, GetCurrentThreadId()); }
  ~TKeyWatch() { UnhookWindowsHookEx(fHook); }
  static inline int SentinelsSeen = 0;
  static inline int F1Seen = 0;  // F1 events, pressed or released

 private:
  static LRESULT CALLBACK HookProc(int ACode, WPARAM AWParam, LPARAM ALParam) {
    if (ACode == HC_ACTION && AWParam == VK_F13 && (ALParam & 0x80000000)) ++SentinelsSeen;
    if (ACode == HC_ACTION && AWParam == VK_F1) ++F1Seen;
    return CallNextHookEx(nullptr, ACode, AWParam, ALParam);
  }
  HHOOK fHook;
};

// Sends AKeys through the system's input queue, followed by F13 as the sentinel.
inline void SendKeys(std::vector<INPUT> AKeys) {
  AKeys.push_back(KeyInput(VK_F13, false));
  AKeys.push_back(KeyInput(VK_F13, true));
  SendInput(static_cast<UINT>(AKeys.size()), AKeys.data(), sizeof(INPUT));
}

// Types AKeys into AFocus and handles the thread's messages until the thread has retrieved them
// (F1 opens the help inside this loop); false when they never arrived. Needs a TKeyWatch.
inline bool TypeKeys(HWND AFocus, const std::vector<INPUT> &AKeys) {
  SetForegroundWindow(AFocus);
  SetFocus(AFocus);
  TKeyWatch::SentinelsSeen = TKeyWatch::F1Seen = 0;
  SendKeys(AKeys);
  const DWORD Start = GetTickCount();
  MSG Msg;
  while (TKeyWatch::SentinelsSeen == 0 && GetTickCount() - Start < 5000) {
    if (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&Msg);
      DispatchMessageA(&Msg);
    } else {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
  }
  while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&Msg);
  return TKeyWatch::SentinelsSeen > 0;
}

// Tells whether a keyboard hook swallows F1 on this thread: F1 is typed into a window of the
// probe, and the window tells whether F1 reached it.
class TF1Probe {
 public:
  // True when the window received F1; false as well when the keys never arrived (Arrived() tells).
  bool F1Reaches() {
    fWindow.Take();
    fArrived = TypeKeys(fWindow.Handle(), {KeyInput(VK_F1, false), KeyInput(VK_F1, true)});
    const std::vector<std::string> Keys = fWindow.Take();
    return std::find(Keys.begin(), Keys.end(), "down 112") != Keys.end();
  }
  bool Arrived() const { return fArrived; }

 private:
  TKeyWindow fWindow;
  TKeyWatch fWatch;
  bool fArrived = false;
};

}  // namespace vok::test
