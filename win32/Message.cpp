#include "win32/Message.h"

namespace vok {

void ShowMessage(HWND AOwner, const std::string &AText, const char *ACaption, TModality AModality) {
  if (AOwner && !IsWindow(AOwner)) AOwner = nullptr;
  MessageBoxA(AOwner, AText.c_str(), ACaption, MB_OK | static_cast<UINT>(AModality));
}

}  // namespace vok
