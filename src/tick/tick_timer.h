#pragma once
// tick/: where the ticks fall, which of them wake, the sleeping timer; Qt-free, uses core/.
// The ticks keep a lattice: a 1000 ms tick falls just after each second of the wall clock, other
// intervals tick plainly on the monotonic clock, all counted from the last tick counted; a wall
// clock that was set moves the coming ticks on the wall clock only (tick_schedule.h). The clock
// wakes only at the first tick whose redraw would change what is shown, at the first tick whose
// alarm check would fire, or after a minute at the latest (tick_plan.h); the ticks it slept over
// are counted when it wakes (scheduled_tick_timer.h). The update interval text gives the tick's
// period and redraw rate (tick_interval.h).
// TickTimer: the clock tick as the main window is given it.

#include <cstdint>
#include <functional>

#include "tick/tick_schedule.h"

namespace kelmora {

// The clock tick. An interval of 0 or less stops it; 1000 ms ticks just after each wall-clock
// second. The handlers run on the user-interface thread.
//
// The timer can sleep over ticks: it wakes at the tick that WakeAfter names and tells how many
// ticks came meanwhile, so that the ticks it slept over still count. Left alone it wakes at every
// tick, as after SetInterval and after each wake.
class TickTimer {
 public:
  virtual ~TickTimer() = default;
  virtual void SetInterval(int milliseconds) = 0;
  virtual int Interval() const = 0;  // 0 when stopped
  // The next wake comes at the ticks-th tick after the last one counted (1: the next tick).
  virtual void WakeAfter(std::int64_t ticks) = 0;
  // Counts the ticks that have come since the last one counted, short of the tick the timer is
  // to wake at, and returns how many; they are not counted again.
  virtual std::int64_t CountPassed() = 0;
  // Where the coming ticks fall on the wall clock as it now runs.
  virtual TickLattice Lattice() const = 0;

  // The tick it was to wake at has come: ticks ticks came since the last one counted, this the
  // last of them.
  std::function<void(std::int64_t ticks)> on_tick;
  // The wall clock was set, or the machine woke from sleep: the coming ticks fall at other
  // wall-clock times than planned.
  std::function<void()> on_clock_set;
};

}  // namespace kelmora
