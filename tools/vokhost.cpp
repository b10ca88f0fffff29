// A stand-in for the MapBasic host: loads Vokabra.dll by name, opens it with a window of its
// own and prints what a dictionary file holds, the way a host program would read it.
//
// Usage: vokhost FILE.vok               every section, through LoadAllVok
//        vokhost FILE.vok SECTION ...   the named sections, through LoadVok
//        vokhost --guid                 a new GUID
//        vokhost --reg HKCU|HKLM KEY [VALUE]   a registry string
//        vokhost --sondex TEXT1 TEXT2 MINLENGTH [DELIMITERS]   a fuzzy comparison score
//        vokhost --prj FILE.prj [--group N] [--close-after MS]
//   --prj opens the coordinate system chooser on FILE.prj and prints what it returns.
//   --group N selects the N-th group (from 0) as soon as the chooser shows, and
//   --close-after MS closes it MS milliseconds later (both for unattended screenshots).
//        vokhost --pick FILE.vok SECTION [START] [--close-after MS] [--search PATTERN]
//   --pick opens the selection dialog on item START (0: the top level) and prints the code
//   chosen; --close-after MS closes it MS milliseconds later.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "win32/ExportTable.h"

namespace {

HMODULE Vokabra;

using TTextFn = void VOK_STDCALL(const char *, int32_t, char *);

// The exports of Vokabra.dll; ends the program when one is missing.
struct THost : vok::TExportTable {
  THost() : TExportTable(Vokabra) {
    if (const char *Name = Missing()) {
      std::fprintf(stderr, "vokhost: Vokabra.dll has no export %s\n", Name);
      std::exit(2);
    }
  }

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
    for (int32_t Child = H.FindFirstItem(AName, Top); Child != 0; Child = H.FindNextItem()) std::printf(" %d", Child);
    std::printf("\n");
  }
  H.FindCloseItem();
}

struct TChooserDriver {
  HWND Host;
  int Group;       // -1: leave the selection alone
  int CloseAfter;  // milliseconds, -1: the user closes the chooser
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
    if (std::strcmp(argv[I], "--group") == 0)
      Driver.Group = std::atoi(argv[I + 1]);
    else if (std::strcmp(argv[I], "--close-after") == 0)
      Driver.CloseAfter = std::atoi(argv[I + 1]);
  }
  const THost H;
  HANDLE Thread = nullptr;
  if (Driver.Group >= 0 || Driver.CloseAfter >= 0) Thread = CreateThread(nullptr, 0, DriveChooser, &Driver, 0, nullptr);
  static char Name[4096], Clause[4096];
  const int32_t Result = H.GetPrjString(AHost, argv[2], Name, Clause);
  if (Thread) {
    WaitForSingleObject(Thread, 30000);
    CloseHandle(Thread);
  }
  std::printf("GetPrjString: %d\nName: %s\nCoordSys: %s\n", Result, Name, Clause);
  return 0;
}

// The utility modes; returns false when AMode is none of them.
bool RunUtility(const std::string &AMode, int argc, char **argv) {
  char Buffer[256] = "";
  const THost H;
  if (AMode == "--guid") {
    H.GetNewGUID(Buffer);
    std::printf("GetNewGUID: %s\n", Buffer);
  } else if (AMode == "--reg" && argc >= 4) {
    HKEY Root = std::string(argv[2]) == "HKLM" ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    H.GetRegString(Root, argv[3], argc > 4 ? argv[4] : "", Buffer);
    std::printf("GetRegString: %s\n", Buffer);
  } else if (AMode == "--prj" && argc >= 3) {
    HWND Host = CreateWindowExA(0, "STATIC", "vokhost", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    RunChooser(argc, argv, Host);
    DestroyWindow(Host);
  } else if (AMode == "--sondex" && argc >= 5) {
    H.SetParse(argc > 5 ? argv[5] : " ,.-");
    std::printf("Sondex: %d\n", H.Sondex(argv[2], argv[3], std::atoi(argv[4])));
  } else {
    return false;
  }
  return true;
}

// Closes the active window of the thread, the selection dialog, for --close-after.
void CALLBACK CloseActive(HWND, UINT, UINT_PTR, DWORD) {
  if (HWND W = GetActiveWindow()) PostMessageW(W, WM_CLOSE, 0, 0);
}

// The pattern that --search types into the search dialog, and the steps that get it there:
// F3 in the selection dialog, then the pattern and Enter in the search dialog.
std::string SearchPattern;

void CALLBACK TypePattern(HWND, UINT, UINT_PTR AId, DWORD) {
  KillTimer(nullptr, AId);
  HWND Combo = GetDlgItem(GetActiveWindow(), 202);
  if (!Combo) return;
  SetWindowTextA(Combo, SearchPattern.c_str());
  HWND Edit = FindWindowExW(Combo, nullptr, L"Edit", nullptr);
  PostMessageW(Edit ? Edit : Combo, WM_KEYDOWN, VK_RETURN, 1);
}

void CALLBACK PressF3(HWND, UINT, UINT_PTR AId, DWORD) {
  KillTimer(nullptr, AId);
  PostMessageW(GetFocus() ? GetFocus() : GetActiveWindow(), WM_KEYDOWN, VK_F3, 1);
  SetTimer(nullptr, 0, 500, TypePattern);
}

// Shows the selection dialog on one section, the way a host program asks its user for an item.
int Pick(int argc, char **argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: vokhost --pick FILE.vok SECTION [START] [--close-after MS] [--search PATTERN]\n");
    return 2;
  }
  const char *File = argv[2], *Section = argv[3];
  int32_t Start = 0;
  for (int I = 4; I < argc; ++I) {
    if (std::string(argv[I]) == "--close-after" && I + 1 < argc) {
      SetTimer(nullptr, 0, static_cast<UINT>(std::atoi(argv[++I])), CloseActive);
    } else if (std::string(argv[I]) == "--search" && I + 1 < argc) {
      SearchPattern = argv[++I];
      SetTimer(nullptr, 0, 500, PressF3);
    } else
      Start = std::atoi(argv[I]);
  }
  const THost H;
  HWND Window = CreateWindowExA(0, "STATIC", "vokhost", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  std::printf("OpenVokList: %d\n", H.OpenVokList(Window));
  std::printf("LoadVok %s: %d\n", Section, H.LoadVok(File, Section));
  std::fflush(stdout);
  const int32_t Code = H.GetVokValue(Section, Section, Start);
  std::printf("GetVokValue: %d %s\n", Code, H.Text(H.GetVokString, Section, Code).c_str());
  H.CloseVokabra();
  DestroyWindow(Window);
  FreeLibrary(Vokabra);
  return 0;
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
  if (std::string(argv[1]) == "--pick") return Pick(argc, argv);
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
