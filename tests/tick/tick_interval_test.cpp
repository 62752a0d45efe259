// The tick period and redraw rate from the update interval text.

#include "tick/tick_interval.h"

#include <gtest/gtest.h>

namespace kelmora {
namespace {

struct IntervalCase {
  const char* text;
  int milliseconds;
  int tick_limit;
  bool acceptable;
};

class TickIntervalTable : public ::testing::TestWithParam<IntervalCase> {};

TEST_P(TickIntervalTable, GivesPeriodLimitAndWhetherTheButtonTakesIt) {
  const IntervalCase& c = GetParam();
  const TickInterval interval = ComputeTickInterval(c.text);
  EXPECT_EQ(interval.milliseconds, c.milliseconds) << '"' << c.text << '"';
  EXPECT_EQ(interval.tick_limit, c.tick_limit) << '"' << c.text << '"';
  EXPECT_EQ(AcceptableInterval(c.text), c.acceptable) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TickIntervalTable,
    ::testing::Values(IntervalCase{"1.0", 1000, 1, true}, IntervalCase{"0.5", 500, 0, true},
                      IntervalCase{"2.5", 1000, 2, true},  // halves to even
                      IntervalCase{"3.5", 1000, 4, true},
                      IntervalCase{"0.0004", 0, 0, false},  // 0 ms stops the tick
                      IntervalCase{"0.001", 1, 0, true}, IntervalCase{"0.0005", 0, 0, false},
                      IntervalCase{"0.0015", 2, 0, true},  // 1.5 ms: halves to even
                      IntervalCase{"0", 0, 0, false}, IntervalCase{"", 0, 0, false},
                      IntervalCase{"abc", 0, 0, false}, IntervalCase{" 2 s", 1000, 2, true},
                      IntervalCase{"1e1", 1000, 10, true}, IntervalCase{"-1", 0, 0, false},
                      IntervalCase{"2147483.647", 1000, 2147484, true},
                      IntervalCase{"2147483.648", 0, 0, false},  // beyond 32 bits: stopped
                      IntervalCase{"1e300", 0, 0, false}));

}  // namespace
}  // namespace kelmora
