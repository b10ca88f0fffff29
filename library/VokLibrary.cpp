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

namespace {
char AsciiLower(char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C + 32) : C; }

bool SameAsciiText(std::string_view A, std::string_view B) {
  if (A.size() != B.size()) return false;
  for (std::size_t I = 0; I < A.size(); ++I)
    if (AsciiLower(A[I]) != AsciiLower(B[I])) return false;
  return true;
}
}  // namespace

int IndexOfVok(std::string_view AVokName) {
  const TRegistry *R = Library().Registry.get();
  if (!R) return -1;
  for (std::size_t I = 0; I < R->size(); ++I)
    if (SameAsciiText((*R)[I].Name, AVokName)) return static_cast<int>(I);
  return -1;
}

TLookup *FindVok(std::string_view AVokName) {
  const int I = IndexOfVok(AVokName);
  return I < 0 ? nullptr : (*Library().Registry)[static_cast<std::size_t>(I)].Lookup.get();
}

void RemoveVok(int AIndex) {
  TRegistry &R = *Library().Registry;
  R.erase(R.begin() + AIndex);
}

void UnregisterName(std::string_view AName) {
  const int I = IndexOfVok(AName);
  if (I >= 0) RemoveVok(I);
}

std::string RegistryName(std::string_view AName) { return Trim(ShortView(TrimView(AName))); }

void RegisterReady(std::unique_ptr<TLookup> ALookup) {
  if (!ALookup->Ready()) throw std::runtime_error(OperationAborted);
  TRegistry &R = *Library().Registry;
  std::string Name = ALookup->VokName();
  R.push_back({std::move(Name), std::move(ALookup)});
}

void ShowLibraryMessage(const std::string &AText) { ShowMessage(Library().HostWnd, AnsiToWide(AText), L"Vokabra"); }

void CloseLibrary() {
  TLibraryState &L = Library();
  if (L.Registry) {
    for (TRegEntry &E : *L.Registry) E.Lookup.reset();
    L.Registry.reset();
  }
  L.ItemList.reset();
  SelectionHost() = TSelectionHost{};
  L.VokForm.reset();
  L.SearchForm.reset();
}

}  // namespace vok
