// The base of the library's dialogs: a top-level window whose layout is designed at 120
// pixels per inch and scaled to the screen, with a modal result, a modal loop of its own that
// shows every key to the form before the focused control (keyboard preview), and the
// wide-character window functions so Cyrillic texts show right.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "win32/Handles.h"
#include "forms/Controls.h"
#include "win32/Text.h"

namespace vok {

constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;

// Removes the window class of the library's forms; for the library's unload, after every form
// is gone (a class registered by a library outlives it otherwise).
void UnregisterFormClass();

// A form's window, in 120-dpi units: its styles, its client area and its font.
struct TFormSpec {
  DWORD Style;
  DWORD ExStyle;
  int ClientWidth, ClientHeight;
  const wchar_t *FontFace;
  int FontHeight;
};

// A control of a form's layout, in 120-dpi units relative to the form's client area.
struct TControlSpec {
  const wchar_t *ClassName;
  DWORD Style;
  DWORD ExStyle;
  int Left, Top, Width, Height;
  int Id;
  const wchar_t *Text;
};

// A notification ANotify of the control AId and the member of form F that answers it.
template <typename F>
struct TCommandRoute {
  int Id;
  int Notify;
  void (F::*Handler)();
};

// Runs on AForm the handler of the route of ARoutes that matches; false when none does.
template <typename F, std::size_t N>
bool RouteCommand(F &AForm, const TCommandRoute<F> (&ARoutes)[N], int AId, int ANotify) {
  for (const TCommandRoute<F> &R : ARoutes)
    if (R.Id == AId && R.Notify == ANotify) {
      (AForm.*R.Handler)();
      return true;
    }
  return false;
}

class TForm {
 public:
  TForm() = default;
  virtual ~TForm();
  TForm(const TForm &) = delete;
  TForm &operator=(const TForm &) = delete;

  HWND Handle() const { return fWindow.get(); }
  int ModalResult() const { return fModalResult; }
  void SetModalResult(int AResult) { fModalResult = AResult; }
  // Gives the window an owner through GWL_HWNDPARENT (the owner stays behind it).
  void SetOwner(HWND AOwner);
  void SetCaption(const std::wstring &ACaption);

  // Shows the form modally: every other visible enabled top-level window of the thread and the
  // owner window are disabled, the form's own loop runs until the modal result is not 0, then
  // the windows are enabled again, the form is hidden and the window that was active (or else
  // the owner) gets the activation back. Returns the modal result; cancel when the window is
  // gone or an error ended the loop.
  int ShowModal();

  // Pixels for a length designed at 120 dpi.
  int Scale(int A120) const { return MulDiv(A120, fDpi, 120); }

 protected:
  // Creates the window of AForm hidden, with the controls of ALayout.
  void CreateForm(const TFormSpec &AForm, const TControlSpec *ALayout, std::size_t ACount);
  template <std::size_t N>
  void CreateForm(const TFormSpec &AForm, const TControlSpec (&ALayout)[N]) {
    CreateForm(AForm, ALayout, N);
  }

  // Sees every key and mouse message for the form or its controls before they do; true
  // swallows it.
  virtual bool PreviewMessage(const MSG &AMsg) {
    (void)AMsg;
    return false;
  }
  // The form's messages; the default handles closing (cancel), routes the commands of its
  // controls to OnCommand and passes the rest on.
  virtual LRESULT WndProc(UINT AMsg, WPARAM AWParam, LPARAM ALParam);
  // A notification ANotify from the control AId; true when the form handled it (RouteCommand).
  virtual bool OnCommand(int AId, int ANotify) {
    (void)AId;
    (void)ANotify;
    return false;
  }
  // Runs when the modal loop starts, before the window is shown.
  virtual void BeforeShow() {}
  // Destroys the window now, while the derived form is still whole; its messages no longer
  // reach WndProc.
  void DestroyHandle();

  HWND Control(int AId) const { return GetDlgItem(Handle(), AId); }
  HFONT Font() const { return static_cast<HFONT>(fFont.get()); }

 private:
  static LRESULT CALLBACK StaticWndProc(HWND AWnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam);
  // Gets and dispatches messages, keys and mouse messages through PreviewMessage first, until
  // the modal result is set.
  void RunModalLoop();

  TUniqueWindow fWindow;
  TUniqueFont fFont;
  int fModalResult = mrNone;
  int fDpi = 96;
};

}  // namespace vok
