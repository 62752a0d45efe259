#pragma once
// A 16x16 picture of colour values, addressed in pixels or in twips (15 to the pixel).

#include <array>
#include <cstdint>
#include <string>

#include "core/pixels.h"
#include "core/twips.h"

namespace kelmora {

class Raster {
 public:
  static constexpr int kSize = 16;

  void Fill(ColorValue color);
  ColorValue At(int x, int y) const;         // x, y within 0..15
  void Set(int x, int y, ColorValue color);  // outside 0..15: clipped, nothing drawn
  // Point and line drawing in twips: positions round to the nearest pixel; a line lights both of
  // its end pixels and the pixels between (Bresenham).
  void PointTwips(float x, float y, ColorValue color);
  void LineTwips(float x1, float y1, float x2, float y2, ColorValue color);

  // The picture as an icon: pixels of the mask colour transparent, all others opaque.
  IconImage ToIcon(ColorValue mask) const;

  bool operator==(const Raster&) const = default;

 private:
  std::array<ColorValue, kSize * kSize> pixels_{};
};

}  // namespace kelmora
