#include "lookup/ShortStr.h"

#include <gtest/gtest.h>

using namespace vok;

TEST(IntegerConversion, AcceptsAndRefuses) {
  using F = TIntFault;
  struct TCase {
    const char *Text;
    std::optional<int32_t> Value;
    TIntFault Fault = F::None;
    bool Hex = false;
  } Cases[] = {
      {"0", 0},
      {"1101001", 1101001},
      {"  42", 42},
      {"+7", 7},
      {"-7", -7},
      {"$1F", 31, F::None, true},
      {"x1f", 31, F::None, true},
      {"X10", 16, F::None, true},
      {"0x10", 16, F::None, true},
      {"-$10", -16, F::None, true},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"2147483648", std::nullopt, F::OutOfRange},
      {"-2147483649", std::nullopt, F::OutOfRange},
      {"$80000000", std::nullopt, F::OutOfRange, true},
      {"99999999999999999999", std::nullopt, F::OutOfRange},
      {"99999999999x", std::nullopt, F::NotADigit},  // the letter, not the range
      {"", std::nullopt, F::Empty},
      {"   ", std::nullopt, F::OnlySpaces},
      {"-", std::nullopt, F::NoDigits},
      {"$", std::nullopt, F::NoDigits, true},
      {"0x", std::nullopt, F::NoDigits, true},
      {"\t5", std::nullopt, F::BlankBefore},
      {"5 ", std::nullopt, F::BlankAfter},
      {"5 \t", std::nullopt, F::BlankAfter},
      {"5 a", std::nullopt, F::NotADigit},
      {"5a", std::nullopt, F::NotADigit},
      {"$1G", std::nullopt, F::NotADigit, true},
      {"- 5", std::nullopt, F::NotADigit},
      {"- ", std::nullopt, F::NotADigit},  // a blank where the digits begin
      {"1.5", std::nullopt, F::NotADigit},
  };
  for (const TCase &C : Cases) {
    const TIntReading R = ReadInt(C.Text);
    EXPECT_EQ(TryStrToInt(C.Text), C.Value) << '"' << C.Text << '"';
    EXPECT_EQ(R.Fault, C.Fault) << '"' << C.Text << '"';
    EXPECT_EQ(R.Hex, C.Hex) << '"' << C.Text << '"';
  }
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
