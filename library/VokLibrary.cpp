#include "library/VokLibrary.h"

#include "forms/SearchForm.h"
#include "forms/VokForm.h"
#include "win32/Message.h"

#include <exception>
#include <stdexcept>

namespace vok {

const char *const OperationAborted = "Operation aborted";

// Runs with the library's static objects: after CloseVokabra when the library is unloaded
// (nothing is left then), or at process exit, where DllMain leaves everything to the system.
// No window is destroyed there, under the loader lock: a dialog still open is abandoned with
// its window, and the system reclaims both. No message loop runs any more to reach it.
TLibraryState::~TLibraryState() {
  (void)VokForm.release();
  (void)SearchForm.release();
}

TLibraryState &Library() {
  static TLibraryState State;
  return State;
}

const TRegistry::TEntry *IndexOfVok(std::string_view AVokName) {
  const TRegistry *R = Library().Registry.get();
  return R ? R->Find(AVokName) : nullptr;
}

TLookup *FindVok(std::string_view AVokName) {
  const TRegistry::TEntry *E = IndexOfVok(AVokName);
  return E ? E->Lookup.get() : nullptr;
}

void UnregisterName(std::string_view AName) {
  if (const TRegistry::TEntry *E = IndexOfVok(AName)) Library().Registry->Remove(E);
}

std::string RegistryName(std::string_view AName) { return Trim(ShortView(TrimView(AName))); }

void RegisterReady(std::unique_ptr<TLookup> ALookup) {
  if (!ALookup->Ready()) throw std::runtime_error(OperationAborted);
  std::string Name = ALookup->VokName();
  Library().Registry->Add(std::move(Name), std::move(ALookup));
}

void ShowLibraryMessage(const std::string &AText) { ShowMessage(Library().HostWnd, AnsiToWide(AText), L"Vokabra"); }

void CloseLibrary() {
  TLibraryState &L = Library();
  L.Registry.reset();  // its dictionaries first to last
  L.ItemList.reset();
  SelectionHost() = TSelectionHost{};
  L.VokForm.reset();
  L.SearchForm.reset();
}

}  // namespace vok
