// Working on a dictionary file as a whole: loading every section, counting and naming them.
#include <windows.h>

#include <stdexcept>

#include "library/ExportGuard.h"
#include "library/VokLibrary.h"
#include "lookup/TextFile.h"

using namespace vok;

namespace {

// The name inside a trimmed header line "[...]"; false for any other line.
bool HeaderName(std::string_view ATrimmed, std::string_view &AName) {
  if (ATrimmed.size() < 2 || ATrimmed.front() != '[' || ATrimmed.back() != ']') return false;
  AName = ATrimmed.substr(1, ATrimmed.size() - 2);
  return true;
}

// Reads the next trimmed, non-empty line into ALine (valid until the next read); false at
// the end of the text.
bool NextTrimmedLine(TTextReader &AReader, std::string_view &ALine) {
  while (AReader.ReadLine(ALine)) {
    ALine = TrimView(ALine);
    if (!ALine.empty()) return true;
  }
  ALine = std::string_view();
  return false;
}

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
void LoadAllSections(const std::string &AFile) {
  TTextReader Reader(AFile);
  std::string_view Line, Name;
  while (NextTrimmedLine(Reader, Line) && !HeaderName(Line, Name)) {
  }
  if (!HeaderName(Line, Name)) return;
  // Each section's trimmed lines go straight into its dictionary. The end of the file is
  // tested after each section, so a header on the last line is loaded (and fails, having
  // no body) only when it is the first header of the file.
  do {
    const std::string Section(Name);
    std::unique_ptr<TLookup> Lookup;
    if (!Section.empty()) {
      Lookup = std::make_unique<TLookup>();
      Lookup->BeginLoad(ShortView(AFile), ShortView(Section), ShortView(Section), "*");
    }
    while (NextTrimmedLine(Reader, Line) && !HeaderName(Line, Name))
      if (Lookup) Lookup->AddLine(Line);
    if (!Lookup) continue;
    Lookup->EndLoad();
    UnregisterName(RegistryName(Section));
    RegisterReady(std::move(Lookup));
  } while (!Reader.Eof());
}

}  // namespace

VOK_EXPORT int32_t LoadAllVok(const char *AVokFile) {
  return Guarded(0, [&] {
    const std::string File(Arg(AVokFile));
    if (!FileExists(File) || !Library().Registry) return 0;
    try {
      LoadAllSections(File);
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
    if (File.empty()) return Library().Registry ? static_cast<int32_t>(Library().Registry->size()) : 0;
    if (!FileExists(File)) return 0;
    int32_t Count = 0;
    return ForEachHeader(File, [&](int32_t APosition, std::string_view) { return (Count = APosition), true; })
               ? Count
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
      if (R && AIndex >= 1 && static_cast<std::size_t>(AIndex) <= R->size())
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
