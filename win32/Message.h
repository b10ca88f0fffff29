// The library's message boxes.
#pragma once

#include <windows.h>

#include <string>

namespace vok {

// How a message box keeps the user: only from its owner (the default), from every window of the
// thread, or from every window of the system.
enum class TModality : UINT { Owner = 0, Task = MB_TASKMODAL, System = MB_SYSTEMMODAL };

// Shows AText under ACaption with an OK button and waits for it. Both are Unicode, each part
// converted from its own code page by the caller (FromCyrillic, AnsiToWide). AOwner owns the
// box; a handle that is no longer a window is replaced by none, since the box would not show.
void ShowMessage(HWND AOwner, const std::wstring &AText, const std::wstring &ACaption,
                 TModality AModality = TModality::Owner);

}  // namespace vok
