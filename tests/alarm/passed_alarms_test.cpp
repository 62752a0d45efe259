// What the user is told of alarms that passed unheard, worked out from the scheduler pass: one
// table from alarm lines to the notice's text; and the line a snooze adds.

#include "alarm/passed_alarms.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "alarm/snooze.h"

namespace kelmora {
namespace {

const char* const kNow = "2026/12/08 12:00:00";

struct PassedCase {
  const char* name;
  std::vector<std::string> lines;  // due, interval and count; the sound is added
  std::string told;                // after the lead "L"; empty: nothing is told
  std::optional<std::size_t> rung_line = std::nullopt;
};

void PrintTo(const PassedCase& c, std::ostream* out) {
  *out << c.name;
}

class PassedTable : public ::testing::TestWithParam<PassedCase> {};

TEST_P(PassedTable, CountsAndNamesTheFiringsMovedOver) {
  const PassedCase& c = GetParam();
  std::vector<std::string> lines;
  for (const std::string& line : c.lines) lines.push_back(line + "\t/snd/a.wav");
  std::vector<MovedOver> moved;
  SchedulerPass(lines, *ParseDateTime(kNow), {}, &moved);
  const PassedAlarms passed = Passed(moved, c.rung_line);
  EXPECT_EQ(passed.count > 0 ? PassedAlarmsText("L", passed) : "", c.told);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, PassedTable,
    ::testing::Values(
        PassedCase{"DailyAlarmOverThreeDays",
                   {"2026/12/05 07:30:00\t1d\tE"},
                   "L 4 件のアラームが過ぎました: 2026/12/05 07:30:00, 2026/12/06 07:30:00, "
                   "2026/12/07 07:30:00, …"},
        PassedCase{"OnceWithCountZeroGoes",
                   {"2026/12/08 07:30:00\t0z\t0"},
                   "L 1 件のアラームが過ぎました: 2026/12/08 07:30:00"},
        PassedCase{"OnceWithoutLimitGoes",
                   {"2026/12/08 07:30:00\t0z\tE"},
                   "L 1 件のアラームが過ぎました: 2026/12/08 07:30:00"},
        // The count runs out on the way: the firing at 11:20 is still to ring.
        PassedCase{"CountRunsOut",
                   {"2026/12/08 11:00:00\t10m\t2"},
                   "L 2 件のアラームが過ぎました: 2026/12/08 11:00:00, 2026/12/08 11:10:00"},
        PassedCase{"StandingDueTimeNamedOnce",
                   {"2026/12/08 11:00:00\t0z\t3"},
                   "L 3 件のアラームが過ぎました: 2026/12/08 11:00:00"},
        PassedCase{"StepBackInTimeEarliestFirst",
                   {"2026/12/08 11:00:00\t-1h\t3"},
                   "L 3 件のアラームが過ぎました: 2026/12/08 09:00:00, 2026/12/08 10:00:00, "
                   "2026/12/08 11:00:00"},
        PassedCase{"LinesMergedEarliestFirst",
                   {"2026/12/08 11:00:00\t0z\t0", "2026/12/08 08:00:00\t1h\tE"},
                   "L 5 件のアラームが過ぎました: 2026/12/08 08:00:00, 2026/12/08 09:00:00, "
                   "2026/12/08 10:00:00, …"},
        PassedCase{"TwoLinesAtOneTime",
                   {"2026/12/08 07:30:00\t0z\t0", "2026/12/08 07:30:00\t1d\t0"},
                   "L 2 件のアラームが過ぎました: 2026/12/08 07:30:00"},
        PassedCase{"EverySecondForAYearCountedNotWalked",
                   {"2025/12/08 12:00:00\t1s\tE"},
                   "L 31536000 件のアラームが過ぎました: 2025/12/08 12:00:00, "
                   "2025/12/08 12:00:01, 2025/12/08 12:00:02, …"},
        PassedCase{"TheFiringThatRangIsNotCounted",
                   {"2026/12/08 10:00:00\t1h\tE", "2026/12/08 11:30:00\t0z\t0"},
                   "L 2 件のアラームが過ぎました: 2026/12/08 11:00:00, 2026/12/08 11:30:00",
                   0},
        PassedCase{"OnlyTheOneThatRang", {"2026/12/08 11:59:00\t1d\tE"}, "", 0},
        PassedCase{"NotDueOrDueThisSecond",
                   {"2026/12/08 12:00:01\t0z\t0", "2026/12/08 12:00:00\t1h\tE"},
                   ""},
        PassedCase{"UnreadableLinesAreNotAlarms",
                   {"2026/13/01 07:30:00\t1d\tE", "2026/12/08 07:30:00\t\tE",
                    "2026/12/08 07:30:00\t1d\te", "0100/01/01 00:00:00\t-1d\t3"},
                   ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SnoozeTest, RingsOnceAFewMinutesLaterWithTheSameSound) {
  EXPECT_EQ(SnoozeLabel(), "スヌーズ (5分)");
  EXPECT_EQ(SnoozeLine(*ParseDateTime("2026/12/31 23:58:30"), "/snd/a.wav"),
            "2027/01/01 00:03:30\t0z\t0\t/snd/a.wav");
  EXPECT_EQ(SnoozeLine(*ParseDateTime("2026/12/08 07:30:01"), ""), "2026/12/08 07:35:01\t0z\t0\t");
}

}  // namespace
}  // namespace kelmora
