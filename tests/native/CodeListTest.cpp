#include "lookup/CodeList.h"

#include <gtest/gtest.h>

#include <random>

using namespace vok;

// Adding rows all at once places them as adding them one by one does: in order, or sorted
// ignoring case with the first of equal texts kept, or each before its equals; also into a
// list that holds rows already.
TEST(CodeList, AddingAllAtOnceMatchesAddingOneByOne) {
  std::mt19937 Random(7);
  const char *const Words[] = {"a", "A", "b", "ab", "aB", "\xE0", "\xC0", "\xE0\xE1", "", "z"};
  const auto RandomRows = [&](int ACount) {
    std::vector<TCodeRow> R;
    for (int I = 0; I < ACount; ++I) R.push_back({Words[Random() % 10], static_cast<int32_t>(Random() % 1000)});
    return R;
  };
  for (int Round = 0; Round < 200; ++Round) {
    const std::vector<TCodeRow> First = RandomRows(Round % 7), Then = RandomRows(Round % 23);
    for (const auto &[Sorted, Duplicates] : {std::pair{false, TDuplicates::Accept}, std::pair{true, TDuplicates::Accept},
                                             std::pair{true, TDuplicates::Ignore}}) {
      TCodeList OneByOne(Sorted, Duplicates), AtOnce(Sorted, Duplicates);
      for (const TCodeRow &R : First) OneByOne.Add(R.Text, R.Code), AtOnce.Add(R.Text, R.Code);
      for (const TCodeRow &R : Then) OneByOne.Add(R.Text, R.Code);
      AtOnce.AddAll(Then);
      ASSERT_EQ(AtOnce.Count(), OneByOne.Count()) << Round;
      for (int I = 0; I < OneByOne.Count(); ++I) {
        EXPECT_EQ(AtOnce[I].Text, OneByOne[I].Text) << Round << " row " << I;
        EXPECT_EQ(AtOnce[I].Code, OneByOne[I].Code) << Round << " row " << I;
      }
    }
  }
}
