#include "tick/scheduled_tick_timer.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace kelmora {
namespace {

// Two readings of the clocks disagree by a millisecond in their rounding alone; a wall clock
// found further off at a wake was set without the platform saying so.
constexpr std::int64_t kUnannouncedStepMs = 2;

}  // namespace

ScheduledTickTimer::ScheduledTickTimer(Reading wall_ms, Reading monotonic_ms)
    : wall_ms_(std::move(wall_ms)), monotonic_ms_(std::move(monotonic_ms)) {}

// The wall clock read between two readings of the monotonic one, again if a thread switch came
// between them.
std::int64_t ScheduledTickTimer::ReadWallOffset() const {
  std::int64_t offset = 0;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const std::int64_t before = monotonic_ms_();
    const std::int64_t wall = wall_ms_();
    const std::int64_t after = monotonic_ms_();
    offset = wall - before;
    if (after - before <= 1) break;
  }
  return offset;
}

void ScheduledTickTimer::SetInterval(int milliseconds) {
  wake_after_ = 1;
  if (milliseconds <= 0) {
    schedule_.Stop();
    Disarm();
    return;
  }
  const std::int64_t offset = ReadWallOffset();
  const std::int64_t now = monotonic_ms_();
  schedule_.Start(milliseconds, now, now + offset);
  ArmForWake();
}

void ScheduledTickTimer::WakeAfter(std::int64_t ticks) {
  wake_after_ = std::max<std::int64_t>(ticks, 1);
  if (Interval() > 0) ArmForWake();
}

std::int64_t ScheduledTickTimer::CountPassed() {
  if (Interval() == 0) return 0;
  const std::int64_t ticks = schedule_.DueBy(monotonic_ms_(), wake_after_ - 1);
  if (ticks > 0) {
    schedule_.Count(ticks);
    wake_after_ -= ticks;
  }
  return ticks;
}

void ScheduledTickTimer::AlarmWentOff() {
  if (Interval() == 0) return;
  const std::int64_t ticks = wake_after_;
  schedule_.Count(ticks);
  const std::int64_t offset = ReadWallOffset();
  if (std::abs(offset - schedule_.WallOffset()) > kUnannouncedStepMs) {
    // This tick re-arms for the next second of the wall clock as it now stands.
    schedule_.SetWallOffset(offset);
    schedule_.Count(0);
  }
  wake_after_ = 1;
  ArmForWake();
  if (on_tick) on_tick(ticks);
}

void ScheduledTickTimer::WallClockSet() {
  if (Interval() == 0) return;
  // The tick under way keeps its time on the monotonic clock; only its wall-clock time moves.
  schedule_.SetWallOffset(ReadWallOffset());
  ArmForWake();
  if (on_clock_set) on_clock_set();
}

void ScheduledTickTimer::ArmForWake() {
  const std::int64_t monotonic = schedule_.MonotonicAt(wake_after_);
  Arm(monotonic + schedule_.WallOffset(), monotonic);
}

}  // namespace kelmora
