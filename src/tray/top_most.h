#pragma once
// TopMost: keeping a window above the others.

#include <cstdint>

#include "platform/services.h"

namespace kelmora::TopMost {

// Mode 0: no longer topmost; 1: topmost; 2: to the top of the others; each shows the window and
// returns 1. Any other mode changes nothing and returns 0.
std::int32_t StayOnTop(TopLevelWindow& window, std::int16_t mode);

}  // namespace kelmora::TopMost
