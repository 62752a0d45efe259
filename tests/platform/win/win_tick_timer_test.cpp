#include "platform/win/win_tick_timer.h"

#include <gtest/gtest.h>

#include "message_pump.h"

namespace kelmora {
namespace {

using std::chrono::milliseconds;

// The timer on clocks the test sets: the wall clock 999 ms into a second.
class WinTickTimerTest : public testing::Test {
 protected:
  MonotonicTime monotonic_{milliseconds{50'000}};
  WallTime wall_{milliseconds{1'700'000'000'999}};
  WinTickTimer timer_{
      {.wall = [this] { return wall_ + (monotonic_ - MonotonicTime{milliseconds{50'000}}); },
       .monotonic = [this] { return monotonic_; }}};
  std::vector<std::int64_t> ticks_;
  int clock_sets_ = 0;

  void SetUp() override {
    timer_.on_tick = [this](std::int64_t ticks) { ticks_.push_back(ticks); };
    timer_.on_clock_set = [this] { ++clock_sets_; };
  }
};

TEST_F(WinTickTimerTest, ArmsSetTimerForJustAfterTheNextSecondAndTicksThroughTheMessageLoop) {
  timer_.SetInterval(1000);
  EXPECT_EQ(timer_.ArmedMilliseconds(), 1 + kTickLag.count());
  monotonic_ += milliseconds{10};
  ASSERT_TRUE(PumpUntil([this] { return !ticks_.empty(); }));
  EXPECT_EQ(ticks_, std::vector<std::int64_t>{1});
  EXPECT_EQ(timer_.ArmedMilliseconds(), 1000 - 10 + 1 + kTickLag.count());
}

TEST_F(WinTickTimerTest, AWakeBeforeItsTimeArmsAgainForTheRest) {
  timer_.SetInterval(250);
  timer_.WakeAfter(2);
  monotonic_ += milliseconds{100};
  SendMessageW(timer_.Window(), WM_TIMER, 1, 0);
  EXPECT_TRUE(ticks_.empty());
  EXPECT_EQ(timer_.ArmedMilliseconds(), 400);
  timer_.SetInterval(0);
  EXPECT_EQ(timer_.ArmedMilliseconds(), -1);
}

struct Broadcast {
  UINT message;
  WPARAM wparam;
  int clock_sets;
};

class WinTickTimerBroadcastTest : public WinTickTimerTest,
                                  public testing::WithParamInterface<Broadcast> {};

TEST_P(WinTickTimerBroadcastTest, TheClockSetAndTheResumeMoveTheTicks) {
  timer_.SetInterval(1000);
  SendMessageW(timer_.Window(), GetParam().message, GetParam().wparam, 0);
  EXPECT_EQ(clock_sets_, GetParam().clock_sets);
}

INSTANTIATE_TEST_SUITE_P(Messages, WinTickTimerBroadcastTest,
                         testing::Values(Broadcast{WM_TIMECHANGE, 0, 1},
                                         Broadcast{WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 1},
                                         Broadcast{WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 1},
                                         Broadcast{WM_POWERBROADCAST, PBT_APMSUSPEND, 0}));

}  // namespace
}  // namespace kelmora
