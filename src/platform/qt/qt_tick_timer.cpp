#include "platform/qt/qt_tick_timer.h"

#include <QDateTime>
#include <QSocketNotifier>
#include <algorithm>
#include <chrono>
#include <limits>

#ifdef __linux__
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace kelmora {

QtTickTimer::WallReading QtTickTimer::DefaultWallClock() {
  return [] { return WallTime{std::chrono::milliseconds{QDateTime::currentMSecsSinceEpoch()}}; };
}

QtTickTimer::MonotonicReading QtTickTimer::DefaultMonotonicClock() {
  return [] {
    return std::chrono::floor<std::chrono::milliseconds>(std::chrono::steady_clock::now());
  };
}

QtTickTimer::QtTickTimer() : QtTickTimer(Options{}) {}

QtTickTimer::QtTickTimer(Options options)
    : ScheduledTickTimer(std::move(options.wall), std::move(options.monotonic)) {
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setSingleShot(true);
  QObject::connect(&timer_, &QTimer::timeout, [this] { AlarmWentOff(); });
  if (options.wall_clock_alarm) OpenWallClockAlarm();
}

QtTickTimer::~QtTickTimer() {
  notifier_.reset();
#ifdef __linux__
  if (timer_fd_ >= 0) ::close(timer_fd_);
#endif
}

void QtTickTimer::StartQTimer(MonotonicTime monotonic) {
  timer_.start(static_cast<int>(std::clamp<std::int64_t>((monotonic - MonotonicNow()).count(), 0,
                                                         std::numeric_limits<int>::max())));
}

int QtTickTimer::MillisecondsToTimeout() const {
  if (!Running()) return -1;
  const std::int64_t left = std::max<std::int64_t>((WakeMonotonic() - MonotonicNow()).count(), 0);
  return static_cast<int>(std::min<std::int64_t>(left, std::numeric_limits<int>::max()));
}

#ifdef __linux__

void QtTickTimer::OpenWallClockAlarm() {
  timer_fd_ = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
  if (timer_fd_ < 0) return;  // the QTimer stands in
  notifier_ = std::make_unique<QSocketNotifier>(timer_fd_, QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated,
                   [this] { WallClockAlarmReadable(); });
}

void QtTickTimer::WallClockAlarmReadable() {
  std::uint64_t expirations = 0;
  const ssize_t read = ::read(timer_fd_, &expirations, sizeof expirations);
  if (read == sizeof expirations) {
    AlarmWentOff();
  } else if (read < 0 && errno == ECANCELED) {
    WallClockSet();  // re-arms, which also ends the cancelled state
  }
  // EAGAIN: an alarm re-armed after it went off and before this was read; nothing to do.
}

void QtTickTimer::Arm(WallTime wall, MonotonicTime monotonic) {
  if (timer_fd_ < 0) {
    StartQTimer(monotonic);
    return;
  }
  itimerspec when{};
  // A time of 0 would disarm the timerfd; no tick falls before 1970 anyway.
  const WallTime at = std::max(wall, WallTime{std::chrono::milliseconds{1}});
  const std::chrono::sys_seconds second = std::chrono::floor<std::chrono::seconds>(at);
  when.it_value.tv_sec = static_cast<time_t>(second.time_since_epoch().count());
  when.it_value.tv_nsec = static_cast<long>((at - second).count()) * 1'000'000L;
  ::timerfd_settime(timer_fd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &when, nullptr);
}

void QtTickTimer::Disarm() {
  timer_.stop();
  if (timer_fd_ < 0) return;
  itimerspec never{};
  ::timerfd_settime(timer_fd_, TFD_TIMER_ABSTIME, &never, nullptr);
}

#else

void QtTickTimer::OpenWallClockAlarm() {}
void QtTickTimer::WallClockAlarmReadable() {}

void QtTickTimer::Arm(WallTime, MonotonicTime monotonic) {
  StartQTimer(monotonic);
}

void QtTickTimer::Disarm() {
  timer_.stop();
}

#endif

}  // namespace kelmora
