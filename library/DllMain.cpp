// Library start-up and shut-down inside the host process.
#include <windows.h>
#include <ole2.h>

#include "forms/Form.h"
#include "win32/Exports.h"

namespace __gnu_cxx {
// The C++ runtime linked into the library keeps a buffer for exceptions thrown when memory
// runs out, allocated from the host's heap when the library starts; this frees it.
void __freeres() noexcept;
}  // namespace __gnu_cxx

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD AReason, LPVOID AReserved) {
  switch (AReason) {
    case DLL_PROCESS_ATTACH:
      OleInitialize(nullptr);
      break;
    case DLL_PROCESS_DETACH:
      // Unloaded by FreeLibrary: release everything the host left open, and what the library
      // itself would otherwise leave behind in the host's process once its code is gone: the
      // dialogs' window class and the runtime's exception buffer. At process exit (AReserved
      // not null) the other threads are gone and the system reclaims it all.
      if (!AReserved) {
        CloseVokabra();
        vok::UnregisterFormClass();
        __gnu_cxx::__freeres();
      }
      break;
  }
  return TRUE;
}
