#pragma once
// The system clock as the program's civil local date-time.

#include "platform/services.h"

namespace kelmora {

class QtClock : public Clock {
 public:
  DateTime Now() const override;
  DateTime LocalAt(WallTime instant) const override;
};

}  // namespace kelmora
