#pragma once
// The clock tick over one QTimer. A 1000 ms tick falls just after each wall-clock second: the
// timer runs single-shot and is re-armed at each tick for the time left to the next second, so
// drift and a suspended machine correct themselves. Other intervals repeat plainly.

#include <QTimer>
#include <cstdint>
#include <functional>

#include "platform/services.h"

namespace kelmora {

// How long after a second boundary a second-aligned tick falls, so that the clock read in the
// tick is already in the new second.
constexpr int kTickLagMilliseconds = 5;

// Milliseconds from now_ms (since the epoch) to just after the next second boundary.
int MillisecondsToNextTick(std::int64_t now_ms);

class QtTickTimer : public TickTimer {
 public:
  // Milliseconds since the epoch on the wall clock.
  using WallClock = std::function<std::int64_t()>;
  explicit QtTickTimer(WallClock wall_clock = DefaultWallClock());
  void SetInterval(int milliseconds) override;
  int Interval() const override { return interval_; }
  bool Running() const { return timer_.isActive(); }
  int MillisecondsToTimeout() const { return timer_.remainingTime(); }

 private:
  static constexpr int kAlignedInterval = 1000;
  void ArmForNextSecond();
  void Tick();

  static WallClock DefaultWallClock();

  WallClock wall_clock_;
  QTimer timer_;
  int interval_ = 0;
};

}  // namespace kelmora
