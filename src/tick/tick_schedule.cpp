#include "tick/tick_schedule.h"

#include <algorithm>

namespace kelmora {

using std::chrono::milliseconds;

milliseconds TimeToNextTick(WallTime now) {
  const milliseconds into_second = now - std::chrono::floor<std::chrono::seconds>(now);
  return std::chrono::seconds{1} - into_second + kTickLag;
}

WallTime TickLattice::At(std::int64_t tick) const {
  if (tick <= 1) return first;
  return second + (tick - 2) * step;
}

std::int64_t TickLattice::FirstAtOrAfter(WallTime instant) const {
  if (instant <= first) return 1;
  if (instant <= second || step <= milliseconds{0}) return 2;
  return 2 + (instant - second + step - milliseconds{1}) / step;
}

std::int64_t TickLattice::LastAtOrBefore(WallTime instant) const {
  if (instant < first) return 0;
  if (instant < second || step <= milliseconds{0}) return 1;
  return 2 + (instant - second) / step;
}

void TickSchedule::Start(int interval_ms, MonotonicTime monotonic, WallTime wall) {
  interval_ = std::max(interval_ms, 0);
  offset_ = wall.time_since_epoch() - monotonic.time_since_epoch();
  origin_ = monotonic;
  Count(0);
}

milliseconds TickSchedule::GapAfter(MonotonicTime monotonic) const {
  if (interval_ == kAlignedTickInterval) return TimeToNextTick(WallAt(monotonic));
  return milliseconds{interval_};
}

// After the next tick every aligned tick falls just after a second, a second after the one
// before.
milliseconds TickSchedule::Step() const {
  return interval_ == kAlignedTickInterval ? std::chrono::seconds{1} : milliseconds{interval_};
}

MonotonicTime TickSchedule::MonotonicAt(std::int64_t tick) const {
  if (tick <= 0) return origin_;
  if (tick == 1) return next_;
  return next_ + GapAfter(next_) + (tick - 2) * Step();
}

std::int64_t TickSchedule::DueBy(MonotonicTime monotonic, std::int64_t limit) const {
  if (interval_ == 0 || limit <= 0 || next_ > monotonic) return 0;
  const MonotonicTime second = MonotonicAt(2);
  if (second > monotonic) return 1;
  return std::min(limit, 2 + (monotonic - second) / Step());
}

void TickSchedule::Count(std::int64_t ticks) {
  if (interval_ == 0) return;
  if (ticks > 0) origin_ = MonotonicAt(ticks);
  next_ = origin_ + GapAfter(origin_);
}

TickLattice TickSchedule::Lattice() const {
  if (interval_ == 0) return {};
  return {WallAt(origin_), WallAt(next_), WallAt(MonotonicAt(2)), Step()};
}

}  // namespace kelmora
