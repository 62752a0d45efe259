// The tick timer that sleeps over ticks, with the platform's alarm recorded instead of armed.

#include "tick/scheduled_tick_timer.h"

#include <gtest/gtest.h>

#include <vector>

namespace kelmora {
namespace {

// The platform's alarm as a record of where it was armed.
class RecordingTimer : public ScheduledTickTimer {
 public:
  RecordingTimer(std::int64_t& wall, std::int64_t& monotonic)
      : ScheduledTickTimer(
            [&wall] { return WallTime{std::chrono::milliseconds{wall}}; },
            [&monotonic] { return MonotonicTime{std::chrono::milliseconds{monotonic}}; }) {}
  std::int64_t armed_wall = -1;
  std::int64_t armed_monotonic = -1;

 protected:
  void Arm(WallTime wall, MonotonicTime monotonic) override {
    armed_wall = wall.time_since_epoch().count();
    armed_monotonic = monotonic.time_since_epoch().count();
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
  EXPECT_EQ(timer.armed_wall % 1000, kTickLag.count()) << "aligned to the clock as it stands";
  EXPECT_EQ(timer.armed_monotonic, 7'755 + 200);
}

}  // namespace
}  // namespace kelmora
