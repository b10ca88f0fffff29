// Opening and closing the library, loading and unloading dictionaries.
#include <windows.h>

#include <stdexcept>

#include "forms/SearchForm.h"
#include "forms/VokForm.h"
#include "help/Help.h"
#include "library/VokLibrary.h"
#include "win32/ExportGuard.h"

using namespace vok;

namespace {
// Loads section AVokName of AVokFile under AVokAlias; false after the load error message.
int32_t LoadSection(const char *AVokFile, const char *AVokName, const char *AVokAlias, const char *AFilter) {
  const std::string File(Arg(AVokFile));
  if (!FileExists(File) || !Library().Registry) return 0;
  try {
    const std::string Name = Trim(Arg(AVokName));
    if (Name.empty()) throw std::runtime_error(OperationAborted);
    std::string Alias = Trim(Arg(AVokAlias));
    if (Alias.empty()) Alias = Name;
    // The dictionary keeps the alias cut after 255 characters: a dictionary of that name is
    // the one replaced. The file is read under its whole path; the dictionary keeps it cut.
    UnregisterName(RegistryName(Alias));
    auto Lookup = std::make_unique<TLookup>();
    Lookup->LoadVok(File, ShortView(Name), ShortView(Alias), ShortView(Arg(AFilter)));
    RegisterReady(std::move(Lookup));
    return True16;
  } catch (...) {
    ShowLibraryMessage("LoadVok error: " + CurrentErrorText());
    return 0;
  }
}
}  // namespace

VOK_EXPORT int32_t OpenVokList(HWND AHostWnd) {
  AHostWnd = HandleArg(AHostWnd);
  return Guarded(0, [&] {
    CloseLibrary();
    try {
      Library().HostWnd = AHostWnd;
      Library().Registry = std::make_unique<TRegistry>();
      TLibraryState &L = Library();
      L.VokForm = std::make_unique<TVokForm>();
      L.VokForm->SetOwner(AHostWnd);
      L.SearchForm = std::make_unique<TSearchForm>(*L.VokForm);
      L.SearchForm->SetOwner(AHostWnd);
      L.VokForm->OnOpenSearch = [] {
        if (TSearchForm *Search = Library().SearchForm.get()) Search->ShowModal();
      };
      SelectionHost() = TSelectionHost{L.VokForm.get(), &FindVok};
      return True16;
    } catch (...) {
      CloseLibrary();
      return 0;
    }
  });
}

VOK_EXPORT void CloseVokList() {
  Guarded([] { CloseLibrary(); });
}

VOK_EXPORT int32_t VokExists(const char *AVokName) {
  return Guarded(0, [&] { return Bool32(IndexOfVok(Arg(AVokName)) != nullptr); });
}

VOK_EXPORT int32_t LoadVokEx(const char *AVokFile, const char *AVokName, const char *AVokAlias, const char *AFilter) {
  return Guarded(0, [&] { return LoadSection(AVokFile, AVokName, AVokAlias, AFilter); });
}

VOK_EXPORT int32_t LoadVok(const char *AVokFile, const char *AVokName) {
  return Guarded(0, [&] { return LoadSection(AVokFile, AVokName, AVokName, "*"); });
}

VOK_EXPORT int32_t UnLoadVok(const char *AVokName) {
  return Guarded(0, [&] {
    const TRegistry::TEntry *E = IndexOfVok(Arg(AVokName));
    if (!E) return 0;
    Library().Registry->Remove(E);
    return True32;
  });
}

VOK_EXPORT void CloseVokabra() {
  Guarded([] { CloseLibrary(); });
  RemoveHelpHook();
  ReleaseWordApp();
}
