#include "platform/qt/qt_tick_timer.h"

#include <QDateTime>

namespace kelmora {

int MillisecondsToNextTick(std::int64_t now_ms) {
  const auto into_second = static_cast<int>(((now_ms % 1000) + 1000) % 1000);
  return 1000 - into_second + kTickLagMilliseconds;
}

QtTickTimer::WallClock QtTickTimer::DefaultWallClock() {
  return [] { return QDateTime::currentMSecsSinceEpoch(); };
}

QtTickTimer::QtTickTimer(WallClock wall_clock) : wall_clock_(std::move(wall_clock)) {
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
}

void QtTickTimer::SetInterval(int milliseconds) {
  interval_ = milliseconds > 0 ? milliseconds : 0;
  timer_.stop();
  if (interval_ == 0) return;
  if (interval_ == kAlignedInterval) {
    ArmForNextSecond();
  } else {
    timer_.setSingleShot(false);
    timer_.start(interval_);
  }
}

void QtTickTimer::ArmForNextSecond() {
  timer_.setSingleShot(true);
  // The wall clock, not the timer's monotonic one: the tick follows the seconds the display shows,
  // also after the machine slept or the clock was set.
  timer_.start(MillisecondsToNextTick(wall_clock_()));
}

void QtTickTimer::Tick() {
  if (interval_ == kAlignedInterval) ArmForNextSecond();
  if (on_tick) on_tick();
}

}  // namespace kelmora
