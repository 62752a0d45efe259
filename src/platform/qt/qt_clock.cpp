#include "platform/qt/qt_clock.h"

namespace kelmora {

DateTime QtClock::Now() const {
  return SystemNow();
}

}  // namespace kelmora
