// Library start-up and shut-down inside the host process.
#include <windows.h>
#include <ole2.h>

extern "C" __stdcall void CloseVokabra();

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD AReason, LPVOID AReserved) {
  switch (AReason) {
    case DLL_PROCESS_ATTACH:
      OleInitialize(nullptr);
      break;
    case DLL_PROCESS_DETACH:
      // Unloaded by FreeLibrary: release everything the host left open. At process exit
      // (AReserved not null) the other threads are gone and the system reclaims it all.
      if (!AReserved) CloseVokabra();
      break;
  }
  return TRUE;
}
