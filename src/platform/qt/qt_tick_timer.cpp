#include "platform/qt/qt_tick_timer.h"

#include <QDateTime>

namespace kelmora {

int MillisecondsToNextTick(std::int64_t now_ms) {
  const auto into_second = static_cast<int>(((now_ms % 1000) + 1000) % 1000);
  return 1000 - into_second + kTickLagMilliseconds;
}

QtTickTimer::QtTickTimer() {
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
  // The wall clock, not a monotonic one: the tick follows the seconds the display shows.
  timer_.start(MillisecondsToNextTick(QDateTime::currentMSecsSinceEpoch()));
}

void QtTickTimer::Tick() {
  if (interval_ == kAlignedInterval) ArmForNextSecond();
  if (on_tick) on_tick();
}

}  // namespace kelmora
