#include "platform/system_clock.h"

namespace kelmora {

DateTime SystemClock::Now() const {
  return SystemNow();
}

DateTime SystemClock::LocalAt(WallTime instant) const {
  return LocalTimeAt(instant);
}

}  // namespace kelmora
