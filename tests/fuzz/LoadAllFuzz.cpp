// Loading a whole file, section after section, as LoadAllVok does: any text, read in any
// block size, gives the sections of the reference dictionary's reading, each answering like
// the reference loaded from its lines, and stopping at a failed section (as the export does)
// leaves nothing behind.
#include <algorithm>
#include <cstddef>

#include "lookup/VokFile.h"
#include "tests/fuzz/FuzzCommon.h"

using namespace vok;
using namespace vok::fuzz;

namespace {

struct EStop {};

// Digests of the sections handed out, which must be ASections, each checked on the way; with
// AStopAtFailure the reading stops at the first dictionary that did not load, as the export
// stops, and the dictionaries are not walked.
std::vector<std::string> LoadAll(TMemoryText &AText, std::size_t ABlockSize,
                                 const std::vector<bench::TRefSection> &ASections, bool AStopAtFailure) {
  const std::string File = "memory.vok";
  const std::unique_ptr<TTextReader> Reader = AText.Open(ABlockSize);
  std::vector<std::string> Sections;
  try {
    LoadAllSections(*Reader, File, [&](std::string_view AName, std::unique_ptr<TLookup> ALookup) {
      VOK_CHECK(ALookup && !AName.empty());
      VOK_CHECK(Sections.size() < ASections.size() && AName == ASections[Sections.size()].Name);
      const std::string &Name = ALookup->VokName();
      if (ALookup->Ready())
        VOK_CHECK(!Name.empty() && Name.size() <= MaxShortLen && AName.find(Name) != std::string_view::npos);
      if (!AStopAtFailure)
        ExerciseBesideReference(*ALookup, File, ASections[Sections.size()].Lines, ShortView(AName), ShortView(AName),
                                "*");
      Sections.push_back(std::string(AName) + '\n' + Digest(*ALookup));
      if (AStopAtFailure && !ALookup->Ready()) throw EStop{};
    });
  } catch (const EStop &) {
  }
  if (!AStopAtFailure) VOK_CHECK(Sections.size() == ASections.size());
  return Sections;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *AData, std::size_t ASize) {
  const std::string_view Text(reinterpret_cast<const char *>(AData), ASize);
  TMemoryText Memory(Text);
  const std::vector<bench::TRefSection> Reference = bench::ReferenceSections(ReferenceLines(Text));

  const std::vector<std::string> All = LoadAll(Memory, 1 + ASize % 13, Reference, false);
  const std::vector<std::string> UpToFailure = LoadAll(Memory, 1 << 16, Reference, true);
  VOK_CHECK(UpToFailure.size() <= All.size());
  VOK_CHECK(std::equal(UpToFailure.begin(), UpToFailure.end(), All.begin()));
  return 0;
}
