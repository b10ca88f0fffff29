#include "win32/Windows.h"

namespace vok {

namespace {
BOOL CALLBACK Visit(HWND AWnd, LPARAM AVisit) {
  try {
    return (*reinterpret_cast<const std::function<bool(HWND)> *>(AVisit))(AWnd) ? TRUE : FALSE;
  } catch (...) {
    return FALSE;
  }
}
}  // namespace

void ForEachTopWindow(const std::function<bool(HWND)> &AVisit) {
  EnumWindows(Visit, reinterpret_cast<LPARAM>(&AVisit));
}

void ForEachThreadWindow(DWORD AThread, const std::function<bool(HWND)> &AVisit) {
  EnumThreadWindows(AThread, Visit, reinterpret_cast<LPARAM>(&AVisit));
}

}  // namespace vok
