#include "forms/SearchForm.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "forms/VokForm.h"
#include "lookup/Lookup.h"
#include "lookup/TextOps.h"
#include "win32/Handles.h"

namespace vok {

namespace {

// The form resource, designed at 120 pixels per inch. The pattern panel (Panel2) is the top
// PatternPanelHeight of the client area; the result panel (Panel1) is the rest, the matches
// above the path list docked at its bottom.
constexpr TFormSpec Form = {WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW, 544, 392, L"Tahoma", 14};
constexpr int PatternPanelHeight = 53;
constexpr int RowHeight = 17;
constexpr int StringsLbxHeight = 28;
constexpr int HistoryDropHeight = 12 * RowHeight;

const char *const SearchCaption = "\xCF\xEE\xE8\xF1\xEA";          // Поиск
const char *const PatternLabel = "\xCE\xE1\xF0\xE0\xE7\xE5\xF6:";  // Образец:

constexpr DWORD ListStyle = WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;

std::string WindowText(HWND AWnd) {
  std::wstring W(static_cast<std::size_t>(GetWindowTextLengthW(AWnd)) + 1, L'\0');
  W.resize(static_cast<std::size_t>(GetWindowTextW(AWnd, W.data(), static_cast<int>(W.size()))));
  return WideToAnsi(W);
}

}  // namespace

TSearchForm::TSearchForm(TVokForm &AVokForm) : fVokForm(AVokForm) {
  const int Panel1Height = Form.ClientHeight - PatternPanelHeight;
  static const TControlSpec Layout[] = {
      {L"STATIC", WS_VISIBLE | SS_LEFT, 0, 28, 17, 58, 16, Label1Id, nullptr},
      {L"COMBOBOX", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0, 101, 14, 337,
       25 + HistoryDropHeight, TextToFindCmbId, nullptr},
      {L"LISTBOX", ListStyle | WS_TABSTOP, WS_EX_CLIENTEDGE, 0, PatternPanelHeight, Form.ClientWidth,
       Panel1Height - StringsLbxHeight, WasFoundLbxId, nullptr},
      {L"LISTBOX", ListStyle | LBS_NOSEL, WS_EX_CLIENTEDGE, 0, Form.ClientHeight - StringsLbxHeight, Form.ClientWidth,
       StringsLbxHeight, StringsLbxId, nullptr},
  };
  CreateForm(Form, Layout);
  SetWindowTextW(Handle(), FromCyrillic(SearchCaption).c_str());
  SetWindowTextW(Control(Label1Id), FromCyrillic(PatternLabel).c_str());
  for (HWND List : {WasFoundLbx(), StringsLbx()}) SendMessageW(List, LB_SETITEMHEIGHT, 0, Scale(RowHeight));
  fStringsHeight = Scale(StringsLbxHeight);
  AlignControls();
}

TSearchForm::~TSearchForm() {
  DestroyHandle();
  WasFoundList.Clear();
}

void TSearchForm::BeforeShow() {
  const TLookup *Lookup = fVokForm.Lookup();
  const std::string Name = Lookup ? Lookup->VokName() : std::string();
  if (Name != OldLookupName) {
    // Another dictionary: its matches are not these, and the last pattern is searched anew.
    OldLookupName = Name;
    fText.clear();
    WasFoundList.Clear();
    SendMessageW(WasFoundLbx(), LB_RESETCONTENT, 0, 0);
    SendMessageW(StringsLbx(), LB_RESETCONTENT, 0, 0);
    fStringsHeight = ListHeightForRows(StringsLbx(), Lookup ? Lookup->GroupCount() - 1 : 0);
    AlignControls();
  }
  CenterOnScreen(Handle());
  SetFocus(TextToFindCmb());
}

void TSearchForm::AlignControls() {
  RECT C;
  GetClientRect(Handle(), &C);
  const int Top = Scale(PatternPanelHeight);
  const int Strings = std::min<int>(fStringsHeight, std::max<int>(C.bottom - Top, 0));
  constexpr UINT Flags = SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(StringsLbx(), nullptr, 0, C.bottom - Strings, C.right, Strings, Flags);
  SetWindowPos(WasFoundLbx(), nullptr, 0, Top, C.right, std::max<int>(C.bottom - Strings - Top, 0), Flags);
}

void TSearchForm::Remember(const std::string &APattern) {
  if (APattern.empty()) return;  // searched, finding nothing, but no entry of the history
  const LRESULT Count = SendMessageW(TextToFindCmb(), CB_GETCOUNT, 0, 0);
  for (LRESULT I = 0; I < Count; ++I)
    if (SameText(ItemText(TextToFindCmb(), static_cast<WPARAM>(I), true), APattern)) return;
  if (Count >= MaxHistory) SendMessageW(TextToFindCmb(), CB_DELETESTRING, static_cast<WPARAM>(Count - 1), 0);
  SendMessageW(TextToFindCmb(), CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(AnsiToWide(APattern).c_str()));
}

void TSearchForm::TextToFindCmbClick(const std::string &APattern) {
  SetFocus(WasFoundLbx());
  const TLookup *Lookup = fVokForm.Lookup();
  if (!Lookup || SameText(APattern, fText)) return;
  WasFoundList.Clear();
  SendMessageW(WasFoundLbx(), LB_RESETCONTENT, 0, 0);
  fText = ShortStr(APattern);
  Remember(fText);
  TWaitCursor Wait;
  // The matches in the order found, then sorted; equal texts come out in the reverse of the
  // order of finding, as if each had been put before its equals.
  std::vector<TCodeRow> Found;
  const TUpperMatcher Pattern(fText);
  if (!Pattern.Empty()) {
    for (int Level = 0; Level < Lookup->GroupCount(); ++Level) {
      const int Count = Lookup->GetLevelItemCount(Level);
      for (int I = 0; I < Count; ++I) {
        const std::string_view Text = Lookup->LevelItemText(Level, I);
        if (Pattern.Matches(Text)) Found.push_back({std::string(Text), Lookup->LevelItemCode(Level, I)});
      }
    }
  }
  std::reverse(Found.begin(), Found.end());
  std::stable_sort(Found.begin(), Found.end(),
                   [](const TCodeRow &A, const TCodeRow &B) { return CompareText(A.Text, B.Text) < 0; });
  WasFoundList.Assign(std::move(Found));
  SetListRows(WasFoundLbx(), WasFoundList.Rows());
  if (!WasFoundList.Empty()) SendMessageW(WasFoundLbx(), LB_SETCURSEL, 0, 0);
  WasFoundLbxClick();
}

void TSearchForm::TextToFindCmbKeyDown(WPARAM AKey) {
  if (AKey == VK_RETURN) TextToFindCmbClick(WindowText(TextToFindCmb()));
}

int TSearchForm::SelectedMatch() const {
  const int Row = SelectedRow(WasFoundLbx());
  return Row >= 0 && Row < WasFoundList.Count() ? Row : -1;
}

void TSearchForm::WasFoundLbxClick() {
  SendMessageW(StringsLbx(), LB_RESETCONTENT, 0, 0);
  const int Row = SelectedMatch();
  const TLookup *Lookup = fVokForm.Lookup();
  if (Row < 0 || !Lookup) return;
  std::vector<std::string> Path;
  Lookup->GetPrevGroups(RowCode(WasFoundLbx(), Row), Path);
  SetListTexts(StringsLbx(), Path);
}

void TSearchForm::WasFoundLbxDblClick() {
  const int Row = SelectedMatch();
  if (Row < 0 || !fVokForm.Lookup()) return;
  fVokForm.SetItemId(RowCode(WasFoundLbx(), Row));
  fVokForm.SetLookup(fVokForm.Lookup());
  SetModalResult(mrOk);
}

void TSearchForm::WasFoundLbxKeyDown(WPARAM AKey) {
  if (AKey == VK_RETURN) WasFoundLbxDblClick();
}

void TSearchForm::FormKeyDown(WPARAM AKey) {
  if (AKey == VK_ESCAPE) SetModalResult(mrCancel);
}

bool TSearchForm::PreviewMessage(const MSG &AMsg) {
  if (AMsg.message != WM_KEYDOWN) return false;
  HWND Combo = TextToFindCmb();
  const bool InPattern = AMsg.hwnd == Combo || IsChild(Combo, AMsg.hwnd);
  if (AMsg.wParam == VK_ESCAPE) {
    // With the history open, Esc is the drop-down's own: it only closes it.
    if (SendMessageW(Combo, CB_GETDROPPEDSTATE, 0, 0)) return false;
    FormKeyDown(AMsg.wParam);
    return true;
  }
  if (AMsg.wParam == VK_RETURN && InPattern) {
    if (SendMessageW(Combo, CB_GETDROPPEDSTATE, 0, 0)) SendMessageW(Combo, CB_SHOWDROPDOWN, FALSE, 0);
    TextToFindCmbKeyDown(AMsg.wParam);
    return true;
  }
  if (AMsg.wParam == VK_RETURN && AMsg.hwnd == WasFoundLbx()) {
    WasFoundLbxKeyDown(AMsg.wParam);
    return true;
  }
  if (AMsg.wParam == VK_TAB) {
    // No dialog manager runs this form: Tab moves between the pattern and the matches.
    SetFocus(InPattern ? WasFoundLbx() : Combo);
    return true;
  }
  return false;
}

bool TSearchForm::OnCommand(int AId, int ANotify) {
  static const TCommandRoute<TSearchForm> Routes[] = {
      {TextToFindCmbId, CBN_SELCHANGE, &TSearchForm::TextToFindCmbSelect},
      {WasFoundLbxId, LBN_SELCHANGE, &TSearchForm::WasFoundLbxClick},
      {WasFoundLbxId, LBN_DBLCLK, &TSearchForm::WasFoundLbxDblClick},
      {StringsLbxId, LBN_SETFOCUS, &TSearchForm::StringsLbxEnter}};
  return RouteCommand(*this, Routes, AId, ANotify);
}

void TSearchForm::TextToFindCmbSelect() {
  const LRESULT Sel = SendMessageW(TextToFindCmb(), CB_GETCURSEL, 0, 0);
  if (Sel >= 0) TextToFindCmbClick(ItemText(TextToFindCmb(), static_cast<WPARAM>(Sel), true));
}

// The path is for reading: the keyboard stays with the matches.
void TSearchForm::StringsLbxEnter() { SetFocus(WasFoundLbx()); }

LRESULT TSearchForm::WndProc(UINT AMsg, WPARAM AWParam, LPARAM ALParam) {
  switch (AMsg) {
    case WM_CTLCOLORSTATIC:
      // The label stands on the face colour of the form.
      SetBkMode(reinterpret_cast<HDC>(AWParam), TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  return TForm::WndProc(AMsg, AWParam, ALParam);
}

}  // namespace vok
