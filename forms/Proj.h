// The coordinate system chooser: a modal dialog that offers the groups of a projection file
// and the entries of the chosen group, and gives back the chosen entry's MapBasic CoordSys
// clause. The export GetPrjString creates it, runs it and destroys it within one call.
#pragma once

#include <string>

#include "forms/Form.h"

namespace vok {

class TProjForm : public TForm {
 public:
  // Creates the window hidden, lists empty.
  TProjForm();

  // Fills the group list from the file APrjPath and loads the entries of its first group.
  // Returns 0 when the whole file was read, -1 when it could not be opened, or the number of
  // the line that could not be read (the groups before it stay, none selected, no entries).
  int LoadPrjGroups(const std::string &APrjPath);
  // Reads the entries of the selected group from the file again; nothing without a selection.
  void LoadPrjNames();
  // The selected entry's name, its CoordSys clause and its unit texts; all empty when no
  // entry is selected. Throws EConvertError for numbers that cannot be used.
  void GetCoordSys(std::string &ACoordSysName, std::string &ACoordSysStr, std::string &AUnitStr, std::string &AUnitName,
                   std::string &AUnitName2) const;

  const std::string &PrjPath() const { return fPrjPath; }

 private:
  bool PreviewMessage(const MSG &AMsg) override;
  LRESULT WndProc(UINT AMsg, WPARAM AWParam, LPARAM ALParam) override;
  bool OnCommand(int AId, int ANotify) override;
  // Centres the dialog on the screen, the focus in the group list.
  void BeforeShow() override;
  // Closes with OK: the entry selected at that moment is the one taken.
  void PrjNameLbxDblClick();
  void Button1Click();
  void Button2Click();
  // True when the key was handled (Escape closes with cancel).
  bool FormKeyDown(WPARAM AKey);
  // Moves the focus along the tab order; true when it moved.
  bool TabToNext(bool ABackwards);

  HWND PrjGroupCmb() const;
  HWND PrjNameLbx() const;
  HWND PrjParamLbx() const;
  HWND Button1() const;
  HWND Button2() const;

  std::string fPrjPath;
  HWND fFocused = nullptr;  // the control that had the focus when the form was last deactivated
};

}  // namespace vok
