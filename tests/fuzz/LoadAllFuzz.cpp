// Loading a whole file, section after section, as LoadAllVok does: any text, read in any
// block size, gives the same dictionaries, and stopping at a failed section (as the
// export does) leaves nothing behind.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "lookup/VokFile.h"
#include "tests/fuzz/FuzzCommon.h"

using namespace vok;
using namespace vok::fuzz;

namespace {

struct EStop {};

// Digests of the sections handed out, each checked on the way; with AStopAtFailure the
// reading stops at the first dictionary that did not load, as the export stops.
std::vector<std::string> LoadAll(TMemoryText &AText, std::size_t ABlockSize, bool AStopAtFailure) {
  const std::unique_ptr<TTextReader> Reader = AText.Open(ABlockSize);
  std::vector<std::string> Sections;
  try {
    LoadAllSections(*Reader, "memory.vok", [&](std::string_view AName, std::unique_ptr<TLookup> ALookup) {
      VOK_CHECK(ALookup && !AName.empty());
      const std::string &Name = ALookup->VokName();
      if (ALookup->Ready())
        VOK_CHECK(!Name.empty() && Name.size() <= MaxShortLen && AName.find(Name) != std::string_view::npos);
      if (!AStopAtFailure) ExerciseLookup(*ALookup);
      Sections.push_back(std::string(AName) + '\n' + Digest(*ALookup));
      if (AStopAtFailure && !ALookup->Ready()) throw EStop{};
    });
  } catch (const EStop &) {
  }
  return Sections;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *AData, std::size_t ASize) {
  const std::string_view Text(reinterpret_cast<const char *>(AData), ASize);
  TMemoryText Memory(Text);

  std::size_t NamedHeaders = 0;
  for (const std::string &Line : ReferenceLines(Text)) {
    std::string_view Name;
    if (HeaderName(TrimView(Line), Name) && !Name.empty()) ++NamedHeaders;
  }

  const std::vector<std::string> All = LoadAll(Memory, 1 + ASize % 13, false);
  VOK_CHECK(All.size() <= NamedHeaders);
  const std::vector<std::string> UpToFailure = LoadAll(Memory, 1 << 16, true);
  VOK_CHECK(UpToFailure.size() <= All.size());
  VOK_CHECK(std::equal(UpToFailure.begin(), UpToFailure.end(), All.begin()));
  return 0;
}
