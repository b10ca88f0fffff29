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

void RegisterFormClass() {
  WNDCLASSEXW C{};
  C.cbSize = sizeof C;
  if (GetClassInfoExW(ModuleInstance(), FormClassName, &C)) return;
  C.style = CS_DBLCLKS;
  C.lpfnWndProc = DefWindowProcW;  // replaced per window by StaticWndProc
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

std::string ItemText(HWND AList, WPARAM AIndex, bool ACombo) {
  const LRESULT Len = SendMessageW(AList, ACombo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, AIndex, 0);
  if (Len <= 0) return std::string();
  std::wstring W(static_cast<std::size_t>(Len) + 1, L'\0');
  const LRESULT Got =
      SendMessageW(AList, ACombo ? CB_GETLBTEXT : LB_GETTEXT, AIndex, reinterpret_cast<LPARAM>(W.data()));
  W.resize(Got > 0 ? static_cast<std::size_t>(Got) : 0);
  return WideToAnsi(W);
}

TForm::~TForm() { DestroyHandle(); }

void TForm::DestroyHandle() {
  if (HWND H = fWindow.get()) SetWindowLongPtrW(H, GWLP_USERDATA, 0);
  fWindow.reset();
}

void TForm::CreateForm(DWORD AStyle, DWORD AExStyle, int AClientWidth, int AClientHeight,
                       const wchar_t *AFace, int AFontHeight, const TControlSpec *ALayout, int ACount) {
  RegisterFormClass();
  HDC Screen = GetDC(nullptr);
  fDpi = GetDeviceCaps(Screen, LOGPIXELSY);
  ReleaseDC(nullptr, Screen);
  if (fDpi <= 0) fDpi = 96;

  RECT R{0, 0, Scale(AClientWidth), Scale(AClientHeight)};
  AdjustWindowRectEx(&R, AStyle, FALSE, AExStyle);
  HWND H = CreateWindowExW(AExStyle, FormClassName, L"", AStyle & ~WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                           R.right - R.left, R.bottom - R.top, nullptr, nullptr, ModuleInstance(), nullptr);
  if (!H) throw std::runtime_error("Cannot create a window");
  fWindow.reset(H);
  SetWindowLongPtrW(H, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(H, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StaticWndProc));

  LOGFONTW F{};
  F.lfHeight = -Scale(AFontHeight);
  F.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(F.lfFaceName, AFace, LF_FACESIZE);
  fFont.reset(CreateFontIndirectW(&F));
  SendMessageW(H, WM_SETFONT, reinterpret_cast<WPARAM>(fFont.get()), FALSE);

  for (int I = 0; I < ACount; ++I) {
    const TControlSpec &C = ALayout[I];
    HWND Ctl = CreateWindowExW(C.ExStyle, C.ClassName, C.Text ? C.Text : L"", C.Style | WS_CHILD, Scale(C.Left),
                               Scale(C.Top), Scale(C.Width), Scale(C.Height), H,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(C.Id)), ModuleInstance(), nullptr);
    if (!Ctl) throw std::runtime_error("Cannot create a control");
    SendMessageW(Ctl, WM_SETFONT, reinterpret_cast<WPARAM>(fFont.get()), FALSE);
  }
}

void TForm::SetOwner(HWND AOwner) {
  SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(AOwner));
}

void TForm::SetCaption(std::string_view AAnsiCaption) {
  SetWindowTextW(Handle(), AnsiToWide(AAnsiCaption).c_str());
}

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
    HWND Self = Handle();
    if (IsKey && Self && (Msg.hwnd == Self || IsChild(Self, Msg.hwnd))) {
      bool Swallowed = false;
      try {
        Swallowed = PreviewKey(Msg);
      } catch (...) {
      }
      if (Swallowed) continue;
    }
    TranslateMessage(&Msg);
    DispatchMessageW(&Msg);
  }
}

LRESULT TForm::WndProc(UINT AMsg, WPARAM AWParam, LPARAM ALParam) {
  if (AMsg == WM_CLOSE) {
    fModalResult = mrCancel;
    return 0;
  }
  return DefWindowProcW(Handle(), AMsg, AWParam, ALParam);
}

LRESULT CALLBACK TForm::StaticWndProc(HWND AWnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam) {
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
