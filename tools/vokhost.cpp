// A stand-in for the MapBasic host: loads Vokabra.dll by name, opens it with a window of its
// own and prints what a dictionary file holds, the way a host program would read it.
//
// Usage: vokhost FILE.vok SECTION [SECTION ...]
//        vokhost --prj FILE.prj [--group N] [--close-after MS]
//   --prj opens the coordinate system chooser on FILE.prj and prints what it returns.
//   --group N selects the N-th group (from 0) as soon as the chooser shows, and
//   --close-after MS closes it MS milliseconds later (both for unattended screenshots).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

HMODULE Vokabra;

template <typename F>
F *Fn(const char *AName) {
  auto *P = reinterpret_cast<F *>(reinterpret_cast<void *>(GetProcAddress(Vokabra, AName)));
  if (!P) {
    std::fprintf(stderr, "vokhost: Vokabra.dll has no export %s\n", AName);
    std::exit(2);
  }
  return P;
}

struct TChooserDriver {
  HWND Host;
  int Group;      // -1: leave the selection alone
  int CloseAfter; // milliseconds, -1: the user closes the chooser
};

BOOL CALLBACK FindOwned(HWND AWnd, LPARAM AParam) {
  auto *Found = reinterpret_cast<HWND *>(AParam);
  if (GetWindow(AWnd, GW_OWNER) == *Found && IsWindowVisible(AWnd)) {
    *Found = AWnd;
    return FALSE;
  }
  return TRUE;
}

// Waits for the chooser owned by the host window, selects a group the way the user's choice
// does and closes the chooser later, as asked.
DWORD WINAPI DriveChooser(void *AParam) {
  const TChooserDriver &D = *static_cast<TChooserDriver *>(AParam);
  HWND Chooser = nullptr;
  for (int Tries = 0; Tries < 400 && !Chooser; ++Tries) {
    Sleep(50);
    HWND Found = D.Host;
    EnumThreadWindows(GetWindowThreadProcessId(D.Host, nullptr), FindOwned, reinterpret_cast<LPARAM>(&Found));
    if (Found != D.Host) Chooser = Found;
  }
  if (!Chooser) return 1;
  if (D.Group >= 0) {
    HWND Groups = FindWindowExA(Chooser, nullptr, "ComboBox", nullptr);
    SendMessageA(Groups, CB_SETCURSEL, D.Group, 0);
    SendMessageA(Chooser, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Groups), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Groups));
  }
  std::printf("chooser shown\n");
  std::fflush(stdout);
  if (D.CloseAfter >= 0) {
    Sleep(static_cast<DWORD>(D.CloseAfter));
    PostMessageA(Chooser, WM_CLOSE, 0, 0);
  }
  return 0;
}

int RunChooser(int argc, char **argv, HWND AHost) {
  TChooserDriver Driver{AHost, -1, -1};
  for (int I = 3; I + 1 < argc; I += 2) {
    if (std::strcmp(argv[I], "--group") == 0) Driver.Group = std::atoi(argv[I + 1]);
    else if (std::strcmp(argv[I], "--close-after") == 0) Driver.CloseAfter = std::atoi(argv[I + 1]);
  }
  auto GetPrjString = Fn<int32_t __stdcall(HWND, const char *, char *, char *)>("GetPrjString");
  HANDLE Thread = nullptr;
  if (Driver.Group >= 0 || Driver.CloseAfter >= 0)
    Thread = CreateThread(nullptr, 0, DriveChooser, &Driver, 0, nullptr);
  static char Name[4096], Clause[4096];
  const int32_t Result = GetPrjString(AHost, argv[2], Name, Clause);
  if (Thread) {
    WaitForSingleObject(Thread, 30000);
    CloseHandle(Thread);
  }
  std::printf("GetPrjString: %d\nName: %s\nCoordSys: %s\n", Result, Name, Clause);
  return 0;
}

}  // namespace

int main(int argc, char **argv) {
  const bool Chooser = argc >= 3 && std::strcmp(argv[1], "--prj") == 0;
  if (argc < 3) {
    std::fprintf(stderr, "usage: vokhost FILE.vok SECTION [SECTION ...]\n"
                         "       vokhost --prj FILE.prj [--group N] [--close-after MS]\n");
    return 2;
  }
  Vokabra = LoadLibraryA("Vokabra.dll");
  if (!Vokabra) {
    std::fprintf(stderr, "vokhost: cannot load Vokabra.dll (error %lu)\n", GetLastError());
    return 2;
  }
  auto OpenVokList = Fn<int32_t __stdcall(HWND)>("OpenVokList");
  auto LoadVok = Fn<int32_t __stdcall(const char *, const char *)>("LoadVok");
  auto VokExists = Fn<int32_t __stdcall(const char *)>("VokExists");
  auto CloseVokabra = Fn<void __stdcall()>("CloseVokabra");

  HWND Host = CreateWindowExA(0, "STATIC", "vokhost", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  if (Chooser) {
    const int Code = RunChooser(argc, argv, Host);
    DestroyWindow(Host);
    FreeLibrary(Vokabra);
    return Code;
  }
  std::printf("OpenVokList: %d\n", OpenVokList(Host));
  const char *File = argv[1];
  for (int I = 2; I < argc; ++I) {
    const char *Name = argv[I];
    std::printf("LoadVok %s: %d\n", Name, LoadVok(File, Name));
    std::printf("VokExists %s: %d\n", Name, VokExists(Name));
  }
  CloseVokabra();
  DestroyWindow(Host);
  FreeLibrary(Vokabra);
  return 0;
}
