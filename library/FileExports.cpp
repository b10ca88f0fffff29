// Working on a dictionary file as a whole: loading every section, counting and naming them.
#include <windows.h>

#include <stdexcept>

#include "library/VokLibrary.h"
#include "lookup/TextFile.h"
#include "lookup/VokFile.h"
#include "win32/ExportGuard.h"

using namespace vok;

namespace {

// Calls AOnName(position from 1, name) for every named header of the file, the way the
// section listing counts them ("[]" is not counted), until it returns false.
// Returns false when the file cannot be opened or read.
template <typename F>
bool ForEachHeader(const std::string &AFile, F &&AOnName) {
  try {
    TTextReader Reader(AFile);
    std::string_view Line, Name;
    int32_t Position = 0;
    while (NextTrimmedLine(Reader, Line))
      if (HeaderName(Line, Name) && !Name.empty() && !AOnName(++Position, Name)) break;
    return true;
  } catch (const EInOutError &) {
    return false;
  }
}

// Loads every section of AFile into the registry; throws on the first that fails.
void LoadIntoRegistry(const std::string &AFile) {
  TTextReader Reader(AFile);
  vok::LoadAllSections(Reader, AFile, [](std::string_view AName, std::unique_ptr<TLookup> ALookup) {
    UnregisterName(RegistryName(AName));
    RegisterReady(std::move(ALookup));
  });
}

}  // namespace

VOK_EXPORT int32_t LoadAllVok(const char *AVokFile) {
  return Guarded(0, [&] {
    const std::string File(Arg(AVokFile));
    if (!FileExists(File) || !Library().Registry) return 0;
    try {
      LoadIntoRegistry(File);
      return True16;
    } catch (...) {
      ShowLibraryMessage("LoadAllVok error: " + CurrentErrorText());
      return 0;
    }
  });
}

VOK_EXPORT int32_t GetVokCount(const char *AVokFile) {
  return Guarded(0, [&] {
    const std::string File(Arg(AVokFile));
    if (File.empty()) return Library().Registry ? static_cast<int32_t>(Library().Registry->Count()) : 0;
    if (!FileExists(File)) return 0;
    int32_t Count = 0;
    return ForEachHeader(File, [&](int32_t APosition, std::string_view) { return (Count = APosition), true; }) ? Count
                                                                                                               : 0;
  });
}

// The name of section AIndex (from 1) of a file, cut after 255 characters to fit the host's
// buffer, or of registered dictionary AIndex when no file is named.
VOK_EXPORT void GetVokName(const char *AVokFile, int32_t AIndex, char *ABuffer) {
  ClearBuffer(ABuffer);
  Guarded([&] {
    const std::string File(Arg(AVokFile));
    if (File.empty()) {
      const TRegistry *R = Library().Registry.get();
      if (R && AIndex >= 1 && static_cast<std::size_t>(AIndex) <= R->Count())
        WriteBuffer(ABuffer, (*R)[static_cast<std::size_t>(AIndex) - 1].Name);
      return;
    }
    if (AIndex < 1 || !FileExists(File)) return;
    std::string Found;
    const bool Read = ForEachHeader(File, [&](int32_t APosition, std::string_view AName) {
      if (APosition != AIndex) return true;
      Found = ShortStr(AName);
      return false;
    });
    if (Read) WriteBuffer(ABuffer, Found);
  });
}
