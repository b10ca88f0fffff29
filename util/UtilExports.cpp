// Small services for the host that MapBasic lacks: registry strings, the Excel path, GUIDs,
// file counts, zero bytes turned into separators, substring replacement and a count of the
// running MapInfo Professional windows.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "lookup/ShortStr.h"
#include "win32/ExportGuard.h"
#include "win32/Handles.h"
#include "win32/Windows.h"

using namespace vok;

namespace {

const char ExcelKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\EXCEL.EXE";
const char MapinfoClassName[] = "xvt320mditask100";
const char MapBasicTitle[] = "MapBasic";

// The library-wide window counter of MapinfoCount.
int32_t WindowCounter = 0;

// The REG_SZ value AValueName of key AKeyPath under ARoot, as stored (with its terminating
// zero when the data has one); empty when the key or value is missing or of another type.
std::string ReadRegString(HKEY ARoot, const char *AKeyPath, const char *AValueName) {
  TUniqueKey Key;
  if (RegOpenKeyExA(ARoot, AKeyPath, 0, KEY_QUERY_VALUE, Key.put()) != ERROR_SUCCESS) return std::string();
  DWORD Type = 0, Size = 0;
  if (RegQueryValueExA(Key.get(), AValueName, nullptr, &Type, nullptr, &Size) != ERROR_SUCCESS || Type != REG_SZ)
    return std::string();
  std::string Data(Size, '\0');
  if (RegQueryValueExA(Key.get(), AValueName, nullptr, &Type, reinterpret_cast<BYTE *>(Data.data()), &Size) !=
          ERROR_SUCCESS ||
      Type != REG_SZ)
    return std::string();
  Data.resize(Size < Data.size() ? Size : Data.size());
  return Data;
}

// Writes the first 255 characters of a registry string, up to its first zero byte.
void WriteRegString(char *ABuffer, const std::string &AValue) {
  const std::string_view Cut = ShortView(AValue);
  WriteBuffer(ABuffer, Cut.substr(0, Cut.find('\0')));
}

// Counts AWnd when it is a MapInfo Professional main window; the walk always goes on.
bool CountMapinfoWindow(HWND AWnd) {
  char Class[260] = "", Title[260] = "";
  GetClassNameA(AWnd, Class, sizeof Class);
  if (std::strcmp(Class, MapinfoClassName) != 0) return true;
  GetWindowTextA(AWnd, Title, sizeof Title);
  if (std::strncmp(Title, MapBasicTitle, sizeof MapBasicTitle - 1) != 0) ++WindowCounter;
  return true;
}

}  // namespace

VOK_EXPORT void GetRegString(HKEY ARootKey, const char *AKeyPath, const char *AValueName, char *ABuffer) {
  ClearBuffer(ABuffer);
  Guarded([&] {
    const std::string Path(Arg(AKeyPath)), Value(Arg(AValueName));
    WriteRegString(ABuffer, ReadRegString(HandleArg(ARootKey), Path.c_str(), Value.c_str()));
  });
}

VOK_EXPORT void GetExcelPath(char *ABuffer) {
  ClearBuffer(ABuffer);
  Guarded([&] { WriteRegString(ABuffer, ReadRegString(HKEY_LOCAL_MACHINE, ExcelKeyPath, "")); });
}

VOK_EXPORT void GetNewGUID(char *ABuffer) {
  ClearBuffer(ABuffer);
  Guarded([&] {
    GUID G;
    if (FAILED(CoCreateGuid(&G))) return;
    char Text[39];
    std::snprintf(Text, sizeof Text, "{%.8lX-%.4X-%.4X-%.2X%.2X-%.2X%.2X%.2X%.2X%.2X%.2X}",
                  static_cast<unsigned long>(G.Data1), G.Data2, G.Data3, G.Data4[0], G.Data4[1], G.Data4[2], G.Data4[3],
                  G.Data4[4], G.Data4[5], G.Data4[6], G.Data4[7]);
    WriteBuffer(ABuffer, Text);
  });
}

// The number of directory entries matching AMask, of any attribute, "." and ".." excepted.
VOK_EXPORT int32_t FileCount(const char *AMask) {
  return Guarded(0, [&] {
    const std::string_view Mask = Arg(AMask);
    if (Mask.empty()) return 0;
    std::wstring Wide(static_cast<std::size_t>(
                          MultiByteToWideChar(CP_ACP, 0, Mask.data(), static_cast<int>(Mask.size()), nullptr, 0)),
                      L'\0');
    MultiByteToWideChar(CP_ACP, 0, Mask.data(), static_cast<int>(Mask.size()), Wide.data(),
                        static_cast<int>(Wide.size()));
    WIN32_FIND_DATAW Found;
    TUniqueFind Find(FindFirstFileW(Wide.c_str(), &Found));
    if (!Find) return 0;
    int32_t Count = 0;
    do {
      if (wcscmp(Found.cFileName, L".") != 0 && wcscmp(Found.cFileName, L"..") != 0) ++Count;
    } while (FindNextFileW(Find.get(), &Found));
    return Count;
  });
}

VOK_EXPORT void ReplaceZero(char *ABuffer, int32_t ALength) {
  Guarded([&] {
    if (!ABuffer) return;
    for (int32_t I = 0; I < ALength; ++I)
      if (ABuffer[I] == '\0') ABuffer[I] = ';';
  });
}

VOK_EXPORT void ReplaceString(const char *ASource, const char *AOldPattern, const char *ANewPattern, char *ABuffer) {
  ClearBuffer(ABuffer);
  Guarded([&] {
    WriteBuffer(ABuffer, ReplaceAll(ShortView(Arg(ASource)), ShortView(Arg(AOldPattern)), ShortView(Arg(ANewPattern))));
  });
}

VOK_EXPORT int32_t MapinfoCount() {
  return Guarded(0, [] {
    WindowCounter = 0;
    ForEachTopWindow(CountMapinfoWindow);
    return WindowCounter;
  });
}
