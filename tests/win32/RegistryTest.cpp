// Opening the library, loading, replacing and unloading dictionaries through the exports.
#include "tests/win32/TestHost.h"

using namespace vok::test;

using Registry = TOpenLibrary;

TEST_F(Registry, LoadsAndReportsTruthValuesAsTheHostReadsThem) {
  EXPECT_EQ(V.LoadVok(Places.c_str(), "Places"), 65535);
  EXPECT_EQ(V.VokExists("Places"), -1);
  EXPECT_EQ(V.VokExists("PLACES"), -1);
  EXPECT_EQ(V.VokExists("Rivers"), 0);
  EXPECT_EQ(V.UnLoadVok("places"), -1);
  EXPECT_EQ(V.VokExists("Places"), 0);
  EXPECT_EQ(V.UnLoadVok("Places"), 0);
  EXPECT_TRUE(Messages.Take().empty());
}

TEST_F(Registry, ClosedLibraryRefusesSilently) {
  V.CloseVokList();
  EXPECT_EQ(V.LoadVok(Places.c_str(), "Places"), 0);
  EXPECT_EQ(V.LoadVokEx(Places.c_str(), "Places", "", "*"), 0);
  EXPECT_EQ(V.VokExists("Places"), 0);
  EXPECT_EQ(V.UnLoadVok("Places"), 0);
  EXPECT_TRUE(Messages.Take().empty());
  V.CloseVokList();
  V.CloseVokabra();
  V.CloseVokabra();
}

TEST_F(Registry, MissingFileOrDirectoryFailsWithoutMessage) {
  EXPECT_EQ(V.LoadVok((Dir.Path() + "\\none.vok").c_str(), "Places"), 0);
  EXPECT_EQ(V.LoadVok(Dir.Path().c_str(), "Places"), 0);
  EXPECT_EQ(V.LoadVok(nullptr, "Places"), 0);
  EXPECT_TRUE(Messages.Take().empty());
}

TEST_F(Registry, FailedLoadsShowTheMessageOwnedByTheHost) {
  for (const char *Name : {"   ", "", static_cast<const char *>(nullptr), "Lakes", "[Places]"}) {
    EXPECT_EQ(V.LoadVok(Places.c_str(), Name), 0) << (Name ? Name : "null");
    const TShownMessage Shown = Messages.TakeOne();
    EXPECT_EQ(Shown.Text, LoadVokAborted);
    EXPECT_EQ(Shown.Owner, HostWindow());
  }
}

TEST_F(Registry, ReloadUnderOtherCaseReplacesEntry) {
  ASSERT_EQ(V.LoadVok(Places.c_str(), "rivers"), 65535);
  ASSERT_EQ(V.LoadVok(Places.c_str(), "Rivers"), 65535);
  EXPECT_EQ(V.UnLoadVok("RIVERS"), -1);
  EXPECT_EQ(V.VokExists("rivers"), 0);
}

TEST_F(Registry, CyrillicNamesAreFoldedOnlyForAsciiLetters) {
  // [Реки] and [РЕКИ]: two sections whose names differ only in Cyrillic case.
  const std::string File = Dir.Write("rivers.vok",
                                     "[\xD0\xE5\xEA\xE8]\r\nFormat=3\r\nDisplay=\r\nDelimit=\r\n1=a\r\n"
                                     "[\xD0\xC5\xCA\xC8]\r\nFormat=3\r\nDisplay=\r\nDelimit=\r\n2=b\r\n");
  ASSERT_EQ(V.LoadVok(File.c_str(), "\xD0\xE5\xEA\xE8"), 65535);
  // The section is found ignoring case by the locale, but registered under its own name,
  // so a load as РЕКИ reads the first section again and leaves both entries.
  ASSERT_EQ(V.LoadVok(File.c_str(), "\xD0\xC5\xCA\xC8"), 65535);
  EXPECT_EQ(V.VokExists("\xD0\xE5\xEA\xE8"), -1);
  EXPECT_EQ(V.VokExists("\xD0\xC5\xCA\xC8"), -1);
  EXPECT_EQ(V.VokExists("\xF0\xE5\xEA\xE8"), 0);  // рЕКИ
  EXPECT_EQ(V.UnLoadVok("\xD0\xE5\xEA\xE8"), -1);
  EXPECT_EQ(V.VokExists("\xD0\xC5\xCA\xC8"), -1);
}

TEST_F(Registry, AliasesAndFiltersGiveIndependentDictionaries) {
  ASSERT_EQ(V.LoadVokEx(Places.c_str(), "Places", "North", "urban"), 65535);
  EXPECT_EQ(V.VokExists("North"), -1);
  EXPECT_EQ(V.VokExists("Places"), 0);
  ASSERT_EQ(V.LoadVokEx(Places.c_str(), " Places ", "  ", "*"), 65535);
  EXPECT_EQ(V.VokExists("Places"), -1);
  EXPECT_EQ(V.VokExists("North"), -1);
}

TEST_F(Registry, FailedReloadLeavesNoDictionaryOfThatName) {
  ASSERT_EQ(V.LoadVokEx(Places.c_str(), "Places", "Main", "*"), 65535);
  EXPECT_EQ(V.LoadVokEx(Places.c_str(), "Lakes", "Main", "*"), 0);
  EXPECT_EQ(Messages.TakeTexts(), std::vector<std::string>{LoadVokAborted});
  EXPECT_EQ(V.VokExists("Main"), 0);
}

TEST_F(Registry, SecondOpenFreesEveryDictionary) {
  ASSERT_EQ(V.LoadVok(Places.c_str(), "Places"), 65535);
  ASSERT_EQ(V.OpenVokList(HostWindow()), 65535);
  EXPECT_EQ(V.VokExists("Places"), 0);
  ASSERT_EQ(V.LoadVok(Places.c_str(), "Places"), 65535);
  V.CloseVokabra();
  EXPECT_EQ(V.VokExists("Places"), 0);
}

TEST_F(Registry, BadFilesFailWithTheMessageAndNeverHang) {
  std::string Huge(10 * 1024 * 1024, 'x');
  struct TCase {
    const char *Label;
    std::string Contents;
  } Cases[] = {
      {"nul bytes", std::string("[Places]\0\r\nFormat=3\r\n", 21)},
      {"binary", std::string("\x7F" "ELF\x01\x01\x00\x00\xFF\xFE[\x00]", 13)},
      {"lone CR", "[Places]\rFormat=3\rDisplay=\rDelimit=\r1=a\r"},
      {"eof mark", "[Places]\r\n\x1A" "Format=3\r\nDisplay=\r\nDelimit=\r\n"},
      {"10 MB line", "[Places]\r\n" + Huge + "\r\n"},
      {"empty", ""},
  };
  for (const TCase &C : Cases) {
    const std::string File = Dir.Write("bad.vok", C.Contents);
    EXPECT_EQ(V.LoadVok(File.c_str(), "Places"), 0) << C.Label;
    EXPECT_EQ(Messages.TakeTexts(), std::vector<std::string>{LoadVokAborted}) << C.Label;
  }
}

TEST_F(Registry, LockedFileFailsWithTheMessage) {
  HANDLE Lock = CreateFileA(Places.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(Lock, INVALID_HANDLE_VALUE);
  EXPECT_EQ(V.LoadVok(Places.c_str(), "Places"), 0);
  CloseHandle(Lock);
  EXPECT_EQ(Messages.TakeTexts(), std::vector<std::string>{LoadVokAborted});
  EXPECT_EQ(V.LoadVok(Places.c_str(), "Places"), 65535);
}

TEST_F(Registry, LongNamesAreCutAt255) {
  const std::string Name(300, 'N');
  const std::string File = Dir.Write("long.vok", "[" + Name.substr(0, 255) + "]\r\nFormat=3\r\nDisplay=\r\nDelimit=\r\n");
  ASSERT_EQ(V.LoadVok(File.c_str(), Name.c_str()), 65535);
  EXPECT_EQ(V.VokExists(Name.substr(0, 255).c_str()), -1);
  EXPECT_EQ(V.VokExists(Name.c_str()), 0);
}
