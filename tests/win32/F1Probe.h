// Tells whether a keyboard hook swallows F1 on this thread: F1 is typed through the system's
// input queue into a visible window of the test, followed by F13 as a sentinel, and the window
// reports whether F1 reached it. With a help file set (blanks are enough, they open nothing),
// the library's F1 hook swallows the key while it is installed.
#pragma once

#include <windows.h>

namespace vok::test {

class TF1Probe {
 public:
  TF1Probe() {
    WNDCLASSA C{};
    C.lpfnWndProc = WndProc;
    C.hInstance = GetModuleHandleA(nullptr);
    C.lpszClassName = "VokabraF1Probe";
    RegisterClassA(&C);
    fWindow = CreateWindowExA(0, C.lpszClassName, "F1 probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 200, 100,
                              nullptr, nullptr, C.hInstance, nullptr);
    fHook = SetWindowsHookExA(WH_KEYBOARD, HookProc, nullptr, GetCurrentThreadId());
  }
  ~TF1Probe() {
    UnhookWindowsHookEx(fHook);
    DestroyWindow(fWindow);
  }
  TF1Probe(const TF1Probe &) = delete;
  TF1Probe &operator=(const TF1Probe &) = delete;

  // Types F1 and handles the thread's messages until the sentinel has been retrieved; true when
  // the window received F1. False as well when the keys never arrived (Arrived() tells).
  bool F1Reaches() {
    SetForegroundWindow(fWindow);
    SetFocus(fWindow);
    fSentinels = fF1Down = 0;
    INPUT Keys[4] = {Key(VK_F1, false), Key(VK_F1, true), Key(VK_F13, false), Key(VK_F13, true)};
    SendInput(4, Keys, sizeof(INPUT));
    const DWORD Start = GetTickCount();
    MSG Msg;
    while (fSentinels == 0 && GetTickCount() - Start < 5000) {
      if (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&Msg);
        DispatchMessageA(&Msg);
      } else {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      }
    }
    while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&Msg);
    fArrived = fSentinels > 0;
    return fF1Down > 0;
  }
  bool Arrived() const { return fArrived; }

 private:
  static INPUT Key(WORD AKey, bool AUp) {
    INPUT I{};
    I.type = INPUT_KEYBOARD;
    I.ki.wVk = AKey;
    I.ki.dwFlags = AUp ? KEYEVENTF_KEYUP : 0;
    return I;
  }
  static LRESULT CALLBACK WndProc(HWND AWnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam) {
    if (AMsg == WM_KEYDOWN && AWParam == VK_F1) ++fF1Down;
    return DefWindowProcA(AWnd, AMsg, AWParam, ALParam);
  }
  static LRESULT CALLBACK HookProc(int ACode, WPARAM AWParam, LPARAM ALParam) {
    if (ACode == HC_ACTION && AWParam == VK_F13 && (ALParam & 0x80000000)) ++fSentinels;
    return CallNextHookEx(nullptr, ACode, AWParam, ALParam);
  }

  static inline int fSentinels = 0, fF1Down = 0;
  HWND fWindow = nullptr;
  HHOOK fHook = nullptr;
  bool fArrived = false;
};

}  // namespace vok::test
