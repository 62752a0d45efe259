#include "tick/scheduled_tick_timer.h"

#include <algorithm>
#include <utility>

namespace kelmora {
namespace {

// Two readings of the clocks disagree by a millisecond in their rounding alone; a wall clock
// found further off at a wake was set without the platform saying so.
constexpr std::chrono::milliseconds kUnannouncedStep{2};

}  // namespace

ScheduledTickTimer::ScheduledTickTimer(WallReading wall, MonotonicReading monotonic)
    : wall_(std::move(wall)), monotonic_(std::move(monotonic)) {}

// The wall clock read between two readings of the monotonic one, again if a thread switch came
// between them.
std::chrono::milliseconds ScheduledTickTimer::ReadWallOffset() const {
  std::chrono::milliseconds offset{0};
  for (int attempt = 0; attempt < 3; ++attempt) {
    const MonotonicTime before = monotonic_();
    const WallTime wall = wall_();
    const MonotonicTime after = monotonic_();
    offset = wall.time_since_epoch() - before.time_since_epoch();
    if (after - before <= std::chrono::milliseconds{1}) break;
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
  const std::chrono::milliseconds offset = ReadWallOffset();
  const MonotonicTime now = monotonic_();
  schedule_.Start(milliseconds, now, WallTime{now.time_since_epoch() + offset});
  ArmForWake();
}

void ScheduledTickTimer::WakeAfter(std::int64_t ticks) {
  wake_after_ = std::max<std::int64_t>(ticks, 1);
  if (Interval() > 0) ArmForWake();
}

std::int64_t ScheduledTickTimer::CountPassed() {
  if (Interval() == 0) return 0;
  const std::int64_t ticks = schedule_.DueBy(monotonic_(), wake_after_ - 1);
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
  const std::chrono::milliseconds offset = ReadWallOffset();
  if (std::chrono::abs(offset - schedule_.WallOffset()) > kUnannouncedStep) {
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
  const MonotonicTime monotonic = schedule_.MonotonicAt(wake_after_);
  Arm(schedule_.WallAt(monotonic), monotonic);
}

}  // namespace kelmora
