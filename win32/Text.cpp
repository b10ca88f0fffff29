#include "win32/Text.h"

#include <windows.h>

#include <exception>

namespace vok {

std::wstring AnsiToWide(std::string_view AText) {
  if (AText.empty()) return std::wstring();
  const int N = MultiByteToWideChar(CP_ACP, 0, AText.data(), static_cast<int>(AText.size()), nullptr, 0);
  std::wstring W(static_cast<std::size_t>(N > 0 ? N : 0), L'\0');
  if (N > 0) MultiByteToWideChar(CP_ACP, 0, AText.data(), static_cast<int>(AText.size()), W.data(), N);
  return W;
}

std::string WideToAnsi(std::wstring_view AText) {
  if (AText.empty()) return std::string();
  const int N =
      WideCharToMultiByte(CP_ACP, 0, AText.data(), static_cast<int>(AText.size()), nullptr, 0, nullptr, nullptr);
  std::string S(static_cast<std::size_t>(N > 0 ? N : 0), '\0');
  if (N > 0)
    WideCharToMultiByte(CP_ACP, 0, AText.data(), static_cast<int>(AText.size()), S.data(), N, nullptr, nullptr);
  return S;
}

std::wstring FromCyrillic(const char *AText) {
  const int N = MultiByteToWideChar(1251, 0, AText, -1, nullptr, 0);
  std::wstring W(static_cast<std::size_t>(N > 0 ? N : 1), L'\0');
  if (N > 0) MultiByteToWideChar(1251, 0, AText, -1, W.data(), N);
  W.resize(W.size() - 1);
  return W;
}

bool FileExists(std::string_view APath) {
  if (APath.empty() || APath.find('\0') != std::string_view::npos) return false;
  const DWORD A = GetFileAttributesA(std::string(APath).c_str());
  return A != INVALID_FILE_ATTRIBUTES && !(A & FILE_ATTRIBUTE_DIRECTORY);
}

std::string CurrentErrorText() {
  try {
    throw;
  } catch (const std::exception &E) {
    return E.what();
  } catch (...) {
    return "Unknown error";
  }
}

}  // namespace vok
