// A stand-in for the MapBasic host: loads Vokabra.dll by name, opens it with a window of its
// own and prints what a dictionary file holds, the way a host program would read it.
//
// Usage: vokhost FILE.vok SECTION [SECTION ...]
#include <windows.h>

#include <cstdint>
#include <cstdio>
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

}  // namespace

int main(int argc, char **argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: vokhost FILE.vok SECTION [SECTION ...]\n");
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
