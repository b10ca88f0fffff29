// Helpers shared by the exports: the host's argument conventions and the boundary that no
// exception crosses.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "win32/Exports.h"

namespace vok {

// 16-bit truth values reach the host as 65535 / 0, 32-bit ones as -1 / 0.
constexpr int32_t True16 = 0xFFFF;
constexpr int32_t True32 = -1;
inline int32_t Bool16(bool B) { return B ? True16 : 0; }
inline int32_t Bool32(bool B) { return B ? True32 : 0; }

// A text argument; a null pointer is the empty text.
inline std::string_view Arg(const char *AText) { return AText ? std::string_view(AText) : std::string_view(); }

// A handle argument (window, registry key). Handles carry 32 significant bits, and a 64-bit host
// may declare the argument as a 32-bit Integer, whose upper half then holds anything, or as
// IntPtr: the low 32 bits, sign-extended, are the handle either way. On Win32 it is the handle.
template <typename H>
H HandleArg(H AHandle) {
  const auto Low = static_cast<int32_t>(static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(AHandle)));
  return reinterpret_cast<H>(static_cast<INT_PTR>(Low));
}

// Makes the caller's buffer an empty string (nothing for a null buffer).
inline void ClearBuffer(char *ABuffer) {
  if (ABuffer) *ABuffer = '\0';
}

// Writes AText and a zero byte into the caller's buffer (nothing for a null buffer).
inline void WriteBuffer(char *ABuffer, std::string_view AText) {
  if (!ABuffer) return;
  std::memcpy(ABuffer, AText.data(), AText.size());
  ABuffer[AText.size()] = '\0';
}

// Runs ABody and returns its result; any exception becomes AFailure.
template <typename R, typename F>
R Guarded(R AFailure, F &&ABody) noexcept {
  try {
    return ABody();
  } catch (...) {
    return AFailure;
  }
}

// The same for exports without a result.
template <typename F>
void Guarded(F &&ABody) noexcept {
  try {
    ABody();
  } catch (...) {
  }
}

}  // namespace vok
