#pragma once
// The desktop's work area (the primary monitor less the taskbar), in the primary monitor's
// pixels: the program is per-monitor DPI aware, so Windows scales nothing.

#include "platform/services.h"

namespace kelmora {

class WinScreen : public Screen {
 public:
  PixelRect WorkArea() const override;
};

}  // namespace kelmora
