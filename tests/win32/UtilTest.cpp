// The host utilities and the fuzzy word comparison, through the exports.
#include "tests/win32/TestHost.h"

#include <cctype>
#include <set>

using namespace vok::test;

namespace {

const char TestKey[] = "Software\\VokabraTests";

// A key under HKEY_CURRENT_USER with values the test writes itself; removed afterwards.
class RegValues : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, TestKey);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, TestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &fKey, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    RegCloseKey(fKey);
    RegDeleteTreeA(HKEY_CURRENT_USER, TestKey);
  }
  void Set(const char *AName, DWORD AType, const void *AData, DWORD ASize) {
    ASSERT_EQ(RegSetValueExA(fKey, AName, 0, AType, static_cast<const BYTE *>(AData), ASize), ERROR_SUCCESS);
  }
  std::string Read(const char *AName, const char *AKey = TestKey, HKEY ARoot = HKEY_CURRENT_USER) {
    return Written(256, [&](char *ABuf) { Vok().GetRegString(ARoot, AKey, AName, ABuf); });
  }
  HKEY fKey = nullptr;
};

std::string Replace(const char *S, const char *Old, const char *New) {
  return Written(256, [&](char *ABuf) { Vok().ReplaceString(S, Old, New, ABuf); });
}

}  // namespace

TEST_F(RegValues, ReadsStringValuesOnly) {
  const std::string Long(300, 'v');
  Set("long", REG_SZ, Long.c_str(), 301);
  Set("empty", REG_SZ, "", 1);
  Set("plain", REG_SZ, "C:\\Program Files\\x.exe", 23);
  Set("unterminated", REG_SZ, "abc", 3);
  Set("embedded", REG_SZ, "ab\0cd", 6);
  const DWORD Number = 42;
  Set("dword", REG_DWORD, &Number, sizeof Number);
  Set("expand", REG_EXPAND_SZ, "%TEMP%", 7);
  Set("", REG_SZ, "default value", 14);
  Set("cyrillic", REG_SZ, "\xCF\xF3\xF2\xFC", 5);  // Путь
  EXPECT_EQ(Read("long"), Long.substr(0, 255));
  EXPECT_EQ(Read("empty"), "");
  EXPECT_EQ(Read("plain"), "C:\\Program Files\\x.exe");
  EXPECT_EQ(Read("unterminated"), "abc");
  EXPECT_EQ(Read("embedded"), "ab");
  EXPECT_EQ(Read("dword"), "");
  EXPECT_EQ(Read("expand"), "");
  EXPECT_EQ(Read(""), "default value");
  EXPECT_EQ(Read(nullptr), "default value");
  EXPECT_EQ(Read("cyrillic"), "\xCF\xF3\xF2\xFC");
  EXPECT_EQ(Read("missing"), "");
  EXPECT_EQ(Read("plain", "Software\\NoSuchKey"), "");
  EXPECT_EQ(Read("plain", nullptr), "");
  EXPECT_EQ(Read("plain", TestKey, reinterpret_cast<HKEY>(0x12345)), "");
  Vok().GetRegString(HKEY_CURRENT_USER, TestKey, "plain", nullptr);
}

TEST_F(RegValues, ExcelPathComesFromTheAppPathsKey) {
  const char Key[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\EXCEL.EXE";
  const char Path[] = "C:\\Office\\EXCEL.EXE";
  SetRegText(HKEY_LOCAL_MACHINE, Key, "", Path);
  TBuffers B;
  Vok().GetExcelPath(B.Room(256));
  RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, Key, "");
  Vok().GetExcelPath(B.Room(256));
  EXPECT_EQ(B.Texts(), (std::vector<std::string>{Path, ""}));
  EXPECT_EQ(B.Overruns(), "");
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, Key);
}

TEST(Guid, FormatAndUniqueness) {
  std::set<std::string> Seen;
  for (int I = 0; I < 100; ++I) {
    const std::string G = Written(39, Vok().GetNewGUID);
    ASSERT_EQ(G.size(), 38u) << G;
    EXPECT_EQ(G.front(), '{');
    EXPECT_EQ(G.back(), '}');
    for (std::size_t P = 1; P < 37; ++P) {
      if (P == 9 || P == 14 || P == 19 || P == 24)
        EXPECT_EQ(G[P], '-') << G;
      else
        EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(G[P])) || (G[P] >= 'A' && G[P] <= 'F')) << G;
    }
    Seen.insert(G);
  }
  EXPECT_EQ(Seen.size(), 100u);
}

TEST(FileCount, CountsEveryEntryButDots) {
  TTempDir Dir;
  Dir.Write("a.txt", "a");
  Dir.Write("b.vok", "b");
  CreateDirectoryA((Dir.Path() + "\\sub").c_str(), nullptr);
  SetFileAttributesA((Dir.Path() + "\\a.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
  for (const auto &[Mask, Count] : {std::pair{"\\*", 3}, {"\\*.vok", 1}, {"\\*.none", 0}, {"\\missing\\*", 0}})
    EXPECT_EQ(Vok().FileCount((Dir.Path() + Mask).c_str()), Count) << Mask;
  EXPECT_EQ(Vok().FileCount(""), 0);
  EXPECT_EQ(Vok().FileCount(nullptr), 0);
  SetFileAttributesA((Dir.Path() + "\\a.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(ReplaceZero, ExaminesExactlyTheGivenLength) {
  struct TCase {
    int32_t Length;
    const char *Want;
  } Cases[] = {{7, "A;B;;C;x"}, {3, "A;B\0\0C\0x"}, {0, "A\0B\0\0C\0x"}, {-1, "A\0B\0\0C\0x"}};
  for (const TCase &C : Cases) {
    TBuffers B;
    Vok().ReplaceZero(B.Holding(std::string("A\0B\0\0C\0x", 8)), C.Length);
    EXPECT_EQ(B.Bytes(0), std::string(C.Want, 8)) << C.Length;
    EXPECT_EQ(B.Overruns(), "");
  }
  Vok().ReplaceZero(nullptr, 5);
}

TEST(ReplaceString, ReplacesEveryOccurrenceWithinShortStrings) {
  EXPECT_EQ(Replace("a-b-c", "-", "+"), "a+b+c");
  EXPECT_EQ(Replace("a-b-c", "", "+"), "a-b-c");
  EXPECT_EQ(Replace("a-b-c", "-", ""), "abc");
  EXPECT_EQ(Replace("aaa", "aa", "b"), "ba");
  EXPECT_EQ(Replace(nullptr, "a", "b"), "");
  EXPECT_EQ(Replace("\xC0\xE1\xE2", "\xE1", "\xC1"), "\xC0\xC1\xE2");  // bytes, case counting
  const std::string Long(100, 'a');
  const std::string Grown = Replace(Long.c_str(), "a", "bcd");
  EXPECT_EQ(Grown.size(), 255u);
  // Inputs are cut at 255 first: a pattern that only matches past the cut is not found.
  const std::string Source = std::string(254, '.') + "xy";
  EXPECT_EQ(Replace(Source.c_str(), "xy", "Z"), std::string(254, '.') + "x");
}

TEST(MapinfoCount, CountsMainWindowsOfTheClassExceptMapBasic) {
  WNDCLASSA C{};
  C.lpfnWndProc = DefWindowProcA;
  C.hInstance = GetModuleHandleA(nullptr);
  C.lpszClassName = "xvt320mditask100";
  RegisterClassA(&C);
  WNDCLASSA Other = C;
  Other.lpszClassName = "xvt320mditask1000";
  RegisterClassA(&Other);
  const int32_t Before = Vok().MapinfoCount();
  auto Make = [](const char *AClass, const char *ATitle) {
    return CreateWindowExA(0, AClass, ATitle, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  };
  HWND Windows[] = {Make("xvt320mditask100", "MapInfo Professional - [roads.wor]"),
                    Make("xvt320mditask100", ""),
                    Make("xvt320mditask100", "MapBasic"),
                    Make("xvt320mditask100", "MapBasic Window"),
                    Make("xvt320mditask100", "mapbasic"),
                    Make("xvt320mditask1000", "MapInfo"),
                    Make("STATIC", "MapInfo")};
  EXPECT_EQ(Vok().MapinfoCount() - Before, 3);
  for (HWND W : Windows) DestroyWindow(W);
  EXPECT_EQ(Vok().MapinfoCount(), Before);
}

TEST(Sondex, ScoresThroughTheExports) {
  Vok().SetParse("");
  EXPECT_EQ(Vok().Sondex("green river", "GREEN RIVER", 0), 11);
  Vok().SetParse(" ,.-");
  EXPECT_EQ(Vok().Sondex("Green river", "GREEN RIVERS", 2), 10);
  EXPECT_EQ(Vok().Sondex("Green river", "Grey rivers", 2), 7);
  EXPECT_EQ(Vok().Sondex("Green river", "Grey rivers", 4), 5);
  EXPECT_EQ(Vok().Sondex("ROAD", "BROAD", 0), 4);
  EXPECT_EQ(Vok().Sondex(nullptr, "x", 0), 0);
  // Улица Ленина against УЛ. ЛЕНИНА: the system's case mapping folds Cyrillic.
  EXPECT_EQ(Vok().Sondex("\xD3\xEB\xE8\xF6\xE0 \xCB\xE5\xED\xE8\xED\xE0", "\xD3\xCB. \xCB\xC5\xCD\xC8\xCD\xC0", 1), 8);
  Vok().SetParse(nullptr);
  EXPECT_EQ(Vok().Sondex("a b", "a b", 0), 3);
}
