// The search dialog (unit Search): finds the items of the selection dialog's dictionary whose
// text holds a pattern, on every level, and puts the selection dialog on the match taken. One
// instance lives from OpenVokList to CloseVokList; F3 in the selection dialog shows it.
#pragma once

#include <windows.h>

#include <string>

#include "forms/Form.h"
#include "lookup/CodeList.h"

namespace vok {

class TVokForm;

class TSearchForm : public TForm {
 public:
  // Creates the hidden window for the selection dialog AVokForm, which outlives it.
  explicit TSearchForm(TVokForm &AVokForm);
  ~TSearchForm() override;

  // The history of patterns, newest first, at most this many.
  static constexpr int MaxHistory = 24;

 private:
  bool PreviewMessage(const MSG &AMsg) override;
  LRESULT WndProc(UINT AMsg, WPARAM AWParam, LPARAM ALParam) override;
  bool OnCommand(int AId, int ANotify) override;
  // Starts afresh when the selection dialog shows another dictionary than last time; centres
  // the dialog, the focus in the pattern.
  void BeforeShow() override;
  void FormKeyDown(WPARAM AKey);
  // Searches for APattern (the field's text, in the ANSI code page) unless it is the pattern
  // shown already, ignoring case.
  void TextToFindCmbClick(const std::string &APattern);
  void TextToFindCmbKeyDown(WPARAM AKey);
  // A history entry chosen: searches for it.
  void TextToFindCmbSelect();
  void StringsLbxEnter();
  void WasFoundLbxClick();
  void WasFoundLbxDblClick();
  void WasFoundLbxKeyDown(WPARAM AKey);
  // Puts APattern first in the history unless it is empty or an equal entry (ignoring case) is there.
  void Remember(const std::string &APattern);
  // Places the controls: the pattern panel on top, the matches above the path.
  void AlignControls();

  HWND TextToFindCmb() const { return Control(TextToFindCmbId); }
  HWND WasFoundLbx() const { return Control(WasFoundLbxId); }
  HWND StringsLbx() const { return Control(StringsLbxId); }
  int SelectedMatch() const;

  static constexpr int Label1Id = 201;
  static constexpr int TextToFindCmbId = 202;
  static constexpr int WasFoundLbxId = 203;
  static constexpr int StringsLbxId = 204;

  TVokForm &fVokForm;
  std::string fText;  // the pattern whose matches are shown
  TCodeList WasFoundList{true, TDuplicates::Accept};
  std::string OldLookupName;  // the dictionary the matches belong to
  int fStringsHeight = 0;     // outer height of StringsLbx
};

}  // namespace vok
