// Texts are Windows-1251 bytes; native builds upper-case them with the 1251 table.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "util/SondexCore.h"

namespace {

const char *const kDelimiters = " ,.-";

struct TCase {
  const char *Text1;
  const char *Text2;
  int32_t MinLength;
  int Expected;
};

vok::TSondex MakeSondex(std::string_view ADelimiters) {
  vok::TSondex sondex;
  sondex.SetParse(ADelimiters);
  return sondex;
}

// Both argument orders, so every expectation also checks symmetry.
void ExpectScore(const vok::TSondex &ASondex, const TCase &ACase) {
  SCOPED_TRACE(std::string("\"") + ACase.Text1 + "\" vs \"" + ACase.Text2 +
               "\" min " + std::to_string(ACase.MinLength));
  EXPECT_EQ(ASondex.Compare(ACase.Text1, ACase.Text2, ACase.MinLength), ACase.Expected);
  EXPECT_EQ(ASondex.Compare(ACase.Text2, ACase.Text1, ACase.MinLength), ACase.Expected);
}

}  // namespace

TEST(Sondex, WorkedExampleScoresTen) {
  ExpectScore(MakeSondex(kDelimiters), {"Green river", "GREEN RIVERS", 2, 10});
}

TEST(Sondex, WorkedExampleVariants) {
  const vok::TSondex sondex = MakeSondex(kDelimiters);
  const TCase cases[] = {
      {"Green river", "Grey rivers", 2, 7},
      {"Green river", "Grey rivers", 4, 5},
      {"green", "GREEN", 2, 5},
  };
  for (const TCase &c : cases)
    ExpectScore(sondex, c);
}

// Single words (no delimiters) isolate the score of one pair.
TEST(Sondex, PairScoreSlidesShorterWordAlongLonger) {
  const vok::TSondex sondex;
  const TCase cases[] = {
      {"ROAD", "BROAD", 0, 4},        // perfect placement at an inner offset
      {"AB", "XXAB", 0, 2},           // last offset is tried
      {"AB", "ABZZZ", 0, 2},          // tail of the longer word does not count
      {"ABCDE", "ABCXYZABCDQ", 0, 3}, // best offset is neither first nor perfect
      {"ABCDE", "ABCXY", 0, 1},       // mismatches subtract
      {"ABCD", "BCDA", 0, 0},         // equal lengths: aligned only, no rotation
      {"ABCD", "WXYZ", 0, 0},         // never negative
      {"ABC", "ZZZZZZ", 0, 0},
      {"a", "A", 0, 1},
  };
  for (const TCase &c : cases)
    ExpectScore(sondex, c);
}

TEST(Sondex, WithoutDelimitersWholeTextIsOneWord) {
  const vok::TSondex sondex;
  ExpectScore(sondex, {"green river", "GREEN RIVER", 2, 11});
  ExpectScore(sondex, {"green river", "GREEN RIVERS", 2, 11});
  ExpectScore(sondex, {"   ", "   ", 0, 3});
}

TEST(Sondex, SetParseReplacesWholeSet) {
  vok::TSondex sondex;
  sondex.SetParse(" ");
  sondex.SetParse("-");
  EXPECT_EQ(sondex.Delimiters(), "-");
  ExpectScore(sondex, {"green river", "GREEN RIVER", 2, 11});
  ExpectScore(sondex, {"green-river", "GREEN-RIVERS", 2, 10});

  sondex.SetParse("");
  EXPECT_TRUE(sondex.Delimiters().empty());
  ExpectScore(sondex, {"green-river", "GREEN-RIVER", 2, 11});
}

TEST(Sondex, EachDelimiterSplitsAndRunsGiveNoExtraWords) {
  const vok::TSondex sondex = MakeSondex(kDelimiters);
  for (char d : std::string(kDelimiters)) {
    const std::string text = std::string("green") + d + "river";
    ExpectScore(sondex, {text.c_str(), "GREEN RIVERS", 2, 10});
  }
  ExpectScore(sondex, {"  green ,, river--", "GREEN.RIVERS.", 2, 10});
}

TEST(Sondex, EmptyOrDelimiterOnlyTextScoresZero) {
  const vok::TSondex sondex = MakeSondex(kDelimiters);
  const TCase cases[] = {
      {"", "GREEN", -1, 0},
      {"", "", -1, 0},
      {" , . - ", "GREEN", -1, 0},
      {" , . - ", " ,.- ", -1, 0},
  };
  for (const TCase &c : cases)
    ExpectScore(sondex, c);
  ExpectScore(vok::TSondex(), {"", "GREEN", 0, 0});
}

// Words A, BB, CCC on both sides; only like pairs score, so each word in adds its length.
TEST(Sondex, MinLengthAdmitsOnlyLongerWords) {
  const vok::TSondex sondex = MakeSondex(kDelimiters);
  const int32_t minInt = std::numeric_limits<int32_t>::min();
  const int32_t maxInt = std::numeric_limits<int32_t>::max();
  const TCase cases[] = {
      {"a bb ccc", "A BB CCC", minInt, 6},
      {"a bb ccc", "A BB CCC", -1, 6},
      {"a bb ccc", "A BB CCC", 0, 6},
      {"a bb ccc", "A BB CCC", 1, 5},
      {"a bb ccc", "A BB CCC", 2, 3},
      {"a bb ccc", "A BB CCC", 3, 0},
      {"a bb ccc", "A BB CCC", maxInt, 0},
      {"ccc", "A BB", 1, 0},  // BB is in, but unlike CCC
  };
  for (const TCase &c : cases)
    ExpectScore(sondex, c);
}

TEST(Sondex, DelimitersMatchUpperCasedBytes) {
  // The texts are upper-cased before splitting: a lower-case delimiter never matches.
  ExpectScore(MakeSondex("x"), {"axb", "AXB", 0, 3});
  // An upper-case delimiter splits both cases: A/A 1 + B/B 1.
  ExpectScore(MakeSondex("X"), {"axb", "AXB", 0, 2});
}

TEST(Sondex, CyrillicComparesCaseInsensitively) {
  const vok::TSondex sondex = MakeSondex(kDelimiters);
  const TCase cases[] = {
      {"\xEF\xF0\xE8\xE2\xE5\xF2", "\xCF\xD0\xC8\xC2\xC5\xD2", 0, 6},  // привет / ПРИВЕТ
      {"\xB8\xEB\xEA\xE0", "\xA8\xCB\xCA\xC0", 0, 4},                  // ёлка / ЁЛКА
      {"\xE4\xEE\xF0\xEE\xE3\xE0", "\xC4\xCE\xD0\xCE\xC3\xC0\xDF", 0, 6},
  };
  for (const TCase &c : cases)
    ExpectScore(sondex, c);
}

TEST(Sondex, HighBytesWorkAsDelimiters) {
  // 0xA0 is the no-break space.
  ExpectScore(MakeSondex(" \xA0"), {"green\xA0river", "GREEN RIVERS", 2, 10});
  // Lower-case И (0xE8) never matches the upper-cased text.
  ExpectScore(MakeSondex("\xE8"), {"\xEF\xF0\xE8\xE2\xE5\xF2", "\xCF\xD0\xC8\xC2\xC5\xD2", 0, 6});
  // Upper-case И splits both into ПР + ВЕТ: 2 + 3.
  ExpectScore(MakeSondex("\xC8"), {"\xEF\xF0\xE8\xE2\xE5\xF2", "\xCF\xD0\xC8\xC2\xC5\xD2", 0, 5});
}
