#pragma once
// The clock tick, sleeping over the ticks the window does not need. A 1000 ms tick falls just
// after each wall-clock second; other intervals repeat plainly (tick/tick_schedule.h). One alarm
// is armed for the tick the window wants to wake at:
// - on Linux a timerfd on the wall clock (CLOCK_REALTIME), armed at the tick's absolute time
//   with TFD_TIMER_CANCEL_ON_SET and watched by a QSocketNotifier: it wakes at the wall-clock
//   instant, wakes at once when the clock is set, and at resume when its time passed while the
//   machine slept;
// - elsewhere, or when the timerfd cannot be had, a single-shot QTimer on the monotonic clock,
//   which notices a clock that was set only at its next wake.

#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>

#include "tick/scheduled_tick_timer.h"
#include "tick/tick_schedule.h"

class QSocketNotifier;

namespace kelmora {

class QtTickTimer : public ScheduledTickTimer {
 public:
  struct Options {
    WallReading wall = DefaultWallClock();
    MonotonicReading monotonic = DefaultMonotonicClock();  // the clock QTimer runs on
    bool wall_clock_alarm = true;                          // the timerfd, where there is one
  };
  QtTickTimer();
  explicit QtTickTimer(Options options);
  ~QtTickTimer() override;

  // The state of the platform's alarm, for the tests (the program never asks): running, the
  // time left to the wake (-1 when stopped), and whether the timerfd is the alarm.
  bool Running() const { return Interval() > 0; }
  int MillisecondsToTimeout() const;
  bool UsesWallClockAlarm() const { return timer_fd_ >= 0; }

  static WallReading DefaultWallClock();
  static MonotonicReading DefaultMonotonicClock();

 protected:
  void Arm(WallTime wall, MonotonicTime monotonic) override;
  void Disarm() override;

 private:
  void OpenWallClockAlarm();
  void WallClockAlarmReadable();
  void StartQTimer(MonotonicTime monotonic);

  int timer_fd_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
  QTimer timer_;
};

}  // namespace kelmora
