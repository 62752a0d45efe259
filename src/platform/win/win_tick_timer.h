#pragma once
// The clock tick on Win32, sleeping over the ticks the window does not need. A 1000 ms tick falls
// just after each wall-clock second; other intervals repeat plainly (tick/tick_schedule.h). The
// tick the window wants to wake at is armed with SetTimer on a hidden window of the timer's own,
// on the monotonic clock; a WM_TIMER that comes before that time (timers are rounded to the
// system's timer period) arms again for the rest. The wall clock set (WM_TIMECHANGE) and the
// machine waking from sleep (WM_POWERBROADCAST) move the coming ticks at once.

#include <chrono>

#include "platform/win/hidden_window.h"
#include "tick/scheduled_tick_timer.h"

namespace kelmora {

class WinTickTimer : public ScheduledTickTimer {
 public:
  struct Options {
    WallReading wall = DefaultWallClock();
    MonotonicReading monotonic = DefaultMonotonicClock();
  };
  WinTickTimer();
  explicit WinTickTimer(Options options);
  ~WinTickTimer() override;
  WinTickTimer(const WinTickTimer&) = delete;
  WinTickTimer& operator=(const WinTickTimer&) = delete;

  // The milliseconds SetTimer was last armed with, -1 while disarmed; and the hidden window the
  // broadcasts reach. For the tests (the program never asks).
  int ArmedMilliseconds() const { return armed_ms_; }
  HWND Window() const { return window_.Handle(); }

  static WallReading DefaultWallClock();
  static MonotonicReading DefaultMonotonicClock();

 protected:
  void Arm(WallTime wall, MonotonicTime monotonic) override;
  void Disarm() override;

 private:
  std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam);
  void OnTimer();
  void SetTimerFor(MonotonicTime monotonic);

  HiddenWindow window_;
  bool armed_ = false;
  int armed_ms_ = -1;
};

}  // namespace kelmora
