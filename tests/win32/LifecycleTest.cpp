// The library's lifecycle repeated many times, as a long GIS session repeats it: the registry
// opened, filled, queried and closed; each dialog opened and closed; the DLL itself unloaded and
// loaded again with its dialogs created and its F1 hook installed. The process's windows, GDI
// objects and private memory are counted before and after: they must not grow beyond a small
// constant, and the F1 hook must be gone after every unload. The counts are cut without
// VOK_STRESS=full, so that the suite stays quick; each test prints its figures.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>

#include "tests/win32/Keyboard.h"
#include "tests/win32/DialogDriver.h"

using namespace vok::test;

namespace {

int Rounds(int AFull, int AQuick) { return FullStressRun() ? AFull : AQuick; }

BOOL CALLBACK CountChild(HWND, LPARAM ACount) {
  ++*reinterpret_cast<int *>(ACount);
  return TRUE;
}
BOOL CALLBACK CountWindow(HWND AWnd, LPARAM ACount) {
  ++*reinterpret_cast<int *>(ACount);
  EnumChildWindows(AWnd, CountChild, ACount);
  return TRUE;
}

// Live GDI objects found by their handle-table slots: Wine accepts a handle's slot number
// alone for any object living there. On Windows this finds nothing (see GdiSlotsWork).
int GdiSlots() {
  int N = 0;
  for (UINT_PTR I = 1; I < 0x10000; ++I)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(I))) ++N;
  return N;
}

// Whether GdiSlots counts exactly: ten brushes made and deleted move it by ten.
bool GdiSlotsWork() {
  const int Before = GdiSlots();
  HBRUSH B[10];
  for (HBRUSH &H : B) H = CreateSolidBrush(RGB(1, 2, 3));
  const int During = GdiSlots();
  for (HBRUSH H : B) DeleteObject(H);
  return During - Before == 10 && GdiSlots() == Before;
}

// Committed private memory of the process, summed over its address space.
SIZE_T CommittedPrivate() {
  SIZE_T Sum = 0;
  MEMORY_BASIC_INFORMATION M;
  for (const char *P = nullptr; VirtualQuery(P, &M, sizeof M) == sizeof M;) {
    if (M.State == MEM_COMMIT && M.Type == MEM_PRIVATE) Sum += M.RegionSize;
    const char *Next = static_cast<const char *>(M.BaseAddress) + M.RegionSize;
    if (Next <= P) break;
    P = Next;
  }
  return Sum;
}

// Bytes allocated in all heaps of the process (their busy blocks).
SIZE_T HeapBytes() {
  HANDLE Heaps[256];
  const DWORD N = GetProcessHeaps(256, Heaps);
  SIZE_T Sum = 0;
  for (DWORD I = 0; I < N && I < 256; ++I) {
    if (!HeapLock(Heaps[I])) continue;
    PROCESS_HEAP_ENTRY E{};
    while (HeapWalk(Heaps[I], &E))
      if (E.wFlags & PROCESS_HEAP_ENTRY_BUSY) Sum += E.cbData;
    HeapUnlock(Heaps[I]);
  }
  return Sum;
}

// The process's resources at one moment.
struct TResources {
  DWORD GuiGdi, GuiUser;  // GetGuiResources
  int GdiObjects;         // live GDI objects by handle-table slot
  int Windows;            // windows of this thread, children included
  SIZE_T PrivateUsage, PagefileUsage, WorkingSet;  // GetProcessMemoryInfo
  SIZE_T Private;                                  // committed private memory
  SIZE_T Heap;                                     // bytes allocated in the heaps
};

TResources Measure() {
  int Windows = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&Windows));
  PROCESS_MEMORY_COUNTERS_EX C{};
  C.cb = sizeof C;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS *>(&C), sizeof C);
  return {GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS),
          GdiSlots(), Windows, C.PrivateUsage, C.PagefileUsage, C.WorkingSetSize, CommittedPrivate(), HeapBytes()};
}

// The lowest free TLS index of the process: a library that leaks one at every unload moves it
// up (the process has 1088, and aborts in the runtime's start-up when none is left).
DWORD FirstFreeTlsIndex() {
  const DWORD I = TlsAlloc();
  TlsFree(I);
  return I;
}

// The lowest free handle value: a handle leaked moves it up.
UINT_PTR FirstFreeHandle() {
  HANDLE H = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  CloseHandle(H);
  return reinterpret_cast<UINT_PTR>(H);
}

constexpr long long KiB = 1024;

// Prints the figures of a run and checks that nothing grew beyond the allowance: a few GDI
// objects, no window, AHeapSlack bytes in the heaps and 256 KiB of committed private memory
// (which grows in steps of the heaps' segments).
void Report(const char *ARun, const std::string &ACounts, const TResources &A, const TResources &B,
            long long AHeapSlack = 16 * KiB) {
  const auto N = [](SIZE_T X) { return static_cast<long long>(X); };
  const auto K = [](SIZE_T X) { return static_cast<long long>(X) / KiB; };
  std::printf("[%s] %s\n"
              "  GetGuiResources: GDI %lu -> %lu, USER %lu -> %lu\n"
              "  GDI objects in the handle table %d -> %d, windows of the thread %d -> %d\n"
              "  allocated in the heaps (HeapWalk) %lld bytes -> %lld bytes (%+lld bytes)\n"
              "  committed private memory (VirtualQuery) %lld KiB -> %lld KiB (%+lld KiB)\n"
              "  GetProcessMemoryInfo: PrivateUsage %lld KiB -> %lld KiB, PagefileUsage %lld KiB -> %lld KiB, "
              "WorkingSetSize %lld KiB -> %lld KiB\n",
              ARun, ACounts.c_str(), A.GuiGdi, B.GuiGdi, A.GuiUser, B.GuiUser, A.GdiObjects, B.GdiObjects,
              A.Windows, B.Windows, N(A.Heap), N(B.Heap), N(B.Heap) - N(A.Heap), K(A.Private), K(B.Private),
              (N(B.Private) - N(A.Private)) / KiB, K(A.PrivateUsage), K(B.PrivateUsage), K(A.PagefileUsage),
              K(B.PagefileUsage), K(A.WorkingSet), K(B.WorkingSet));
  std::fflush(stdout);
  EXPECT_LE(B.GuiGdi, A.GuiGdi + 4) << ARun;
  EXPECT_LE(B.GuiUser, A.GuiUser + 4) << ARun;
  EXPECT_LE(B.GdiObjects, A.GdiObjects + 4) << ARun;
  EXPECT_LE(B.Windows, A.Windows) << ARun;
  EXPECT_LE(N(B.Heap), N(A.Heap) + AHeapSlack) << ARun;
  EXPECT_LE(N(B.Private), N(A.Private) + 256 * KiB) << ARun;
}

class Lifecycle : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(GdiSlotsWork()) << "the GDI handle table cannot be counted here";
    Vok().CloseVokabra();
    Vok().CloseVokList();
  }
  void TearDown() override {
    Vok().CloseVokabra();
    EXPECT_TRUE(Messages.Take().empty()) << "no message is shown";
  }

  // One round of a MapBasic program's life: open, load a file, ask, unload, close.
  void Round(const TExports &L) {
    char B[300];
    ASSERT_EQ(L.OpenVokList(HostWindow()), 65535);
    ASSERT_EQ(L.LoadAllVok(File.c_str()), 65535);
    L.GetVokString("Places", 1101001, B);
    ASSERT_STREQ(B, "North region, Lake district, Stone village");
    L.GetVokExtra("Places", 1101002, B);
    ASSERT_STREQ(B, "pop. 5400");
    ASSERT_EQ(L.GetItemCount("Places", 3), 2);
    ASSERT_EQ(L.FindFirstItem("Places", 1100000), 1101000);
    ASSERT_EQ(L.FindNextItem(), 1102000);
    std::memset(B, ' ', 100);
    B[100] = '\0';
    L.GetLikeValues("Places", "ILL", B);
    ASSERT_STREQ(B, "1101001;1101002;");
    ASSERT_EQ(L.UnLoadVok("Places"), -1);
    ASSERT_EQ(L.GetVokCount(""), 1);
    L.CloseVokList();
  }

  TMessageCatcher Messages;
  TTempDir Dir;
  std::string File = Dir.Write("places.vok", PlacesCrlf);
  std::string Prj = Dir.Write("plane.prj", PlaneFile);
};

}  // namespace

TEST_F(Lifecycle, OpenLoadQueryUnloadCloseRounds) {
  const TExports L(Dll());
  const int N = Rounds(10000, 1000);
  for (int I = 0; I < 20; ++I) Round(L);
  const TResources Before = Measure();
  for (int I = 0; I < N && !HasFatalFailure(); ++I) Round(L);
  Report("rounds", std::to_string(N) + " rounds of OpenVokList, LoadAllVok, queries, UnLoadVok, CloseVokList", Before,
         Measure());
}

TEST_F(Lifecycle, DialogsOpenedAndClosed) {
  const TExports L(Dll());
  const int N = Rounds(1000, 100);
  const TShownHost Host;
  ASSERT_EQ(L.OpenVokList(HostWindow()), 65535);
  ASSERT_EQ(L.LoadAllVok(File.c_str()), 65535);
  char Name[1024], Clause[1024];
  const struct {
    const char *Dialog;
    bool OpenSearch;
    TDialogKind Kind;
    std::function<int32_t()> Open;
    int32_t Result;
  } Dialogs[] = {
      {"selection dialog (GetVokValue, Esc)", false, TDialogKind::Selection,
       [&] { return L.GetVokValue("Stress", "Places", 1101001); }, 0},
      {"search dialog (GetVokValue, F3, Esc, Esc)", true, TDialogKind::Search,
       [&] { return L.GetVokValue("Stress", "Places", 1101001); }, 0},
      {"coordinate chooser (GetPrjString, Esc)", false, TDialogKind::Chooser,
       [&] { return L.GetPrjString(HostWindow(), Prj.c_str(), Name, Clause); }, 65535},
  };
  for (const auto &D : Dialogs) {
    TModalCloser Closer(D.OpenSearch);
    int Seen = 0;
    const auto Open = [&] {
      Closer.Begin();
      EXPECT_EQ(D.Open(), D.Result) << D.Dialog;
      Seen += Closer.Saw(D.Kind) ? 1 : 0;
    };
    for (int I = 0; I < 5; ++I) Open();
    const TResources Before = Measure();
    Seen = 0;
    const DWORD Start = GetTickCount();
    for (int I = 0; I < N && !HasFailure(); ++I) Open();
    const DWORD Ms = GetTickCount() - Start;
    EXPECT_EQ(Seen, N) << D.Dialog;
    Report("dialogs", std::to_string(Seen) + " openings of the " + D.Dialog + " in " + std::to_string(Ms) + " ms",
           Before, Measure());
  }
  L.CloseVokList();
}

TEST_F(Lifecycle, UnloadedWithDialogsAndHookInPlace) {
  const std::string Copy = Dir.CopyOfDll("VokabraStress.dll");
  const int N = Rounds(100, 20);
  TF1Probe Probe;
  const TShownHost Host;
  int Swallowed = 0, Reached = 0;
  const auto Cycle = [&] {
    HMODULE M = LoadLibraryA(Copy.c_str());
    ASSERT_NE(M, nullptr);
    {
      const TExports L(M);
      Round(L);
      ASSERT_EQ(L.OpenVokList(HostWindow()), 65535);
      ASSERT_EQ(L.LoadAllVok(File.c_str()), 65535);
      TModalCloser Closer;
      EXPECT_EQ(L.GetVokValue("Stress", "Places", 0), 0);
      EXPECT_TRUE(Closer.Saw(TDialogKind::Selection));
      L.SetHelpFile("  ", "");
      L.SetHelpHook(1);
    }
    Swallowed += Probe.F1Reaches() ? 0 : 1;
    ASSERT_TRUE(Probe.Arrived());
    ASSERT_TRUE(FreeLibrary(M));
    ASSERT_EQ(GetModuleHandleA("VokabraStress.dll"), nullptr) << "the copy stays loaded";
    // The hook went with the library: F1 reaches the window again, and no hook procedure of
    // the unloaded module is called.
    Reached += Probe.F1Reaches() ? 1 : 0;
    ASSERT_TRUE(Probe.Arrived());
    WNDCLASSEXW Class{};
    Class.cbSize = sizeof Class;
    EXPECT_FALSE(GetClassInfoExW(M, L"TVokabraForm", &Class)) << "the window class outlives the library";
  };
  for (int I = 0; I < 3; ++I) Cycle();
  const TResources Before = Measure();
  const DWORD TlsBefore = FirstFreeTlsIndex();
  const UINT_PTR HandleBefore = FirstFreeHandle();
  Swallowed = Reached = 0;
  for (int I = 0; I < N && !HasFatalFailure(); ++I) Cycle();
  const DWORD TlsAfter = FirstFreeTlsIndex();
  const UINT_PTR HandleAfter = FirstFreeHandle();
  EXPECT_EQ(Swallowed, N) << "F1 swallowed while the library was loaded";
  EXPECT_EQ(Reached, N) << "F1 reached the window after the unload";
  EXPECT_EQ(TlsAfter, TlsBefore) << "TLS indexes lost by the unloads";
  EXPECT_EQ(HandleAfter, HandleBefore) << "handles left open by the unloads";
  Report("unload", std::to_string(N) + " LoadLibrary/FreeLibrary cycles with dialogs and F1 hook; F1 swallowed " +
                       std::to_string(Swallowed) + " times before and received " + std::to_string(Reached) +
                       " times after the unloads; first free TLS index " + std::to_string(TlsBefore) + " -> " +
                       std::to_string(TlsAfter) + ", handles held " +
                       std::to_string((static_cast<long long>(HandleAfter) - static_cast<long long>(HandleBefore)) / 4) +
                       " more",
         Before, Measure());
}

TEST_F(Lifecycle, MoreUnloadsThanTheProcessHasTlsIndexes) {
  // Each load would take one of the process's 1088 TLS indexes for good: the runtime's
  // start-up aborts the process when none is left.
  const std::string Copy = Dir.CopyOfDll("VokabraReload.dll");
  const DWORD Before = FirstFreeTlsIndex();
  for (int I = 0; I < 1200; ++I) {
    HMODULE M = LoadLibraryA(Copy.c_str());
    ASSERT_NE(M, nullptr) << "load " << I;
    ASSERT_TRUE(FreeLibrary(M));
  }
  EXPECT_EQ(FirstFreeTlsIndex(), Before);
}
