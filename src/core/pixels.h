#pragma once
// core/: the Qt-free ground floor (values, numbers, date-times, text files, WAV); std only.
// The small value types every layer passes around: colour values, the 16x16 icon image and
// pixel rectangles.

#include <array>
#include <cstdint>

namespace kelmora {

// A colour value: red in the lowest byte, then green, then blue; top byte 0 for a plain colour.
using ColorValue = std::int32_t;

constexpr ColorValue Rgb(int red, int green, int blue) {
  return static_cast<ColorValue>(red | (green << 8) | (blue << 16));
}

// A 16x16 icon as ARGB32 pixels, row by row from the top-left; alpha 0 is transparent.
struct IconImage {
  static constexpr int kSize = 16;
  std::array<std::uint32_t, kSize * kSize> argb{};
  bool operator==(const IconImage&) const = default;
};

// A rectangle by its edges, in pixels.
struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

}  // namespace kelmora
