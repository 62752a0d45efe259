#include "tick/tick_plan.h"

#include <algorithm>
#include <chrono>

namespace kelmora {
namespace {

using std::chrono::seconds;
using std::chrono::sys_seconds;

// The wall-clock second an instant falls in.
sys_seconds SecondOf(WallTime instant) {
  return std::chrono::floor<seconds>(instant);
}

// The local date-times of the wall-clock seconds a sleep spans: the wall clock plus one offset
// when the zone has the same offset at the first and the last second (no change of daylight
// saving time between), else asked second by second.
class LocalSeconds {
 public:
  LocalSeconds(const std::function<DateTime(WallTime)>& local, sys_seconds first, sys_seconds last)
      : local_(local), offset_(OffsetAt(first)), uniform_(OffsetAt(last) == offset_) {}

  DateTime At(sys_seconds second) const {
    return uniform_ ? DateTime{second.time_since_epoch() + offset_} : local_(second);
  }

  // The first second from `from` to `last` whose local date-time is later than due.
  std::optional<sys_seconds> FirstLaterThan(DateTime due, sys_seconds from,
                                            sys_seconds last) const {
    if (uniform_) {
      const sys_seconds second =
          std::max(from, sys_seconds{due.time_since_epoch() - offset_ + seconds{1}});
      if (second <= last) return second;
      return std::nullopt;
    }
    for (sys_seconds second = from; second <= last; second += seconds{1}) {
      if (At(second) > due) return second;
    }
    return std::nullopt;
  }

 private:
  seconds OffsetAt(sys_seconds second) const {
    return local_(second).time_since_epoch() - second.time_since_epoch();
  }

  const std::function<DateTime(WallTime)>& local_;
  seconds offset_;
  bool uniform_;
};

seconds SecondOfMinute(DateTime at) {
  return at - std::chrono::floor<std::chrono::minutes>(at);
}

}  // namespace

std::int64_t TicksToWake(const TickPlanInput& input) {
  const TickLattice& ticks = input.lattice;
  if (ticks.step <= std::chrono::milliseconds{0}) return 1;
  const std::int64_t last_tick =
      std::max<std::int64_t>(1, ticks.LastAtOrBefore(ticks.origin + kLongestSleep));
  const sys_seconds first_second = SecondOf(ticks.first);
  const sys_seconds last_second = SecondOf(ticks.At(last_tick));
  const LocalSeconds local(input.local_time, first_second, last_second);

  std::int64_t wake = last_tick;
  if (input.alarm_due) {
    if (auto second = local.FirstLaterThan(*input.alarm_due, first_second, last_second)) {
      wake = std::min(wake, ticks.FirstAtOrAfter(*second));
    }
  }

  // The tick redraws when the count has reached the limit before it.
  const std::int64_t limit = input.tick_limit;
  const std::int64_t period = RedrawPeriod(input.tick_limit);
  const std::int64_t first_redraw = input.tick_count >= limit ? 1 : limit - input.tick_count + 1;
  // One look a second (or a minute): every redraw within it comes out the same.
  for (std::int64_t tick = first_redraw; tick < wake;) {
    const sys_seconds second = SecondOf(ticks.At(tick));
    const DateTime at = local.At(second);
    if (input.redraw_changes(at)) return tick;
    const sys_seconds next_second =
        input.same_all_minute ? second + seconds{60} - SecondOfMinute(at) : second + seconds{1};
    const std::int64_t next = ticks.FirstAtOrAfter(next_second);
    tick = first_redraw + (next - first_redraw + period - 1) / period * period;
  }
  return wake;
}

std::int64_t RedrawPeriod(std::int32_t tick_limit) {
  return tick_limit < 0 ? 1 : std::int64_t{tick_limit} + 1;
}

}  // namespace kelmora
