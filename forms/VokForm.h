// The selection dialog (unit Forma): a modal window in which the user walks down the levels of
// one dictionary and picks an item. VokListBox shows the current level, StringsLbx the path
// above it. One instance lives from OpenVokList to CloseVokList and serves every call of the
// GetVokValue exports.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string_view>

#include "forms/Form.h"
#include "lookup/CodeList.h"

namespace vok {

class TLookup;

// The modifier keys held with a key or a click.
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
using TShiftState = unsigned;

class TVokForm : public TForm {
 public:
  // Creates the hidden window and its controls; throws when Windows refuses one of them.
  TVokForm();
  ~TVokForm() override;

  // On entry the item to start at; while the dialog runs the row last acted on; after OK the
  // chosen code.
  int32_t ItemId() const { return fItemId; }
  void SetItemId(int32_t Value) { fItemId = Value; }
  // 0: no upper bound; above 0: going up from level StartGroup - 1 (0-based) is refused.
  int32_t StartGroup() const { return fStartGroup; }
  void SetStartGroup(int32_t Value) { fStartGroup = Value; }
  // 0: no lower bound; above 0: a row chosen on level EndGroup - 1 ends the dialog.
  int32_t EndGroup() const { return fEndGroup; }
  void SetEndGroup(int32_t Value) { fEndGroup = Value; }

  // The dictionary shown (not owned), or null when the dialog has none.
  TLookup *Lookup() const { return fLookup; }
  // Prepares the dialog for Value and the start item ItemId: its level, its path and its
  // siblings with the item selected; with StartGroup above 0 the item becomes the root and the
  // dialog opens on its children. Never ends the dialog, so it may run while it is shown.
  void SetLookup(TLookup *Value);

  // F3: the search dialog puts itself here; without it, and without a dictionary, F3 does
  // nothing.
  std::function<void()> OnOpenSearch;
  void OpenSearch();

 private:
  bool PreviewMessage(const MSG &AMsg) override;
  LRESULT WndProc(UINT AMsg, WPARAM AWParam, LPARAM ALParam) override;
  bool OnCommand(int AId, int ANotify) override;
  // Centres the first showing on the work area.
  void BeforeShow() override;
  void FormKeyDown(WPARAM AKey, TShiftState AShift);
  void VokListBoxDblClick();
  void StringsLbxEnter();

  // Fills fGroupList and VokListBox with the items of level ALevel under AFilterItem's path;
  // no row is selected afterwards.
  void FillGroup(int ALevel, int32_t AFilterItem);
  void GroupDown();
  void GroupUp();
  // Takes the selected row without descending (Ctrl with Enter or a double-click).
  void ChooseSelected();
  // Opens the selected row's children; false when the dialog should end with it instead (or
  // when nothing is selected: then fItemId is unchanged).
  bool Descend();
  void FitStringsLbx();
  // Places VokListBox and StringsLbx in the client area.
  void AlignControls();
  void FlashCaption();

  HWND VokListBox() const { return Control(VokListBoxId); }
  HWND StringsLbx() const { return Control(StringsLbxId); }
  int SelectedRow() const;
  void SelectRow(int ARow);
  // Row of the first real item (code not -1) of the current level, or -1.
  int FirstItemRow() const;
  bool IsUndefinedRow(int ARow) const;

  static constexpr int VokListBoxId = 101;
  static constexpr int StringsLbxId = 102;

  TCodeList fGroupList{true, TDuplicates::Ignore};
  TLookup *fLookup = nullptr;
  int32_t fGroupId = 0;
  int32_t fItemId = 0;
  int32_t fStartGroup = 0;
  int32_t fEndGroup = 0;
  int fStringsHeight = 0;  // outer height of StringsLbx
  bool fPlaced = false;    // centred once; later showings keep the user's size and position
};

// What the GetVokValue exports need of the library that assembles the dialogs: its selection
// dialog while it is open (not owned), and the lookup of a registered dictionary by name. The
// library fills it at OpenVokList and empties it at CloseVokList.
struct TSelectionHost {
  TVokForm *VokForm = nullptr;
  TLookup *(*FindVok)(std::string_view AVokName) = nullptr;
};
TSelectionHost &SelectionHost();

// The routine behind the three GetVokValue exports: prepares the library's selection dialog
// on the dictionary AVokName and shows it. Returns the chosen code after OK, else 0 (also
// when the library is closed or the name is not registered; nothing is shown then).
int32_t SelectValue(const char *ACaption, const char *AVokName, int32_t AItemId, int32_t AEndGroup,
                    int32_t AStartGroup);

}  // namespace vok
