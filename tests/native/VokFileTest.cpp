#include "lookup/VokFile.h"

#include <gtest/gtest.h>

#include "tests/common/TestFiles.h"

using namespace vok;
using vok::test::TMemoryText;
using vok::test::TTempFile;

namespace {

const char *const ThreeSections =
    "[First]\nFormat=1\nDisplay=%1\nDelimit=,\n1=one\n"
    "[Second]\r\nFormat=1\nDisplay=%1\nDelimit=,\n2=two\n"
    "\n  [Third]  \nFormat=1\nDisplay=%1\nDelimit=,\n3=three\n";

struct TSection {
  std::string Name;
  bool Ready;
  std::string Text;  // the first item's
  bool operator==(const TSection &O) const { return Name == O.Name && Ready == O.Ready && Text == O.Text; }
  friend void PrintTo(const TSection &S, std::ostream *AOut) {
    *AOut << '[' << S.Name << "] " << (S.Ready ? S.Text : "(not loaded)");
  }
};

std::vector<TSection> LoadAll(TTextReader &AReader) {
  std::vector<TSection> R;
  LoadAllSections(AReader, "file.vok", [&](std::string_view AName, std::unique_ptr<TLookup> ALookup) {
    const bool Ready = ALookup->Ready();
    R.push_back({std::string(AName), Ready, Ready ? ALookup->GetLevelItem(0, 0).Text : std::string()});
  });
  return R;
}

const std::vector<TSection> ThreeLoaded = {{"First", true, "one"}, {"Second", true, "two"}, {"Third", true, "three"}};

}  // namespace

// A header whose line ends where the reader's block ends keeps its name when the next
// block is read (the name once pointed into the reused buffer).
TEST(VokFile, SectionNamesSurviveEveryBlockBoundary) {
  const std::string Text = ThreeSections;
  TMemoryText Memory(Text);
  for (std::size_t Block = 1; Block <= Text.size() + 1; ++Block)
    EXPECT_EQ(LoadAll(*Memory.Open(Block)), ThreeLoaded) << "block of " << Block;
}

// The same with a file and the reader's own block size.
TEST(VokFile, HeaderEndingAtTheFirstMebibyteOfAFileKeepsItsName) {
  std::string Text = "[First]\nFormat=1\nDisplay=%1\nDelimit=,\n1=one\n";
  const std::string Second = "[Second]\n";
  const std::size_t Pad = (1u << 20) - Text.size() - Second.size();
  Text += "; " + std::string(Pad - 3, 'x') + "\n" + Second + "Format=1\nDisplay=%1\nDelimit=,\n2=two\n";
  // The second block is as long as the first, so that it covers the first one's bytes.
  Text += "; " + std::string(1u << 20, 'y') + "\n";
  ASSERT_EQ(Text.find(Second) + Second.size(), 1u << 20);
  const TTempFile File(Text);
  TTextReader Reader(File.Path());
  EXPECT_EQ(LoadAll(Reader), (std::vector<TSection>{{"First", true, "one"}, {"Second", true, "two"}}));
}

TEST(VokFile, ThrowingReceiverStopsTheReading) {
  const TTempFile File(ThreeSections);
  TTextReader Reader(File.Path());
  int Calls = 0;
  EXPECT_THROW(LoadAllSections(Reader, File.Path(),
                               [&](std::string_view, std::unique_ptr<TLookup>) {
                                 if (++Calls == 2) throw std::runtime_error("stop");
                               }),
               std::runtime_error);
  EXPECT_EQ(Calls, 2);
}

TEST(VokFile, StreamConstructorRefusesANullStream) {
  EXPECT_THROW(TTextReader(nullptr, 16), EInOutError);
}
