#include "tick/tick_schedule.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace kelmora {
namespace {

using std::chrono::milliseconds;

// 2003-11-09 12:00:00 UTC in milliseconds since the epoch.
constexpr std::int64_t kNoon = 1068379200000;

struct NextTickCase {
  std::int64_t now_ms;
  int expected;
};

void PrintTo(const NextTickCase& c, std::ostream* out) {
  *out << c.now_ms << "ms_gives_" << c.expected;
}

class NextTickTest : public ::testing::TestWithParam<NextTickCase> {};

TEST_P(NextTickTest, WaitsUntilJustAfterTheNextSecond) {
  EXPECT_EQ(TimeToNextTick(WallTime{milliseconds{GetParam().now_ms}}),
            milliseconds{GetParam().expected});
}

INSTANTIATE_TEST_SUITE_P(Table, NextTickTest,
                         ::testing::Values(NextTickCase{kNoon, 1005},         // 12:00:00.000
                                           NextTickCase{kNoon + 1, 1004},     // 12:00:00.001
                                           NextTickCase{kNoon + 4, 1001},     // just before a tick
                                           NextTickCase{kNoon + 5, 1000},     // on a tick
                                           NextTickCase{kNoon + 500, 505},    // 12:00:00.500
                                           NextTickCase{kNoon + 995, 10},     // 12:00:00.995
                                           NextTickCase{kNoon + 999, 6},      // 12:00:00.999
                                           NextTickCase{kNoon + 1000, 1005},  // 12:00:01.000
                                           NextTickCase{-1, 6},               // before the epoch
                                           NextTickCase{-1000, 1005}));

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
  MonotonicTime monotonic{milliseconds{1000}};
  WallTime wall{
      milliseconds{1'796'645'000'000 + std::uniform_int_distribution<int>(0, 999)(random)}};
  TickSchedule schedule;
  schedule.Start(interval, monotonic, wall);
  auto gap = [&] { return interval == 1000 ? TimeToNextTick(wall) : milliseconds{interval}; };
  auto offset = [&] { return wall.time_since_epoch() - monotonic.time_since_epoch(); };
  MonotonicTime loop_next = monotonic + gap();
  for (int tick = 0; tick < 3000; ++tick) {
    ASSERT_EQ(schedule.MonotonicAt(1), loop_next) << tick;
    ASSERT_EQ(schedule.Lattice().first, WallTime{loop_next.time_since_epoch() + offset()}) << tick;
    if (random() % 7 == 0) {  // the clock set halfway to the tick, by up to an hour either way
      const milliseconds halfway = (loop_next - monotonic) / 2;
      monotonic += halfway;
      wall += halfway + milliseconds{static_cast<std::int64_t>(random() % 7'200'001) - 3'600'000};
      schedule.SetWallOffset(offset());
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

}  // namespace
}  // namespace kelmora
