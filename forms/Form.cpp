#include "forms/Form.h"

#include <stdexcept>
#include <vector>

#include "win32/Windows.h"

namespace vok {

namespace {

constexpr wchar_t FormClassName[] = L"TVokabraForm";

HINSTANCE ModuleInstance() {
  HMODULE M = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ModuleInstance), &M);
  return M;
}

// The class of every form, whose windows find their form through the creation parameter.
void RegisterFormClass(WNDPROC AWndProc) {
  WNDCLASSEXW C{};
  C.cbSize = sizeof C;
  if (GetClassInfoExW(ModuleInstance(), FormClassName, &C)) return;
  C.style = CS_DBLCLKS;
  C.lpfnWndProc = AWndProc;
  C.hInstance = ModuleInstance();
  C.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  C.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  C.lpszClassName = FormClassName;
  RegisterClassExW(&C);
}

struct TDisabledWindows {
  HWND Except;
  std::vector<HWND> Windows;
};

void DisableOne(TDisabledWindows &D, HWND AWnd) {
  if (AWnd == D.Except || !IsWindowEnabled(AWnd)) return;
  D.Windows.push_back(AWnd);
  EnableWindow(AWnd, FALSE);
}

}  // namespace

void UnregisterFormClass() { UnregisterClassW(FormClassName, ModuleInstance()); }

TForm::~TForm() { DestroyHandle(); }

void TForm::DestroyHandle() {
  if (HWND H = fWindow.get()) SetWindowLongPtrW(H, GWLP_USERDATA, 0);
  fWindow.reset();
}

void TForm::CreateForm(const TFormSpec &AForm, const TControlSpec *ALayout, std::size_t ACount) {
  RegisterFormClass(&StaticWndProc);
  HDC Screen = GetDC(nullptr);
  fDpi = GetDeviceCaps(Screen, LOGPIXELSY);
  ReleaseDC(nullptr, Screen);
  if (fDpi <= 0) fDpi = 96;

  RECT R{0, 0, Scale(AForm.ClientWidth), Scale(AForm.ClientHeight)};
  AdjustWindowRectEx(&R, AForm.Style, FALSE, AForm.ExStyle);
  HWND H = CreateWindowExW(AForm.ExStyle, FormClassName, L"", AForm.Style & ~WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                           R.right - R.left, R.bottom - R.top, nullptr, nullptr, ModuleInstance(), this);
  if (!H) throw std::runtime_error("Cannot create a window");

  LOGFONTW F{};
  F.lfHeight = -Scale(AForm.FontHeight);
  F.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(F.lfFaceName, AForm.FontFace, LF_FACESIZE);
  fFont.reset(CreateFontIndirectW(&F));
  SendMessageW(H, WM_SETFONT, reinterpret_cast<WPARAM>(fFont.get()), FALSE);

  for (std::size_t I = 0; I < ACount; ++I) {
    const TControlSpec &C = ALayout[I];
    HWND Ctl = CreateWindowExW(C.ExStyle, C.ClassName, C.Text ? C.Text : L"", C.Style | WS_CHILD, Scale(C.Left),
                               Scale(C.Top), Scale(C.Width), Scale(C.Height), H,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(C.Id)), ModuleInstance(), nullptr);
    if (!Ctl) throw std::runtime_error("Cannot create a control");
    SendMessageW(Ctl, WM_SETFONT, reinterpret_cast<WPARAM>(fFont.get()), FALSE);
  }
}

void TForm::SetOwner(HWND AOwner) { SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(AOwner)); }

void TForm::SetCaption(const std::wstring &ACaption) { SetWindowTextW(Handle(), ACaption.c_str()); }

int TForm::ShowModal() {
  HWND Self = Handle();
  if (!Self || !IsWindow(Self)) return mrCancel;
  HWND Active = GetActiveWindow();
  HWND Owner = GetWindow(Self, GW_OWNER);
  if (!Active || Active == Self || !IsWindow(Active)) Active = Owner;
  TDisabledWindows Disabled{Self, {}};
  ForEachThreadWindow(GetCurrentThreadId(), [&Disabled](HWND AWnd) {
    if (IsWindowVisible(AWnd)) DisableOne(Disabled, AWnd);
    return true;
  });
  // The owner is disabled even when hidden, as a modal dialog box disables its owner.
  if (Owner && GetWindowThreadProcessId(Owner, nullptr) == GetCurrentThreadId()) DisableOne(Disabled, Owner);
  try {
    fModalResult = mrNone;
    EnableWindow(Self, TRUE);
    BeforeShow();
    fModalResult = mrNone;
    ShowWindow(Self, SW_SHOW);
    SetForegroundWindow(Self);
    RunModalLoop();
  } catch (...) {
    fModalResult = mrCancel;
  }
  // Enable the host's windows before hiding, so the activation goes back to them.
  for (HWND W : Disabled.Windows)
    if (IsWindow(W)) EnableWindow(W, TRUE);
  if (Handle()) ShowWindow(Handle(), SW_HIDE);
  if (Active && IsWindow(Active)) SetActiveWindow(Active);
  return fModalResult;
}

void TForm::RunModalLoop() {
  MSG Msg;
  while (fModalResult == mrNone) {
    const BOOL Got = GetMessageW(&Msg, nullptr, 0, 0);
    if (Got == 0) {
      PostQuitMessage(static_cast<int>(Msg.wParam));  // leave the quit for the host's loop
      fModalResult = mrCancel;
      break;
    }
    if (Got < 0) break;
    const bool IsKey = Msg.message >= WM_KEYFIRST && Msg.message <= WM_KEYLAST;
    const bool IsMouse = Msg.message >= WM_MOUSEFIRST && Msg.message <= WM_MOUSELAST;
    HWND Self = Handle();
    if ((IsKey || IsMouse) && Self && (Msg.hwnd == Self || IsChild(Self, Msg.hwnd))) {
      bool Swallowed = false;
      try {
        Swallowed = PreviewMessage(Msg);
      } catch (...) {
      }
      if (Swallowed) continue;
    }
    TranslateMessage(&Msg);
    DispatchMessageW(&Msg);
  }
}

LRESULT TForm::WndProc(UINT AMsg, WPARAM AWParam, LPARAM ALParam) {
  switch (AMsg) {
    case WM_CLOSE:
      fModalResult = mrCancel;
      return 0;
    case WM_COMMAND:
      if (ALParam && OnCommand(LOWORD(AWParam), HIWORD(AWParam))) return 0;
      break;
  }
  return DefWindowProcW(Handle(), AMsg, AWParam, ALParam);
}

LRESULT CALLBACK TForm::StaticWndProc(HWND AWnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam) {
  if (AMsg == WM_NCCREATE) {
    // The form that CreateForm passed: it owns the window from its first message on.
    auto *Form = static_cast<TForm *>(reinterpret_cast<CREATESTRUCTW *>(ALParam)->lpCreateParams);
    SetWindowLongPtrW(AWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Form));
    Form->fWindow.reset(AWnd);
  }
  auto *Self = reinterpret_cast<TForm *>(GetWindowLongPtrW(AWnd, GWLP_USERDATA));
  if (Self && AMsg == WM_NCDESTROY) {
    // Destroyed from outside (with its owner, say): the form forgets the handle and a
    // running modal loop ends with cancel.
    SetWindowLongPtrW(AWnd, GWLP_USERDATA, 0);
    Self->fWindow.release();
    if (Self->fModalResult == mrNone) Self->fModalResult = mrCancel;
    return DefWindowProcW(AWnd, AMsg, AWParam, ALParam);
  }
  try {
    if (Self) return Self->WndProc(AMsg, AWParam, ALParam);
  } catch (...) {
  }
  return DefWindowProcW(AWnd, AMsg, AWParam, ALParam);
}

}  // namespace vok
