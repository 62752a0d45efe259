#include "tick/tick_schedule.h"

#include <algorithm>

namespace kelmora {

int MillisecondsToNextTick(std::int64_t now_ms) {
  const auto into_second = static_cast<int>(((now_ms % 1000) + 1000) % 1000);
  return 1000 - into_second + kTickLagMilliseconds;
}

std::int64_t TickLattice::At(std::int64_t tick) const {
  if (tick <= 1) return first_ms;
  return second_ms + (tick - 2) * step_ms;
}

std::int64_t TickLattice::FirstAtOrAfter(std::int64_t wall_ms) const {
  if (wall_ms <= first_ms) return 1;
  if (wall_ms <= second_ms || step_ms <= 0) return 2;
  return 2 + (wall_ms - second_ms + step_ms - 1) / step_ms;
}

std::int64_t TickLattice::LastAtOrBefore(std::int64_t wall_ms) const {
  if (wall_ms < first_ms) return 0;
  if (wall_ms < second_ms || step_ms <= 0) return 1;
  return 2 + (wall_ms - second_ms) / step_ms;
}

void TickSchedule::Start(int interval_ms, std::int64_t monotonic_ms, std::int64_t wall_ms) {
  interval_ = std::max(interval_ms, 0);
  offset_ = wall_ms - monotonic_ms;
  origin_ = monotonic_ms;
  Count(0);
}

std::int64_t TickSchedule::GapAfter(std::int64_t monotonic_ms) const {
  if (interval_ == kAlignedTickInterval) return MillisecondsToNextTick(monotonic_ms + offset_);
  return interval_;
}

// After the next tick every aligned tick falls just after a second, a second after the one
// before.
std::int64_t TickSchedule::Step() const {
  return interval_ == kAlignedTickInterval ? 1000 : interval_;
}

std::int64_t TickSchedule::MonotonicAt(std::int64_t tick) const {
  if (tick <= 0) return origin_;
  if (tick == 1) return next_;
  return next_ + GapAfter(next_) + (tick - 2) * Step();
}

std::int64_t TickSchedule::DueBy(std::int64_t monotonic_ms, std::int64_t limit) const {
  if (interval_ == 0 || limit <= 0 || next_ > monotonic_ms) return 0;
  const std::int64_t second = MonotonicAt(2);
  if (second > monotonic_ms) return 1;
  return std::min(limit, 2 + (monotonic_ms - second) / Step());
}

void TickSchedule::Count(std::int64_t ticks) {
  if (interval_ == 0) return;
  if (ticks > 0) origin_ = MonotonicAt(ticks);
  next_ = origin_ + GapAfter(origin_);
}

TickLattice TickSchedule::Lattice() const {
  if (interval_ == 0) return {};
  return {origin_ + offset_, next_ + offset_, MonotonicAt(2) + offset_, Step()};
}

}  // namespace kelmora
