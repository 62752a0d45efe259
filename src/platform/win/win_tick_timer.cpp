#include "platform/win/win_tick_timer.h"

#include <algorithm>
#include <limits>

namespace kelmora {
namespace {

constexpr UINT_PTR kTimerId = 1;

}  // namespace

WinTickTimer::WallReading WinTickTimer::DefaultWallClock() {
  return [] {
    return std::chrono::floor<std::chrono::milliseconds>(std::chrono::system_clock::now());
  };
}

WinTickTimer::MonotonicReading WinTickTimer::DefaultMonotonicClock() {
  return [] {
    return std::chrono::floor<std::chrono::milliseconds>(std::chrono::steady_clock::now());
  };
}

WinTickTimer::WinTickTimer() : WinTickTimer(Options{}) {}

WinTickTimer::WinTickTimer(Options options)
    : ScheduledTickTimer(std::move(options.wall), std::move(options.monotonic)),
      window_(L"KelmoraTickTimer", L"",
              [this](UINT message, WPARAM wparam, LPARAM) { return OnMessage(message, wparam); }) {}

WinTickTimer::~WinTickTimer() {
  KillTimer(window_.Handle(), kTimerId);
}

std::optional<LRESULT> WinTickTimer::OnMessage(UINT message, WPARAM wparam) {
  switch (message) {
    case WM_TIMER:
      if (wparam == kTimerId) OnTimer();
      return 0;
    case WM_TIMECHANGE:
      WallClockSet();
      return 0;
    case WM_POWERBROADCAST:
      if (wparam == PBT_APMRESUMEAUTOMATIC || wparam == PBT_APMRESUMESUSPEND) WallClockSet();
      return TRUE;
    default:
      return std::nullopt;
  }
}

// A WM_TIMER already posted when the timer was armed again or disarmed still comes: only the
// monotonic clock says whether the tick armed for has come.
void WinTickTimer::OnTimer() {
  if (!armed_) {
    Disarm();
    return;
  }
  if (MonotonicNow() < WakeMonotonic()) {
    SetTimerFor(WakeMonotonic());
    return;
  }
  AlarmWentOff();  // arms again, or disarms
}

void WinTickTimer::SetTimerFor(MonotonicTime monotonic) {
  const std::int64_t left = std::clamp<std::int64_t>((monotonic - MonotonicNow()).count(), 0,
                                                     std::numeric_limits<int>::max() / 2);
  armed_ms_ = static_cast<int>(left);
  // Below USER_TIMER_MINIMUM (10 ms) SetTimer takes the minimum.
  SetTimer(window_.Handle(), kTimerId, static_cast<UINT>(left), nullptr);
}

void WinTickTimer::Arm(WallTime, MonotonicTime monotonic) {
  armed_ = true;
  SetTimerFor(monotonic);
}

void WinTickTimer::Disarm() {
  armed_ = false;
  armed_ms_ = -1;
  KillTimer(window_.Handle(), kTimerId);
}

}  // namespace kelmora
