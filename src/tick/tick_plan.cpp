#include "tick/tick_plan.h"

#include <algorithm>
#include <chrono>

namespace kelmora {
namespace {

// The wall-clock second an instant in milliseconds since the epoch falls in.
std::int64_t SecondOf(std::int64_t wall_ms) {
  return std::chrono::floor<std::chrono::seconds>(std::chrono::milliseconds{wall_ms}).count();
}

// The local date-times of the wall-clock seconds a sleep spans: the wall clock plus one offset
// when the zone has the same offset at the first and the last second (no change of daylight
// saving time between), else asked second by second.
class LocalSeconds {
 public:
  LocalSeconds(const std::function<DateTime(std::int64_t)>& local, std::int64_t first,
               std::int64_t last)
      : local_(local), offset_(OffsetAt(first)), uniform_(OffsetAt(last) == offset_) {}

  DateTime At(std::int64_t second) const {
    return uniform_ ? DateTime{std::chrono::seconds{second + offset_}} : local_(second * 1000);
  }

  // The first second from `from` to `last` whose local date-time is later than due.
  std::optional<std::int64_t> FirstLaterThan(DateTime due, std::int64_t from,
                                             std::int64_t last) const {
    if (uniform_) {
      const std::int64_t second = std::max(from, due.time_since_epoch().count() - offset_ + 1);
      if (second <= last) return second;
      return std::nullopt;
    }
    for (std::int64_t second = from; second <= last; ++second) {
      if (At(second) > due) return second;
    }
    return std::nullopt;
  }

 private:
  std::int64_t OffsetAt(std::int64_t second) const {
    return local_(second * 1000).time_since_epoch().count() - second;
  }

  const std::function<DateTime(std::int64_t)>& local_;
  std::int64_t offset_;
  bool uniform_;
};

std::int64_t SecondOfMinute(DateTime at) {
  return (at - std::chrono::floor<std::chrono::minutes>(at)).count();
}

}  // namespace

std::int64_t TicksToWake(const TickPlanInput& input) {
  const TickLattice& ticks = input.lattice;
  if (ticks.step_ms <= 0) return 1;
  const std::int64_t last_tick =
      std::max<std::int64_t>(1, ticks.LastAtOrBefore(ticks.origin_ms + kLongestSleepMs));
  const std::int64_t first_second = SecondOf(ticks.first_ms);
  const std::int64_t last_second = SecondOf(ticks.At(last_tick));
  const LocalSeconds local(input.local_time, first_second, last_second);

  std::int64_t wake = last_tick;
  if (input.alarm_due) {
    if (auto second = local.FirstLaterThan(*input.alarm_due, first_second, last_second)) {
      wake = std::min(wake, ticks.FirstAtOrAfter(*second * 1000));
    }
  }

  // The tick redraws when the count has reached the limit before it.
  const std::int64_t limit = input.tick_limit;
  const std::int64_t period = RedrawPeriod(input.tick_limit);
  const std::int64_t first_redraw = input.tick_count >= limit ? 1 : limit - input.tick_count + 1;
  // One look a second (or a minute): every redraw within it comes out the same.
  for (std::int64_t tick = first_redraw; tick < wake;) {
    const std::int64_t second = SecondOf(ticks.At(tick));
    const DateTime at = local.At(second);
    if (input.redraw_changes(at)) return tick;
    const std::int64_t next_second =
        input.same_all_minute ? second + 60 - SecondOfMinute(at) : second + 1;
    const std::int64_t next = ticks.FirstAtOrAfter(next_second * 1000);
    tick = first_redraw + (next - first_redraw + period - 1) / period * period;
  }
  return wake;
}

std::int64_t RedrawPeriod(std::int32_t tick_limit) {
  return tick_limit < 0 ? 1 : std::int64_t{tick_limit} + 1;
}

bool TipMayShowSeconds(std::string_view tip_format) {
  return tip_format.find_first_of("sS") != std::string_view::npos;
}

}  // namespace kelmora
