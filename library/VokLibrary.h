// The library-wide state shared by every export: the dictionary registry, the item
// enumeration, the host window given to OpenVokList and the dialogs owned by it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lookup/Lookup.h"
#include "lookup/Registry.h"
#include "win32/Text.h"

namespace vok {

class TVokForm;
class TSearchForm;

struct TLibraryState {
  TLibraryState() = default;
  TLibraryState(const TLibraryState &) = delete;
  TLibraryState &operator=(const TLibraryState &) = delete;
  ~TLibraryState();

  std::unique_ptr<TRegistry> Registry;  // none while the library is closed
  std::unique_ptr<TCodeList> ItemList;  // the enumeration of FindFirstItem, or none
  int32_t Cursor = 0;
  HWND HostWnd = nullptr;                   // owner of the library's messages
  std::unique_ptr<TVokForm> VokForm;        // the selection dialog while the library is open
  std::unique_ptr<TSearchForm> SearchForm;  // the search dialog behind it
};

TLibraryState &Library();

// The first registered dictionary named AVokName (ASCII letters compared without case, every
// other byte exactly), or null; none while the library is closed.
const TRegistry::TEntry *IndexOfVok(std::string_view AVokName);

// The registered dictionary named AVokName, or null.
TLookup *FindVok(std::string_view AVokName);

// Shows a modal message with an OK button, owned by the host window; AText in the ANSI code
// page (the load errors' texts are English).
void ShowLibraryMessage(const std::string &AText);

// Frees every dictionary, the registry, the enumeration list and the selection dialog.
void CloseLibrary();

// Frees the dictionary registered under AName, if any, before a new one takes the name.
void UnregisterName(std::string_view AName);

// The name under which a dictionary loaded with the name or alias AName is registered: AName
// trimmed, cut after 255 characters and trimmed again, as the dictionary keeps it.
std::string RegistryName(std::string_view AName);

// Appends a loaded dictionary to the registry under its VokName; throws std::runtime_error
// with the text "Operation aborted" when it is not ready.
void RegisterReady(std::unique_ptr<TLookup> ALookup);

extern const char *const OperationAborted;

}  // namespace vok
