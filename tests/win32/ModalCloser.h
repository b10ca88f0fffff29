// Ends the library's modal dialogs the way a user at the keyboard would, from a timer of the
// test thread: while a TModalCloser lives, every tick that finds one of the library's dialogs
// showing posts a key to the innermost one (Esc, or F3 first in the selection dialog when the
// search dialog is to be opened). It counts what it saw, so that a test can tell that a dialog
// really opened, and it costs one timer, so it can close thousands of dialogs in a row.
#pragma once

#include <windows.h>

#include <string>

namespace vok::test {

enum class TDialogKind { None, Selection, Search, Chooser };

// Which of the library's dialogs AWnd is: the search dialog has its pattern box (202), the
// selection dialog a list (101), the coordinate system chooser a combo box (101).
inline TDialogKind DialogKind(HWND AWnd) {
  char Class[64] = "";
  GetClassNameA(AWnd, Class, sizeof Class);
  if (std::string(Class) != "TVokabraForm") return TDialogKind::None;
  if (GetDlgItem(AWnd, 202)) return TDialogKind::Search;
  HWND First = GetDlgItem(AWnd, 101);
  if (!First) return TDialogKind::None;
  GetClassNameA(First, Class, sizeof Class);
  return std::string(Class) == "ComboBox" ? TDialogKind::Chooser : TDialogKind::Selection;
}

class TModalCloser {
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
  TModalCloser(const TModalCloser &) = delete;
  TModalCloser &operator=(const TModalCloser &) = delete;

  // Starts the count of one export call: the dialogs seen since the last Begin are forgotten.
  void Begin() { fSelection = fSearch = fChooser = false; }
  // Whether a dialog of the kind showed since Begin.
  bool Saw(TDialogKind AKind) const {
    return AKind == TDialogKind::Selection ? fSelection : AKind == TDialogKind::Search ? fSearch : fChooser;
  }
  // The owner window of the last dialog closed.
  HWND Owner() const { return fOwner; }

 private:
  struct TFound {
    HWND Selection = nullptr, Search = nullptr, Chooser = nullptr;
  };

  static BOOL CALLBACK Collect(HWND AWnd, LPARAM AFound) {
    if (!IsWindowVisible(AWnd)) return TRUE;
    auto &F = *reinterpret_cast<TFound *>(AFound);
    switch (DialogKind(AWnd)) {
      case TDialogKind::Selection: F.Selection = AWnd; break;
      case TDialogKind::Search: F.Search = AWnd; break;
      case TDialogKind::Chooser: F.Chooser = AWnd; break;
      case TDialogKind::None: break;
    }
    return TRUE;
  }

  void Close(HWND ADialog, HWND ATarget, UINT AKey) {
    fOwner = GetWindow(ADialog, GW_OWNER);
    PostKey(ATarget, AKey);
  }

  static void PostKey(HWND ATarget, UINT AKey) {
    PostMessageW(ATarget, WM_KEYDOWN, AKey, 1);
    PostMessageW(ATarget, WM_KEYUP, AKey, 0xC0000001);
  }

  // A tick comes only when the thread's queue holds no posted message, so the key posted by the
  // tick before has been handled: F3 has opened the search dialog, Esc has closed a dialog.
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TModalCloser *Self = fCurrent;
    if (!Self) return;
    TFound F;
    EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(&F));
    if (F.Search) {
      Self->fSearch = true;
      Self->Close(F.Search, F.Search, VK_ESCAPE);
    } else if (F.Selection) {
      const bool Search = Self->fOpenSearch && !Self->fSelection;
      Self->fSelection = true;
      Self->Close(F.Selection, GetDlgItem(F.Selection, 101), Search ? VK_F3 : VK_ESCAPE);
    } else if (F.Chooser) {
      Self->fChooser = true;
      Self->Close(F.Chooser, F.Chooser, VK_ESCAPE);
    }
  }

  static inline TModalCloser *fCurrent = nullptr;
  UINT_PTR fTimer = 0;
  bool fOpenSearch;
  bool fSelection = false, fSearch = false, fChooser = false;
  HWND fOwner = nullptr;
};

}  // namespace vok::test
