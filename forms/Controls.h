// What the dialogs do with their controls: lists filled from (text, code) rows with each code
// in its row's item data and read back from there, list heights fitted to their rows, and the
// two ways the dialogs are centred.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lookup/CodeList.h"

namespace vok {

// Replaces the rows of list box AList with the texts of ARows, each row carrying its code in
// its item data. No row is selected afterwards.
void SetListRows(HWND AList, const std::vector<TCodeRow> &ARows);
// Appends a row of text to list box AList (a combo box with ACombo); returns its position.
int AddListRow(HWND AList, std::string_view AText, bool ACombo = false);
// Replaces the rows of AList with ATexts, in order.
void SetListTexts(HWND AList, const std::vector<std::string> &ATexts, bool ACombo = false);

// The selected row of list box AList, or -1.
int SelectedRow(HWND AList);
// The code in the item data of row ARow of list box AList.
int32_t RowCode(HWND AList, int ARow);
// Row ARow of a list box (ACombo: of a combo box) in the ANSI code page; empty when there is
// none.
std::string ItemText(HWND AList, WPARAM ARow, bool ACombo = false);

// The outer height of list box AList that shows ARows rows exactly, without a scroll bar; 0
// for no rows.
int ListHeightForRows(HWND AList, int ARows);

// Moves AWindow, without sizing or activating it, to the centre of the primary screen.
void CenterOnScreen(HWND AWindow);
// Moves AWindow to the centre of the work area of its owner's monitor (its own without one).
void CenterOnWorkArea(HWND AWindow);

}  // namespace vok
