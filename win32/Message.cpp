#include "win32/Message.h"

namespace vok {

void ShowMessage(HWND AOwner, const std::wstring &AText, const std::wstring &ACaption, TModality AModality) {
  if (AOwner && !IsWindow(AOwner)) AOwner = nullptr;
  MessageBoxW(AOwner, AText.c_str(), ACaption.c_str(), MB_OK | static_cast<UINT>(AModality));
}

}  // namespace vok
