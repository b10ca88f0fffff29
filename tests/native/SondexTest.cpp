// Texts are Windows-1251 bytes; native builds upper-case them with the 1251 table.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
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

// Every case in both argument orders, so every expectation also checks symmetry.
void ExpectScores(const vok::TSondex &ASondex, std::initializer_list<TCase> ACases) {
  for (const TCase &C : ACases) {
    SCOPED_TRACE(std::string("\"") + C.Text1 + "\" vs \"" + C.Text2 + "\" min " + std::to_string(C.MinLength));
    EXPECT_EQ(ASondex.Compare(C.Text1, C.Text2, C.MinLength), C.Expected);
    EXPECT_EQ(ASondex.Compare(C.Text2, C.Text1, C.MinLength), C.Expected);
  }
}

}  // namespace

TEST(Sondex, WorkedExampleScoresTen) {
  ExpectScores(MakeSondex(kDelimiters), {{"Green river", "GREEN RIVERS", 2, 10}});
}

TEST(Sondex, WorkedExampleVariants) {
  const vok::TSondex sondex = MakeSondex(kDelimiters);
  ExpectScores(sondex, {
      {"Green river", "Grey rivers", 2, 7},
      {"Green river", "Grey rivers", 4, 5},
      {"green", "GREEN", 2, 5},
  });
}

// Single words (no delimiters) isolate the score of one pair.
TEST(Sondex, PairScoreSlidesShorterWordAlongLonger) {
  const vok::TSondex sondex;
  ExpectScores(sondex, {
      {"ROAD", "BROAD", 0, 4},        // perfect placement at an inner offset
      {"AB", "XXAB", 0, 2},           // last offset is tried
      {"AB", "ABZZZ", 0, 2},          // tail of the longer word does not count
      {"ABCDE", "ABCXYZABCDQ", 0, 3}, // best offset is neither first nor perfect
      {"ABCDE", "ABCXY", 0, 1},       // mismatches subtract
      {"ABCD", "BCDA", 0, 0},         // equal lengths: aligned only, no rotation
      {"ABCD", "WXYZ", 0, 0},         // never negative
      {"ABC", "ZZZZZZ", 0, 0},
      {"a", "A", 0, 1},
  });
}

TEST(Sondex, WithoutDelimitersWholeTextIsOneWord) {
  const vok::TSondex sondex;
  ExpectScores(sondex, {
      {"green river", "GREEN RIVER", 2, 11},
      {"green river", "GREEN RIVERS", 2, 11},
      {"   ", "   ", 0, 3},
  });
}

TEST(Sondex, SetParseReplacesWholeSet) {
  vok::TSondex sondex;
  sondex.SetParse(" ");
  sondex.SetParse("-");
  EXPECT_EQ(sondex.Delimiters(), "-");
  ExpectScores(sondex, {{"green river", "GREEN RIVER", 2, 11}, {"green-river", "GREEN-RIVERS", 2, 10}});

  sondex.SetParse("");
  EXPECT_TRUE(sondex.Delimiters().empty());
  ExpectScores(sondex, {{"green-river", "GREEN-RIVER", 2, 11}});
}

TEST(Sondex, EachDelimiterSplitsAndRunsGiveNoExtraWords) {
  const vok::TSondex sondex = MakeSondex(kDelimiters);
  for (char d : std::string(kDelimiters)) {
    const std::string text = std::string("green") + d + "river";
    ExpectScores(sondex, {{text.c_str(), "GREEN RIVERS", 2, 10}});
  }
  ExpectScores(sondex, {{"  green ,, river--", "GREEN.RIVERS.", 2, 10}});
}

TEST(Sondex, EmptyOrDelimiterOnlyTextScoresZero) {
  const vok::TSondex sondex = MakeSondex(kDelimiters);
  ExpectScores(sondex, {
      {"", "GREEN", -1, 0},
      {"", "", -1, 0},
      {" , . - ", "GREEN", -1, 0},
      {" , . - ", " ,.- ", -1, 0},
  });
  ExpectScores(vok::TSondex(), {{"", "GREEN", 0, 0}});
}

// Words A, BB, CCC on both sides; only like pairs score, so each word in adds its length.
TEST(Sondex, MinLengthAdmitsOnlyLongerWords) {
  const vok::TSondex sondex = MakeSondex(kDelimiters);
  ExpectScores(sondex, {
      {"a bb ccc", "A BB CCC", INT32_MIN, 6},
      {"a bb ccc", "A BB CCC", -1, 6},
      {"a bb ccc", "A BB CCC", 0, 6},
      {"a bb ccc", "A BB CCC", 1, 5},
      {"a bb ccc", "A BB CCC", 2, 3},
      {"a bb ccc", "A BB CCC", 3, 0},
      {"a bb ccc", "A BB CCC", INT32_MAX, 0},
      {"ccc", "A BB", 1, 0},  // BB is in, but unlike CCC
  });
}

TEST(Sondex, DelimitersMatchUpperCasedBytes) {
  // The texts are upper-cased before splitting: a lower-case delimiter never matches.
  ExpectScores(MakeSondex("x"), {{"axb", "AXB", 0, 3}});
  // An upper-case delimiter splits both cases: A/A 1 + B/B 1.
  ExpectScores(MakeSondex("X"), {{"axb", "AXB", 0, 2}});
}

TEST(Sondex, CyrillicComparesCaseInsensitively) {
  const vok::TSondex sondex = MakeSondex(kDelimiters);
  ExpectScores(sondex, {
      {"\xEF\xF0\xE8\xE2\xE5\xF2", "\xCF\xD0\xC8\xC2\xC5\xD2", 0, 6},  // привет / ПРИВЕТ
      {"\xB8\xEB\xEA\xE0", "\xA8\xCB\xCA\xC0", 0, 4},                  // ёлка / ЁЛКА
      {"\xE4\xEE\xF0\xEE\xE3\xE0", "\xC4\xCE\xD0\xCE\xC3\xC0\xDF", 0, 6},
  });
}

TEST(Sondex, HighBytesWorkAsDelimiters) {
  // 0xA0 is the no-break space.
  ExpectScores(MakeSondex(" \xA0"), {{"green\xA0river", "GREEN RIVERS", 2, 10}});
  // Lower-case И (0xE8) never matches the upper-cased text.
  ExpectScores(MakeSondex("\xE8"), {{"\xEF\xF0\xE8\xE2\xE5\xF2", "\xCF\xD0\xC8\xC2\xC5\xD2", 0, 6}});
  // Upper-case И splits both into ПР + ВЕТ: 2 + 3.
  ExpectScores(MakeSondex("\xC8"), {{"\xEF\xF0\xE8\xE2\xE5\xF2", "\xCF\xD0\xC8\xC2\xC5\xD2", 0, 5}});
}
