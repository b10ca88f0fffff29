// Library start-up and shut-down inside the host process.
#include <windows.h>
#include <ole2.h>
#include <pthread.h>

#include "forms/Form.h"
#include "win32/Exports.h"

namespace __gnu_cxx {
// The C++ runtime linked into the library keeps a buffer for exceptions thrown when memory
// runs out, allocated from the host's heap when the library starts; this frees it.
void __freeres() noexcept;
}  // namespace __gnu_cxx

namespace {

// The TLS index that the threads runtime linked into the library allocates for itself when the
// library starts, or TLS_OUT_OF_INDEXES when it is not known. The runtime never frees it, and a
// process has only 1088: a host that loaded and unloaded the library a thousand times would
// abort in the runtime's start-up.
DWORD RuntimeTlsIndex = TLS_OUT_OF_INDEXES;

// Runs first of the library's TLS callbacks, before any start-up code of the runtime: makes the
// runtime allocate its index now and learns which one it is. The index free before is the one
// the runtime takes unless another thread takes it in between; only the runtime, running on
// this thread, can have put a value into this thread's slot of it, so a value there tells.
void NTAPI FindRuntimeTlsIndex(PVOID, DWORD AReason, PVOID) {
  if (AReason != DLL_PROCESS_ATTACH) return;
  const DWORD Free = TlsAlloc();
  if (Free == TLS_OUT_OF_INDEXES) return;
  TlsFree(Free);
  (void)pthread_self();
  if (TlsGetValue(Free)) RuntimeTlsIndex = Free;
}

}  // namespace

// The loader calls the TLS callbacks in the order of their sections' names; the runtime's own
// come later (".CRT$XLC" and after).
extern "C" {
__attribute__((section(".CRT$XLB"), used)) PIMAGE_TLS_CALLBACK VokFindRuntimeTlsIndex = FindRuntimeTlsIndex;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD AReason, LPVOID AReserved) {
  switch (AReason) {
    case DLL_PROCESS_ATTACH:
      OleInitialize(nullptr);
      break;
    case DLL_PROCESS_DETACH:
      // Unloaded by FreeLibrary: release everything the host left open, and what the library
      // itself would otherwise leave behind in the host's process once its code is gone: the
      // dialogs' window class, the runtime's exception buffer and its TLS index. At process
      // exit (AReserved not null) the other threads are gone and the system reclaims it all.
      if (!AReserved) {
        CloseVokabra();
        vok::UnregisterFormClass();
        __gnu_cxx::__freeres();
        if (RuntimeTlsIndex != TLS_OUT_OF_INDEXES) TlsFree(RuntimeTlsIndex);
      }
      break;
  }
  return TRUE;
}
