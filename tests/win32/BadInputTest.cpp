// Bad input through every export, as a careless host passes it: null pointers for texts and
// buffers, texts of 64 KiB, integers at their extremes, window handles that are no windows, and
// files that are missing, directories, locked, binary or 100 MB large. Every call must give its
// documented result, write nothing past the room the host is told to offer (guard bytes follow
// each buffer), show only the messages documented, and leave the dictionaries loaded before it
// answering as they did.
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <set>
#include <string_view>

#include "tests/common/LongItems.h"
#include "tests/win32/DialogDriver.h"
#include "tests/win32/Keyboard.h"

using namespace vok::test;

namespace {

// A text of 64 KiB: Latin and Cyrillic letters, digits and blanks.
const std::string &Long() {
  static const std::string S = [] {
    std::string R;
    while (R.size() < 65536) R += "Vokabra 1251 \xD1\xEB\xEE\xE2\xE0\xF0\xFC ";  // Словарь
    return R.substr(0, 65536);
  }();
  return S;
}

// An argument as the host may pass it, with its description.
template <typename T>
struct TArg {
  std::string Label;
  T Value;
};
using TTextArg = TArg<const char *>;
std::vector<TTextArg> BadTexts() { return {{"null", nullptr}, {"\"\"", ""}, {"64 KiB", Long().c_str()}}; }

using TIntArg = TArg<int32_t>;
const TIntArg BadInts[] = {{"INT_MIN", INT_MIN}, {"-1", -1}, {"0", 0}, {"INT_MAX", INT_MAX}};

// One bad call: what it passes and what it must give.
struct TCase {
  TCase(const char *AExport, std::string AArgs, std::function<int32_t(TBuffers &)> ACall)
      : Export(AExport), Args(std::move(AArgs)), Call(std::move(ACall)) {}
  const char *Export;
  std::string Args;
  std::function<int32_t(TBuffers &)> Call;  // the export's result; 0 for exports without one
  int32_t Result = 0;
  std::optional<std::vector<std::string>> Texts;  // the buffers' texts afterwards, in order
  std::vector<std::string> Messages;              // the beginnings of the message boxes shown
  bool Reopens = false;  // documented to free the dictionaries: the test loads them again

  TCase &Returns(int32_t A) { return Result = A, *this; }
  TCase &Writes(std::vector<std::string> A) { return Texts = std::move(A), *this; }
  TCase &Shows(std::vector<std::string> A) { return Messages = std::move(A), *this; }
  TCase &ReopensLibrary() { return Reopens = true, *this; }
};

struct TCases : std::deque<TCase> {
  template <typename F>
  TCase &Add(const char *AExport, std::string AArgs, F ACall) {
    if constexpr (std::is_void_v<std::invoke_result_t<F, TBuffers &>>)
      emplace_back(AExport, std::move(AArgs), [ACall](TBuffers &B) { return ACall(B), 0; });
    else
      emplace_back(AExport, std::move(AArgs), ACall);
    return back();
  }
};

// Windows-1251 texts of the test dictionaries.
const std::string Regions = "\xD0\xE5\xE3\xE8\xEE\xED\xFB";  // Регионы

// The dictionaries loaded before every bad call, and one section (Spare) that is not.
std::string FixtureFile() {
  const std::string LongText(300, 'A'), LongB(300, 'B'), LongC(300, 'C'), LongX(300, 'X');
  return PlacesCrlf +
         "[" + Regions + "]\r\nFormat=2,2,3\r\nDisplay=%1%2%3\r\nDelimit=,\r\n"
         "4500000=\xCC\xEE\xF1\xEA\xEE\xE2\xF1\xEA\xE0\xFF \xEE\xE1\xEB\xE0\xF1\xF2\xFC\r\n"
         "4501000=\xCE\xE4\xE8\xED\xF6\xEE\xE2\xF1\xEA\xE8\xE9 \xF0\xE0\xE9\xEE\xED\r\n"
         "4501001=\xCE\xE4\xE8\xED\xF6\xEE\xE2\xEE#\xE3\xEE\xF0\xEE\xE4#\xE3\xEE\xF0\xEE\xE4\r\n"
         // Texts, a template and a delimiter at their longest: every result is cut to 255.
         "[Long]\r\nFormat=1,1,1\r\nDisplay=%1%2%3" + std::string(249, 'd') + "\r\nDelimit=" + std::string(255, '-') +
         "\r\n100=" + LongText + "\r\n110=" + LongB + "#" + LongX + "\r\n111=" + LongC + "#" + LongX + "#tag\r\n" +
         FlatSection("Spare", "1=spare\r\n");
}
const std::vector<std::string> FixtureNames = {"Places", "Rivers", Regions, "Long"};

// Bytes of every value in a scrambled order, '[' excepted (no header line by chance), after a
// dictionary's header lines: zero bytes, control characters and lines of any length.
std::string BinaryFile() {
  std::string R = "[Bin]\r\nFormat=2,2,3\r\nDisplay=%1%2%3\r\nDelimit=,\r\n";
  uint32_t Seed = 12345;
  for (int I = 0; I < 65536; ++I) {
    Seed = Seed * 1103515245u + 12345u;
    const char C = static_cast<char>(Seed >> 16);
    R += C == '[' ? '{' : C;
  }
  return R;
}

// A large file written a megabyte at a time.
struct TFileWriter {
  explicit TFileWriter(const std::string &APath) : Out(APath, std::ios::binary) {}
  ~TFileWriter() { Out << Chunk; }
  void Add(std::string_view AText) {
    Chunk += AText;
    Size += AText.size();
    if (Chunk.size() >= 1u << 20) Out << std::exchange(Chunk, {});
  }
  std::ofstream Out;
  std::string Chunk;
  std::size_t Size = 0;  // the bytes added so far
};

// The files of the suite, made once: a missing file, a directory, a file locked by the test
// (opened without sharing), a binary file, a projection file and the 100 MB file (on first use).
struct TFiles {
  TTempDir Dir;
  std::string Fixture = Dir.Write("fixture.vok", FixtureFile());
  std::string Missing = Dir.Path() + "\\missing.vok";
  std::string Folder = Dir.Path() + "\\folder.vok";
  std::string Locked = Dir.Write("locked.vok", PlacesCrlf);
  std::string Binary = Dir.Write("binary.vok", BinaryFile());
  std::string Prj = Dir.Write("plane.prj", PlaneFile);
  std::string LongSection = Dir.Write("longsection.vok", FlatSection(std::string(300, 'S'), "1=s\r\n"));
  std::string LongPath;  // the section Spare under a path of 258 characters
  std::string Big;
  HANDLE Lock = INVALID_HANDLE_VALUE;
  TFiles() {
    CreateDirectoryA(Folder.c_str(), nullptr);
    const std::string Deep = Dir.Path() + "\\" + std::string(258 - Dir.Path().size() - 2 - 9, 'd');
    CreateDirectoryA(Deep.c_str(), nullptr);
    LongPath = Dir.Write(Deep.substr(Dir.Path().size() + 1) + "\\long1.vok", FlatSection("Spare", "1=spare\r\n"));
    Lock = CreateFileA(Locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  }
  ~TFiles() { CloseHandle(Lock); }

  // 100 MB: the section Big (widths 2, 3, 3) of about 1.7 million items in 60 MB, then one item
  // line of 40 MB, then a small section Tail.
  const std::string &BigFile() {
    if (!Big.empty()) return Big;
    Big = Dir.Path() + "\\big.vok";
    TFileWriter W(Big);
    W.Add("[Big]\r\nFormat=2,3,3\r\nDisplay=%1%2%3\r\nDelimit=,\r\n");
    char Line[64];
    for (int32_t Code = 10000000; W.Size < 60u << 20; ++Code) {
      const int N = std::snprintf(Line, sizeof Line, "%d=\xCF\xF3\xED\xEA\xF2 %d#extra#tag\r\n", Code, Code);
      W.Add({Line, static_cast<std::size_t>(N)});
    }
    W.Add("99999999=");
    const std::string Megabyte(1u << 20, '\xC6');  // Ж
    for (int I = 0; I < 40; ++I) W.Add(Megabyte);
    W.Add("\r\n" + FlatSection("Tail", "1=end\r\n"));
    return Big;
  }

  // The files of LongItems(), each with its item, written on first use.
  const std::vector<std::pair<TLongItem, std::string>> &LongItemFiles() {
    if (LongItemPaths.empty())
      for (const TLongItem &C : LongItems("\r\n"))
        LongItemPaths.emplace_back(C, Dir.Write("long" + std::to_string(LongItemPaths.size()) + ".vok", C.File("\r\n")));
    return LongItemPaths;
  }
  std::vector<std::pair<TLongItem, std::string>> LongItemPaths;

  // 100 MB of about two million sections of one item each; ASections gets their number. A 32-bit
  // process runs out of address space on the way; a 64-bit one would not, and would hold them
  // all in memory: there the file stops at 100,000 sections (5 MB).
  std::string TinySectionsFile(int32_t &ASections) {
    const int32_t Most = sizeof(void *) == 8 ? 100000 : INT32_MAX;
    const std::string Path = Dir.Path() + "\\tiny.vok";
    TFileWriter W(Path);
    char Line[64];
    for (ASections = 0; W.Size < 100u << 20 && ASections < Most; ++ASections) {
      const int N = std::snprintf(Line, sizeof Line, "[S%07d]\r\nFormat=3\r\nDisplay=%%1\r\nDelimit=\r\n1=a\r\n", ASections);
      W.Add({Line, static_cast<std::size_t>(N)});
    }
    return Path;
  }
};

std::unique_ptr<TFiles> Files;

// Window handles that are no windows of the host's.
using THwndArg = TArg<HWND>;
std::vector<THwndArg> BadWindows() {
  return {{"0", nullptr},
          {"-1", reinterpret_cast<HWND>(static_cast<INT_PTR>(-1))},
          {"INT_MIN", reinterpret_cast<HWND>(static_cast<INT_PTR>(INT_MIN))},
          {"INT_MAX", reinterpret_cast<HWND>(static_cast<INT_PTR>(INT_MAX))},
          {"HWND_BROADCAST", HWND_BROADCAST},
          {"a destroyed window", DestroyedWindow()}};
}

// The names of the DLL's export table.
std::set<std::string> ExportTable(HMODULE AModule) {
  const auto *Base = reinterpret_cast<const BYTE *>(AModule);
  const auto *Dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(Base);
  const auto *Nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(Base + Dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY &D = Nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  const auto *Dir = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY *>(Base + D.VirtualAddress);
  const auto *Names = reinterpret_cast<const DWORD *>(Base + Dir->AddressOfNames);
  std::set<std::string> R;
  for (DWORD I = 0; I < Dir->NumberOfNames; ++I) R.insert(reinterpret_cast<const char *>(Base + Names[I]));
  return R;
}

class BadInput : public TOpenLibrary {
 protected:
  static void SetUpTestSuite() { Files = std::make_unique<TFiles>(); }
  static void TearDownTestSuite() { Files.reset(); }

  void SetUp() override {
    TOpenLibrary::SetUp();
    LoadFixture();
    Baseline = Snapshot();
    ASSERT_EQ(Vok().GetVokCount(""), 4);
  }
  void TearDown() override {
    TOpenLibrary::TearDown();
    Vok().SetHelpFile("", "");
    Vok().SetHelpParent(nullptr);
    Vok().SetParse("");
  }

  void LoadFixture() {
    for (const std::string &N : FixtureNames) ASSERT_EQ(Vok().LoadVok(Files->Fixture.c_str(), N.c_str()), 65535) << N;
  }

  // What the loaded dictionaries answer: the registry in order, and for each dictionary of the
  // fixture its path, counts, every item's texts and children, its divisors and a search.
  std::vector<std::string> Snapshot() {
    std::vector<std::string> S;
    const auto Text = [](TText3 *AFn, const std::string &AName, int32_t ACode) {
      return Written(256, [&](char *ABuf) { AFn(AName.c_str(), ACode, ABuf); });
    };
    const int32_t Count = Vok().GetVokCount("");
    for (int32_t I = 1; I <= Count; ++I) S.push_back("registered " + Text(Vok().GetVokName, "", I));
    for (const std::string &N : FixtureNames) {
      TBuffers B;
      Vok().GetVokPath(N.c_str(), B.Room(256));
      S.push_back(N + " exists " + std::to_string(Vok().VokExists(N.c_str())) + " path " + B.Text());
      const int32_t Levels = Vok().GetGroupCount(N.c_str());
      for (int32_t L = 1; L <= Levels; ++L) {
        S.push_back(N + " level " + std::to_string(L) + " divisor " + std::to_string(Vok().GetGroupFilter(N.c_str(), L)));
        for (int32_t I = 1; I <= Vok().GetItemCount(N.c_str(), L); ++I) {
          const int32_t Code = Vok().GetItem(N.c_str(), L, I);
          std::string Children;
          for (int32_t C = Vok().FindFirstItem(N.c_str(), Code); C; C = Vok().FindNextItem()) Children += std::to_string(C) + " ";
          S.push_back(N + " " + std::to_string(Code) + " [" + Text(Vok().GetVokString, N, Code) + "] [" +
                      Text(Vok().GetVokStr, N, Code) + "] [" + Text(Vok().GetVokExtra, N, Code) + "] children " + Children);
        }
      }
      Vok().GetLikeValues(N.c_str(), "E", B.Room(301));
      S.push_back(N + " like E " + B.Text(1));
    }
    Vok().FindCloseItem();
    return S;
  }

  // Unloads what a call loaded beside the fixture.
  void RemoveExtras() {
    for (int32_t I = Vok().GetVokCount(""); I >= 1; --I) {
      char Name[512] = "";
      Vok().GetVokName("", I, Name);
      if (std::find(FixtureNames.begin(), FixtureNames.end(), Name) == FixtureNames.end()) Vok().UnLoadVok(Name);
    }
  }

  void Run(const TCases &ACases) {
    for (const TCase &C : ACases) {
      SCOPED_TRACE(std::string(C.Export) + "(" + C.Args + ")");
      TBuffers B;
      EXPECT_EQ(C.Call(B), C.Result);
      EXPECT_EQ(B.Overruns(), "");
      if (C.Texts) {
        EXPECT_EQ(B.Texts(), *C.Texts);
      }
      const std::vector<std::string> Shown = Messages.TakeTexts();
      EXPECT_EQ(Shown.size(), C.Messages.size());
      for (std::size_t I = 0; I < Shown.size() && I < C.Messages.size(); ++I)
        EXPECT_EQ(Shown[I].substr(0, C.Messages[I].size()), C.Messages[I]);
      if (C.Reopens) {
        ASSERT_EQ(Vok().OpenVokList(HostWindow()), 65535);
        LoadFixture();
      }
      RemoveExtras();
      const std::vector<std::string> Now = Snapshot();
      if (Now != Baseline) {
        std::size_t I = 0;
        while (I < Now.size() && I < Baseline.size() && Now[I] == Baseline[I]) ++I;
        ADD_FAILURE() << "the dictionaries changed: line " << I << " was ["
                      << (I < Baseline.size() ? Baseline[I] : "none") << "], is ["
                      << (I < Now.size() ? Now[I] : "none") << "]";
      }
    }
  }

  // A call of a GetVokValue export under the dialog driver: the dialog must show ARows (or must
  // not open when ARows is null) with the path APath, and is then cancelled with Esc.
  static std::function<int32_t(TBuffers &)> Picks(std::function<int32_t()> ACall, const TLevel *ARows,
                                                  std::vector<std::string> APath = {}) {
    return [=](TBuffers &) {
      TDriver D;
      const TStep Cancel = [&](TDialog &Dlg) {
        EXPECT_EQ(Dlg.Rows(), *ARows);
        EXPECT_EQ(Dlg.PathRows(), APath);
        Dlg.Key(VK_ESCAPE);
      };
      const int32_t R = D.Run(ACall, ARows ? std::vector<TStep>{Cancel} : std::vector<TStep>{});
      EXPECT_EQ(D.Shown(), ARows != nullptr);
      return R;
    };
  }

  // Runs GetPrjString with the chooser closed by Esc; the chooser must have shown.
  static int32_t Choose(const char *APath, char *AName, char *AClause, HWND AOwner = HostWindow()) {
    TModalCloser Closer;
    const int32_t R = Vok().GetPrjString(AOwner, APath, AName, AClause);
    EXPECT_TRUE(Closer.Saw(TDialogKind::Chooser));
    return R;
  }

  TShownHost Host;
  std::vector<std::string> Baseline;

 public:
  // The tables of bad calls, one per group of exports.
  TCases RegistryCases();
  TCases QueryCases();
  TCases WholeFileCases();
  TCases LongTextCases();
  TCases BigFileCases();
  TCases TinySectionsCases();
  TCases DialogCases();
  TCases HelpCases();
  TCases UtilityCases();
};

const TLevel PlacesTop = {{Undefined, -1}, {"North region", 1100000}, {"South region", 1200000}};
const TLevel NorthChildren = {{Undefined, -1}, {"Forest district", 1102000}, {"Lake district", 1101000}};

TCases BadInput::RegistryCases() {
  TCases T;
  const TFiles &F = *Files;
  for (const THwndArg &H : BadWindows())
    T.Add("OpenVokList", H.Label, [this, H](TBuffers &) {
       const int32_t R = Vok().OpenVokList(H.Value);
       // The load messages and the dialogs still work, without an owner.
       Vok().LoadVok(Files->Fixture.c_str(), " ");
       EXPECT_EQ(Messages.TakeOne().Owner, nullptr);
       EXPECT_EQ(Vok().LoadVok(Files->Fixture.c_str(), "Places"), 65535);
       TModalCloser Closer;
       EXPECT_EQ(Vok().GetVokValue("Test", "Places", 0), 0);
       EXPECT_TRUE(Closer.Saw(TDialogKind::Selection));
       return R;
     }).Returns(65535).ReopensLibrary();
  T.Add("CloseVokList", "twice, then loads and queries while closed", [](TBuffers &B) {
     Vok().CloseVokList();
     Vok().CloseVokList();
     Vok().GetVokPath("Places", B.Room(256));
     return Vok().LoadVok(Files->Fixture.c_str(), "Places") + Vok().VokExists("Places") + Vok().GetVokCount("");
   }).Writes({""}).ReopensLibrary();
  T.Add("CloseVokabra", "twice, then CloseVokList", [](TBuffers &) {
     Vok().CloseVokabra();
     Vok().CloseVokabra();
     Vok().CloseVokList();
     return Vok().GetVokCount("");
   }).ReopensLibrary();
  for (const TTextArg &A : BadTexts()) {
    T.Add("VokExists", A.Label, [A](TBuffers &) { return Vok().VokExists(A.Value); });
    T.Add("UnLoadVok", A.Label, [A](TBuffers &) { return Vok().UnLoadVok(A.Value); });
    // A missing file fails before anything else, so even the name of a loaded dictionary is safe.
    T.Add("LoadVok", A.Label + " file", [A](TBuffers &) { return Vok().LoadVok(A.Value, "Places"); });
    T.Add("LoadVok", A.Label + " name", [A](TBuffers &) { return Vok().LoadVok(Files->Fixture.c_str(), A.Value); })
        .Shows({LoadVokAborted});
    T.Add("LoadVokEx", A.Label + " file",
          [A](TBuffers &) { return Vok().LoadVokEx(A.Value, "Places", "Places", "*"); });
    T.Add("LoadVokEx", A.Label + " name", [A](TBuffers &) {
       return Vok().LoadVokEx(Files->Fixture.c_str(), A.Value, "Other", "*");
     }).Shows({LoadVokAborted});
    // No alias: the section's own name. A long one is cut after 255 characters.
    T.Add("LoadVokEx", A.Label + " alias", [A](TBuffers &B) {
       const int32_t R = Vok().LoadVokEx(Files->Fixture.c_str(), "Spare", A.Value, "*");
       const std::string Name = A.Value && *A.Value ? std::string(A.Value).substr(0, 255) : "Spare";
       Vok().GetVokStr(Name.c_str(), 1, B.Room(256));
       return R;
     }).Returns(65535).Writes({"spare"});
    T.Add("LoadVokEx", A.Label + " filter", [A](TBuffers &B) {
       const int32_t R = Vok().LoadVokEx(Files->Fixture.c_str(), "Long", "Filtered", A.Value);
       Vok().GetVokStr("Filtered", 100, B.Room(256));
       return R;
     }).Returns(65535).Writes({std::string(255, 'A')});
  }
  // A name is registered cut after 255 characters: loading again replaces the dictionary of
  // that name instead of adding a second one that no name reaches.
  T.Add("LoadVokEx", "64 KiB alias, twice", [](TBuffers &) {
     Vok().LoadVokEx(Files->Fixture.c_str(), "Spare", Long().c_str(), "*");
     Vok().LoadVokEx(Files->Fixture.c_str(), "Spare", Long().c_str(), "*");
     return Vok().GetVokCount("");
   }).Returns(5);
  // A path of 256 to 259 characters is a file like any other; the path kept is cut after 255.
  T.Add("LoadVok", "path of 258 characters", [](TBuffers &B) {
     EXPECT_EQ(Files->LongPath.size(), 258u);
     const int32_t R = Vok().LoadVok(Files->LongPath.c_str(), "Spare");
     Vok().GetVokPath("Spare", B.Room(256));
     return R;
   }).Returns(65535).Writes({Files->LongPath.substr(0, 255)});
  T.Add("LoadVokEx", "path of 258 characters",
        [](TBuffers &) { return Vok().LoadVokEx(Files->LongPath.c_str(), "Spare", "Spare2", "*"); })
      .Returns(65535);
  const struct {
    const char *Label;
    std::string File;
    const char *Section;
    int32_t Result;
    std::vector<std::string> Shown;
  } FileCases[] = {
      {"missing file", F.Missing, "Places", 0, {}},
      {"directory", F.Folder, "Places", 0, {}},
      {"locked file", F.Locked, "Places2", 0, {LoadVokAborted}},
      {"binary file, absent section", F.Binary, "Places2", 0, {LoadVokAborted}},
      {"binary file", F.Binary, "Bin", 65535, {}},
  };
  for (const auto &C : FileCases) {
    T.Add("LoadVok", C.Label, [C](TBuffers &) { return Vok().LoadVok(C.File.c_str(), C.Section); })
        .Returns(C.Result).Shows(C.Shown);
    T.Add("LoadVokEx", C.Label, [C](TBuffers &) { return Vok().LoadVokEx(C.File.c_str(), C.Section, "", "tag"); })
        .Returns(C.Result).Shows(C.Shown);
  }
  return T;
}

TCases BadInput::QueryCases() {
  TCases T;
  const std::pair<const char *, TText3 *> TextFns[] = {
      {"GetVokString", Vok().GetVokString}, {"GetVokStr", Vok().GetVokStr}, {"GetVokExtra", Vok().GetVokExtra}};
  for (const TTextArg &A : BadTexts()) {
    T.Add("GetVokPath", A.Label, [A](TBuffers &B) { Vok().GetVokPath(A.Value, B.Room(256)); }).Writes({""});
    for (const auto &[Name, Fn] : TextFns)
      T.Add(Name, A.Label + ", 1101001", [A, Fn = Fn](TBuffers &B) { Fn(A.Value, 1101001, B.Room(256)); }).Writes({""});
    T.Add("GetGroupCount", A.Label, [A](TBuffers &) { return Vok().GetGroupCount(A.Value); });
    T.Add("GetItemCount", A.Label + ", 1", [A](TBuffers &) { return Vok().GetItemCount(A.Value, 1); });
    T.Add("GetItem", A.Label + ", 1, 1", [A](TBuffers &) { return Vok().GetItem(A.Value, 1, 1); });
    T.Add("FindFirstItem", A.Label + ", 1100000",
          [A](TBuffers &) { return Vok().FindFirstItem(A.Value, 1100000) + Vok().FindNextItem(); });
    T.Add("GetGroupFilter", A.Label + ", 1", [A](TBuffers &) { return Vok().GetGroupFilter(A.Value, 1); }).Returns(1);
    T.Add("GetLikeValues", A.Label + " name", [A](TBuffers &B) { Vok().GetLikeValues(A.Value, "e", B.Room(101)); })
        .Writes({""});
    T.Add("GetLikeValues", A.Label + " pattern",
          [A](TBuffers &B) { Vok().GetLikeValues("Places", A.Value, B.Room(101)); })
        .Writes({""});
  }
  for (const TIntArg &I : BadInts) {
    for (const auto &[Name, Fn] : TextFns)
      T.Add(Name, "Places, " + I.Label, [I, Fn = Fn](TBuffers &B) { Fn("Places", I.Value, B.Room(256)); }).Writes({""});
    T.Add("GetItemCount", "Places, " + I.Label, [I](TBuffers &) { return Vok().GetItemCount("Places", I.Value); });
    T.Add("GetItem", "Places, " + I.Label + ", 1", [I](TBuffers &) { return Vok().GetItem("Places", I.Value, 1); });
    T.Add("GetItem", "Places, 1, " + I.Label, [I](TBuffers &) { return Vok().GetItem("Places", 1, I.Value); });
    T.Add("FindFirstItem", "Places, " + I.Label,
          [I](TBuffers &) { return Vok().FindFirstItem("Places", I.Value) + Vok().FindNextItem(); });
    T.Add("GetGroupFilter", "Places, " + I.Label, [I](TBuffers &) { return Vok().GetGroupFilter("Places", I.Value); })
        .Returns(1);
  }
  // Null buffers are ignored.
  T.Add("GetVokPath", "Places, null buffer", [](TBuffers &) { Vok().GetVokPath("Places", nullptr); });
  for (const auto &[Name, Fn] : TextFns) {
    T.Add(Name, "Places, 1101001, null buffer", [Fn = Fn](TBuffers &) { Fn("Places", 1101001, nullptr); });
    // The longest texts, template and delimiter fill the 256 bytes and no more.
    T.Add(Name, "Long, 111", [Fn = Fn](TBuffers &B) {
      Fn("Long", 111, B.Room(256));
      EXPECT_EQ(B.Text(0).size(), 255u);
    });
  }
  T.Add("GetLikeValues", "Places, e, null buffer", [](TBuffers &) { Vok().GetLikeValues("Places", "e", nullptr); });
  const struct {
    const char *Label;
    std::size_t Room;
    const char *Codes;
  } Rooms[] = {{"empty buffer", 1, ""},
               {"Space$(16)", 17, "1101001;1101002;"},
               {"Space$(15)", 16, "1101001;"},
               {"Space$(65536)", 65537, "1101001;1101002;"}};
  for (const auto &R : Rooms)
    T.Add("GetLikeValues", std::string("Places, ill, ") + R.Label,
          [R](TBuffers &B) { Vok().GetLikeValues("Places", "ill", B.Room(R.Room)); })
        .Writes({R.Codes});
  // The enumeration after refusals, past its end and after its release.
  T.Add("FindNextItem", "after a refused FindFirstItem", [](TBuffers &) {
    Vok().FindFirstItem("Places", 1100000);
    Vok().FindFirstItem(nullptr, 1100000);
    return Vok().FindNextItem();
  });
  T.Add("FindNextItem", "five times past the end", [](TBuffers &) {
    int32_t Sum = Vok().FindFirstItem("Places", 1100000) + Vok().FindNextItem();
    for (int I = 0; I < 5; ++I) Sum += Vok().FindNextItem();
    return Sum;
  }).Returns(1101000 + 1102000);
  T.Add("FindCloseItem", "twice, then FindNextItem", [](TBuffers &) {
    Vok().FindFirstItem("Places", 1100000);
    Vok().FindCloseItem();
    Vok().FindCloseItem();
    return Vok().FindNextItem();
  });
  return T;
}

TCases BadInput::WholeFileCases() {
  TCases T;
  const TFiles &F = *Files;
  for (const TTextArg &A : BadTexts()) {
    T.Add("LoadAllVok", A.Label, [A](TBuffers &) { return Vok().LoadAllVok(A.Value); });
    // No file: the registry is counted and named.
    const bool Registry = !A.Value || !*A.Value;
    T.Add("GetVokCount", A.Label, [A](TBuffers &) { return Vok().GetVokCount(A.Value); }).Returns(Registry ? 4 : 0);
    T.Add("GetVokName", A.Label + ", 1", [A](TBuffers &B) { Vok().GetVokName(A.Value, 1, B.Room(256)); })
        .Writes({Registry ? "Places" : ""});
    for (const TIntArg &I : BadInts)
      T.Add("GetVokName", A.Label + ", " + I.Label, [A, I](TBuffers &B) {
         Vok().GetVokName(A.Value, I.Value, B.Room(256));
       }).Writes({""});
  }
  for (const TIntArg &I : BadInts)
    T.Add("GetVokName", "fixture file, " + I.Label, [I](TBuffers &B) {
       Vok().GetVokName(Files->Fixture.c_str(), I.Value, B.Room(256));
     }).Writes({""});
  T.Add("GetVokName", "fixture file, 1, null buffer",
        [](TBuffers &) { Vok().GetVokName(Files->Fixture.c_str(), 1, nullptr); });
  T.Add("GetVokName", "\"\", 1, null buffer", [](TBuffers &) { Vok().GetVokName("", 1, nullptr); });
  T.Add("LoadAllVok", "section name of 300 characters, twice", [](TBuffers &) {
     Vok().LoadAllVok(Files->LongSection.c_str());
     Vok().LoadAllVok(Files->LongSection.c_str());
     return Vok().GetVokCount("");
   }).Returns(5);
  T.Add("LoadAllVok", "path of 258 characters", [](TBuffers &) { return Vok().LoadAllVok(Files->LongPath.c_str()); })
      .Returns(65535);
  const struct {
    const char *Label;
    std::string File;
    int32_t Loaded, Count;
    std::string First;
    std::vector<std::string> Shown;
  } FileCases[] = {
      {"missing file", F.Missing, 0, 0, "", {}},
      {"directory", F.Folder, 0, 0, "", {}},
      {"locked file", F.Locked, 0, 0, "", {"LoadAllVok error: "}},
      {"binary file", F.Binary, 65535, 1, "Bin", {}},
  };
  for (const auto &C : FileCases) {
    T.Add("LoadAllVok", C.Label, [C](TBuffers &) { return Vok().LoadAllVok(C.File.c_str()); })
        .Returns(C.Loaded).Shows(C.Shown);
    T.Add("GetVokCount", C.Label, [C](TBuffers &) { return Vok().GetVokCount(C.File.c_str()); }).Returns(C.Count);
    T.Add("GetVokName", std::string(C.Label) + ", 1",
          [C](TBuffers &B) { Vok().GetVokName(C.File.c_str(), 1, B.Room(256)); })
        .Writes({C.First});
  }
  return T;
}

// Texts at and around the sizes of the text store and the file reader, through each loader:
// every query answers with the text cut at 255, the items around it intact.
TCases BadInput::LongTextCases() {
  TCases T;
  for (const auto &[C, Path] : Files->LongItemFiles()) {
    const std::string Text = C.Text().substr(0, 255), Extra = C.InExtra ? C.Extra().substr(0, 255) : Text;
    const auto Queries = [](const char *AName, TBuffers &B) {
      Vok().GetVokStr(AName, 2, B.Room(256));
      Vok().GetVokExtra(AName, 2, B.Room(256));
      Vok().GetVokString(AName, 2, B.Room(256));
      Vok().GetVokExtra(AName, 1, B.Room(256));
      Vok().GetVokStr(AName, 3, B.Room(256));
    };
    const std::vector<std::string> Answers = {Text, Extra, Text, "first", "three"};
    T.Add("LoadVok", C.Label(), [P = Path, Queries](TBuffers &B) {
       const int32_t R = Vok().LoadVok(P.c_str(), "S");
       Queries("S", B);
       return R;
     }).Returns(65535).Writes(Answers);
    T.Add("LoadVokEx", C.Label(), [P = Path, Queries](TBuffers &B) {
       const int32_t R = Vok().LoadVokEx(P.c_str(), "S", "Alias", "*");
       Queries("Alias", B);
       return R;
     }).Returns(65535).Writes(Answers);
    std::vector<std::string> AllAnswers = Answers;
    AllAnswers.insert(AllAnswers.end(), {"t", "T"});
    T.Add("LoadAllVok", C.Label(), [P = Path, Queries](TBuffers &B) {
       const int32_t R = Vok().LoadAllVok(P.c_str());
       Queries("S", B);
       Vok().GetVokStr("T", 1, B.Room(256));
       Vok().GetVokName(P.c_str(), 2, B.Room(256));
       return R + Vok().GetVokCount(P.c_str());
     }).Returns(65535 + 2).Writes(AllAnswers);
  }
  // Lines ended by a carriage return alone are one line: no header at all, or a header whose
  // section is one line of keys run together.
  const std::string CrOnly = TLongItem{false, 5000}.File("\r");
  for (const std::string &Contents : {CrOnly, "[S]\r\n" + CrOnly.substr(4)}) {
    const bool Header = Contents[4] == '\n';
    const std::string Path = Files->Dir.Write(Header ? "cr-header.vok" : "cr.vok", Contents);
    const std::string Label = Header ? "carriage returns after a header" : "carriage returns alone";
    T.Add("LoadVok", Label, [Path](TBuffers &) { return Vok().LoadVok(Path.c_str(), "S"); }).Shows({LoadVokAborted});
    T.Add("LoadAllVok", Label, [Path](TBuffers &) { return Vok().LoadAllVok(Path.c_str()); })
        .Returns(Header ? 0 : 65535).Shows(std::vector<std::string>(Header, LoadAllVokAborted));
    T.Add("GetVokCount", Label, [Path](TBuffers &) { return Vok().GetVokCount(Path.c_str()); }).Returns(Header ? 1 : 0);
  }
  return T;
}

TCases BadInput::BigFileCases() {
  TCases T;
  Files->BigFile();
  T.Add("LoadVok", "100 MB, absent section", [](TBuffers &) { return Vok().LoadVok(Files->Big.c_str(), "Absent"); })
      .Shows({LoadVokAborted});
  T.Add("LoadVok", "100 MB, Big", [](TBuffers &B) {
     const int32_t R = Vok().LoadVok(Files->Big.c_str(), "Big");
     Vok().GetVokStr("Big", 99999999, B.Room(256));
     Vok().GetVokString("Big", 10001001, B.Room(256));
     EXPECT_GT(Vok().GetItemCount("Big", 3), 1000000);
     return R;
   }).Returns(65535).Writes({std::string(255, '\xC6'), "\xCF\xF3\xED\xEA\xF2 10000000, \xCF\xF3\xED\xEA\xF2 10001000, \xCF\xF3\xED\xEA\xF2 10001001"});
  T.Add("LoadVokEx", "100 MB, Tail, 64 KiB filter", [](TBuffers &B) {
     const int32_t R = Vok().LoadVokEx(Files->Big.c_str(), "Tail", "BigTail", Long().c_str());
     Vok().GetVokStr("BigTail", 1, B.Room(256));
     return R;
   }).Returns(65535).Writes({"end"});
  T.Add("LoadAllVok", "100 MB", [](TBuffers &B) {
     const int32_t R = Vok().LoadAllVok(Files->Big.c_str());
     Vok().GetVokName("", 5, B.Room(256));
     Vok().GetVokName("", 6, B.Room(256));
     return R;
   }).Returns(65535).Writes({"Big", "Tail"});
  T.Add("GetVokCount", "100 MB", [](TBuffers &) { return Vok().GetVokCount(Files->Big.c_str()); }).Returns(2);
  T.Add("GetVokName", "100 MB, 2", [](TBuffers &B) { Vok().GetVokName(Files->Big.c_str(), 2, B.Room(256)); })
      .Writes({"Tail"});
  T.Add("GetVokName", "100 MB, INT_MAX",
        [](TBuffers &B) { Vok().GetVokName(Files->Big.c_str(), INT_MAX, B.Room(256)); })
      .Writes({""});
  T.Add("GetPrjString", "100 MB", [](TBuffers &B) { return Choose(Files->Big.c_str(), B.Room(1024), B.Room(1024)); })
      .Returns(65535).Writes({"", ""});
  return T;
}

TCases BadInput::TinySectionsCases() {
  TCases T;
  int32_t Sections = 0;
  const std::string Tiny = Files->TinySectionsFile(Sections);
  // More dictionaries than a 32-bit process holds: the load stops with the message of the
  // failure, or loads them all where memory suffices; the process goes on working either way.
  T.Add("LoadAllVok", "100 MB of tiny sections", [this, Tiny](TBuffers &B) {
     const int32_t R = Vok().LoadAllVok(Tiny.c_str());
     const std::vector<std::string> Shown = Messages.TakeTexts();
     EXPECT_EQ(Shown.size(), R ? 0u : 1u);
     if (!Shown.empty()) {
       EXPECT_EQ(Shown[0].rfind("LoadAllVok error: ", 0), 0u) << Shown[0];
     }
     std::printf("[bad input] LoadAllVok of 100 MB of tiny sections: result %d, %d dictionaries registered, message [%s]\n", R,
                 Vok().GetVokCount(""), Shown.empty() ? "" : Shown[0].c_str());
     Vok().GetVokString("Places", 1101001, B.Room(256));
     Vok().GetVokStr("S0000000", 1, B.Room(256));
   }).Writes({"North region, Lake district, Stone village", "a"}).ReopensLibrary();
  T.Add("GetVokCount", "100 MB of tiny sections", [Tiny](TBuffers &) { return Vok().GetVokCount(Tiny.c_str()); })
      .Returns(Sections);
  return T;
}

TCases BadInput::DialogCases() {
  TCases T;
  // Each dialog export with a caption and a name, and what it shows for Places.
  const struct {
    const char *Export;
    int32_t (*Open)(const char *ACaption, const char *AName);
    const TLevel *Rows;
    std::vector<std::string> Path;
  } Dialogs[] = {
      {"GetVokValue", [](const char *C, const char *N) { return Vok().GetVokValue(C, N, 0); }, &PlacesTop, {}},
      {"GetVokValueEx", [](const char *C, const char *N) { return Vok().GetVokValueEx(C, N, 2); }, &PlacesTop, {}},
      {"GetVokValueSt", [](const char *C, const char *N) { return Vok().GetVokValueSt(C, N, 1100000, 0); },
       &NorthChildren, {"North region"}},
  };
  for (const TTextArg &A : BadTexts())
    for (const auto &D : Dialogs) {
      T.Add(D.Export, A.Label + " caption", Picks([A, D] { return D.Open(A.Value, "Places"); }, D.Rows, D.Path));
      T.Add(D.Export, A.Label + " name", Picks([A, D] { return D.Open("Test", A.Value); }, nullptr));
    }
  // Codes without an item open the top level; any bound opens the root's children.
  for (const TIntArg &I : BadInts) {
    const int32_t V = I.Value;
    T.Add("GetVokValue", "item " + I.Label, Picks([V] { return Vok().GetVokValue("Test", "Places", V); }, &PlacesTop));
    T.Add("GetVokValueEx", "end level " + I.Label,
          Picks([V] { return Vok().GetVokValueEx("Test", "Places", V); }, &PlacesTop));
    T.Add("GetVokValueSt", "item " + I.Label,
          Picks([V] { return Vok().GetVokValueSt("Test", "Places", V, 0); }, &PlacesTop));
    T.Add("GetVokValueSt", "end level " + I.Label,
          Picks([V] { return Vok().GetVokValueSt("Test", "Places", 1100000, V); }, &NorthChildren, {"North region"}));
  }
  // The chooser opens with empty lists on any file it cannot use; cancel gives true and empty buffers.
  const TFiles &F = *Files;
  std::vector<TTextArg> Paths = BadTexts();
  Paths.insert(Paths.end(), {{"missing file", F.Missing.c_str()}, {"directory", F.Folder.c_str()},
                              {"locked file", F.Locked.c_str()}, {"binary file", F.Binary.c_str()}});
  for (const TTextArg &A : Paths)
    T.Add("GetPrjString", A.Label, [A](TBuffers &B) { return Choose(A.Value, B.Room(1024), B.Room(1024)); })
        .Returns(65535).Writes({"", ""});
  for (const THwndArg &H : BadWindows())
    T.Add("GetPrjString", "owner " + H.Label, [H](TBuffers &B) {
       return Choose(Files->Prj.c_str(), B.Room(1024), B.Room(1024), H.Value);
     }).Returns(65535).Writes({"", ""});
  T.Add("GetPrjString", "null buffers", [](TBuffers &) { return Choose(Files->Prj.c_str(), nullptr, nullptr); })
      .Returns(65535);
  return T;
}

TCases BadInput::HelpCases() {
  TCases T;
  const TFiles &F = *Files;
  // Only paths that are no documents: nothing here reaches the word processor.
  for (const TTextArg &A : BadTexts()) {
    // Wine's message box gives back no more than a few lines of a text of 64 KiB.
    T.Add("ShowHelpFile", A.Label + " file", [A](TBuffers &) { Vok().ShowHelpFile(A.Value, "Intro"); })
        .Shows(std::vector<std::string>(A.Value && *A.Value, HelpFileNotFound));
    T.Add("ShowHelpFile", A.Label + " section", [A, &F](TBuffers &) { Vok().ShowHelpFile(F.Missing.c_str(), A.Value); })
        .Shows({HelpFileNotFound + F.Missing});
    // The texts come back as given, into buffers one byte longer than them.
    T.Add("SetHelpFile", A.Label + " file and section", [A](TBuffers &B) {
       Vok().SetHelpFile(A.Value, A.Value);
       const std::size_t Room = (A.Value ? std::strlen(A.Value) : 0) + 1;
       Vok().GetHelpFile(B.Room(Room), B.Room(Room));
     }).Writes({A.Value ? A.Value : "", A.Value ? A.Value : ""});
  }
  T.Add("ShowHelpFile", "directory", [](TBuffers &) { Vok().ShowHelpFile(Files->Folder.c_str(), ""); })
      .Shows({HelpFileNotFound + F.Folder});
  T.Add("GetHelpFile", "null buffers", [](TBuffers &B) {
     Vok().SetHelpFile("doc", "section");
     Vok().GetHelpFile(nullptr, nullptr);
     Vok().GetHelpFile(nullptr, B.Room(8));
     Vok().GetHelpFile(B.Room(4), nullptr);
   }).Writes({"section", "doc"});
  // F1 with a blank help file: swallowed while the hook is installed, opening nothing.
  for (const TIntArg &I : BadInts)
    T.Add("SetHelpHook", I.Label, [I](TBuffers &) {
       TF1Probe Probe;
       Vok().SetHelpFile("  ", "");
       Vok().SetHelpHook(I.Value);
       const bool Reaches = Probe.F1Reaches();
       EXPECT_TRUE(Probe.Arrived());
       Vok().SetHelpHook(0);
       return Reaches ? 1 : 0;
     }).Returns(I.Value == 0 ? 1 : 0);
  for (const THwndArg &H : BadWindows())
    T.Add("SetHelpParent", H.Label, [this, H](TBuffers &) {
      Vok().SetHelpParent(H.Value);
      const bool Kept = Vok().GetHelpParent() == H.Value;
      Vok().ShowHelpFile(Files->Missing.c_str(), "");
      EXPECT_EQ(Messages.TakeOne().Owner, nullptr) << "a message owned by no window";
      Vok().SetHelpParent(nullptr);
      return Kept ? 0 : 1;
    });
  T.Add("GetHelpParent", "after SetHelpParent(0)", [](TBuffers &) {
    Vok().SetHelpParent(HostWindow());
    Vok().SetHelpParent(nullptr);
    return static_cast<int32_t>(reinterpret_cast<INT_PTR>(Vok().GetHelpParent()));
  });
  return T;
}

TCases BadInput::UtilityCases() {
  TCases T;
  const TFiles &F = *Files;
  static const char Key[] = "Software\\VokabraBadInput";
  for (const TIntArg &I : BadInts)
    T.Add("GetRegString", "root " + I.Label, [I](TBuffers &B) {
       Vok().GetRegString(reinterpret_cast<HKEY>(static_cast<INT_PTR>(I.Value)), Key, "Long", B.Room(256));
     }).Writes({""});
  for (const TTextArg &A : BadTexts()) {
    T.Add("GetRegString", A.Label + " key", [A](TBuffers &B) {
       Vok().GetRegString(HKEY_CURRENT_USER, A.Value, "Long", B.Room(256));
     }).Writes({""});
    T.Add("GetRegString", A.Label + " value", [A](TBuffers &B) {
       Vok().GetRegString(HKEY_CURRENT_USER, "Software", A.Value, B.Room(256));
     }).Writes({""});
    T.Add("FileCount", A.Label, [A](TBuffers &) { return Vok().FileCount(A.Value); });
    // The long set holds the blank but not the upper-case A and B: "A B" becomes two words.
    T.Add("SetParse", A.Label, [A](TBuffers &) {
       Vok().SetParse(A.Value);
       const int32_t R = Vok().Sondex("a b", "A B", 0);
       Vok().SetParse("");
       return R;
     }).Returns(A.Value && *A.Value ? 2 : 3);
    // The long text is one word that holds VOKABRA.
    T.Add("Sondex", A.Label + " first", [A](TBuffers &) { return Vok().Sondex(A.Value, "vokabra", 0); })
        .Returns(A.Value && *A.Value ? 7 : 0);
    T.Add("Sondex", A.Label + " second", [A](TBuffers &) { return Vok().Sondex("vokabra", A.Value, 0); })
        .Returns(A.Value && *A.Value ? 7 : 0);
    // Each text is cut after 255 characters.
    const std::string Source = A.Value ? std::string(A.Value).substr(0, 255) : "";
    std::string Lowered = Source;
    std::replace(Lowered.begin(), Lowered.end(), 'V', 'v');
    T.Add("ReplaceString", A.Label + " source",
          [A](TBuffers &B) { Vok().ReplaceString(A.Value, "V", "v", B.Room(256)); })
        .Writes({Lowered});
    T.Add("ReplaceString", A.Label + " pattern", [A](TBuffers &B) {
       Vok().ReplaceString(Long().c_str(), A.Value, "x", B.Room(256));
     }).Writes({Source.empty() ? Long().substr(0, 255) : "x"});
    T.Add("ReplaceString", A.Label + " replacement",
          [A](TBuffers &B) { Vok().ReplaceString("aVb", "V", A.Value, B.Room(256)); })
        .Writes({("a" + Source + "b").substr(0, 255)});
  }
  T.Add("GetRegString", "value of 64 KiB", [](TBuffers &B) {
     SetRegText(HKEY_CURRENT_USER, Key, "Long", Long());
     Vok().GetRegString(HKEY_CURRENT_USER, Key, "Long", B.Room(256));
     Vok().GetRegString(HKEY_CURRENT_USER, Key, "Long", nullptr);
     RegDeleteTreeA(HKEY_CURRENT_USER, Key);
   }).Writes({Long().substr(0, 255)});
  T.Add("GetExcelPath", "null buffer", [](TBuffers &) { Vok().GetExcelPath(nullptr); });
  T.Add("GetExcelPath", "Space$(256)", [](TBuffers &B) { Vok().GetExcelPath(B.Room(256)); }).Writes({""});
  T.Add("GetNewGUID", "null buffer", [](TBuffers &) { Vok().GetNewGUID(nullptr); });
  T.Add("GetNewGUID", "Space$(39)", [](TBuffers &B) {
    Vok().GetNewGUID(B.Room(39));
    const std::string G = B.Text(0);
    EXPECT_EQ(G.size(), 38u);
    EXPECT_TRUE(G.front() == '{' && G.back() == '}') << G;
  });
  const struct {
    const char *Label;
    std::string Mask;
    int32_t Count;
  } Masks[] = {{"missing file", F.Missing, 0},
               {"directory", F.Folder, 1},
               {"locked file", F.Locked, 1},
               {"binary file", F.Binary, 1},
               {"64 KiB after a folder", F.Dir.Path() + "\\" + Long(), 0},
               {"wildcards in a folder's name", F.Dir.Path() + "\\*\\*.vok", 0}};
  for (const auto &M : Masks)
    T.Add("FileCount", M.Label, [M](TBuffers &) { return Vok().FileCount(M.Mask.c_str()); }).Returns(M.Count);
  // Zero bytes change only within the length; a length of 0 or less changes nothing.
  for (const TIntArg &I : BadInts) {
    T.Add("ReplaceZero", "null buffer, " + I.Label, [I](TBuffers &) { Vok().ReplaceZero(nullptr, I.Value); });
    if (I.Value == INT_MAX) continue;  // a length beyond the buffer is the host's error
    T.Add("ReplaceZero", I.Label, [I](TBuffers &B) {
      char *Bytes = B.Holding(std::string("a\0b\0", 4));
      Vok().ReplaceZero(Bytes, I.Value);
      EXPECT_EQ(B.Bytes(0), std::string("a\0b\0", 4));
    });
  }
  T.Add("ReplaceZero", "the whole buffer", [](TBuffers &B) {
    Vok().ReplaceZero(B.Holding(std::string("a\0b\0", 4)), 4);
    EXPECT_EQ(B.Bytes(0), "a;b;");
  });
  T.Add("ReplaceString", "null buffer", [](TBuffers &) { Vok().ReplaceString("a", "a", "b", nullptr); });
  T.Add("MapinfoCount", "no MapInfo window", [](TBuffers &) { return Vok().MapinfoCount(); });
  T.Add("SetParse", "every byte", [](TBuffers &) {
    std::string All;
    for (int C = 1; C < 256; ++C) All += static_cast<char>(C);
    Vok().SetParse(All.c_str());
    const int32_t R = Vok().Sondex(Long().c_str(), Long().c_str(), 0);
    Vok().SetParse("");
    return R;
  });
  // Without delimiters each text is one word: one aligned placement of 65536 equal bytes.
  T.Add("Sondex", "64 KiB, 64 KiB", [](TBuffers &) { return Vok().Sondex(Long().c_str(), Long().c_str(), 0); })
      .Returns(65536);
  for (const TIntArg &I : BadInts)
    T.Add("Sondex", "minimum length " + I.Label,
          [I](TBuffers &) { return Vok().Sondex("Green river", "GREEN RIVER", I.Value); })
        .Returns(I.Value == INT_MAX ? 0 : 11);
  return T;
}

}  // namespace

TEST_F(BadInput, RegistryAndLoading) { Run(RegistryCases()); }
TEST_F(BadInput, Queries) { Run(QueryCases()); }
TEST_F(BadInput, WholeFiles) { Run(WholeFileCases()); }
TEST_F(BadInput, TextsAroundEveryBlockSize) { Run(LongTextCases()); }
TEST_F(BadInput, HundredMegabyteFile) { Run(BigFileCases()); }
TEST_F(BadInput, HundredMegabytesOfTinySections) {
  // The long runs add the cases that take half a minute.
  if (!FullStressRun()) GTEST_SKIP() << "half a minute: runs with VOK_STRESS=full";
  Run(TinySectionsCases());
}
TEST_F(BadInput, DialogsAndChooser) { Run(DialogCases()); }
TEST_F(BadInput, Help) { Run(HelpCases()); }
TEST_F(BadInput, Utilities) { Run(UtilityCases()); }

// Every export of the DLL has rows of its own in the tables above.
TEST_F(BadInput, CoversEveryExport) {
  std::set<std::string> Covered;
  std::size_t Rows = 0;
  for (TCases (BadInput::*Table)() : {&BadInput::RegistryCases, &BadInput::QueryCases, &BadInput::WholeFileCases,
                                      &BadInput::DialogCases, &BadInput::HelpCases, &BadInput::UtilityCases}) {
    const TCases Cases = (this->*Table)();
    for (const TCase &C : Cases) Covered.insert(C.Export);
    Rows += Cases.size();
  }
  std::printf("[bad input] %u calls over %u exports, besides those of the 100 MB files\n", static_cast<unsigned>(Rows),
              static_cast<unsigned>(Covered.size()));
  const std::set<std::string> Exports = ExportTable(Dll());
  EXPECT_EQ(Exports.size(), 41u);
  EXPECT_EQ(Covered, Exports);
}
