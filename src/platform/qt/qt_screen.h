#pragma once
// The work area of the primary screen (the desktop less panels), in device-independent pixels,
// and the desktop's look as the application palette gives it.

#include "platform/services.h"

namespace kelmora {

// The area assumed where no screen exists at all.
inline constexpr PixelRect kFallbackWorkArea{0, 0, 1024, 768};

class QtScreen : public Screen {
 public:
  PixelRect WorkArea() const override;
};

// The button face of the application palette, read at each call: the desktop may change it.
class QtAppearance : public Appearance {
 public:
  ColorValue ButtonFace() const override;
};

}  // namespace kelmora
