#include "forms/VokForm.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "lookup/Lookup.h"
#include "lookup/TextOps.h"
#include "win32/ExportGuard.h"

namespace vok {

namespace {

// The form resource, designed at 120 pixels per inch.
constexpr TFormSpec Form = {
    WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW, 532, 380, L"Tahoma", 14};
constexpr int FormMinClientWidth = 160;
constexpr int FormMinClientHeight = 120;
constexpr int RowHeight = 17;
constexpr int StringsLbxHeight = 52;

constexpr DWORD ListStyle = WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;

// " (F3 - поиск)", appended to every caption.
const char *const SearchHint = " (F3 - \xEF\xEE\xE8\xF1\xEA)";

TShiftState KeyboardShift() {
  TShiftState S = 0;
  if (GetKeyState(VK_SHIFT) < 0) S |= ssShift;
  if (GetKeyState(VK_MENU) < 0) S |= ssAlt;
  if (GetKeyState(VK_CONTROL) < 0) S |= ssCtrl;
  return S;
}

}  // namespace

TVokForm::TVokForm() {
  // The list boxes take no LBS_SORT: their rows come sorted from fGroupList and the path.
  static const TControlSpec Layout[] = {
      {L"LISTBOX", ListStyle | WS_TABSTOP, WS_EX_CLIENTEDGE, 0, 0, Form.ClientWidth,
       Form.ClientHeight - StringsLbxHeight, VokListBoxId, nullptr},
      {L"LISTBOX", ListStyle | LBS_NOSEL, WS_EX_CLIENTEDGE, 0, Form.ClientHeight - StringsLbxHeight, Form.ClientWidth,
       StringsLbxHeight, StringsLbxId, nullptr},
  };
  CreateForm(Form, Layout);
  for (HWND List : {VokListBox(), StringsLbx()}) SendMessageW(List, LB_SETITEMHEIGHT, 0, Scale(RowHeight));
  fStringsHeight = Scale(StringsLbxHeight);
  AlignControls();
}

TVokForm::~TVokForm() {
  // The window goes first, while this object can still answer its last messages.
  DestroyHandle();
  fGroupList.Clear();
  fLookup = nullptr;
}

void TVokForm::SetLookup(TLookup *Value) {
  fLookup = nullptr;
  if (!Value || Value->GroupCount() == 0) {
    // No dictionary: no rows of an earlier call stay behind to be acted on.
    fGroupList.Clear();
    SendMessageW(VokListBox(), LB_RESETCONTENT, 0, 0);
    SendMessageW(StringsLbx(), LB_RESETCONTENT, 0, 0);
    FitStringsLbx();
    return;
  }
  fLookup = Value;
  if (fLookup->ItemExists(fItemId)) {
    fGroupId = fLookup->GetGroupId(fItemId);
    if (fEndGroup > 0 && fEndGroup < fGroupId + 1) fEndGroup = 0;
    std::vector<std::string> Path;
    fLookup->GetPrevGroups(fItemId, Path);
    SetListTexts(StringsLbx(), Path);
    FitStringsLbx();
    FillGroup(fGroupId, fItemId);
    // The row of the item's text; a text beyond 255 characters is cut by GetItemText and
    // matches no row, so the row carrying the item's code is taken then.
    const std::string Text = fLookup->GetItemText(fItemId);
    int Row = -1;
    for (int I = 0; I < fGroupList.Count() && Row < 0; ++I)
      if (SameText(fGroupList[I].Text, Text)) Row = I;
    for (int I = 0; I < fGroupList.Count() && Row < 0; ++I)
      if (RowCode(VokListBox(), I) == fItemId) Row = I;
    SelectRow(Row);
    if (fStartGroup > 0) {
      // The start item is the root: the dialog opens on its children. An item with none (or
      // on the last level, or on the lower bound) stays selected on its own level.
      fStartGroup = fGroupId + 2;
      if (SelectedRow() >= 0) Descend();
    }
  } else {
    fGroupId = 0;
    fItemId = 0;
    SendMessageW(StringsLbx(), LB_RESETCONTENT, 0, 0);
    FitStringsLbx();
    FillGroup(0, 0);
    SelectRow(0);
  }
}

void TVokForm::FillGroup(int ALevel, int32_t AFilterItem) {
  fLookup->LoadGroup(ALevel, AFilterItem, fGroupList);
  SetListRows(VokListBox(), fGroupList.Rows());
}

bool TVokForm::Descend() {
  const int Row = SelectedRow();
  fItemId = RowCode(VokListBox(), Row);
  if (IsUndefinedRow(Row)) return false;
  if (fGroupId >= fLookup->GroupCount() - 1) return false;
  if (fEndGroup > 0 && fEndGroup == fGroupId + 1) return false;
  FillGroup(fGroupId + 1, fItemId);
  if (fGroupList.Empty()) {
    // No children: the item is chosen; the list shows its level again with it selected.
    FillGroup(fGroupId, fItemId);
    for (int I = 0; I < fGroupList.Count(); ++I)
      if (RowCode(VokListBox(), I) == fItemId) SelectRow(I);
    return false;
  }
  ++fGroupId;
  SelectRow(0);
  AddListRow(StringsLbx(), fLookup->ItemTextView(fItemId));
  FitStringsLbx();
  return true;
}

void TVokForm::GroupDown() {
  if (!fLookup || SelectedRow() < 0) return;
  if (!Descend()) SetModalResult(mrOk);
}

void TVokForm::GroupUp() {
  if (!fLookup) return;
  int Row = SelectedRow();
  // The undefined-value row carries no path: any real item of the level does.
  if (Row >= 0 && IsUndefinedRow(Row)) Row = FirstItemRow();
  if (Row < 0) return;
  fItemId = RowCode(VokListBox(), Row);
  if (fGroupId == 0 || (fStartGroup > 0 && fStartGroup == fGroupId + 1)) {
    FlashCaption();
    return;
  }
  --fGroupId;
  FillGroup(fGroupId, fItemId);
  SelectRow(0);
  const LRESULT Count = SendMessageW(StringsLbx(), LB_GETCOUNT, 0, 0);
  if (Count > 0) SendMessageW(StringsLbx(), LB_DELETESTRING, static_cast<WPARAM>(Count - 1), 0);
  FitStringsLbx();
}

void TVokForm::ChooseSelected() {
  const int Row = SelectedRow();
  if (!fLookup || Row < 0) return;
  fItemId = RowCode(VokListBox(), Row);
  SetModalResult(mrOk);
}

void TVokForm::OpenSearch() {
  if (fLookup && OnOpenSearch) OnOpenSearch();
}

void TVokForm::FlashCaption() {
  for (int I = 0; I < 4; ++I) {
    FlashWindow(Handle(), TRUE);
    Sleep(80);
  }
}

void TVokForm::FitStringsLbx() {
  fStringsHeight = ListHeightForRows(StringsLbx(), static_cast<int>(SendMessageW(StringsLbx(), LB_GETCOUNT, 0, 0)));
  AlignControls();
}

void TVokForm::AlignControls() {
  RECT C;
  GetClientRect(Handle(), &C);
  const int Strings = std::min<int>(fStringsHeight, C.bottom);
  constexpr UINT Flags = SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(StringsLbx(), nullptr, 0, C.bottom - Strings, C.right, Strings, Flags);
  SetWindowPos(VokListBox(), nullptr, 0, 0, C.right, C.bottom - Strings, Flags);
}

int TVokForm::SelectedRow() const {
  const int Row = vok::SelectedRow(VokListBox());
  return Row >= 0 && Row < fGroupList.Count() ? Row : -1;
}

void TVokForm::SelectRow(int ARow) { SendMessageW(VokListBox(), LB_SETCURSEL, static_cast<WPARAM>(ARow), 0); }

int TVokForm::FirstItemRow() const {
  for (int I = 0; I < fGroupList.Count(); ++I)
    if (!IsUndefinedRow(I)) return I;
  return -1;
}

// The row "(Значение не определено)" is known by its code: a real item whose text sorts
// before it may stand at row 0.
bool TVokForm::IsUndefinedRow(int ARow) const { return RowCode(VokListBox(), ARow) == UndefinedValueCode; }

void TVokForm::FormKeyDown(WPARAM AKey, TShiftState AShift) {
  switch (AKey) {
    case VK_RETURN:
      if (AShift == ssCtrl)
        ChooseSelected();
      else
        GroupDown();
      break;
    case VK_BACK:
      GroupUp();
      break;
    case VK_ESCAPE:
      SetModalResult(mrCancel);
      break;
    case VK_F3:
      OpenSearch();
      break;
  }
}

void TVokForm::VokListBoxDblClick() {
  if (GetKeyState(VK_CONTROL) < 0)
    ChooseSelected();
  else
    GroupDown();
}

void TVokForm::BeforeShow() {
  if (fPlaced) return;
  CenterOnWorkArea(Handle());
  fPlaced = true;
}

bool TVokForm::OnCommand(int AId, int ANotify) {
  static const TCommandRoute<TVokForm> Routes[] = {{VokListBoxId, LBN_DBLCLK, &TVokForm::VokListBoxDblClick},
                                                   {StringsLbxId, LBN_SETFOCUS, &TVokForm::StringsLbxEnter}};
  return RouteCommand(*this, Routes, AId, ANotify);
}

// The path is for reading: the keyboard stays with the level list.
void TVokForm::StringsLbxEnter() { SetFocus(VokListBox()); }

LRESULT TVokForm::WndProc(UINT AMsg, WPARAM AWParam, LPARAM ALParam) {
  switch (AMsg) {
    case WM_SETFOCUS:
      SetFocus(VokListBox());
      return 0;
    case WM_SIZE:
      AlignControls();
      return 0;
    case WM_GETMINMAXINFO: {
      RECT R{0, 0, Scale(FormMinClientWidth), Scale(FormMinClientHeight)};
      AdjustWindowRectEx(&R, Form.Style, FALSE, Form.ExStyle);
      auto *Info = reinterpret_cast<MINMAXINFO *>(ALParam);
      Info->ptMinTrackSize = {R.right - R.left, R.bottom - R.top};
      return 0;
    }
  }
  return TForm::WndProc(AMsg, AWParam, ALParam);
}

// Keys and the right button stay unconsumed: the list box has no use for Enter, Backspace, Esc
// or F3, and it still sees the click. The right button on the level list goes up; the form's own
// loop shows it here, since a subclass of the list would cost every message of the list a detour.
bool TVokForm::PreviewMessage(const MSG &AMsg) {
  if (AMsg.message == WM_KEYDOWN || AMsg.message == WM_SYSKEYDOWN)
    FormKeyDown(AMsg.wParam, KeyboardShift());
  else if (AMsg.hwnd == VokListBox() && (AMsg.message == WM_RBUTTONDOWN || AMsg.message == WM_RBUTTONDBLCLK))
    GroupUp();
  return false;
}

TSelectionHost &SelectionHost() {
  static TSelectionHost Host;
  return Host;
}

int32_t SelectValue(const char *ACaption, const char *AVokName, int32_t AItemId, int32_t AEndGroup,
                    int32_t AStartGroup) {
  const TSelectionHost &Host = SelectionHost();
  TVokForm *Form = Host.VokForm;
  if (!Form || !Form->Handle() || !Host.FindVok) return 0;
  TLookup *Lookup = Host.FindVok(Arg(AVokName));
  if (!Lookup) return 0;
  if (IsWindowVisible(Form->Handle())) return 0;  // already running: one dialog at a time
  Form->SetItemId(AItemId);
  Form->SetStartGroup(AStartGroup);
  Form->SetEndGroup(AEndGroup);
  Form->SetLookup(Lookup);
  // The host's caption is in the ANSI code page, the hint is the library's own Windows-1251 text.
  Form->SetCaption(AnsiToWide(Arg(ACaption)) + FromCyrillic(SearchHint));
  return Form->ShowModal() == mrOk ? Form->ItemId() : 0;
}

}  // namespace vok

using namespace vok;

VOK_EXPORT int32_t GetVokValue(const char *ACaption, const char *AVokName, int32_t AItemId) {
  return Guarded(0, [&] { return SelectValue(ACaption, AVokName, AItemId, 0, 0); });
}

VOK_EXPORT int32_t GetVokValueEx(const char *ACaption, const char *AVokName, int32_t AEndGroup) {
  return Guarded(0, [&] { return SelectValue(ACaption, AVokName, 0, AEndGroup, 0); });
}

VOK_EXPORT int32_t GetVokValueSt(const char *ACaption, const char *AVokName, int32_t AItemId, int32_t AEndGroup) {
  return Guarded(0, [&] { return SelectValue(ACaption, AVokName, AItemId, AEndGroup, 1); });
}
