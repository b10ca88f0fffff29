#include "forms/Proj.h"

#include <cstdint>
#include <iterator>
#include <vector>

#include "forms/ProjData.h"
#include "win32/ExportGuard.h"

namespace vok {

namespace {

enum : int { idPrjGroupCmb = 101, idPrjNameLbx, idPrjParamLbx, idButton1, idButton2 };

// The caption and the cancel button's text, Windows-1251.
const char Caption[] = "\xC2\xFB\xE1\xE5\xF0\xE8\xF2\xE5 \xEF\xF0\xEE\xE5\xEA\xF6\xE8\xFE";  // Выберите проекцию
const char CancelText[] = "\xCE\xF2\xEC\xE5\xED\xE0";                                        // Отмена

constexpr TFormSpec Form = {WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                            WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE,
                            394,
                            309,
                            L"MS Sans Serif",
                            14};
constexpr int DropDownCount = 8;
// The room the host offers for the name and for the clause, the zero byte included.
constexpr std::size_t PrjBufferSize = 1024;

// Designed at 120 dpi. The hidden parameter list lies under the entry list.
const TControlSpec Layout[] = {
    {L"COMBOBOX", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 11, 15, 369, 21, idPrjGroupCmb, nullptr},
    {L"LISTBOX", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE, 11, 44,
     369, 214, idPrjNameLbx, nullptr},
    {L"LISTBOX", LBS_NOINTEGRALHEIGHT, 0, 11, 44, 369, 214, idPrjParamLbx, nullptr},
    {L"BUTTON", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 103, 272, 87, 28, idButton1, L"Ok"},
    {L"BUTTON", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 204, 272, 86, 28, idButton2, nullptr},
};

}  // namespace

TProjForm::TProjForm() {
  CreateForm(Form, Layout);
  SetWindowTextW(Handle(), FromCyrillic(Caption).c_str());
  SetWindowTextW(Button2(), FromCyrillic(CancelText).c_str());
  // The closed combo box takes the height its font needs; the height given sets the drop-down list.
  RECT R;
  GetWindowRect(PrjGroupCmb(), &R);
  const int ItemHeight = static_cast<int>(SendMessageW(PrjGroupCmb(), CB_GETITEMHEIGHT, 0, 0));
  SetWindowPos(PrjGroupCmb(), nullptr, 0, 0, R.right - R.left, (R.bottom - R.top) + DropDownCount * ItemHeight + 2,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND TProjForm::PrjGroupCmb() const { return Control(idPrjGroupCmb); }
HWND TProjForm::PrjNameLbx() const { return Control(idPrjNameLbx); }
HWND TProjForm::PrjParamLbx() const { return Control(idPrjParamLbx); }
HWND TProjForm::Button1() const { return Control(idButton1); }
HWND TProjForm::Button2() const { return Control(idButton2); }

int TProjForm::LoadPrjGroups(const std::string &APrjPath) {
  std::vector<std::string> Groups;
  int Result;
  {
    TWaitCursor Wait;
    fPrjPath = APrjPath;
    SendMessageW(PrjGroupCmb(), CB_RESETCONTENT, 0, 0);
    SendMessageW(PrjNameLbx(), LB_RESETCONTENT, 0, 0);
    SendMessageW(PrjParamLbx(), LB_RESETCONTENT, 0, 0);
    Result = vok::LoadPrjGroups(fPrjPath, Groups);
    SetListTexts(PrjGroupCmb(), Groups, true);
  }
  if (Result != prjOk) return Result;
  if (!Groups.empty()) SendMessageW(PrjGroupCmb(), CB_SETCURSEL, 0, 0);
  LoadPrjNames();
  return Result;
}

void TProjForm::LoadPrjNames() {
  const LRESULT Group = SendMessageW(PrjGroupCmb(), CB_GETCURSEL, 0, 0);
  if (Group == CB_ERR) return;
  TWaitCursor Wait;
  const std::string GroupName = ItemText(PrjGroupCmb(), static_cast<WPARAM>(Group), true);
  SendMessageW(PrjNameLbx(), LB_RESETCONTENT, 0, 0);
  SendMessageW(PrjParamLbx(), LB_RESETCONTENT, 0, 0);
  std::vector<std::string> Names, Params;
  const int Result = vok::LoadPrjNames(fPrjPath, GroupName, Names, Params);
  if (Result > 0) SendMessageW(PrjGroupCmb(), CB_RESETCONTENT, 0, 0);  // a failed read leaves nothing to offer
  SetListTexts(PrjNameLbx(), Names);
  SetListTexts(PrjParamLbx(), Params);
  if (!Names.empty()) SendMessageW(PrjNameLbx(), LB_SETCURSEL, 0, 0);
}

void TProjForm::GetCoordSys(std::string &ACoordSysName, std::string &ACoordSysStr, std::string &AUnitStr,
                            std::string &AUnitName, std::string &AUnitName2) const {
  ACoordSysName.clear();
  ACoordSysStr.clear();
  AUnitStr.clear();
  AUnitName.clear();
  AUnitName2.clear();
  const int Entry = SelectedRow(PrjNameLbx());
  if (Entry < 0) return;
  const TCoordSys C = vok::GetCoordSys(ItemText(PrjNameLbx(), static_cast<WPARAM>(Entry)),
                                       ItemText(PrjParamLbx(), static_cast<WPARAM>(Entry)));
  ACoordSysName = C.Name;
  ACoordSysStr = C.Clause;
  AUnitStr = C.UnitStr;
  AUnitName = C.UnitName;
  AUnitName2 = C.UnitName2;
}

void TProjForm::PrjNameLbxDblClick() { SetModalResult(mrOk); }

bool TProjForm::FormKeyDown(WPARAM AKey) {
  if (AKey != VK_ESCAPE) return false;
  SetModalResult(mrCancel);
  return true;
}

bool TProjForm::TabToNext(bool ABackwards) {
  HWND Focus = GetFocus();
  if (Focus && Focus != Handle() && !IsChild(Handle(), Focus)) return false;
  // The focus may sit in a part of a control (a combo box's own children).
  while (Focus && Focus != Handle() && GetParent(Focus) != Handle()) Focus = GetParent(Focus);
  HWND Next = GetNextDlgTabItem(Handle(), Focus == Handle() ? nullptr : Focus, ABackwards);
  if (!Next) return false;
  SetFocus(Next);
  return true;
}

bool TProjForm::PreviewMessage(const MSG &AMsg) {
  if (AMsg.message != WM_KEYDOWN) return false;
  if (FormKeyDown(AMsg.wParam)) return true;
  switch (AMsg.wParam) {
    case VK_TAB:
      if (GetKeyState(VK_CONTROL) < 0) return false;
      return TabToNext(GetKeyState(VK_SHIFT) < 0);
    case VK_RETURN: {
      // Enter presses the button that has the focus, as Space does; elsewhere it does nothing.
      HWND Focus = GetFocus();
      if (Focus != Button1() && Focus != Button2()) return false;
      SendMessageW(Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Focus), BN_CLICKED), reinterpret_cast<LPARAM>(Focus));
      return true;
    }
    default:
      return false;
  }
}

bool TProjForm::OnCommand(int AId, int ANotify) {
  static const TCommandRoute<TProjForm> Routes[] = {{idButton1, BN_CLICKED, &TProjForm::Button1Click},
                                                    {idButton2, BN_CLICKED, &TProjForm::Button2Click},
                                                    {idPrjGroupCmb, CBN_SELCHANGE, &TProjForm::LoadPrjNames},
                                                    {idPrjNameLbx, LBN_DBLCLK, &TProjForm::PrjNameLbxDblClick}};
  return RouteCommand(*this, Routes, AId, ANotify);
}

void TProjForm::Button1Click() { SetModalResult(mrOk); }

void TProjForm::Button2Click() { SetModalResult(mrCancel); }

LRESULT TProjForm::WndProc(UINT AMsg, WPARAM AWParam, LPARAM ALParam) {
  switch (AMsg) {
    case WM_ACTIVATE:
      // Keep the focus in the control that had it, as dialog boxes do.
      if (LOWORD(AWParam) == WA_INACTIVE) {
        HWND Focus = GetFocus();
        if (Focus && IsChild(Handle(), Focus)) fFocused = Focus;
      } else if (!HIWORD(AWParam)) {
        SetFocus(fFocused && IsWindow(fFocused) ? fFocused : PrjGroupCmb());
      }
      return 0;
    case WM_SETFOCUS:
      SetFocus(fFocused && IsWindow(fFocused) ? fFocused : PrjGroupCmb());
      return 0;
  }
  return TForm::WndProc(AMsg, AWParam, ALParam);
}

void TProjForm::BeforeShow() {
  fFocused = PrjGroupCmb();
  CenterOnScreen(Handle());
}

}  // namespace vok

// Lets the user choose a coordinate system from the projection file APrjPath in a dialog owned
// by AHostWnd. On OK the entry's name goes to ANameBuffer and its CoordSys clause to
// ACoordSysBuffer (1024 bytes each); otherwise both stay empty. 65535 when the dialog ran, 0
// after an error, and for an entry whose name or clause would not fit.
VOK_EXPORT int32_t GetPrjString(HWND AHostWnd, const char *APrjPath, char *ANameBuffer, char *ACoordSysBuffer) {
  using namespace vok;
  AHostWnd = HandleArg(AHostWnd);
  ClearBuffer(ANameBuffer);
  ClearBuffer(ACoordSysBuffer);
  return Guarded<int32_t>(0, [&] {
    std::string Name, Clause, UnitStr, UnitName, UnitName2;
    {
      TProjForm Form;
      Form.SetOwner(AHostWnd);
      Form.LoadPrjGroups(std::string(Arg(APrjPath)));
      if (Form.ShowModal() == mrOk) Form.GetCoordSys(Name, Clause, UnitStr, UnitName, UnitName2);
    }
    // The host offers 1024 bytes for each text. An entry whose name or clause does not fit is
    // refused like one whose numbers cannot be used, instead of being written past its buffer.
    if (Name.size() >= PrjBufferSize || Clause.size() >= PrjBufferSize) return 0;
    WriteBuffer(ANameBuffer, Name);
    WriteBuffer(ACoordSysBuffer, Clause);
    return True16;
  });
}
