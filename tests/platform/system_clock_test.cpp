#include "platform/system_clock.h"

#include <gtest/gtest.h>

namespace kelmora {
namespace {

TEST(SystemClockTest, NowIsTheSystemTimeToTheSecond) {
  const DateTime before = SystemNow();
  const DateTime now = SystemClock().Now();
  EXPECT_LE(before, now);
  EXPECT_LE(now - before, std::chrono::seconds(1));
}

}  // namespace
}  // namespace kelmora
