#include "platform/qt/qt_tick_timer.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QTest>

#include "qt_app.h"

namespace kelmora {
namespace {

class QtTickTimerTest : public ::testing::Test {
 protected:
  QApplication& app = testing::EnsureQApplication();  // before the timer's socket notifier
  QtTickTimer timer;
  int ticks = 0;
};

TEST_F(QtTickTimerTest, ZeroOrNegativeIntervalStops) {
  for (int stopping : {0, -1, -1000}) {
    timer.SetInterval(1000);
    ASSERT_TRUE(timer.Running());
    timer.SetInterval(stopping);
    EXPECT_FALSE(timer.Running()) << stopping;
    EXPECT_EQ(timer.Interval(), 0) << stopping;
  }
}

TEST_F(QtTickTimerTest, SecondTicksFallJustAfterTheWallClockSecond) {
  std::vector<std::int64_t> tick_phases;
  timer.on_tick = [&](std::int64_t) {
    tick_phases.push_back(QDateTime::currentMSecsSinceEpoch() % 1000);
  };
#ifdef __linux__
  EXPECT_TRUE(timer.UsesWallClockAlarm());
#endif
  timer.SetInterval(1000);
  EXPECT_EQ(timer.Interval(), 1000);
  EXPECT_LE(timer.MillisecondsToTimeout(), 1000 + kTickLag.count());

  ASSERT_TRUE(QTest::qWaitFor([&] { return tick_phases.size() >= 2; }, 5000));
  for (std::int64_t phase : tick_phases) {
    // Not before the second has turned; the upper bound only allows for a busy machine.
    EXPECT_GE(phase, kTickLag.count() - 1);
    EXPECT_LT(phase, 400);
  }
  EXPECT_TRUE(timer.Running()) << "re-armed for the following second";
}

// The QTimer standing in for the timerfd hears nothing when the machine wakes from sleep: its
// monotonic clock stood still while the wall clock moved on, so the tick comes at another phase
// of the wall-clock second, and re-arms for the next second of the wall clock. (The jumps land
// just before a second turns, so the test waits little.)
TEST(QtTickTimerWakeTest, TickAfterAWallClockJumpReAlignsToTheSecond) {
  testing::EnsureQApplication();
  std::int64_t wall_ms = 1'068'336'000'990;  // 0.990 into a second
  QtTickTimer::Options options;
  options.wall = [&] { return WallTime{std::chrono::milliseconds{wall_ms}}; };
  options.wall_clock_alarm = false;
  QtTickTimer timer(options);
  int ticks = 0;
  timer.on_tick = [&](std::int64_t) { ++ticks; };
  timer.SetInterval(1000);
  EXPECT_LE(timer.MillisecondsToTimeout(), 10 + kTickLag.count());
  EXPECT_GE(timer.MillisecondsToTimeout(), 10 + kTickLag.count() - 3);
  // An hour asleep, a day, a few seconds: each lands 15 to 35 ms before a second turns.
  for (const std::int64_t slept : {3'600'000 - 5, 86'400'000 - 20, 7'000 + 5}) {
    wall_ms += slept;
    const int before = ticks;
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks > before; }, 5000));
    const auto expected = TimeToNextTick(WallTime{std::chrono::milliseconds{wall_ms}}).count();
    EXPECT_LE(timer.MillisecondsToTimeout(), expected) << slept;
    EXPECT_GE(timer.MillisecondsToTimeout(), 0) << slept;
    EXPECT_TRUE(timer.Running());
  }
}

TEST_F(QtTickTimerTest, OtherIntervalsRepeatPlainly) {
  timer.on_tick = [&](std::int64_t) { ++ticks; };
  timer.SetInterval(20);
  EXPECT_EQ(timer.Interval(), 20);
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 5000));
  timer.SetInterval(0);
  EXPECT_FALSE(timer.Running());
}

// Asked to sleep over ticks, either alarm wakes once, at the tick asked for, and tells how many
// ticks came.
class SleepingTimer : public ::testing::TestWithParam<bool> {};

TEST_P(SleepingTimer, WakesOnceAtTheTickAskedFor) {
  testing::EnsureQApplication();
  QtTickTimer::Options options;
  options.wall_clock_alarm = GetParam();
  QtTickTimer timer(options);
  std::vector<std::int64_t> wakes;
  timer.on_tick = [&](std::int64_t ticks) {
    wakes.push_back(ticks);
    timer.WakeAfter(10'000);
  };
  const auto monotonic = QtTickTimer::DefaultMonotonicClock();
  const MonotonicTime start = monotonic();
  timer.SetInterval(20);
  timer.WakeAfter(6);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !wakes.empty(); }, 5000));
  EXPECT_GE(monotonic() - start, std::chrono::milliseconds{6 * 20});
  EXPECT_EQ(wakes, std::vector<std::int64_t>{6});
  timer.SetInterval(0);
}

INSTANTIATE_TEST_SUITE_P(Alarms, SleepingTimer, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "TimerFd" : "QTimer"; });

}  // namespace
}  // namespace kelmora
