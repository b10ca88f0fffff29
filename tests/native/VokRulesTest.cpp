// The line rules of the format as the loaders and the checker share them.
#include "lookup/VokRules.h"

#include <gtest/gtest.h>

#include "lookup/VokFile.h"

using namespace vok;

namespace {

// What a line is and its parts, as "kind key|value" and, for an item line, "code text|extra|tag".
std::string Parts(const TSectionLine &L) {
  static const char *const Kinds[] = {"none", "item", "header", "other"};
  std::string R = std::string(Kinds[L.Kind]) + " " + std::string(L.Key) + "|" + std::string(L.Value);
  if (L.Kind == TSectionLine::Header) R += " " + std::string(HeaderKeyName(L.HeaderKey));
  if (L.Kind == TSectionLine::Item)
    R += " " + std::to_string(L.Code) + " " + std::string(L.Text) + (L.HasHash ? "|" : "") + std::string(L.Extra) +
         (L.Tag.empty() ? "" : "|") + std::string(L.Tag);
  return R;
}

}  // namespace

TEST(VokRules, SectionLinesSplitAtTheFirstEqualsAndHash) {
  struct TCase {
    const char *Line, *Want;
  } Cases[] = {
      {"1101001=Stone#pop. 120#rural", "item 1101001|Stone#pop. 120#rural 1101001 Stone|pop. 120|rural"},
      {"12=a=b", "item 12|a=b 12 a=b"},
      {"3=t#", "item 3|t# 3 t|"},
      {"4=t##g#h", "item 4|t##g#h 4 t||g#h"},
      {" 5=x", "item  5|x 5 x"},
      {"\t5=x", "other \t5|x"},
      {"format=2,2", "header format|2,2 Format"},
      {"DELIMIT=, ", "header DELIMIT|,  Delimit"},
      {"  Format=1", "other   Format|1"},
      {"note", "none |"},
  };
  for (const TCase &C : Cases) EXPECT_EQ(Parts(ReadSectionLine(C.Line)), C.Want) << C.Line;
}

TEST(VokRules, HeaderKeysMissedByBlanks) {
  struct TCase {
    const char *Key, *Want;
  } Cases[] = {
      {"  Format", "Format indented"}, {"\tdisplay", "Display indented"}, {"Format ", "Format"},
      {" Delimit ", "Delimit"},        {"Form at", "none"},                {"note", "none"},
  };
  for (const TCase &C : Cases) {
    const auto M = HeaderKeyMiss(C.Key);
    EXPECT_EQ(M ? std::string(HeaderKeyName(M->Key)) + (M->Indented ? " indented" : "") : "none", C.Want) << C.Key;
  }
}

TEST(VokRules, WidthsAreCutAtEveryComma) {
  using V = std::vector<std::string_view>;
  EXPECT_EQ(SplitWidths("2, 2,3"), (V{"2", " 2", "3"}));
  EXPECT_EQ(SplitWidths(""), (V{""}));
  EXPECT_EQ(SplitWidths(",2,"), (V{"", "2", ""}));
}

TEST(VokRules, WholeFileReaderPassesOverEmptyNamesAndALateHeaderOnTheLastLine) {
  EXPECT_EQ(SectionSkip("A", true, true), TSectionSkip::None);
  EXPECT_EQ(SectionSkip("A", false, false), TSectionSkip::None);
  EXPECT_EQ(SectionSkip("A", false, true), TSectionSkip::HeaderAtEnd);
  EXPECT_EQ(SectionSkip("", false, true), TSectionSkip::HeaderAtEnd);
  EXPECT_EQ(SectionSkip("", true, false), TSectionSkip::EmptyName);
}
