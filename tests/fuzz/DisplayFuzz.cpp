// Display strings and ReplaceAll: any template, delimiter and item texts give display
// strings of at most 255 characters equal to the reference dictionary's, and ReplaceAll equals
// the reference's plain left-to-right replacement.
//
// The input's first three lines are the values of Format, Display and Delimit; the other
// lines are the section's lines ("code=text#extra").
#include <cstddef>

#include "tests/fuzz/FuzzCommon.h"

using namespace vok;
using namespace vok::fuzz;

namespace {

void CheckReplaceAll(std::string_view S, std::string_view AOld, std::string_view ANew) {
  const std::string R = ReplaceAll(S, AOld, ANew);
  VOK_CHECK(R.size() <= MaxShortLen);
  VOK_CHECK(R == bench::ReferenceReplaceAll(S, AOld, ANew));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *AData, std::size_t ASize) {
  const std::string_view Text(reinterpret_cast<const char *>(AData), ASize);
  const std::vector<std::string> Lines = ReferenceLines(Text);
  auto LineAt = [&](std::size_t I) { return I < Lines.size() ? Lines[I] : std::string(); };

  for (std::size_t I = 0; I < 6; ++I) CheckReplaceAll(LineAt(I), LineAt(I + 1), LineAt(I + 2));
  CheckReplaceAll(Text, LineAt(0), LineAt(1));
  CheckReplaceAll(Text, "%1", LineAt(2));

  TRefLines Section{"Format=" + (Lines.empty() ? std::string("1") : Lines[0]), "Display=" + LineAt(1),
                    "Delimit=" + LineAt(2)};
  if (Lines.size() > 3) Section.insert(Section.end(), Lines.begin() + 3, Lines.end());
  TLookup Lookup;
  Lookup.BeginLoad("display.vok", "Display", "", "*");
  for (const std::string &Line : Section) Lookup.AddLine(Line);
  Lookup.EndLoad();
  ExerciseBesideReference(Lookup, "display.vok", Section, "Display", "", "*");
  return 0;
}
