#include "alarm/countdown.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace kelmora {
namespace {

// 2^53: from here on a double cannot hold every whole number, so "x - 1" may round.
constexpr double kExactWholeLimit = 9007199254740992.0;

// The weight of the lowest set bit of value's significand, at most 1: every value - j (j whole)
// is a multiple of it, so such a value is exact as long as its magnitude stays within 2^53 times
// it.
double Granularity(double value) {
  int exponent = 0;
  const double fraction = std::frexp(std::fabs(value), &exponent);  // in [0.5, 1)
  const auto significand = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  return std::min(1.0, std::ldexp(1.0, exponent - 53 + std::countr_zero(significand)));
}

// How many times 1 can be subtracted from value in a row with every result exact; 0 where the
// next subtraction may round (or value is not finite).
std::int64_t ExactRun(double value) {
  if (!std::isfinite(value) || std::fabs(value) >= kExactWholeLimit) return 0;
  if (value >= 1) return static_cast<std::int64_t>(std::floor(value));  // down to [0, 1)
  if (value >= 0) return 0;  // the next step crosses into the negatives and may round
  const double exact_limit = kExactWholeLimit * Granularity(value);
  return static_cast<std::int64_t>(std::floor(exact_limit + value));
}

}  // namespace

Countdown CountDown(double start, std::int64_t max_steps) {
  Countdown result{start, 0, false};
  while (result.steps < max_steps) {
    const std::int64_t run = std::min(ExactRun(result.value), max_steps - result.steps);
    const double next = run > 0 ? result.value - static_cast<double>(run) : result.value - 1;
    if (run == 0 && (next == result.value || std::isnan(next))) {
      return {result.value, max_steps, false};  // a fixed point: it stays as it is
    }
    result.value = next;
    result.steps += std::max<std::int64_t>(run, 1);
    if (next == 0) {
      result.reached_zero = true;
      break;
    }
  }
  return result;
}

}  // namespace kelmora
