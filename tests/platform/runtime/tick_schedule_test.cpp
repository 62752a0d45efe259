#include "platform/runtime/tick_schedule.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/runtime/scheduled_tick_timer.h"

namespace kelmora {
namespace {

// The loop the timer works out ahead: at each tick it re-arms for the next second of the wall
// clock (1000 ms) or for the interval; the wall clock is set between ticks now and then.
struct LoopCase {
  int interval;
  std::uint32_t seed;
};

class ScheduleAgainstLoop : public ::testing::TestWithParam<LoopCase> {};

TEST_P(ScheduleAgainstLoop, TicksFallWhereTheLoopPutsThem) {
  const int interval = GetParam().interval;
  std::mt19937 random(GetParam().seed);
  std::int64_t monotonic = 1000;
  std::int64_t wall = 1'796'645'000'000 + std::uniform_int_distribution<int>(0, 999)(random);
  TickSchedule schedule;
  schedule.Start(interval, monotonic, wall);
  auto gap = [&] { return interval == 1000 ? MillisecondsToNextTick(wall) : interval; };
  std::int64_t loop_next = monotonic + gap();
  for (int tick = 0; tick < 3000; ++tick) {
    ASSERT_EQ(schedule.MonotonicAt(1), loop_next) << tick;
    ASSERT_EQ(schedule.Lattice().first_ms, loop_next + (wall - monotonic)) << tick;
    if (random() % 7 == 0) {  // the clock set halfway to the tick, by up to an hour either way
      const std::int64_t halfway = (loop_next - monotonic) / 2;
      monotonic += halfway;
      wall += halfway + static_cast<std::int64_t>(random() % 7'200'001) - 3'600'000;
      schedule.SetWallOffset(wall - monotonic);
    }
    // The tick: the loop re-arms from the wall clock it reads.
    wall += loop_next - monotonic;
    monotonic = loop_next;
    loop_next = monotonic + gap();
    ASSERT_EQ(schedule.DueBy(monotonic, 5), 1);
    schedule.Count(1);
  }
}

INSTANTIATE_TEST_SUITE_P(Intervals, ScheduleAgainstLoop,
                         ::testing::Values(LoopCase{1000, 1}, LoopCase{1000, 2}, LoopCase{300, 3},
                                           LoopCase{1, 4}, LoopCase{999, 5}));

// The platform's alarm as a record of where it was armed.
class RecordingTimer : public ScheduledTickTimer {
 public:
  RecordingTimer(std::int64_t& wall, std::int64_t& monotonic)
      : ScheduledTickTimer([&wall] { return wall; }, [&monotonic] { return monotonic; }) {}
  std::int64_t armed_wall = -1;
  std::int64_t armed_monotonic = -1;

 protected:
  void Arm(std::int64_t wall_ms, std::int64_t monotonic_ms) override {
    armed_wall = wall_ms;
    armed_monotonic = monotonic_ms;
  }
  void Disarm() override { armed_wall = armed_monotonic = -1; }
};

class ScheduledTickTimerTest : public ::testing::Test {
 protected:
  void Pass(std::int64_t ms) {
    wall += ms;
    monotonic += ms;
  }
  std::int64_t wall = 1'796'645'000'250;
  std::int64_t monotonic = 7'000;
  RecordingTimer timer{wall, monotonic};
  std::vector<std::int64_t> wakes;
  int clock_sets = 0;
  void SetUp() override {
    timer.on_tick = [this](std::int64_t ticks) { wakes.push_back(ticks); };
    timer.on_clock_set = [this] { ++clock_sets; };
  }
};

TEST_F(ScheduledTickTimerTest, SleepsToTheTickAskedForAndCountsTheOthers) {
  timer.SetInterval(1000);
  EXPECT_EQ(timer.armed_monotonic, 7'755);
  timer.WakeAfter(5);
  EXPECT_EQ(timer.armed_monotonic, 11'755);
  EXPECT_EQ(timer.armed_wall, 1'796'645'005'005);
  Pass(3'000);
  EXPECT_EQ(timer.CountPassed(), 3);
  EXPECT_EQ(timer.armed_monotonic, 11'755) << "the tick to wake at stays";
  Pass(1'505);
  EXPECT_EQ(timer.CountPassed(), 1) << "never the tick to wake at";
  timer.AlarmWentOff();
  EXPECT_EQ(wakes, std::vector<std::int64_t>{1});
  EXPECT_EQ(timer.armed_monotonic, 12'755) << "the next tick, until asked otherwise";
  timer.SetInterval(0);
  EXPECT_EQ(timer.armed_monotonic, -1);
  EXPECT_EQ(timer.CountPassed(), 0);
}

TEST_F(ScheduledTickTimerTest, AClockSetUnannouncedIsTakenUpAtTheNextWake) {
  timer.SetInterval(1000);
  Pass(755);
  wall -= 200;  // set back while the alarm went off, and nobody said so
  timer.AlarmWentOff();
  EXPECT_EQ(wakes, std::vector<std::int64_t>{1});
  EXPECT_EQ(clock_sets, 0);
  EXPECT_EQ(timer.armed_wall % 1000, kTickLagMilliseconds) << "aligned to the clock as it stands";
  EXPECT_EQ(timer.armed_monotonic, 7'755 + 200);
}

}  // namespace
}  // namespace kelmora
