#pragma once
// How many ticks the clock may sleep. Everything a tick does can be worked out ahead: the redraw
// counter only counts, the face and the tip are functions of the second, and the alarm check
// depends only on line 0's due time. So the clock needs to wake only at the first tick whose
// redraw would change what is shown, at the first tick whose alarm check would fire, or, at the
// latest, after a minute: that wake only plans again, so a changed time zone is seen within a
// minute.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "core/date_time.h"
#include "tick/tick_schedule.h"

namespace kelmora {

// The longest sleep, counted from the last tick counted.
constexpr std::chrono::milliseconds kLongestSleep{60'000};

struct TickPlanInput {
  TickLattice lattice;  // where the coming ticks fall on the wall clock
  // TickCount and TickLimit: tick n from now redraws when (count + n) % (limit + 1) == 0.
  std::int32_t tick_count = 0;
  std::int32_t tick_limit = 0;
  // The local date-time at a wall-clock instant.
  std::function<DateTime(WallTime)> local_time;
  // Whether a redraw in this local second would change the picture, the icon or the tip shown.
  std::function<bool(DateTime)> redraw_changes;
  // The redraw comes out the same for every second of a minute (the tip shows no seconds), so
  // one look a minute is enough.
  bool same_all_minute = true;
  // Line 0's due time while the alarm check runs; the check fires at the first tick whose second
  // is later.
  std::optional<DateTime> alarm_due;
};

// The tick to wake at, counted from the tick after the last one counted (1: the next tick).
// A lattice without ticks gives 1.
std::int64_t TicksToWake(const TickPlanInput& input);

// Every how many ticks the clock redraws with this TickLimit: every tick for 0 (or a negative
// one), every (limit + 1)-th tick otherwise.
std::int64_t RedrawPeriod(std::int32_t tick_limit);

}  // namespace kelmora
