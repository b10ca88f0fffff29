// Library start-up and shut-down inside the host process.
#include <windows.h>
#include <ole2.h>

#include <cstddef>

#include "forms/Form.h"
#include "win32/Exports.h"

namespace {

// The locks of the runtime linked into the library (the unwinder's list of the code's frames
// among them) each make a semaphore, and some are never closed: every load would leave them in
// the host's process. The runtime's calls reach the system through the two import slots below,
// which record those semaphores; the library's entry closes what is left of them once the
// runtime has shut down.
constexpr std::size_t MaxRuntimeSemaphores = 16;
HANDLE RuntimeSemaphores[MaxRuntimeSemaphores];
std::size_t RuntimeSemaphoreCount = 0;

HANDLE WINAPI RecordSemaphore(LPSECURITY_ATTRIBUTES AAttributes, LONG AInitial, LONG AMaximum, LPCWSTR AName) {
  HANDLE H = CreateSemaphoreExW(AAttributes, AInitial, AMaximum, AName, 0, SEMAPHORE_ALL_ACCESS);
  if (H && RuntimeSemaphoreCount < MaxRuntimeSemaphores) RuntimeSemaphores[RuntimeSemaphoreCount++] = H;
  return H;
}

// CloseHandle itself, found once: the import slot of the library's own calls is the one below.
BOOL SystemCloseHandle(HANDLE AHandle) {
  using TCloseHandle = BOOL(WINAPI *)(HANDLE);
  static const auto Close = reinterpret_cast<TCloseHandle>(
      reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "CloseHandle")));
  return Close ? Close(AHandle) : FALSE;
}

BOOL WINAPI CloseRecorded(HANDLE AHandle) {
  for (std::size_t I = 0; I < RuntimeSemaphoreCount; ++I)
    if (RuntimeSemaphores[I] == AHandle) RuntimeSemaphores[I] = RuntimeSemaphores[--RuntimeSemaphoreCount];
  return SystemCloseHandle(AHandle);
}

}  // namespace

#ifdef _WIN64
#define VOK_IMPORT_SLOT(Name, Bytes) "__imp_" #Name
#else
#define VOK_IMPORT_SLOT(Name, Bytes) "__imp__" #Name "@" #Bytes
#endif
extern "C" {
decltype(&CreateSemaphoreW) ImportOfCreateSemaphoreW asm(VOK_IMPORT_SLOT(CreateSemaphoreW, 16)) = &RecordSemaphore;
decltype(&CloseHandle) ImportOfCloseHandle asm(VOK_IMPORT_SLOT(CloseHandle, 4)) = &CloseRecorded;
}

extern "C" BOOL WINAPI DllMainCRTStartup(HANDLE AModule, DWORD AReason, LPVOID AReserved);

// The library's entry (the linker's -e): the runtime's own, then, after an unload by
// FreeLibrary has shut the runtime down, the semaphores it left open.
extern "C" BOOL WINAPI VokabraEntry(HANDLE AModule, DWORD AReason, LPVOID AReserved) {
  const BOOL Result = DllMainCRTStartup(AModule, AReason, AReserved);
  if (AReason == DLL_PROCESS_DETACH && !AReserved)
    while (RuntimeSemaphoreCount) SystemCloseHandle(RuntimeSemaphores[--RuntimeSemaphoreCount]);
  return Result;
}

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
