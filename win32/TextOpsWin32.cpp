// The DLL's locale operations: the user's locale through the Win32 calls.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "lookup/Cp1251.h"
#include "lookup/TextOps.h"

namespace vok {

namespace {
int Len(std::string_view S) { return static_cast<int>(S.size()); }
}  // namespace

int CompareText(std::string_view A, std::string_view B) {
  const int R = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, A.data(), Len(A), B.data(), Len(B));
  return R == 0 ? A.compare(B) : R - CSTR_EQUAL;
}

bool SameText(std::string_view A, std::string_view B) { return CompareText(A, B) == 0; }

void UpperCaseInPlace(std::string &S) {
  if (S.empty()) return;
  const int WLen = MultiByteToWideChar(CP_ACP, 0, S.data(), Len(S), nullptr, 0);
  if (WLen <= 0) return;
  std::wstring W(static_cast<std::size_t>(WLen), L'\0');
  MultiByteToWideChar(CP_ACP, 0, S.data(), Len(S), W.data(), WLen);
  CharUpperBuffW(W.data(), static_cast<DWORD>(WLen));
  const int ALen = WideCharToMultiByte(CP_ACP, 0, W.data(), WLen, nullptr, 0, nullptr, nullptr);
  if (ALen <= 0) return;
  std::string R(static_cast<std::size_t>(ALen), '\0');
  WideCharToMultiByte(CP_ACP, 0, W.data(), WLen, R.data(), ALen, nullptr, nullptr);
  S.swap(R);
}

namespace {
// Of a single-byte ANSI code page, the byte of every character of the Basic Multilingual Plane
// that has its own place in it (as WideCharToMultiByte without best fit finds it), 0 for the rest.
struct TAnsiTable {
  std::unique_ptr<unsigned char[]> Byte;  // null for a code page of multi-byte characters
  TAnsiTable() {
    CPINFO Info;
    if (!GetCPInfo(CP_ACP, &Info) || Info.MaxCharSize != 1) return;
    Byte.reset(new unsigned char[0x10000]());
    for (int C = 1; C < 256; ++C) {
      const char In = static_cast<char>(C);
      wchar_t W;
      char Back;
      BOOL Default = FALSE;
      if (MultiByteToWideChar(CP_ACP, 0, &In, 1, &W, 1) == 1 &&
          WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &W, 1, &Back, 1, "?", &Default) == 1 && !Default &&
          Back == In)
        Byte[static_cast<uint16_t>(W)] = static_cast<unsigned char>(C);
    }
  }
};

// AText from the code page AFrom to the code page ATo through UTF-16. Into the ANSI code page
// without best fit: a character without its own place there becomes "?", not a look-alike.
std::string Recode(std::string_view AText, UINT AFrom, UINT ATo) {
  if (AText.empty()) return std::string();
  const int WLen = MultiByteToWideChar(AFrom, 0, AText.data(), Len(AText), nullptr, 0);
  if (WLen <= 0) return std::string(AText.size(), '?');
  std::wstring W(static_cast<std::size_t>(WLen), L'\0');
  MultiByteToWideChar(AFrom, 0, AText.data(), Len(AText), W.data(), WLen);
  const DWORD Flags = ATo == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const char *Default = ATo == CP_UTF8 ? nullptr : "?";
  const int ALen = WideCharToMultiByte(ATo, Flags, W.data(), WLen, nullptr, 0, Default, nullptr);
  if (ALen <= 0) return std::string(static_cast<std::size_t>(WLen), '?');
  std::string R(static_cast<std::size_t>(ALen), '\0');
  WideCharToMultiByte(ATo, Flags, W.data(), WLen, R.data(), ALen, Default, nullptr);
  return R;
}
}  // namespace

// A text of well-formed characters of the Basic Multilingual Plane goes through the table of a
// single-byte code page, one byte each; anything else through the system.
std::string Utf8ToAnsi(std::string_view AText) {
  static const TAnsiTable Table;
  if (AText.empty()) return std::string();
  if (!Table.Byte) return Recode(AText, CP_UTF8, CP_ACP);
  std::string R(AText.size(), '\0');
  std::size_t N = 0;
  for (std::size_t I = 0; I < AText.size();) {
    uint32_t C = 0;
    const std::size_t CharLen = DecodeUtf8(AText, I, C);
    if (CharLen == 0 || C > 0xFFFF) return Recode(AText, CP_UTF8, CP_ACP);
    R[N++] = C == 0 ? '\0' : Table.Byte[C] ? static_cast<char>(Table.Byte[C]) : '?';
    I += CharLen;
  }
  R.resize(N);
  return R;
}

std::string AnsiToUtf8(std::string_view AText) { return Recode(AText, CP_ACP, CP_UTF8); }

namespace {
struct TUpperTable {
  bool SingleByte = false;
  unsigned char Upper[256];
  TUpperTable() {
    CPINFO Info;
    if (!GetCPInfo(CP_ACP, &Info) || Info.MaxCharSize != 1) return;
    for (int C = 0; C < 256; ++C) {
      std::string S(1, static_cast<char>(C));
      UpperCaseInPlace(S);
      Upper[C] = S.size() == 1 ? static_cast<unsigned char>(S[0]) : static_cast<unsigned char>(C);
    }
    SingleByte = true;
  }
};
}  // namespace

const unsigned char *UpperCaseTable() {
  static const TUpperTable T;
  return T.SingleByte ? T.Upper : nullptr;
}

}  // namespace vok
