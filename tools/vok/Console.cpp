#include "tools/vok/Console.h"

#include <cstdio>
#include <fstream>

#ifdef _WIN32
#include <windows.h>
#endif

#include "lookup/Cp1251.h"

namespace vok::tool {

std::string TConsole::Show(std::string_view A1251) const { return Utf8 ? Cp1251ToUtf8(A1251) : std::string(A1251); }

std::string TConsole::FromArg(std::string_view AArg) const {
  std::string R;
  if (Utf8 && Utf8To1251(AArg, R)) return R;
  return std::string(AArg);
}

namespace {

bool Exists(const std::string &APath) {
  std::FILE *F = std::fopen(APath.c_str(), "rb");
  if (F) std::fclose(F);
  return F != nullptr;
}

// Renames AFrom to ATo, replacing ATo when it exists.
bool Replace(const std::string &AFrom, const std::string &ATo) {
#ifdef _WIN32
  return MoveFileExA(AFrom.c_str(), ATo.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
  return std::rename(AFrom.c_str(), ATo.c_str()) == 0;
#endif
}

}  // namespace

bool WriteWholeFile(const TConsole &AConsole, const std::string &APath, std::string_view AData, bool AReplace) {
  if (!AReplace && Exists(APath)) {
    AConsole.Err << APath << ": error: the file exists; name it with -o to replace it\n";
    return false;
  }
  std::string Temp = APath + ".tmp";
  for (int N = 1; Exists(Temp); ++N) Temp = APath + ".tmp" + std::to_string(N);
  bool Written;
  {
    std::ofstream Out(Temp, std::ios::binary | std::ios::trunc);
    Written = Out && Out.write(AData.data(), static_cast<std::streamsize>(AData.size())) && Out.flush();
  }
  if (!Written || !Replace(Temp, APath)) {
    std::remove(Temp.c_str());
    AConsole.Err << APath << ": error: cannot write the file\n";
    return false;
  }
  return true;
}

}  // namespace vok::tool
