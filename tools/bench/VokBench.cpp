// Benchmark of the dictionaries at scale. Prints figures; asserts no time.
//
// Built three times: natively it drives the core (TLookup) the way the exports do; as a 32-bit
// and as a 64-bit Windows program it loads Vokabra.dll and calls its exports by name, as the
// MapBasic host does. In the same run it times the plain reference dictionary
// (tools/bench/ReferenceLookup.h) and the floors (reading the file's lines, a hash table of the
// codes, a table-driven scan of the texts), prints the ratios with their goals, and checks that
// the library and the reference give the same answers on a sample (exit code 1 when they do
// not).
//
// Usage: vokbench gen DIR            writes DIR/large.vok and DIR/small.vok
//        vokbench run DIR [OPTIONS]  times them (writes them first when missing)
// Options: --lib-seconds S   least time spent on each library figure (default 0.3)
//          --ref-seconds S   time allowed for each reference figure (default 1.5)
//          --smoke           small dictionary only, in place of the large one too, short times
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>

#include "win32/ExportTable.h"
#else
#include <malloc.h>
#endif

#include "lookup/CodeList.h"
#include "lookup/Cp1251.h"
#include "lookup/Lookup.h"
#include "lookup/Registry.h"
#include "lookup/TextFile.h"
#include "lookup/TextOps.h"
#include "lookup/VokFile.h"
#include "tools/bench/GenDict.h"
#include "tools/bench/ReferenceLookup.h"

using namespace vok;
using namespace vok::bench;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::size_t LikeCapacity = 1 << 20;
// A pattern in lower case ("ново"), found through case-insensitive matching only.
constexpr const char *LikePattern = "\xED\xEE\xE2\xEE";
constexpr const char *LargeAlias = "Large";
constexpr const char *SmallAlias = "Small";

volatile std::size_t Sink;  // keeps the optimiser from dropping the work being timed

using TClock = std::chrono::steady_clock;
double Since(TClock::time_point AStart) { return std::chrono::duration<double>(TClock::now() - AStart).count(); }

// Runs AOp(0), AOp(1), ... in growing batches until AMinSeconds are spent or AMaxOps have run;
// returns the time per op. A slow op stops the run by time, so the figure is scaled from the
// ops that fit.
template <typename F>
double TimePerOp(F &&AOp, double AMinSeconds, std::size_t AMaxOps = SIZE_MAX) {
  std::size_t Done = 0, Batch = 1;
  double Spent = 0;
  while (Done < AMaxOps) {
    const std::size_t N = std::min(Batch, AMaxOps - Done);
    const TClock::time_point T0 = TClock::now();
    for (std::size_t K = 0; K < N; ++K) AOp(Done + K);
    Spent += Since(T0);
    Done += N;
    if (Spent >= AMinSeconds) break;
    const double Left = (AMinSeconds - Spent) / (Spent / double(Done));
    Batch = std::max<std::size_t>(1, std::min<std::size_t>(Batch * 2, static_cast<std::size_t>(Left) + 1));
  }
  return Spent / double(Done);
}

// The best of three TimePerOp runs: the machine may be shared, and a run that another
// program slowed down says nothing about the code.
template <typename F>
double BestPerOp(F &&AOp, double AMinSeconds, std::size_t AMaxOps = SIZE_MAX) {
  double Best = NaN;
  for (int I = 0; I < 3; ++I) {
    const double T = TimePerOp(AOp, AMinSeconds, AMaxOps);
    if (!(T >= Best)) Best = T;
  }
  return Best;
}

// The best of up to ARepeats runs of AOp, fewer when they take longer than ASeconds together.
template <typename F>
double BestOf(int ARepeats, double ASeconds, F &&AOp) {
  double Best = NaN, Total = 0;
  for (int I = 0; I < ARepeats && (I == 0 || Total < ASeconds); ++I) {
    const TClock::time_point T0 = TClock::now();
    AOp();
    const double T = Since(T0);
    Total += T;
    if (!(T >= Best)) Best = T;
  }
  return Best;
}

void WriteText(char *ABuffer, std::string_view AText) {
  std::memcpy(ABuffer, AText.data(), AText.size());
  ABuffer[AText.size()] = '\0';
}

// ---------------------------------------------------------------------------------------------
// The questions a host asks, answered the way the exports answer them (the reference and,
// natively, the library).

enum TOp { opString, opStr, opExtra, opExists, opCount };
const char *const OpNames[opCount] = {"GetVokString", "GetVokStr", "GetVokExtra", "ItemExists"};

template <typename L>
void AnswerText(const L &D, TOp AOp, int32_t ACode, char *ABuffer) {
  switch (AOp) {
    case opString:
      WriteText(ABuffer, D.GetItemString(ACode));
      break;
    case opStr:
      WriteText(ABuffer, D.GetItemText(ACode));
      break;
    case opExtra: {
      const std::string Extra = D.GetItemExtra(ACode);
      WriteText(ABuffer, Extra.empty() ? D.GetItemText(ACode) : Extra);
      break;
    }
    default:
      WriteText(ABuffer, D.ItemExists(ACode) ? "1" : "");
      break;
  }
}

// FindFirstItem and FindNextItem: the children of an item until the end mark 0.
template <typename L>
void AnswerChildren(const L &D, int32_t ACode, TCodeList &AList, std::vector<int32_t> &AOut) {
  AOut.clear();
  const int Level = D.GetGroupId(ACode);
  if (Level + 1 >= D.GroupCount()) return;
  D.LoadGroup(Level + 1, ACode, AList);
  for (const TCodeRow &Row : AList.Rows()) {
    if (Row.Code <= 0) break;
    AOut.push_back(Row.Code);
  }
}

// ---------------------------------------------------------------------------------------------
// The library under test.

#ifdef _WIN32

const char *const LibraryTitle = sizeof(void *) == 8 ? "Vokabra.dll through its exports (x64, 64-bit Wine)"
                                                     : "Vokabra.dll through its exports (32-bit, Wine)";
const char *const ExistsNote =
    "ItemExists has no export: the run through the DLL probes existence with GetVokStr (non-empty text).";

// Loads the DLL first, so that the table of its exports is resolved from it.
struct TLoadedDll {
  HMODULE fDll = LoadLibraryA("Vokabra.dll");
};

// Vokabra.dll loaded by name, its exports resolved as the host resolves them.
class TLibrary : private TLoadedDll, private TExportTable {
 public:
  TLibrary() : TExportTable(fDll) {
    if (!fDll) throw std::runtime_error("cannot load Vokabra.dll");
    if (const char *Name = Missing()) throw std::runtime_error(std::string("Vokabra.dll has no export ") + Name);
    OpenVokList(nullptr);
  }
  ~TLibrary() {
    CloseVokabra();
    FreeLibrary(fDll);
  }
  bool Load(const std::string &AFile, const char *AAlias) {
    return LoadVokEx(AFile.c_str(), BenchSection, AAlias, "*") != 0;
  }
  void Text(const char *AName, TOp AOp, int32_t ACode, char *ABuffer) {
    switch (AOp) {
      case opString:
        GetVokString(AName, ACode, ABuffer);
        break;
      case opStr:
        GetVokStr(AName, ACode, ABuffer);
        break;
      case opExtra:
        GetVokExtra(AName, ACode, ABuffer);
        break;
      default:
        GetVokStr(AName, ACode, ABuffer);
        WriteText(ABuffer, *ABuffer ? "1" : "");
        break;
    }
  }
  void Children(const char *AName, int32_t ACode, std::vector<int32_t> &AOut) {
    AOut.clear();
    for (int32_t C = FindFirstItem(AName, ACode); C != 0; C = FindNextItem()) AOut.push_back(C);
  }
  // ABuffer holds the capacity in blanks on entry, as the host fills it.
  void LikeValues(const char *AName, const char *APattern, char *ABuffer) { GetLikeValues(AName, APattern, ABuffer); }
};

#else

const char *const LibraryTitle = "dictionary core (TLookup), native";
const char *const ExistsNote = "";

// TLookup driven the way the exports drive it (library/QueryExports.cpp).
class TLibrary {
 public:
  bool Load(const std::string &AFile, const char *AAlias) {
    std::unique_ptr<TLookup> &L = fDicts[AAlias];
    if (!L) L = std::make_unique<TLookup>();
    L->LoadVok(AFile, BenchSection, AAlias, "*");
    return L->Ready();
  }
  void Text(const char *AName, TOp AOp, int32_t ACode, char *ABuffer) { AnswerText(Dict(AName), AOp, ACode, ABuffer); }
  void Children(const char *AName, int32_t ACode, std::vector<int32_t> &AOut) {
    AnswerChildren(Dict(AName), ACode, fItemList, AOut);
  }
  // What the GetLikeValues export does.
  void LikeValues(const char *AName, const char *APattern, char *ABuffer) {
    const std::size_t Capacity = std::strlen(ABuffer);
    WriteText(ABuffer, vok::LikeValues(Dict(AName), APattern, Capacity));
  }

 private:
  const TLookup &Dict(const char *AName) { return *fDicts.at(AName); }
  std::map<std::string, std::unique_ptr<TLookup> > fDicts;
  TCodeList fItemList;
};

#endif

// ---------------------------------------------------------------------------------------------
// Process memory.

struct TMemory {
  double Resident = NaN, Peak = NaN, Private = NaN;  // bytes
};

#ifdef _WIN32
TMemory ReadMemory() {
  PROCESS_MEMORY_COUNTERS_EX C{};
  C.cb = sizeof C;
  TMemory M;
  if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS *>(&C), sizeof C)) {
    M.Resident = double(C.WorkingSetSize);
    M.Peak = double(C.PeakWorkingSetSize);
    M.Private = double(C.PrivateUsage);
  }
  return M;
}
bool ResetPeak() { return false; }
const char *const MemoryNote = "working set (GetProcessMemoryInfo)";
#else
TMemory ReadMemory() {
  TMemory M;
  std::ifstream In("/proc/self/status");
  std::string Key;
  double Kb;
  while (In >> Key) {
    if (Key == "VmRSS:" && In >> Kb)
      M.Resident = Kb * 1024;
    else if (Key == "VmHWM:" && In >> Kb)
      M.Peak = Kb * 1024;
    else if (Key == "RssAnon:" && In >> Kb)
      M.Private = Kb * 1024;
  }
  return M;
}
// Starts the peak (VmHWM) anew from the current resident size.
bool ResetPeak() {
  std::ofstream Out("/proc/self/clear_refs");
  Out << "5" << std::flush;
  return bool(Out);
}
const char *const MemoryNote = "resident set (VmRSS, VmHWM of /proc/self/status)";
#endif

// ---------------------------------------------------------------------------------------------
// Floors.

// The plain hash tables of the codes that the cold lookups are held against.
struct THashFloor {
  std::unordered_map<int32_t, std::string> Texts, Extras;

  explicit THashFloor(const TReferenceLookup &ARef) {
    for (int Level = 0; Level < ARef.GroupCount(); ++Level)
      for (const auto &E : ARef.Level(Level)) Texts.emplace(E.Code, E.Text);
    for (const auto &E : ARef.ExtraList()) Extras.emplace(E.Code, E.Text);
  }
  // The same lookups the operation needs: the item, and for the display string its ancestors
  // (widths 2, 3, 3), joined as the template %1%2%3 with "," joins them.
  void Answer(TOp AOp, int32_t ACode, char *ABuffer) const {
    switch (AOp) {
      case opString: {
        const int Level = ACode % 1000000 == 0 ? 0 : ACode % 1000 == 0 ? 1 : 2;
        if (!Texts.count(ACode)) {
          *ABuffer = '\0';
          return;
        }
        static const int32_t Div[] = {1000000, 1000, 1};
        std::string R;
        for (int K = 0; K <= Level; ++K) {
          const auto It = Texts.find(ACode - ACode % Div[K]);
          if (K) R += ", ";
          if (It != Texts.end()) R += It->second;
        }
        WriteText(ABuffer, R);
        break;
      }
      case opStr: {
        const auto It = Texts.find(ACode);
        WriteText(ABuffer, It == Texts.end() ? std::string_view() : std::string_view(It->second));
        break;
      }
      case opExtra: {
        const auto Extra = Extras.find(ACode);
        if (Extra != Extras.end()) {
          WriteText(ABuffer, Extra->second);
          break;
        }
        const auto It = Texts.find(ACode);
        WriteText(ABuffer, It == Texts.end() ? std::string_view() : std::string_view(It->second));
        break;
      }
#ifdef _WIN32
      default: {
        // The run through the DLL has no ItemExists export and probes with GetVokStr; its floor looks
        // the text up and copies it the same way.
        const auto It = Texts.find(ACode);
        WriteText(ABuffer, It == Texts.end() ? std::string_view() : std::string_view(It->second));
        WriteText(ABuffer, *ABuffer ? "1" : "");
        break;
      }
#else
      default:
        WriteText(ABuffer, Texts.count(ACode) ? "1" : "");
        break;
#endif
    }
  }
};

// The texts of every item in search order (level by level, file order), each copied through a
// 256-entry upper-case table and searched with strstr.
struct TScanFloor {
  std::vector<std::string> Texts;
  std::vector<int32_t> Codes;
  unsigned char Upper[256];

  explicit TScanFloor(const TReferenceLookup &ARef) {
    for (int Level = 0; Level < ARef.GroupCount(); ++Level)
      for (const auto &E : ARef.Level(Level)) {
        Texts.push_back(E.Text);
        Codes.push_back(E.Code);
      }
    for (int C = 0; C < 256; ++C) {
      const std::string U = UpperCase(std::string(1, static_cast<char>(C)));
      Upper[C] = U.size() == 1 ? static_cast<unsigned char>(U[0]) : static_cast<unsigned char>(C);
    }
  }
  std::string Scan(const char *APattern, std::size_t ACapacity) const {
    char Pattern[256], Text[256];
    std::size_t P = 0;
    for (; APattern[P] && P < 255; ++P) Pattern[P] = static_cast<char>(Upper[static_cast<unsigned char>(APattern[P])]);
    Pattern[P] = '\0';
    std::string Result;
    if (!P) return Result;
    for (std::size_t I = 0; I < Texts.size(); ++I) {
      const std::string &T = Texts[I];
      const std::size_t N = std::min<std::size_t>(T.size(), 255);
      for (std::size_t K = 0; K < N; ++K) Text[K] = static_cast<char>(Upper[static_cast<unsigned char>(T[K])]);
      Text[N] = '\0';
      if (!std::strstr(Text, Pattern)) continue;
      const std::string Code = std::to_string(Codes[I]) + ";";
      if (Result.size() + Code.size() > ACapacity) break;
      Result += Code;
    }
    return Result;
  }
};

// ---------------------------------------------------------------------------------------------
// The table.

struct TRow {
  std::string Name;
  double Lib = NaN, Ref = NaN;  // seconds, or bytes for a memory row
  bool Bytes = false;
  double Ratio = NaN, Goal = NaN;
  bool Heading = false;
  bool Small = false;  // bytes printed as bytes
};

std::string FormatTime(double S) {
  char B[32];
  if (std::isnan(S)) return "";
  if (S < 1e-6)
    std::snprintf(B, sizeof B, "%.0f ns", S * 1e9);
  else if (S < 1e-3)
    std::snprintf(B, sizeof B, "%.2f us", S * 1e6);
  else if (S < 1)
    std::snprintf(B, sizeof B, "%.2f ms", S * 1e3);
  else
    std::snprintf(B, sizeof B, "%.2f s", S);
  return B;
}

std::string FormatBytes(double B) {
  char S[32];
  if (std::isnan(B)) return "";
  std::snprintf(S, sizeof S, "%.1f MB", B / 1048576.0);
  return S;
}

class TTable {
 public:
  void Heading(const std::string &AName) { fRows.push_back({AName, NaN, NaN, false, NaN, NaN, true}); }
  void Time(const std::string &AName, double ALib, double ARef = NaN) { fRows.push_back({"  " + AName, ALib, ARef}); }
  void Memory(const std::string &AName, double ABytes) { fRows.push_back({"  " + AName, ABytes, NaN, true}); }
  // A small number of bytes, printed as such.
  void Bytes(const std::string &AName, double ABytes) {
    fRows.push_back({"  " + AName, ABytes, NaN, true, NaN, NaN, false, true});
  }
  void Ratio(const std::string &AName, double ARatio, double AGoal) {
    fRows.push_back({"  " + AName, NaN, NaN, false, ARatio, AGoal});
    if (!(ARatio <= AGoal)) ++fMisses;
  }
  void Print() const {
    std::printf("%-58s %11s %11s %9s %7s %6s\n", "Figure", "Library", "Reference", "Speed-up", "Ratio", "Goal");
    for (const TRow &R : fRows) {
      if (R.Heading) {
        std::printf("%s\n", R.Name.c_str());
        continue;
      }
      char Speed[32] = "", Ratio[32] = "", Goal[32] = "";
      if (!std::isnan(R.Lib) && !std::isnan(R.Ref) && R.Lib > 0)
        std::snprintf(Speed, sizeof Speed, "%.1fx", R.Ref / R.Lib);
      if (!std::isnan(R.Ratio)) std::snprintf(Ratio, sizeof Ratio, "%.2f", R.Ratio);
      if (!std::isnan(R.Goal)) std::snprintf(Goal, sizeof Goal, "<=%g", R.Goal);
      const std::string Lib = R.Small   ? std::to_string(std::lround(R.Lib)) + " B"
                              : R.Bytes ? FormatBytes(R.Lib)
                                        : FormatTime(R.Lib);
      std::printf("%-58s %11s %11s %9s %7s %6s %s\n", R.Name.c_str(), Lib.c_str(), FormatTime(R.Ref).c_str(), Speed,
                  Ratio, Goal, std::isnan(R.Goal) ? "" : (R.Ratio <= R.Goal ? "PASS" : "MISS"));
    }
  }
  int Misses() const { return fMisses; }

 private:
  std::vector<TRow> fRows;
  int fMisses = 0;
};

// ---------------------------------------------------------------------------------------------

struct TOptions {
  std::string Dir;
  double LibSeconds = 0.3, RefSeconds = 1.5;
  bool Smoke = false;
  bool ScaleOnly = false;  // only the figures of scale
  std::string Host;        // how the run is hosted, when the title should say more (an emulation)
};

// The title of a table: what is measured, and how it is hosted when that says more.
std::string Title(const TOptions &O) { return O.Host.empty() ? LibraryTitle : LibraryTitle + (", " + O.Host); }

// The codes a run asks about, from the shape of a generated file.
struct TCodes {
  std::vector<int32_t> Warm;        // up to 1,000 deepest items of one cluster, file order
  std::vector<int32_t> Cold;        // every item once, shuffled
  std::vector<int32_t> TenParents;  // level-1 items with exactly ten children
};

TCodes ShapeCodes(const TDictShape &AShape) {
  TCodes C;
  const int Top = std::min(50, AShape.Top);
  for (int Child = 1; Child <= std::min(10, AShape.FullChildren); ++Child)
    for (int G = 1; G <= std::min(100, AShape.GrandChildren); ++G) C.Warm.push_back(ShapeCode(Top, Child, G));
  ForEachShapeItem(AShape, [&](int32_t ACode, int ALevel) {
    C.Cold.push_back(ACode);
    if (ALevel == 1 && ChildrenOf(AShape, ACode / 1000 % 1000) == 10) C.TenParents.push_back(ACode);
  });
  uint64_t S = 12345;
  for (std::size_t I = C.Cold.size(); I > 1; --I) {
    S = S * 6364136223846793005ull + 1442695040888963407ull;
    std::swap(C.Cold[I - 1], C.Cold[static_cast<std::size_t>((S >> 33) % I)]);
  }
  return C;
}

long FileSize(const std::string &AFile) {
  std::ifstream In(AFile, std::ios::binary | std::ios::ate);
  return In ? static_cast<long>(In.tellg()) : -1;
}

// The path of the copy of the Windows-1251 file AFile saved as UTF-8 without the mark; with
// AWrite (or when it is missing) the copy is written.
std::string Utf8Copy(const std::string &AFile, bool AWrite = false) {
  const std::string Copy = AFile.substr(0, AFile.size() - 4) + "-utf8.vok";
  if (!AWrite && FileSize(Copy) >= 0) return Copy;
  std::ifstream In(AFile, std::ios::binary);
  std::ofstream Out(Copy, std::ios::binary);
  for (std::string Line; std::getline(In, Line);) Out << Cp1251ToUtf8(Line) << '\n';
  return Copy;
}

// The pass that decides that a file without a mark is UTF-8: the whole file read and validated.
bool ValidateFloor(const std::string &AFile) {
  std::ifstream In(AFile, std::ios::binary);
  std::vector<char> Block(1 << 20);
  TUtf8Validator Check;
  while (In.read(Block.data(), static_cast<std::streamsize>(Block.size())) || In.gcount() > 0)
    if (!Check.Feed(std::string_view(Block.data(), static_cast<std::size_t>(In.gcount())))) return false;
  return Check.Complete();
}

// Writes the large and the small file into ADir (created when missing), or the small one alone,
// each with its copy in UTF-8.
void Generate(const std::string &ADir, bool ASmallOnly) {
  std::filesystem::create_directories(ADir);
  for (const auto &[Name, Shape] : {std::pair<const char *, TDictShape>{"small.vok", SmallShape},
                                    std::pair<const char *, TDictShape>{"large.vok", LargeShape}}) {
    if (ASmallOnly && Shape.Top == LargeShape.Top) continue;
    const std::string File = ADir + "/" + Name;
    const long Items = WriteShapeFile(File, Shape);
    std::printf("wrote %s: %ld items, %.1f MB\n", File.c_str(), Items, double(FileSize(File)) / 1048576.0);
    Utf8Copy(File, true);
  }
}

// ---------------------------------------------------------------------------------------------
// Scale beyond one big section: files of many small sections, memory per dictionary, and the
// dialogs on a level of many items.

// N sections [S1]..[SN] of five items each (codes 1..5), or one section [One] of the same
// 5 N items (codes 1..5N); AFile gets its path.
void WriteSections(const std::string &AFile, int ASections, bool AOneSection) {
  std::ofstream Out(AFile, std::ios::binary);
  std::string Chunk;
  if (AOneSection) Chunk = "[One]\r\nFormat=7\r\nDisplay=%1\r\nDelimit=\r\n";
  for (int S = 1; S <= ASections; ++S) {
    if (!AOneSection) Chunk += "[S" + std::to_string(S) + "]\r\nFormat=1\r\nDisplay=%1\r\nDelimit=\r\n";
    for (int I = 1; I <= 5; ++I) {
      const int32_t Code = AOneSection ? (S - 1) * 5 + I : I;
      Chunk += std::to_string(Code) + "=" + detail::PlaceName(static_cast<uint32_t>(S * 5 + I)) + "\r\n";
    }
    if (Chunk.size() > (1u << 20)) Out << Chunk, Chunk.clear();
  }
  Out << Chunk;
}

#ifdef _WIN32
// One level [Flat] of AItems items under one parent (codes 1..AItems), the street names of a
// flat classifier: "ул. <name> <code>", every one holding the pattern of the search.
void WriteFlatLevel(const std::string &AFile, int AItems) {
  std::ofstream Out(AFile, std::ios::binary);
  std::string Chunk = "[Flat]\r\nFormat=7\r\nDisplay=%1\r\nDelimit=\r\n";
  for (int I = 1; I <= AItems; ++I) {
    Chunk += std::to_string(I) + "=\xF3\xEB. " + detail::PlaceName(static_cast<uint32_t>(I) * 2654435761u) + " " +
             std::to_string(I) + "\r\n";
    if (Chunk.size() > (1u << 20)) Out << Chunk, Chunk.clear();
  }
  Out << Chunk;
}
constexpr const char *FlatPattern = "\xD3\xCB.";  // "УЛ.": every street

// The bytes allocated in every heap of the process.
double HeapBytes() {
  HANDLE Heaps[256];
  const DWORD N = GetProcessHeaps(256, Heaps);
  double Bytes = 0;
  for (DWORD I = 0; I < N && I < 256; ++I) {
    PROCESS_HEAP_ENTRY E{};
    HeapLock(Heaps[I]);
    while (HeapWalk(Heaps[I], &E))
      if (E.wFlags & PROCESS_HEAP_ENTRY_BUSY) Bytes += E.cbData;
    HeapUnlock(Heaps[I]);
  }
  return Bytes;
}
const char *const HeapNote = "bytes in the heaps (HeapWalk)";

// The library's registry and dialogs, driven through the exports.
class TScaleHost : private TLoadedDll, private TExportTable {
 public:
  TScaleHost() : TExportTable(fDll) {
    if (!fDll || Missing()) throw std::runtime_error("cannot load Vokabra.dll");
    fHost = CreateWindowExW(0, L"STATIC", L"vokbench", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                            nullptr);
  }
  ~TScaleHost() {
    CloseVokabra();
    DestroyWindow(fHost);
    FreeLibrary(fDll);
  }
  // A registry of its own (with AAgain the one of the last load), and every section of AFile
  // in it; the time of the load.
  double LoadAll(const std::string &AFile, bool AAgain = false) {
    if (!AAgain) OpenVokList(fHost);
    const TClock::time_point T0 = TClock::now();
    if (!LoadAllVok(AFile.c_str())) throw std::runtime_error("LoadAllVok failed on " + AFile);
    return Since(T0);
  }
  std::size_t Count() { return static_cast<std::size_t>(GetVokCount("")); }
  void Close() { CloseVokList(); }

  // The time from the call of GetVokValue on section Flat of AFile to the dialog's showing its
  // rows, waiting for input; with APattern, the time from Enter in the search dialog to its
  // showing the matches.
  double Dialog(const std::string &AFile, const char *APattern) {
    OpenVokList(fHost);
    if (!LoadVok(AFile.c_str(), "Flat")) throw std::runtime_error("LoadVok failed on " + AFile);
    fRun = TRun{};
    fRun.Pattern = APattern;
    fRun.Start = TClock::now();
    fCurrent = this;
    const UINT_PTR Timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &TScaleHost::Tick);
    GetVokValue("Flat", "Flat", 0);
    KillTimer(nullptr, Timer);
    fCurrent = nullptr;
    CloseVokList();
    return fRun.Seconds;
  }

 private:
  struct TRun {
    const char *Pattern = nullptr;
    TClock::time_point Start;
    int Stage = 0;
    double Seconds = NaN;
  };
  // Finds the shown window that holds the control of the pair's id.
  static BOOL CALLBACK FindShown(HWND AWnd, LPARAM AFound) {
    auto &F = *reinterpret_cast<std::pair<int, HWND> *>(AFound);
    if (!F.second && IsWindowVisible(AWnd) && GetDlgItem(AWnd, F.first)) F.second = AWnd;
    return TRUE;
  }
  // A tick comes only when the dialog waits for input: its rows or matches are shown.
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TScaleHost *Self = fCurrent;
    if (!Self) return;
    TRun &R = Self->fRun;
    std::pair<int, HWND> Search{202, nullptr}, Selection{101, nullptr};
    const auto Find = [](std::pair<int, HWND> &AWhat) {
      EnumThreadWindows(GetCurrentThreadId(), &TScaleHost::FindShown, reinterpret_cast<LPARAM>(&AWhat));
    };
    Find(Search);
    Find(Selection);
    if (R.Stage == 0 && Selection.second) {
      if (!R.Pattern) {
        R.Seconds = Since(R.Start);
        PostMessageW(Selection.second, WM_CLOSE, 0, 0);
        R.Stage = 3;
        return;
      }
      PostMessageW(GetDlgItem(Selection.second, 101), WM_KEYDOWN, VK_F3, 1);
      R.Stage = 1;
    } else if (R.Stage == 1 && Search.second) {
      HWND Combo = GetDlgItem(Search.second, 202);
      SetWindowTextA(Combo, R.Pattern);
      HWND Edit = FindWindowExW(Combo, nullptr, L"Edit", nullptr);
      R.Start = TClock::now();
      PostMessageW(Edit ? Edit : Combo, WM_KEYDOWN, VK_RETURN, 1);
      R.Stage = 2;
    } else if (R.Stage == 2 && Search.second) {
      R.Seconds = Since(R.Start);
      PostMessageW(Search.second, WM_CLOSE, 0, 0);
      R.Stage = 3;
    } else if (R.Stage == 3 && Selection.second) {
      PostMessageW(Selection.second, WM_CLOSE, 0, 0);
    }
  }
  static inline TScaleHost *fCurrent = nullptr;
  HWND fHost = nullptr;
  TRun fRun;
};

// The floor of a dialog on ATexts: the same texts sorted by the same locale comparison and put
// into a plain list box, one row each.
double ListFloor(std::vector<std::string> ATexts) {
  const TClock::time_point T0 = TClock::now();
  std::stable_sort(ATexts.begin(), ATexts.end(),
                   [](const std::string &A, const std::string &B) { return CompareText(A, B) < 0; });
  HWND List = CreateWindowExW(0, L"LISTBOX", L"", WS_OVERLAPPEDWINDOW | WS_VSCROLL | LBS_NOTIFY, 0, 0, 400, 400,
                              nullptr, nullptr, nullptr, nullptr);
  SendMessageW(List, WM_SETREDRAW, FALSE, 0);
  SendMessageW(List, LB_INITSTORAGE, ATexts.size(), 0);
  for (const std::string &T : ATexts) {
    std::wstring W(T.size(), L'\0');
    W.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_ACP, 0, T.data(), static_cast<int>(T.size()), W.data(), static_cast<int>(W.size()))));
    SendMessageW(List, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W.c_str()));
  }
  SendMessageW(List, WM_SETREDRAW, TRUE, 0);
  const double T = Since(T0);
  DestroyWindow(List);
  return T;
}
#else
double HeapBytes() { return double(mallinfo2().uordblks); }
const char *const HeapNote = "bytes allocated (mallinfo2)";

// The core loading every section of a file into a registry, as LoadAllVok does.
class TScaleHost {
 public:
  double LoadAll(const std::string &AFile, bool AAgain = false) {
    if (!AAgain || !fRegistry) fRegistry = std::make_unique<TRegistry>();
    const TClock::time_point T0 = TClock::now();
    TTextReader Reader(AFile);
    LoadAllSections(Reader, AFile, [&](std::string_view AName, std::unique_ptr<TLookup> ALookup) {
      if (const TRegistry::TEntry *E = fRegistry->Find(Trim(AName))) fRegistry->Remove(E);
      std::string Name = ALookup->VokName();
      fRegistry->Add(std::move(Name), std::move(ALookup));
    });
    return Since(T0);
  }
  std::size_t Count() { return fRegistry ? fRegistry->Count() : 0; }
  void Close() { fRegistry.reset(); }

 private:
  std::unique_ptr<TRegistry> fRegistry;
};
#endif

// The figures of scale, in a table of their own.
void RunScale(const TOptions &O) {
#ifndef _WIN32
  // glibc gives the top of its heap back to the system when a release frees it, so a load
  // after it pays page faults for its memory again, or not, by where the last live block
  // happens to lie: the same code timed 10 or 20 ms. A pad at the top keeps every load on the
  // memory the first one touched.
  mallopt(M_TOP_PAD, 64 << 20);
#endif
  const int Few = O.Smoke ? 20 : 1000, Many = O.Smoke ? 400 : 20000;
  const std::string FewFile = O.Dir + "/many" + std::to_string(Few) + ".vok",
                    ManyFile = O.Dir + "/many" + std::to_string(Many) + ".vok",
                    OneFile = O.Dir + "/one" + std::to_string(Many) + ".vok";
  WriteSections(FewFile, Few, false);
  WriteSections(ManyFile, Many, false);
  WriteSections(OneFile, Many, true);
  TTable Table;
  TScaleHost Host;
  // The best of a few loads, each into a new registry (AAgain: into one that holds the file
  // already, every section replacing its dictionary); its release is not timed.
  const auto Load = [&](const std::string &AFile, bool AAgain = false) {
    double Best = NaN;
    for (int I = 0; I < 3; ++I) {
      if (AAgain) Host.LoadAll(AFile);
      const double T = Host.LoadAll(AFile, AAgain);
      Host.Close();
      if (!(T >= Best)) Best = T;
    }
    return Best;
  };
  const double FewTime = Load(FewFile), ManyTime = Load(ManyFile), OneTime = Load(OneFile);
  Table.Heading("LoadAllVok of many small sections (5 items each), and of the same items in one section");
  Table.Time(std::to_string(Few) + " sections", FewTime);
  Table.Time(std::to_string(Many) + " sections", ManyTime);
  Table.Time("the same " + std::to_string(5 * Many) + " items in one section", OneTime);
  Table.Ratio(std::to_string(Many) + " / " + std::to_string(Few) + " sections", ManyTime / FewTime, 25);
  Table.Ratio(std::to_string(Many) + " sections / one section", ManyTime / OneTime, 3);
  const double AgainTime = Load(ManyFile, true);
  Table.Time(std::to_string(Many) + " sections again, each replacing its dictionary", AgainTime);
  Table.Ratio("again / the first load", AgainTime / ManyTime, 2);

  // Memory: what the small dictionaries cost beyond the same items loaded in one section.
  const auto Held = [&](const std::string &AFile) {
    const double Before = HeapBytes();
    Host.LoadAll(AFile);
    if (Host.Count() == 0) throw std::runtime_error("nothing registered from " + AFile);
    const double Bytes = HeapBytes() - Before;
    Host.Close();
    return Bytes;
  };
  const double ManyBytes = Held(ManyFile), OneBytes = Held(OneFile);
  Table.Heading(std::string("Memory per small dictionary, ") + HeapNote);
  Table.Memory(std::to_string(Many) + " sections", ManyBytes);
  Table.Memory("the same items in one section", OneBytes);
  const double PerDictionary = (ManyBytes - OneBytes) / Many;
  Table.Bytes("per dictionary beyond its items", PerDictionary);
  Table.Ratio("per dictionary beyond its items / 2 KiB", PerDictionary / 2048, 1);

#ifdef _WIN32
  Table.Heading("The selection dialog on one level of many items under one parent (time to its rows)");
  std::vector<int> Counts = O.Smoke ? std::vector<int>{2000} : std::vector<int>{25000, 50000, 100000, 200000};
  for (int N : Counts) {
    const std::string File = O.Dir + "/flat" + std::to_string(N) + ".vok";
    WriteFlatLevel(File, N);
    TReferenceLookup Ref;
    Ref.LoadVok(File, "Flat", "Flat", "*");
    std::vector<std::string> Texts;
    for (const auto &E : Ref.Level(0)) Texts.push_back(E.Text);
    const double Shown = BestOf(2, 2 * O.LibSeconds, [&] { Sink = std::size_t(Host.Dialog(File, nullptr) * 1e9); });
    const double Dlg = Host.Dialog(File, nullptr);
    Texts.push_back(UndefinedValueText);
    const double Floor = BestOf(2, 2 * O.LibSeconds, [&] { Sink = std::size_t(ListFloor(Texts) * 1e9); });
    Table.Time(std::to_string(N) + " items", std::min(Shown, Dlg));
    Table.Time("floor: the texts sorted the same way into a plain list box", Floor);
    Table.Ratio(std::to_string(N) + " items / floor", std::min(Shown, Dlg) / Floor, 2);
    if (N != (O.Smoke ? 2000 : 100000)) continue;
    // The search behind F3 on the same level: every item matches.
    const double Search = Host.Dialog(File, FlatPattern);
    const double SearchFloor = BestOf(2, 2 * O.LibSeconds, [&] {
      const TUpperMatcher Pattern(FlatPattern);
      std::vector<std::string> Found;
      for (const auto &E : Ref.Level(0))
        if (Pattern.Matches(E.Text)) Found.push_back(E.Text);
      Sink = std::size_t(ListFloor(std::move(Found)) * 1e9);
    });
    Table.Time("the search dialog, " + std::to_string(N) + " matches", Search);
    Table.Time("floor: the matches found, sorted the same way into a plain list box", SearchFloor);
    Table.Ratio("search / floor", Search / SearchFloor, 2);
  }
#endif
  std::printf("\n%s: scale\n", Title(O).c_str());
  Table.Print();
}

int Run(const TOptions &O) {
  const std::string LargeFile = O.Dir + (O.Smoke ? "/small.vok" : "/large.vok");
  const std::string SmallFile = O.Dir + "/small.vok";
  if (FileSize(LargeFile) < 0 || FileSize(SmallFile) < 0) {
    std::printf("input files missing: generating them (line by line, so the memory figures stay clean)\n");
    Generate(O.Dir, O.Smoke);
  }
  const TDictShape &Large = O.Smoke ? SmallShape : LargeShape;
  const char *const L1M = O.Smoke ? "1K(as 1M)" : "1M";
  const double FileBytes = double(FileSize(LargeFile));
  TTable Table;
  int Disagreements = 0;
  auto Check = [&](const std::string &AWhat, const std::string &ALib, const std::string &ARef) {
    if (ALib == ARef) return;
    if (++Disagreements <= 10)
      std::printf("DIFFERENT %s:\n  library:   %.200s\n  reference: %.200s\n", AWhat.c_str(), ALib.c_str(),
                  ARef.c_str());
  };

  TLibrary Lib;

  // Memory first, before anything else of size lives in the process.
  const bool PeakReset = ResetPeak();
  const TMemory Before = ReadMemory();
  const TClock::time_point LoadStart = TClock::now();
  if (!Lib.Load(LargeFile, LargeAlias)) throw std::runtime_error("the library did not load " + LargeFile);
  const double FirstLoad = Since(LoadStart);
  const TMemory After = ReadMemory();

  // The same file saved as UTF-8 without the mark, whose reading decides so from the whole file;
  // the load of the Windows-1251 file then stays.
  const std::string Utf8File = Utf8Copy(LargeFile);
  const double LibLoadUtf8 = BestOf(2, 4 * O.LibSeconds, [&] { Lib.Load(Utf8File, LargeAlias); });
  const double Decision = BestOf(3, 2 * O.LibSeconds, [&] { Sink = ValidateFloor(Utf8File); });
  const double LibLoad = std::min(FirstLoad, BestOf(2, 4 * O.LibSeconds, [&] { Lib.Load(LargeFile, LargeAlias); }));
  const double FloorLines = BestOf(3, 2 * O.LibSeconds, [&] { Sink = ReadLinesFloor(LargeFile).size(); });
  std::string Store;
  const double FloorSplit = BestOf(3, 2 * O.LibSeconds, [&] { Sink = SplitLinesFloor(LargeFile, Store).size(); });
  Store = std::string();
  TReferenceLookup Ref;
  const double RefLoad = BestOf(1, 0, [&] { Ref.LoadVok(LargeFile, BenchSection, LargeAlias, "*"); });
  if (!Ref.Ready()) throw std::runtime_error("the reference did not load " + LargeFile);
  if (!Lib.Load(SmallFile, SmallAlias)) throw std::runtime_error("the library did not load " + SmallFile);
  const double LibLoadSmall = BestPerOp([&](std::size_t) { Lib.Load(SmallFile, SmallAlias); }, O.LibSeconds);
  TReferenceLookup RefSmall;
  const double RefLoadSmall =
      TimePerOp([&](std::size_t) { RefSmall.LoadVok(SmallFile, BenchSection, SmallAlias, "*"); }, O.LibSeconds);

  Table.Heading("Load (" + std::to_string(long(FileBytes)) + " bytes, " +
                std::to_string(Ref.GetLevelItemCount(0) + Ref.GetLevelItemCount(1) + Ref.GetLevelItemCount(2)) +
                " items)");
  Table.Time(std::string("load ") + L1M + " section", LibLoad, RefLoad);
  Table.Time("floor: read its lines, one std::string each", FloorLines);
  Table.Ratio(std::string("load ") + L1M + " / read its lines", LibLoad / FloorLines, 2);
  Table.Time("info: whole file in one buffer, lines split in place", FloorSplit);
  Table.Time(std::string("load ") + L1M + " section saved as UTF-8 without the mark", LibLoadUtf8);
  Table.Ratio("UTF-8 without the mark / Windows-1251", LibLoadUtf8 / LibLoad, 3);
  Table.Time("info: the UTF-8 file read and validated whole (the decision)", Decision);
  Table.Time("load 1K section", LibLoadSmall, RefLoadSmall);
  Table.Heading(std::string("Memory, ") + MemoryNote + (PeakReset ? "" : "; the peak is the process's own"));
  const double Growth = After.Peak - Before.Resident;
  Table.Memory(std::string("peak during the ") + L1M + " load, above the resident size before", Growth);
  Table.Memory("file size", FileBytes);
  Table.Ratio("peak growth / file size", Growth / FileBytes, 2);
  Table.Memory("resident after the load, above the size before", After.Resident - Before.Resident);
  if (After.Private > 0)
    Table.Memory(
#ifdef _WIN32
        "private bytes after the load, above the size before",
#else
        "anonymous resident after the load, above the size before",
#endif
        After.Private - Before.Private);

  // Lookups: warm (a cluster of 1,000 codes, repeated), the small dictionary, and cold (every
  // code of the large one once, in random order) against a hash table of the codes.
  const TCodes LargeCodes = ShapeCodes(Large), SmallCodes = ShapeCodes(SmallShape);
  std::vector<int32_t> SmallDeep;
  ForEachShapeItem(SmallShape, [&](int32_t C, int L) {
    if (L == 2) SmallDeep.push_back(C);
  });
  const THashFloor Hash(Ref);
  char Buf[512];
  for (int Op = 0; Op < opCount; ++Op) {
    const TOp K = static_cast<TOp>(Op);
    auto LibOn = [&](const char *AName, const std::vector<int32_t> &ACodes) {
      return [&, AName](std::size_t I) {
        Lib.Text(AName, K, ACodes[I % ACodes.size()], Buf);
        Sink = Sink + static_cast<unsigned char>(Buf[0]);
      };
    };
    auto RefOn = [&](const TReferenceLookup &AR, const std::vector<int32_t> &ACodes) {
      return [&](std::size_t I) {
        AnswerText(AR, K, ACodes[I % ACodes.size()], Buf);
        Sink = Sink + static_cast<unsigned char>(Buf[0]);
      };
    };
    TimePerOp(LibOn(LargeAlias, LargeCodes.Warm), 0.1, LargeCodes.Warm.size());  // warm-up
    const double WarmLib = BestPerOp(LibOn(LargeAlias, LargeCodes.Warm), O.LibSeconds);
    const double WarmRef = TimePerOp(RefOn(Ref, LargeCodes.Warm), O.RefSeconds);
    TimePerOp(LibOn(SmallAlias, SmallDeep), 0.1, SmallDeep.size());
    const double SmallLib = BestPerOp(LibOn(SmallAlias, SmallDeep), O.LibSeconds);
    const double SmallRef = TimePerOp(RefOn(RefSmall, SmallDeep), O.RefSeconds);
    const double ColdLib = BestPerOp(LibOn(LargeAlias, LargeCodes.Cold), O.LibSeconds, LargeCodes.Cold.size());
    const double ColdRef = TimePerOp(RefOn(Ref, LargeCodes.Cold), O.RefSeconds, LargeCodes.Cold.size());
    const double ColdHash = BestPerOp(
        [&](std::size_t I) {
          Hash.Answer(K, LargeCodes.Cold[I % LargeCodes.Cold.size()], Buf);
          Sink = Sink + static_cast<unsigned char>(Buf[0]);
        },
        O.LibSeconds, LargeCodes.Cold.size());

    Table.Heading(std::string(OpNames[Op]) + " (time per call)");
    Table.Time(std::string(L1M) + " warm: " + std::to_string(LargeCodes.Warm.size()) + " clustered codes, repeated",
               WarmLib, WarmRef);
    Table.Time("1K: its " + std::to_string(SmallDeep.size()) + " deepest items, repeated", SmallLib, SmallRef);
    Table.Ratio(std::string(L1M) + " warm / 1K", WarmLib / SmallLib, 1.5);
    Table.Time(std::string(L1M) + " cold: every code once, random order", ColdLib, ColdRef);
    Table.Time("floor: std::unordered_map of the codes, same order", ColdHash);
    Table.Ratio(std::string(L1M) + " cold / hash table", ColdLib / ColdHash, 3);

    // Same answers: the warm cluster, the first cold codes, absent codes, the small dictionary.
    std::vector<int32_t> Sample(LargeCodes.Warm.begin(),
                                LargeCodes.Warm.begin() + std::min<std::size_t>(50, LargeCodes.Warm.size()));
    Sample.insert(Sample.end(), LargeCodes.Cold.begin(),
                  LargeCodes.Cold.begin() + std::min<std::size_t>(50, LargeCodes.Cold.size()));
    for (int32_t C : {0, -1, 1, 999, 1000000 + 999, 50001999, 2147483647}) Sample.push_back(C);
    char LibBuf[512], RefBuf[512];
    for (int32_t C : Sample) {
      Lib.Text(LargeAlias, K, C, LibBuf);
      AnswerText(Ref, K, C, RefBuf);
      Check(std::string(OpNames[Op]) + " " + std::to_string(C), LibBuf, RefBuf);
    }
    for (int32_t C : SmallCodes.Cold) {
      Lib.Text(SmallAlias, K, C, LibBuf);
      AnswerText(RefSmall, K, C, RefBuf);
      Check(std::string(OpNames[Op]) + " small " + std::to_string(C), LibBuf, RefBuf);
    }
  }

  // Children of items that have exactly ten.
  {
    std::vector<int32_t> Out;
    TCodeList RefList;
    auto LibOn = [&](const char *AName, const std::vector<int32_t> &AParents) {
      return [&, AName](std::size_t I) {
        Lib.Children(AName, AParents[I % AParents.size()], Out);
        Sink = Sink + Out.size();
      };
    };
    auto RefOn = [&](const TReferenceLookup &AR, const std::vector<int32_t> &AParents) {
      return [&](std::size_t I) {
        AnswerChildren(AR, AParents[I % AParents.size()], RefList, Out);
        Sink = Sink + Out.size();
      };
    };
    const double LargeLib = BestPerOp(LibOn(LargeAlias, LargeCodes.TenParents), O.LibSeconds);
    const double LargeRef = TimePerOp(RefOn(Ref, LargeCodes.TenParents), O.RefSeconds);
    const double SmallLib = BestPerOp(LibOn(SmallAlias, SmallCodes.TenParents), O.LibSeconds);
    const double SmallRef = TimePerOp(RefOn(RefSmall, SmallCodes.TenParents), O.RefSeconds);
    Table.Heading("FindFirstItem + FindNextItem over an item's 10 children (time per item)");
    Table.Time(std::string(L1M) + ": " + std::to_string(LargeCodes.TenParents.size()) + " such items in turn", LargeLib,
               LargeRef);
    Table.Time("1K: " + std::to_string(SmallCodes.TenParents.size()) + " such items in turn", SmallLib, SmallRef);
    Table.Ratio(std::string(L1M) + " / 1K", LargeLib / SmallLib, 1.5);

    std::vector<int32_t> LibOut;
    for (std::size_t I = 0; I < std::min<std::size_t>(20, LargeCodes.TenParents.size()); ++I) {
      const int32_t P = LargeCodes.TenParents[I * 37 % LargeCodes.TenParents.size()];
      Lib.Children(LargeAlias, P, LibOut);
      AnswerChildren(Ref, P, RefList, Out);
      auto Join = [](const std::vector<int32_t> &V) {
        std::string S;
        for (int32_t C : V) S += std::to_string(C) + ";";
        return S;
      };
      Check("children of " + std::to_string(P), Join(LibOut), Join(Out));
      if (Out.size() != 10) Check("count of children of " + std::to_string(P), std::to_string(Out.size()), "10");
    }
  }

  // The search over every item's text.
  {
    std::vector<char> LikeBuf(LikeCapacity + 1);
    std::string LibResult, RefResult, FloorResult;
    auto LibLike = [&](const char *AName) {
      return [&, AName](std::size_t) {
        std::memset(LikeBuf.data(), ' ', LikeCapacity);
        LikeBuf[LikeCapacity] = '\0';
        Lib.LikeValues(AName, LikePattern, LikeBuf.data());
        LibResult = LikeBuf.data();
      };
    };
    const TScanFloor Scan(Ref);
    const double LargeLib = BestPerOp(LibLike(LargeAlias), O.LibSeconds);
    const double LargeRef =
        TimePerOp([&](std::size_t) { RefResult = Ref.GetLikeValues(LikePattern, LikeCapacity); }, O.RefSeconds);
    const double LargeFloor =
        BestPerOp([&](std::size_t) { FloorResult = Scan.Scan(LikePattern, LikeCapacity); }, O.LibSeconds);
    Check("GetLikeValues", LibResult, RefResult);
    Check("GetLikeValues floor", FloorResult, RefResult);
    const std::size_t Matches = static_cast<std::size_t>(std::count(RefResult.begin(), RefResult.end(), ';'));
    const double SmallLib = BestPerOp(LibLike(SmallAlias), O.LibSeconds);
    const double SmallRef =
        TimePerOp([&](std::size_t) { RefResult = RefSmall.GetLikeValues(LikePattern, LikeCapacity); }, O.RefSeconds);
    Check("GetLikeValues small", LibResult, RefResult);
    Table.Heading("GetLikeValues, a lower-case Cyrillic pattern, " + std::to_string(Matches) +
                  " matches (time per search)");
    Table.Time(std::string(L1M) + " items", LargeLib, LargeRef);
    Table.Time("floor: same texts in memory, table upper-case + strstr", LargeFloor);
    Table.Ratio(std::string(L1M) + " / floor", LargeLib / LargeFloor, 2);
    Table.Time("1K items", SmallLib, SmallRef);
  }

  std::printf("\n%s\n", Title(O).c_str());
  Table.Print();
  if (*ExistsNote) std::printf("%s\n", ExistsNote);
  std::printf(
      "Times are per call (per search, per load); the reference is the plain dictionary"
      " that scans its lists, timed on fewer calls where it is slow.\n");
  std::printf("goals missed: %d; answers of library and reference: %s\n", Table.Misses(),
              Disagreements ? "DIFFERENT" : "the same on every sample");
  RunScale(O);
  return Disagreements ? 1 : 0;
}

}  // namespace

int main(int argc, char **argv) {
  try {
    if (argc >= 3 && std::string(argv[1]) == "gen") {
      Generate(argv[2], false);
      return 0;
    }
    if (argc >= 3 && std::string(argv[1]) == "run") {
      TOptions O;
      O.Dir = argv[2];
      for (int I = 3; I < argc; ++I) {
        const std::string A = argv[I];
        if (A == "--lib-seconds" && I + 1 < argc)
          O.LibSeconds = std::atof(argv[++I]);
        else if (A == "--ref-seconds" && I + 1 < argc)
          O.RefSeconds = std::atof(argv[++I]);
        else if (A == "--smoke")
          O.Smoke = true;
        else if (A == "--scale")
          O.ScaleOnly = true;
        else if (A == "--host" && I + 1 < argc)
          O.Host = argv[++I];
        else
          throw std::runtime_error("unknown option " + A);
      }
      if (O.Smoke) O.LibSeconds = O.RefSeconds = 0.005;
      if (O.ScaleOnly) return RunScale(O), 0;
      return Run(O);
    }
    std::fprintf(stderr,
                 "usage: vokbench gen DIR | vokbench run DIR [--lib-seconds S] [--ref-seconds S] [--smoke] [--scale] "
                 "[--host TEXT]\n");
    return 2;
  } catch (const std::exception &E) {
    std::fprintf(stderr, "vokbench: %s\n", E.what());
    return 2;
  }
}
