#pragma once
// Where the clock's ticks fall, worked out ahead. A tick of 1000 ms falls just after each second
// of the wall clock: the timer is re-armed at every tick for the time left to the next second, so
// after the wall clock was set (or the machine slept) the tick already under way comes when it
// would have, at an odd moment of the second, and the ticks after it find the second again. Other
// intervals tick plainly on the monotonic clock. Knowing this, a timer can sleep over ticks and
// still count every one of them.

#include <chrono>
#include <cstdint>

#include "core/date_time.h"

namespace kelmora {

// An instant of the monotonic clock (the one timers run on, which nobody sets), to the
// millisecond. A different type from WallTime, so the two clocks cannot be mixed up.
using MonotonicTime = std::chrono::time_point<std::chrono::steady_clock, std::chrono::milliseconds>;

// How long after a second boundary a second-aligned tick falls, so that the clock read in the
// tick is already in the new second.
constexpr std::chrono::milliseconds kTickLag{5};

// The interval whose ticks are aligned to the seconds of the wall clock.
constexpr int kAlignedTickInterval = 1000;

// The time from now to just after the next second boundary of the wall clock.
std::chrono::milliseconds TimeToNextTick(WallTime now);

// The coming ticks on the wall clock as it now runs: tick 1 at first, tick 2 at second, and each
// later tick step after the one before.
struct TickLattice {
  WallTime origin{};  // the last tick counted, or when the ticks started
  WallTime first{};
  WallTime second{};
  std::chrono::milliseconds step{0};  // 0: no tick comes (the timer stands still)

  WallTime At(std::int64_t tick) const;  // tick >= 1
  // The first tick at or after instant (1 when that is tick 1 or earlier).
  std::int64_t FirstAtOrAfter(WallTime instant) const;
  // The last tick at or before instant (0 when tick 1 comes later).
  std::int64_t LastAtOrBefore(WallTime instant) const;
};

// The ticks on the monotonic clock, numbered from the last one counted: tick 1 is the next.
class TickSchedule {
 public:
  // Starts ticks of interval_ms (> 0) at these readings of the monotonic and the wall clock.
  void Start(int interval_ms, MonotonicTime monotonic, WallTime wall);
  void Stop() { interval_ = 0; }
  int Interval() const { return interval_; }  // 0 when stopped

  MonotonicTime MonotonicAt(std::int64_t tick) const;  // tick 0 is the last one counted
  // How many of the coming ticks have come by monotonic, at most limit.
  std::int64_t DueBy(MonotonicTime monotonic, std::int64_t limit) const;
  // Counts ticks: the tick after them becomes tick 1. Count(0) only works out the next tick
  // again from the last one, as the timer does when it re-arms at a tick.
  void Count(std::int64_t ticks);

  // The wall clock minus the monotonic one. Setting another value (the wall clock was set, or
  // the machine slept) moves the ticks on the wall clock, not on the monotonic one.
  std::chrono::milliseconds WallOffset() const { return offset_; }
  void SetWallOffset(std::chrono::milliseconds offset) { offset_ = offset; }
  // The wall-clock instant of a monotonic one, with the offset as it stands.
  WallTime WallAt(MonotonicTime monotonic) const {
    return WallTime{monotonic.time_since_epoch() + offset_};
  }

  TickLattice Lattice() const;

 private:
  // From a tick to the one after it.
  std::chrono::milliseconds GapAfter(MonotonicTime monotonic) const;
  std::chrono::milliseconds Step() const;  // between the ticks after the next

  int interval_ = 0;
  std::chrono::milliseconds offset_{0};
  MonotonicTime origin_{};  // the last tick counted, or the start
  MonotonicTime next_{};    // tick 1
};

}  // namespace kelmora
