#include "platform/qt/qt_clock.h"

namespace kelmora {

DateTime QtClock::Now() const {
  return SystemNow();
}

DateTime QtClock::LocalAt(std::int64_t wall_ms) const {
  return LocalTimeAt(wall_ms);
}

}  // namespace kelmora
