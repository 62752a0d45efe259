#include "tick/tick_plan.h"

#include <gtest/gtest.h>

#include <chrono>

namespace kelmora {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

// 2026/12/07 12:00:00 as the wall clock; the local time is the wall clock.
constexpr WallTime kNoon{milliseconds{1'796'644'800'000}};

DateTime Local(WallTime instant) {
  return DateTime{floor<seconds>(instant.time_since_epoch())};
}

DateTime At(int minute, int second) {
  return Local(kNoon + seconds{minute * 60 + second});
}

struct PlanCase {
  const char* name;
  int interval_ms;
  std::int64_t now_ms;  // from noon; the ticks start here
  std::int32_t count;
  std::int32_t limit;
  bool by_the_second;  // what is shown changes every second, else every minute
  std::optional<DateTime> alarm_due;
  std::int64_t expected;
};

void PrintTo(const PlanCase& c, std::ostream* out) {
  *out << c.name;
}

class PlanTable : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PlanTable, WakesAtTheFirstTickThatChangesSomething) {
  const PlanCase& c = GetParam();
  TickSchedule schedule;
  schedule.Start(c.interval_ms, MonotonicTime{}, kNoon + milliseconds{c.now_ms});
  const DateTime shown = Local(kNoon + milliseconds{c.now_ms});
  TickPlanInput input;
  input.lattice = schedule.Lattice();
  input.tick_count = c.count;
  input.tick_limit = c.limit;
  input.local_time = Local;
  input.same_all_minute = !c.by_the_second;
  input.redraw_changes = [&](DateTime at) {
    return c.by_the_second ? at != shown
                           : floor<std::chrono::minutes>(at) != floor<std::chrono::minutes>(shown);
  };
  input.alarm_due = c.alarm_due;
  EXPECT_EQ(TicksToWake(input), c.expected);
}

// At 12:00:10.005 a second-aligned tick has just come; tick n falls at 12:00:(10+n).005.
INSTANTIATE_TEST_SUITE_P(
    Cases, PlanTable,
    ::testing::Values(
        PlanCase{"MinuteTurnsOnARedrawTick", 1000, 10'005, 0, 1, false, std::nullopt, 50},
        PlanCase{"MinuteTurnsBetweenRedraws", 1000, 10'005, 1, 1, false, std::nullopt, 51},
        PlanCase{"SecondsShownWaitForTheRedraw", 1000, 10'005, 0, 1, true, std::nullopt, 2},
        PlanCase{"EveryFifthTickRedraws", 1000, 10'005, 2, 4, true, std::nullopt, 3},
        PlanCase{"AlarmOnTheTickAfterItsSecond", 1000, 10'005, 0, 1, false, At(0, 30), 21},
        PlanCase{"AlarmAlreadyDue", 1000, 10'005, 0, 1, false, At(0, 9), 1},
        PlanCase{"AlarmBeyondAMinute", 1000, 10'005, 0, 1, false, At(5, 0), 50},
        PlanCase{"NoRedrawWithinAMinute", 1000, 10'005, 0, 59, false, std::nullopt, 60},
        PlanCase{"FirstTickAfterStartOffTheSecond", 1000, 59'600, 0, 0, false, std::nullopt, 1},
        PlanCase{"PlainTicksInTheNextMinute", 300, 59'800, 0, 0, false, std::nullopt, 1},
        PlanCase{"MillisecondTicksToTheMinute", 1, 0, 0, 0, false, std::nullopt, 60'000},
        PlanCase{"MillisecondTicksToTheAlarm", 1, 0, 0, 0, false, At(0, 5), 6'000},
        PlanCase{"MillisecondTicksEachSecond", 1, 250, 0, 0, true, std::nullopt, 750}));

TEST(TickPlanTest, LooksOnceAMinuteWhenTheSecondsDoNotShow) {
  TickSchedule schedule;
  schedule.Start(1, MonotonicTime{}, kNoon + milliseconds{1});
  int looks = 0;
  TickPlanInput input;
  input.lattice = schedule.Lattice();
  input.local_time = Local;
  input.redraw_changes = [&](DateTime) { return ++looks, false; };
  EXPECT_EQ(TicksToWake(input), 60'000);
  EXPECT_EQ(looks, 2);  // 12:00:00 and 12:01:00
}

TEST(TickPlanTest, AnHourSkippedByTheZoneRingsAnAlarmWithinIt) {
  // The zone's offset moves an hour on at 12:00:20: 12:00:19 is followed by 13:00:20.
  const auto local = [](WallTime instant) {
    return Local(instant) + (instant >= kNoon + seconds{20} ? seconds{3600} : seconds{0});
  };
  TickSchedule schedule;
  schedule.Start(1000, MonotonicTime{}, kNoon + milliseconds{5});
  TickPlanInput input;
  input.lattice = schedule.Lattice();
  input.local_time = local;
  input.redraw_changes = [](DateTime) { return false; };
  input.alarm_due = At(30, 0);
  EXPECT_EQ(TicksToWake(input), 20);  // 12:00:20.005, which reads 13:00:20
}

}  // namespace
}  // namespace kelmora
