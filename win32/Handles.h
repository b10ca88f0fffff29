// Owners of Win32 handles: one template for every kind (HKEY, HHOOK, HANDLE, HFONT, HWND,
// find handles). No copying, moving allowed; the handle is released on every path.
#pragma once

#include <windows.h>

#include <utility>

namespace vok {

// ATraits gives the handle type (Type), its empty value (Invalid()) and Close(handle).
template <typename ATraits>
class TUniqueHandle {
 public:
  using T = typename ATraits::Type;

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
  // Closes the handle held and returns the slot for an API that writes a new one.
  T *put() {
    reset();
    return &fHandle;
  }
  explicit operator bool() const { return fHandle != ATraits::Invalid(); }
  // Gives up ownership without closing.
  T release() { return std::exchange(fHandle, ATraits::Invalid()); }
  void reset(T AHandle = ATraits::Invalid()) {
    const T Old = std::exchange(fHandle, AHandle);
    if (Old != ATraits::Invalid()) ATraits::Close(Old);
  }

 private:
  T fHandle = ATraits::Invalid();
};

namespace detail {
template <typename AType, auto AClose>
struct TNullTraits {
  using Type = AType;
  static Type Invalid() { return nullptr; }
  static void Close(Type H) { AClose(H); }
};
struct TFindTraits {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type H) { FindClose(H); }
};
}  // namespace detail

using TUniqueKey = TUniqueHandle<detail::TNullTraits<HKEY, RegCloseKey>>;
using TUniqueFind = TUniqueHandle<detail::TFindTraits>;
using TUniqueHook = TUniqueHandle<detail::TNullTraits<HHOOK, UnhookWindowsHookEx>>;
using TUniqueFont = TUniqueHandle<detail::TNullTraits<HGDIOBJ, DeleteObject>>;
using TUniqueWindow = TUniqueHandle<detail::TNullTraits<HWND, DestroyWindow>>;
using TUniqueFile = TUniqueHandle<detail::TNullTraits<HANDLE, CloseHandle>>;

// Shows the hourglass while alive, then the cursor shown before (the arrow when there was none),
// on every path out of a long operation.
class TWaitCursor {
 public:
  TWaitCursor() : fOld(SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)))) {}
  ~TWaitCursor() { SetCursor(fOld ? fOld : LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW))); }
  TWaitCursor(const TWaitCursor &) = delete;
  TWaitCursor &operator=(const TWaitCursor &) = delete;

 private:
  HCURSOR fOld;
};

}  // namespace vok
