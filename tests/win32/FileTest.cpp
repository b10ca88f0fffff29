// Loading every section of a file, and counting and naming sections of files and the registry.
#include "tests/win32/TestHost.h"

using namespace vok::test;

namespace {

class WholeFile : public TOpenLibrary {
 protected:
  std::string Name(const char *AFile, int32_t AIndex) {
    return Written(256, [&](char *ABuf) { Vok().GetVokName(AFile, AIndex, ABuf); });
  }
  // The names of the registry, in order.
  std::vector<std::string> Registered() {
    std::vector<std::string> R;
    for (int32_t I = 1; I <= Vok().GetVokCount(""); ++I) R.push_back(Name("", I));
    return R;
  }
};

}  // namespace

TEST_F(WholeFile, LoadsEverySectionInFileOrder) {
  EXPECT_EQ(Vok().LoadAllVok(Places.c_str()), 65535);
  EXPECT_EQ(Registered(), (std::vector<std::string>{"Places", "Rivers"}));
  EXPECT_EQ(Vok().GetVokCount(Places.c_str()), 2);
  EXPECT_EQ(Name(Places.c_str(), 1), "Places");
  EXPECT_EQ(Name(Places.c_str(), 2), "Rivers");
  EXPECT_TRUE(Messages.Take().empty());
}

TEST_F(WholeFile, TrimmedLinesAllowIndentedKeysThatLoadVokRefuses) {
  const std::string File = Dir.Write("indent.vok", "  [ Rivers ]  \r\n   Format=3\r\n\tDisplay=%1\r\n Delimit=\r\n  100=Volga  \r\n");
  EXPECT_EQ(V.LoadVok(File.c_str(), " Rivers "), 0);
  EXPECT_EQ(Messages.TakeTexts(), std::vector<std::string>{LoadVokAborted});
  EXPECT_EQ(Vok().LoadAllVok(File.c_str()), 65535);
  EXPECT_EQ(Registered(), std::vector<std::string>{"Rivers"});
  EXPECT_EQ(Name(File.c_str(), 1), " Rivers ");  // blanks inside the brackets belong to the name
}

TEST_F(WholeFile, FileWithoutHeadersLoadsNothing) {
  const std::string File = Dir.Write("none.vok", "Format=3\r\n1=a\r\n[\r\n");
  EXPECT_EQ(Vok().LoadAllVok(File.c_str()), 65535);
  EXPECT_TRUE(Registered().empty());
  EXPECT_EQ(Vok().GetVokCount(File.c_str()), 0);
  EXPECT_EQ(Name(File.c_str(), 1), "");
}

TEST_F(WholeFile, FailingSectionKeepsEarlierOnesAndStops) {
  const std::string File =
      Dir.Write("third.vok", FlatSection("A") + FlatSection("B") + "[C]\r\nDisplay=\r\nDelimit=\r\n" + FlatSection("D"));
  EXPECT_EQ(Vok().LoadAllVok(File.c_str()), 0);
  EXPECT_EQ(Messages.TakeTexts(), std::vector<std::string>{LoadAllVokAborted});
  EXPECT_EQ(Registered(), (std::vector<std::string>{"A", "B"}));
}

TEST_F(WholeFile, EmptyNamedSectionsAreSkippedWithTheirLines) {
  const std::string File = Dir.Write("empty.vok", FlatSection("A") + "[]\r\nnot a dictionary\r\n" + FlatSection("B"));
  EXPECT_EQ(Vok().LoadAllVok(File.c_str()), 65535);
  EXPECT_EQ(Registered(), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(Vok().GetVokCount(File.c_str()), 2);
  EXPECT_EQ(Name(File.c_str(), 2), "B");
}

TEST_F(WholeFile, DuplicateSectionsLeaveTheLaterOne) {
  const std::string File =
      Dir.Write("dup.vok", FlatSection("A", "1=first\r\n") + FlatSection("B") + FlatSection("a", "1=second\r\n"));
  ASSERT_EQ(Vok().LoadAllVok(File.c_str()), 65535);
  EXPECT_EQ(Registered(), (std::vector<std::string>{"B", "a"}));
}

TEST_F(WholeFile, HeaderOnTheLastLine) {
  struct TCase {
    const char *Label;
    std::string Contents;
    int32_t Result;
    std::vector<std::string> Names;
  } Cases[] = {
      {"later header last", FlatSection("A") + "[B]", 65535, {"A"}},
      {"later header last with line end", FlatSection("A") + "[B]\r\n", 65535, {"A"}},
      {"later header then blank lines", FlatSection("A") + "[B]\r\n  \r\n", 0, {"A"}},
      {"first header last", "; nothing\r\n[A]\r\n", 0, {}},
  };
  for (const TCase &C : Cases) {
    ASSERT_EQ(V.OpenVokList(HostWindow()), 65535);
    const std::string File = Dir.Write("last.vok", C.Contents);
    EXPECT_EQ(Vok().LoadAllVok(File.c_str()), C.Result) << C.Label;
    EXPECT_EQ(Registered(), C.Names) << C.Label;
    EXPECT_EQ(Messages.TakeTexts().size(), C.Result ? 0u : 1u) << C.Label;
  }
}

TEST_F(WholeFile, PreconditionsFailSilently) {
  EXPECT_EQ(Vok().LoadAllVok((Dir.Path() + "\\missing.vok").c_str()), 0);
  EXPECT_EQ(Vok().LoadAllVok(Dir.Path().c_str()), 0);
  EXPECT_EQ(Vok().LoadAllVok(nullptr), 0);
  V.CloseVokList();
  EXPECT_EQ(Vok().LoadAllVok(Places.c_str()), 0);
  EXPECT_TRUE(Messages.Take().empty());
  // The file forms work while the library is closed; the registry form counts nothing.
  EXPECT_EQ(Vok().GetVokCount(Places.c_str()), 2);
  EXPECT_EQ(Name(Places.c_str(), 2), "Rivers");
  EXPECT_EQ(Vok().GetVokCount(""), 0);
  EXPECT_EQ(Vok().GetVokCount(nullptr), 0);
  EXPECT_EQ(Name("", 1), "");
}

TEST_F(WholeFile, NamesOutsideTheRangeLeaveTheBufferEmpty) {
  ASSERT_EQ(Vok().LoadAllVok(Places.c_str()), 65535);
  for (int32_t Index : {INT32_MIN, -1, 0, 3, INT32_MAX}) {
    EXPECT_EQ(Name("", Index), "") << Index;
    EXPECT_EQ(Name(Places.c_str(), Index), "") << Index;
  }
  EXPECT_EQ(Name((Dir.Path() + "\\missing.vok").c_str(), 1), "");
  EXPECT_EQ(Name(Dir.Path().c_str(), 1), "");
  EXPECT_EQ(Vok().GetVokCount(Dir.Path().c_str()), 0);
  Vok().GetVokName("", 1, nullptr);
}

TEST_F(WholeFile, LongSectionNamesAreCutToTheHostBuffer) {
  const std::string Long(400, 'S');
  const std::string File = Dir.Write("long.vok", "[" + Long + "]\r\n");
  EXPECT_EQ(Vok().GetVokCount(File.c_str()), 1);
  EXPECT_EQ(Name(File.c_str(), 1), Long.substr(0, 255));
}

TEST_F(WholeFile, LockedFileReportsTheInputOutputFailure) {
  HANDLE Lock = CreateFileA(Places.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(Lock, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Vok().LoadAllVok(Places.c_str()), 0);
  EXPECT_EQ(Vok().GetVokCount(Places.c_str()), 0);
  EXPECT_EQ(Name(Places.c_str(), 1), "");
  CloseHandle(Lock);
  const auto Texts = Messages.TakeTexts();
  ASSERT_EQ(Texts.size(), 1u);
  EXPECT_EQ(Texts[0].rfind("LoadAllVok error: ", 0), 0u);
  EXPECT_NE(Texts[0], LoadAllVokAborted);
}
