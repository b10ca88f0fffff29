// A stand-in for the MapBasic host: loads Vokabra.dll by name, opens it with a window of its
// own and prints what a dictionary file holds, the way a host program would read it.
//
// Usage: vokhost FILE.vok               every section, through LoadAllVok
//        vokhost FILE.vok SECTION ...   the named sections, through LoadVok
//        vokhost --guid                 a new GUID
//        vokhost --reg HKCU|HKLM KEY [VALUE]   a registry string
//        vokhost --sondex TEXT1 TEXT2 MINLENGTH [DELIMITERS]   a fuzzy comparison score
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

HMODULE Vokabra;

// The export AName of Vokabra.dll; ends the program when it is missing.
template <typename F>
F *Fn(const char *AName) {
  auto *P = reinterpret_cast<F *>(reinterpret_cast<void *>(GetProcAddress(Vokabra, AName)));
  if (!P) {
    std::fprintf(stderr, "vokhost: Vokabra.dll has no export %s\n", AName);
    std::exit(2);
  }
  return P;
}

using TTextFn = void __stdcall(const char *, int32_t, char *);

struct THost {
  int32_t(__stdcall *OpenVokList)(HWND) = Fn<int32_t __stdcall(HWND)>("OpenVokList");
  int32_t(__stdcall *LoadVok)(const char *, const char *) = Fn<int32_t __stdcall(const char *, const char *)>("LoadVok");
  void(__stdcall *CloseVokabra)() = Fn<void __stdcall()>("CloseVokabra");
  void(__stdcall *GetVokPath)(const char *, char *) = Fn<void __stdcall(const char *, char *)>("GetVokPath");
  TTextFn *GetVokString = Fn<TTextFn>("GetVokString");
  TTextFn *GetVokStr = Fn<TTextFn>("GetVokStr");
  TTextFn *GetVokExtra = Fn<TTextFn>("GetVokExtra");
  int32_t(__stdcall *GetGroupCount)(const char *) = Fn<int32_t __stdcall(const char *)>("GetGroupCount");
  int32_t(__stdcall *GetItemCount)(const char *, int32_t) = Fn<int32_t __stdcall(const char *, int32_t)>("GetItemCount");
  int32_t(__stdcall *GetItem)(const char *, int32_t, int32_t) = Fn<int32_t __stdcall(const char *, int32_t, int32_t)>("GetItem");
  int32_t(__stdcall *FindFirstItem)(const char *, int32_t) = Fn<int32_t __stdcall(const char *, int32_t)>("FindFirstItem");
  int32_t(__stdcall *FindNextItem)() = Fn<int32_t __stdcall()>("FindNextItem");
  void(__stdcall *FindCloseItem)() = Fn<void __stdcall()>("FindCloseItem");
  int32_t(__stdcall *LoadAllVok)(const char *) = Fn<int32_t __stdcall(const char *)>("LoadAllVok");
  int32_t(__stdcall *GetVokCount)(const char *) = Fn<int32_t __stdcall(const char *)>("GetVokCount");
  void(__stdcall *GetVokName)(const char *, int32_t, char *) = Fn<void __stdcall(const char *, int32_t, char *)>("GetVokName");
  int32_t(__stdcall *GetGroupFilter)(const char *, int32_t) = Fn<int32_t __stdcall(const char *, int32_t)>("GetGroupFilter");

  std::string Name(const char *AFile, int32_t AIndex) const {
    char Buffer[256];
    GetVokName(AFile, AIndex, Buffer);
    return Buffer;
  }
  std::string Text(TTextFn *AFn, const char *AName, int32_t ACode) const {
    char Buffer[256];
    AFn(AName, ACode, Buffer);
    return Buffer;
  }
};

// Prints one loaded dictionary: its levels, every item with its texts, and the children of
// each top-level item as the enumeration exports hand them out.
void PrintDictionary(const THost &H, const char *AName) {
  char Path[256];
  H.GetVokPath(AName, Path);
  const int32_t Levels = H.GetGroupCount(AName);
  std::printf("[%s] from %s: %d levels\n", AName, Path, Levels);
  for (int32_t Level = 1; Level <= Levels; ++Level) {
    const int32_t Count = H.GetItemCount(AName, Level);
    std::printf("  level %d: %d items, divisor %d\n", Level, Count, H.GetGroupFilter(AName, Level));
    for (int32_t I = 1; I <= Count; ++I) {
      const int32_t Code = H.GetItem(AName, Level, I);
      std::printf("    %d = %s | %s | %s\n", Code, H.Text(H.GetVokStr, AName, Code).c_str(),
                  H.Text(H.GetVokString, AName, Code).c_str(), H.Text(H.GetVokExtra, AName, Code).c_str());
    }
  }
  for (int32_t I = 1; I <= H.GetItemCount(AName, 1); ++I) {
    const int32_t Top = H.GetItem(AName, 1, I);
    std::printf("  children of %d:", Top);
    for (int32_t Child = H.FindFirstItem(AName, Top); Child != 0; Child = H.FindNextItem())
      std::printf(" %d", Child);
    std::printf("\n");
  }
  H.FindCloseItem();
}

// The utility modes; returns false when AMode is none of them.
bool RunUtility(const std::string &AMode, int argc, char **argv) {
  char Buffer[256] = "";
  if (AMode == "--guid") {
    Fn<void __stdcall(char *)>("GetNewGUID")(Buffer);
    std::printf("GetNewGUID: %s\n", Buffer);
  } else if (AMode == "--reg" && argc >= 4) {
    HKEY Root = std::string(argv[2]) == "HKLM" ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    Fn<void __stdcall(HKEY, const char *, const char *, char *)>("GetRegString")(Root, argv[3], argc > 4 ? argv[4] : "", Buffer);
    std::printf("GetRegString: %s\n", Buffer);
  } else if (AMode == "--sondex" && argc >= 5) {
    Fn<void __stdcall(const char *)>("SetParse")(argc > 5 ? argv[5] : " ,.-");
    std::printf("Sondex: %d\n", Fn<int32_t __stdcall(const char *, const char *, int32_t)>("Sondex")(argv[2], argv[3], std::atoi(argv[4])));
  } else {
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: vokhost FILE.vok [SECTION ...]\n");
    return 2;
  }
  Vokabra = LoadLibraryA("Vokabra.dll");
  if (!Vokabra) {
    std::fprintf(stderr, "vokhost: cannot load Vokabra.dll (error %lu)\n", GetLastError());
    return 2;
  }
  if (argv[1][0] == '-') {
    const bool Done = RunUtility(argv[1], argc, argv);
    if (!Done) std::fprintf(stderr, "vokhost: unknown mode %s\n", argv[1]);
    return Done ? 0 : 2;
  }
  const THost H;
  HWND Window = CreateWindowExA(0, "STATIC", "vokhost", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  std::printf("OpenVokList: %d\n", H.OpenVokList(Window));
  const char *File = argv[1];
  if (argc == 2) {
    std::printf("GetVokCount of the file: %d\n", H.GetVokCount(File));
    for (int32_t I = 1; I <= H.GetVokCount(File); ++I) std::printf("  %d: [%s]\n", I, H.Name(File, I).c_str());
    std::printf("LoadAllVok: %d\n", H.LoadAllVok(File));
    std::printf("GetVokCount of the registry: %d\n", H.GetVokCount(""));
    for (int32_t I = 1; I <= H.GetVokCount(""); ++I) PrintDictionary(H, H.Name("", I).c_str());
  }
  for (int I = 2; I < argc; ++I) {
    const int32_t Loaded = H.LoadVok(File, argv[I]);
    std::printf("LoadVok %s: %d\n", argv[I], Loaded);
    if (Loaded) PrintDictionary(H, argv[I]);
  }
  H.CloseVokabra();
  DestroyWindow(Window);
  FreeLibrary(Vokabra);
  return 0;
}
