// Walks over windows with a function instead of a callback of each caller's own.
#pragma once

#include <windows.h>

#include <functional>

namespace vok {

// Calls AVisit for every top-level window, in the system's order, until it returns false. An
// exception thrown inside AVisit ends the walk there and goes no further.
void ForEachTopWindow(const std::function<bool(HWND)> &AVisit);

// The same for the top-level windows of the thread AThread.
void ForEachThreadWindow(DWORD AThread, const std::function<bool(HWND)> &AVisit);

}  // namespace vok
