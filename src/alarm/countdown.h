#pragma once
// The repeat count of a due line, used up one firing at a time: "count := count - 1" in double
// arithmetic, repeated, stopping after the step that makes it exactly 0. Worked out in chunks
// instead of step by step, with every rounding of the step-by-step subtraction reproduced.

#include <cstdint>

namespace kelmora {

struct Countdown {
  double value = 0;           // the count after the steps taken
  std::int64_t steps = 0;     // subtractions done (max_steps unless it reached 0 first)
  bool reached_zero = false;  // the last step gave exactly 0
};

// Subtracts 1 from start up to max_steps times, as a loop of "value = value - 1" would, and stops
// early when a step gives exactly 0. Runs of exact subtractions are taken in one jump; only the
// steps that round are taken one by one (each coarsens the value, so there are at most about as
// many as a double has significand bits), and a value that 1 no longer changes stops it. The cost
// does not grow with max_steps.
Countdown CountDown(double start, std::int64_t max_steps);

}  // namespace kelmora
