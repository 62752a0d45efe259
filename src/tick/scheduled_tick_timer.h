#pragma once
// A tick timer that sleeps over ticks. It keeps the schedule of the ticks and arms one alarm of
// the platform for the tick it is to wake at; the ticks before that one are counted when it
// wakes, or when the window asks. The platform's alarm is the subclass's: it says when the alarm
// went off and when it saw the wall clock set.

#include <cstdint>
#include <functional>

#include "tick/tick_schedule.h"
#include "tick/tick_timer.h"

namespace kelmora {

class ScheduledTickTimer : public TickTimer {
 public:
  using WallReading = std::function<WallTime()>;
  using MonotonicReading = std::function<MonotonicTime()>;
  ScheduledTickTimer(WallReading wall, MonotonicReading monotonic);

  void SetInterval(int milliseconds) override;
  int Interval() const override { return schedule_.Interval(); }
  void WakeAfter(std::int64_t ticks) override;
  std::int64_t CountPassed() override;
  TickLattice Lattice() const override { return schedule_.Lattice(); }

  // The platform's alarm went off: the tick it was armed for has come.
  void AlarmWentOff();
  // The platform saw the wall clock set, or the machine wake from sleep.
  void WallClockSet();
  // The monotonic time the alarm is armed for (while running).
  MonotonicTime WakeMonotonic() const { return schedule_.MonotonicAt(wake_after_); }

 protected:
  // Arms the platform's alarm for the tick at these times (one instant on either clock).
  virtual void Arm(WallTime wall, MonotonicTime monotonic) = 0;
  virtual void Disarm() = 0;
  MonotonicTime MonotonicNow() const { return monotonic_(); }

 private:
  void ArmForWake();
  std::chrono::milliseconds ReadWallOffset() const;

  WallReading wall_;
  MonotonicReading monotonic_;
  TickSchedule schedule_;
  std::int64_t wake_after_ = 1;
};

}  // namespace kelmora
