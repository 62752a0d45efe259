// Splitting and joining alarm lines, and what the tick reads of line 0.

#include "alarm/alarm_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kelmora {
namespace {

using ::testing::ElementsAre;

TEST(AlarmLine, SplitAllSplitsAtEveryTabAndKeepsEmptyFields) {
  EXPECT_THAT(AlarmLine::SplitAll(""), ElementsAre(""));
  EXPECT_THAT(AlarmLine::SplitAll("a\t\tb\t"), ElementsAre("a", "", "b", ""));
  EXPECT_THAT(AlarmLine::SplitAll("\t"), ElementsAre("", ""));
  EXPECT_THAT(AlarmLine::SplitAll("a b,c"), ElementsAre("a b,c"));
}

TEST(AlarmLine, SplitTakesExactlyFourFieldsAndJoinGivesTheLineBack) {
  for (const char* line : {"2026/12/06 07:30:00\t1h\tE\t/snd/a b.wav", "\t\t\t", "a\t0z\t0\t"}) {
    const std::optional<AlarmLine> fields = AlarmLine::Split(line);
    ASSERT_TRUE(fields) << line;
    EXPECT_EQ(fields->Join(), line);
  }
  for (const char* line : {"", "a\tb\tc", "a\tb\tc\td\te"}) {
    EXPECT_FALSE(AlarmLine::Split(line)) << line;
  }
  const AlarmLine once{"2026/12/06 07:05:00", AlarmLine::kNoRepeat, AlarmLine::kNoLimit, ""};
  EXPECT_EQ(once.Join(), "2026/12/06 07:05:00\t0z\tE\t");
  EXPECT_EQ(AlarmLine::kNoRepeatUnit, "z");
}

struct TickCase {
  const char* line;
  std::optional<DateTime> due;
  const char* sound_path;
};

class ReadForTickTable : public ::testing::TestWithParam<TickCase> {};

TEST_P(ReadForTickTable, ReadsDueTimeAndSoundPath) {
  const TickView view = ReadForTick(GetParam().line);
  EXPECT_EQ(view.due, GetParam().due);
  EXPECT_EQ(view.sound_path, GetParam().sound_path);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReadForTickTable,
    ::testing::Values(TickCase{"2026/12/06 07:30:00\t1h\tE\t/snd/a.wav",
                               MakeDateTime(2026, 12, 6, 7, 30), "/snd/a.wav"},
                      TickCase{"2003/11/9 7:05:00\t0z\t0\t", MakeDateTime(2003, 11, 9, 7, 5), ""},
                      TickCase{"2026/12/06 07:30:00\t1h", MakeDateTime(2026, 12, 6, 7, 30),
                               ""},  // too short
                      TickCase{"2026/12/06 07:30:00\t1h\tE\tb.wav\textra",
                               MakeDateTime(2026, 12, 6, 7, 30), "b.wav"},
                      TickCase{"not a time\t1h\tE\tc.wav", std::nullopt, "c.wav"},
                      TickCase{"", std::nullopt, ""}));

}  // namespace
}  // namespace kelmora
