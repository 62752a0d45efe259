// The sorted alarm list: order with letter case ignored, equal lines, replace, remove, limit.

#include "alarm/alarm_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelmora {
namespace {

using ::testing::ElementsAre;

struct OrderCase {
  const char* a;
  const char* b;
  bool a_less;
  bool b_less;
};

class LessIgnoringCaseTable : public ::testing::TestWithParam<OrderCase> {};

TEST_P(LessIgnoringCaseTable, ComparesFoldedLetters) {
  const OrderCase& c = GetParam();
  EXPECT_EQ(LessIgnoringCase(c.a, c.b), c.a_less) << c.a << " < " << c.b;
  EXPECT_EQ(LessIgnoringCase(c.b, c.a), c.b_less) << c.b << " < " << c.a;
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, LessIgnoringCaseTable,
    ::testing::Values(
        OrderCase{"abc", "ABC", false, false},  // case only: equal
        OrderCase{"abc", "ABD", true, false},   // letters fold before comparing
        OrderCase{"a", "ab", true, false},      // a prefix comes first
        OrderCase{"", "a", true, false},        // the empty line first
        OrderCase{"_", "Z", true, false},       // letters fold to lower case: "_" (0x5F) before "z"
        OrderCase{"2026/12/06 07:05:00", "2026/12/06 10:00:00", true, false},
        OrderCase{"2026/12/6 7:05:00", "2026/12/06 10:00:00", false, true},
        OrderCase{"\xE9", "z", false, true},    // bytes compare unsigned
        OrderCase{"a\t1", "a 1", true, false},  // tab (9) before blank (32)
        OrderCase{"2026/12/06 07:05:00\tAbc", "2026/12/06 07:05:00\taBd", true, false},
        OrderCase{"ABCDEFGHIJKLMNOPz", "abcdefghijklmnopy", false, true},
        OrderCase{"abcdefghijklmnop", "ABCDEFGHIJKLMNOPQ", true, false}));

TEST(AlarmList, AddsInSortedPlaceWithCaseIgnoredAndEqualLinesAfterEachOther) {
  AlarmList list;
  EXPECT_EQ(list.Add("b"), 0);
  EXPECT_EQ(list.Add("a"), 0);
  EXPECT_EQ(list.Add("B"), 2);  // equal to "b": after it
  EXPECT_EQ(list.Add("A"), 1);
  EXPECT_EQ(list.Add("c"), 4);
  EXPECT_EQ(list.Add("b"), 4);
  EXPECT_THAT(list.Lines(), ElementsAre("a", "A", "b", "B", "b", "c"));
}

TEST(AlarmList, ReplaceMovesTheLineToItsPlace) {
  AlarmList list;
  for (const char* line : {"10", "20", "30", "40"}) list.Add(line);
  EXPECT_EQ(list.Replace(0, "35"), 2);
  EXPECT_THAT(list.Lines(), ElementsAre("20", "30", "35", "40"));
  EXPECT_EQ(list.Replace(3, "00"), 0);
  EXPECT_THAT(list.Lines(), ElementsAre("00", "20", "30", "35"));
  EXPECT_EQ(list.Replace(4, "x"), -1);
  list.Remove(1);
  list.Remove(7);  // no such line: nothing happens
  EXPECT_THAT(list.Lines(), ElementsAre("00", "30", "35"));
}

TEST(AlarmList, HoldsAtMost32767Lines) {
  AlarmList list;
  for (int i = 0; i < AlarmList::kMaxLines; ++i) ASSERT_GE(list.Add(std::to_string(i)), 0);
  EXPECT_EQ(list.Add("another"), -1);
  EXPECT_EQ(list.Count(), 32767);
  EXPECT_GE(list.Replace(0, "a replaced line"), 0);  // a full list still takes replacements
  EXPECT_EQ(list.Count(), 32767);
  list.Remove(0);
  EXPECT_GE(list.Add("fits again"), 0);
}

}  // namespace
}  // namespace kelmora
