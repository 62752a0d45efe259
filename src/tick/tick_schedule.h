#pragma once
// Where the clock's ticks fall, worked out ahead. A tick of 1000 ms falls just after each second
// of the wall clock: the timer is re-armed at every tick for the time left to the next second, so
// after the wall clock was set (or the machine slept) the tick already under way comes when it
// would have, at an odd moment of the second, and the ticks after it find the second again. Other
// intervals tick plainly on the monotonic clock. Knowing this, a timer can sleep over ticks and
// still count every one of them.

#include <cstdint>

namespace kelmora {

// How long after a second boundary a second-aligned tick falls, so that the clock read in the
// tick is already in the new second.
constexpr int kTickLagMilliseconds = 5;

// The interval whose ticks are aligned to the seconds of the wall clock.
constexpr int kAlignedTickInterval = 1000;

// Milliseconds from now_ms (wall clock, since the epoch) to just after the next second boundary.
int MillisecondsToNextTick(std::int64_t now_ms);

// The coming ticks on the wall clock as it now runs, in milliseconds since the epoch: tick 1 at
// first_ms, tick 2 at second_ms, and each later tick step_ms after the one before.
struct TickLattice {
  std::int64_t origin_ms = 0;  // the last tick counted, or when the ticks started
  std::int64_t first_ms = 0;
  std::int64_t second_ms = 0;
  std::int64_t step_ms = 0;  // 0: no tick comes (the timer stands still)

  std::int64_t At(std::int64_t tick) const;  // tick >= 1
  // The first tick at or after wall_ms (1 when that is tick 1 or earlier).
  std::int64_t FirstAtOrAfter(std::int64_t wall_ms) const;
  // The last tick at or before wall_ms (0 when tick 1 comes later).
  std::int64_t LastAtOrBefore(std::int64_t wall_ms) const;
};

// The ticks on the monotonic clock, numbered from the last one counted: tick 1 is the next.
class TickSchedule {
 public:
  // Starts ticks of interval_ms (> 0) at these readings of the monotonic and the wall clock.
  void Start(int interval_ms, std::int64_t monotonic_ms, std::int64_t wall_ms);
  void Stop() { interval_ = 0; }
  int Interval() const { return interval_; }  // 0 when stopped

  std::int64_t MonotonicAt(std::int64_t tick) const;  // tick 0 is the last one counted
  // How many of the coming ticks have come by monotonic_ms, at most limit.
  std::int64_t DueBy(std::int64_t monotonic_ms, std::int64_t limit) const;
  // Counts ticks: the tick after them becomes tick 1. Count(0) only works out the next tick
  // again from the last one, as the timer does when it re-arms at a tick.
  void Count(std::int64_t ticks);

  // The wall clock minus the monotonic one. Setting another value (the wall clock was set, or
  // the machine slept) moves the ticks on the wall clock, not on the monotonic one.
  std::int64_t WallOffset() const { return offset_; }
  void SetWallOffset(std::int64_t offset_ms) { offset_ = offset_ms; }

  TickLattice Lattice() const;

 private:
  std::int64_t GapAfter(std::int64_t monotonic_ms) const;  // from a tick to the one after it
  std::int64_t Step() const;                               // between the ticks after the next

  int interval_ = 0;
  std::int64_t offset_ = 0;
  std::int64_t origin_ = 0;  // the last tick counted, or the start
  std::int64_t next_ = 0;    // tick 1
};

}  // namespace kelmora
