#include "lookup/ShortStr.h"

#include <gtest/gtest.h>

using namespace vok;

TEST(IntegerConversion, AcceptsAndRefuses) {
  struct TCase {
    const char *Text;
    std::optional<int32_t> Value;
  } Cases[] = {
      {"0", 0},
      {"1101001", 1101001},
      {"  42", 42},
      {"+7", 7},
      {"-7", -7},
      {"$1F", 31},
      {"x1f", 31},
      {"X10", 16},
      {"0x10", 16},
      {"-$10", -16},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"$80000000", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"-", std::nullopt},
      {"$", std::nullopt},
      {"0x", std::nullopt},
      {"\t5", std::nullopt},
      {"5 ", std::nullopt},
      {"5a", std::nullopt},
      {"- 5", std::nullopt},
      {"1.5", std::nullopt},
  };
  for (const TCase &C : Cases) EXPECT_EQ(TryStrToInt(C.Text), C.Value) << '"' << C.Text << '"';
}

TEST(TrimAndBlank, RemoveCodesUpToThirtyTwo) {
  EXPECT_EQ(Trim(" \t\r\x01" "a b\x1F "), "a b");
  EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // a non-breaking space is a character
  EXPECT_TRUE(IsBlank(""));
  EXPECT_TRUE(IsBlank(" \t\x01"));
  EXPECT_FALSE(IsBlank(" .") );
}

TEST(ReplaceAll, ReplacesLeftToRightWithoutRescanning) {
  struct TCase {
    const char *S, *Old, *New, *Want;
  } Cases[] = {
      {"a-b-c", "-", "+", "a+b+c"},
      {"aaa", "aa", "b", "ba"},
      {"abab", "ab", "abab", "abababab"},
      {"abc", "", "x", "abc"},
      {"a-b-c", "-", "", "abc"},
      {"abc", "x", "y", "abc"},
      {"ABC", "b", "x", "ABC"},
  };
  for (const TCase &C : Cases) EXPECT_EQ(ReplaceAll(C.S, C.Old, C.New), C.Want) << C.S;
}

TEST(ReplaceAll, CutsGrowthAt255) {
  const std::string S(100, 'a');
  const std::string R = ReplaceAll(S, "a", "bcd");
  EXPECT_EQ(R.size(), 255u);
  EXPECT_EQ(R.substr(0, 6), "bcdbcd");
  EXPECT_EQ(ReplaceAll(std::string(300, 'x'), "y", "z").size(), 255u);
}
