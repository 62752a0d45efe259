#pragma once
// The work area of the primary screen (the desktop less panels), in device-independent pixels.

#include "platform/services.h"

namespace kelmora {

// The area assumed where no screen exists at all.
inline constexpr PixelRect kFallbackWorkArea{0, 0, 1024, 768};

class QtScreen : public Screen {
 public:
  PixelRect WorkArea() const override;
};

}  // namespace kelmora
