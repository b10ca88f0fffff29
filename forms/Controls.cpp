#include "forms/Controls.h"

#include "lookup/Lookup.h"
#include "win32/Text.h"

namespace vok {

void SetListRows(HWND AList, const std::vector<TCodeRow> &ARows) {
  SendMessageW(AList, WM_SETREDRAW, FALSE, 0);
  SendMessageW(AList, LB_RESETCONTENT, 0, 0);
  SendMessageW(AList, LB_INITSTORAGE, ARows.size(), 0);
  for (const TCodeRow &Row : ARows) {
    // The undefined-value row is the library's own Windows-1251 text; items are the file's.
    const bool Undefined = Row.Code == UndefinedValueCode && Row.Text == UndefinedValueText;
    const std::wstring Text = Undefined ? FromCyrillic(UndefinedValueText) : AnsiToWide(Row.Text);
    const LRESULT I = SendMessageW(AList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text.c_str()));
    if (I >= 0) SendMessageW(AList, LB_SETITEMDATA, static_cast<WPARAM>(I), static_cast<LPARAM>(Row.Code));
  }
  SendMessageW(AList, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(AList, nullptr, TRUE);
}

int AddListRow(HWND AList, std::string_view AText, bool ACombo) {
  return static_cast<int>(SendMessageW(AList, ACombo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                                       reinterpret_cast<LPARAM>(AnsiToWide(AText).c_str())));
}

void SetListTexts(HWND AList, const std::vector<std::string> &ATexts, bool ACombo) {
  SendMessageW(AList, ACombo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
  for (const std::string &T : ATexts) AddListRow(AList, T, ACombo);
}

int SelectedRow(HWND AList) { return static_cast<int>(SendMessageW(AList, LB_GETCURSEL, 0, 0)); }

int32_t RowCode(HWND AList, int ARow) {
  return static_cast<int32_t>(SendMessageW(AList, LB_GETITEMDATA, static_cast<WPARAM>(ARow), 0));
}

std::string ItemText(HWND AList, WPARAM ARow, bool ACombo) {
  const LRESULT Len = SendMessageW(AList, ACombo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, ARow, 0);
  if (Len <= 0) return std::string();
  std::wstring W(static_cast<std::size_t>(Len) + 1, L'\0');
  const LRESULT Got = SendMessageW(AList, ACombo ? CB_GETLBTEXT : LB_GETTEXT, ARow, reinterpret_cast<LPARAM>(W.data()));
  W.resize(Got > 0 ? static_cast<std::size_t>(Got) : 0);
  return WideToAnsi(W);
}

int ListHeightForRows(HWND AList, int ARows) {
  if (ARows <= 0) return 0;
  RECT R{0, 0, 0, static_cast<LONG>(ARows * SendMessageW(AList, LB_GETITEMHEIGHT, 0, 0))};
  AdjustWindowRectEx(&R, static_cast<DWORD>(GetWindowLongPtrW(AList, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(AList, GWL_EXSTYLE)));
  return R.bottom - R.top;
}

namespace {
void CenterIn(HWND AWindow, const RECT &AArea) {
  RECT W;
  GetWindowRect(AWindow, &W);
  const int Width = W.right - W.left, Height = W.bottom - W.top;
  SetWindowPos(AWindow, nullptr, AArea.left + (AArea.right - AArea.left - Width) / 2,
               AArea.top + (AArea.bottom - AArea.top - Height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
}  // namespace

void CenterOnScreen(HWND AWindow) {
  CenterIn(AWindow, {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

void CenterOnWorkArea(HWND AWindow) {
  MONITORINFO M{};
  M.cbSize = sizeof M;
  HWND Owner = GetWindow(AWindow, GW_OWNER);
  if (!GetMonitorInfoW(MonitorFromWindow(Owner ? Owner : AWindow, MONITOR_DEFAULTTOPRIMARY), &M))
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &M.rcWork, 0);
  CenterIn(AWindow, M.rcWork);
}

}  // namespace vok
