#pragma once
// The system clock as the program's civil local date-time: the clock service on every platform.

#include "platform/services.h"

namespace kelmora {

class SystemClock : public Clock {
 public:
  DateTime Now() const override;
  DateTime LocalAt(WallTime instant) const override;
};

}  // namespace kelmora
