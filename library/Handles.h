// Owners of Win32 handles: one template for every kind (HKEY, HHOOK, HANDLE, HFONT, HWND,
// find handles). No copying, moving allowed; the handle is released on every path.
#pragma once

#include <windows.h>

#include <utility>

namespace vok {

template <typename T, auto Close, T Invalid = T()>
class TUniqueHandle {
 public:
  TUniqueHandle() = default;
  explicit TUniqueHandle(T AHandle) : fHandle(AHandle) {}
  ~TUniqueHandle() { reset(); }
  TUniqueHandle(const TUniqueHandle &) = delete;
  TUniqueHandle &operator=(const TUniqueHandle &) = delete;
  TUniqueHandle(TUniqueHandle &&AOther) noexcept : fHandle(AOther.release()) {}
  TUniqueHandle &operator=(TUniqueHandle &&AOther) noexcept {
    if (this != &AOther) reset(AOther.release());
    return *this;
  }

  T get() const { return fHandle; }
  T *put() {
    reset();
    return &fHandle;
  }
  explicit operator bool() const { return fHandle != Invalid; }
  // Gives up ownership without closing.
  T release() { return std::exchange(fHandle, Invalid); }
  void reset(T AHandle = Invalid) {
    const T Old = std::exchange(fHandle, AHandle);
    if (Old != Invalid) Close(Old);
  }

 private:
  T fHandle = Invalid;
};

namespace detail {
inline void CloseKey(HKEY H) { RegCloseKey(H); }
inline void CloseFind(HANDLE H) { FindClose(H); }
inline void CloseHook(HHOOK H) { UnhookWindowsHookEx(H); }
inline void CloseObject(HGDIOBJ H) { DeleteObject(H); }
inline void CloseWindow(HWND H) { DestroyWindow(H); }
inline void CloseFile(HANDLE H) { CloseHandle(H); }
}  // namespace detail

using TUniqueKey = TUniqueHandle<HKEY, detail::CloseKey>;
using TUniqueFind = TUniqueHandle<HANDLE, detail::CloseFind, INVALID_HANDLE_VALUE>;
using TUniqueHook = TUniqueHandle<HHOOK, detail::CloseHook>;
using TUniqueFont = TUniqueHandle<HGDIOBJ, detail::CloseObject>;
using TUniqueWindow = TUniqueHandle<HWND, detail::CloseWindow>;

}  // namespace vok
