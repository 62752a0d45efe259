#include "platform/qt/qt_clock.h"

namespace kelmora {

DateTime QtClock::Now() const {
  return SystemNow();
}

DateTime QtClock::LocalAt(WallTime instant) const {
  return LocalTimeAt(instant);
}

}  // namespace kelmora
