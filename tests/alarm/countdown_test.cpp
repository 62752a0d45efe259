// The chunked countdown against plain repeated subtraction, around every place where
// subtracting 1 from a double rounds.

#include "alarm/countdown.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace kelmora {
namespace {

// "value = value - 1" up to max_steps times, stopping after the step that gives 0.
Countdown NaiveCountDown(double value, std::int64_t max_steps) {
  for (std::int64_t step = 1; step <= max_steps; ++step) {
    value -= 1;
    if (value == 0) return {value, step, true};
  }
  return {value, max_steps, false};
}

void ExpectSameAsNaive(double start, std::int64_t steps) {
  const Countdown naive = NaiveCountDown(start, steps);
  const Countdown chunked = CountDown(start, steps);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(chunked.value), std::bit_cast<std::uint64_t>(naive.value))
      << "start " << start << " steps " << steps << ": " << chunked.value << " vs " << naive.value;
  EXPECT_EQ(chunked.steps, naive.steps) << "start " << start << " steps " << steps;
  EXPECT_EQ(chunked.reached_zero, naive.reached_zero) << "start " << start << " steps " << steps;
}

constexpr double k2p52 = 4503599627370496.0;
constexpr double k2p53 = 9007199254740992.0;
constexpr double k2p54 = 18014398509481984.0;

TEST(CountDown, MatchesRepeatedSubtractionAtEveryRoundingPlace) {
  const std::vector<double> starts = {0,
                                      -0.0,
                                      1,
                                      3,
                                      2.5,
                                      0.1,
                                      0.7,
                                      1e-300,
                                      -1e-300,
                                      5e-324,
                                      -0.1,
                                      -3,
                                      -2.75,
                                      1.0 / 3,
                                      1e15,
                                      1e15 + 0.5,
                                      123456789.123,
                                      k2p52,
                                      k2p52 + 1,
                                      k2p52 - 0.5,
                                      k2p53,
                                      k2p53 - 1,
                                      k2p53 + 2,
                                      k2p53 + 4,
                                      k2p53 + 6,
                                      k2p54,
                                      k2p54 + 4,
                                      1e20,
                                      -k2p52,
                                      -k2p52 - 1,
                                      -k2p53 + 3,
                                      -k2p53 + 0.5 * 3,
                                      -k2p53,
                                      -k2p53 - 2,
                                      -1e20,
                                      std::nextafter(1.0, 0.0),
                                      std::nextafter(1.0, 2.0),
                                      std::nextafter(-1.0, 0.0),
                                      std::numeric_limits<double>::max(),
                                      -std::numeric_limits<double>::max()};
  for (double start : starts) {
    for (std::int64_t steps : {0, 1, 2, 3, 5, 17, 1000, 70000}) ExpectSameAsNaive(start, steps);
  }
}

TEST(CountDown, MatchesRepeatedSubtractionForRandomStarts) {
  std::mt19937_64 random(20261206);
  std::uniform_int_distribution<int> exponent(-60, 60);
  std::uniform_real_distribution<double> mantissa(-1, 1);
  std::uniform_int_distribution<std::int64_t> steps(0, 3000);
  for (int i = 0; i < 3000; ++i) {
    ExpectSameAsNaive(std::ldexp(mantissa(random), exponent(random)), steps(random));
  }
}

// Negative values a few thousand steps short of a power of two, with fraction bits: the steps
// that cross it round, and ties go to the even neighbour.
TEST(CountDown, MatchesRepeatedSubtractionAcrossPowersOfTwo) {
  std::mt19937_64 random(53);
  std::uniform_int_distribution<int> power(40, 54);
  std::uniform_int_distribution<int> fraction_bits(0, 4);
  std::uniform_int_distribution<std::int64_t> distance(0, 3000);
  std::uniform_int_distribution<std::int64_t> steps(0, 6000);
  for (int i = 0; i < 3000; ++i) {
    const int bits = fraction_bits(random);
    const double short_of_it =
        static_cast<double>(distance(random)) +
        std::ldexp(static_cast<double>(distance(random) % (1 << bits)), -bits);
    ExpectSameAsNaive(-std::ldexp(1.0, power(random)) + short_of_it, steps(random));
  }
}

TEST(CountDown, BigRunsCostNothingAndEndAtTheRightPlace) {
  const std::int64_t forever = std::numeric_limits<std::int64_t>::max();
  EXPECT_EQ(CountDown(k2p53, forever).steps, std::int64_t{1} << 53);
  EXPECT_TRUE(CountDown(k2p53 + 2, forever).reached_zero);
  EXPECT_EQ(CountDown(k2p53 + 2, forever).steps, (std::int64_t{1} << 53) + 1);
  EXPECT_FALSE(CountDown(k2p53 + 4, forever).reached_zero);  // rounds back to itself
  EXPECT_FALSE(CountDown(2.5, forever).reached_zero);
  EXPECT_EQ(CountDown(2.5, forever).value, -k2p53);  // where a falling count gets stuck
  EXPECT_EQ(CountDown(-1.5, 1'000'000'000'000).value, -1'000'000'000'001.5);
}

}  // namespace
}  // namespace kelmora
