#pragma once
// core/: the ground floor (pixels, numbers, date-times, text files, WAV); no Qt: std, POSIX, iconv.
// Pixels, as every layer passes them around: the colour value of one (ColorValue, Rgb), the
// 16x16 icon image of ARGB pixels, and points, sizes, rectangles and frames in pixels (the
// desktop's work area, where windows go and the frames the window manager puts around them).

#include <array>
#include <cstdint>

namespace kelmora {

// A colour value: red in the lowest byte, then green, then blue; top byte 0 for a plain colour.
using ColorValue = std::int32_t;

constexpr ColorValue Rgb(int red, int green, int blue) {
  return static_cast<ColorValue>(red | (green << 8) | (blue << 16));
}

// The three channels of a colour value, 0 to 255 each.
struct Channels {
  int red = 0;
  int green = 0;
  int blue = 0;
};
constexpr Channels ChannelsOf(ColorValue color) {
  const auto value = static_cast<std::uint32_t>(color);
  return {static_cast<int>(value & 0xFFu), static_cast<int>((value >> 8) & 0xFFu),
          static_cast<int>((value >> 16) & 0xFFu)};
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

struct PixelPoint {
  int x = 0;
  int y = 0;
  bool operator==(const PixelPoint&) const = default;
};

struct PixelSize {
  int width = 0;
  int height = 0;
  bool operator==(const PixelSize&) const = default;
};

// The widths of a frame around a rectangle: its border on each side, the title bar in the top.
struct PixelMargins {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const PixelMargins&) const = default;
  bool IsNull() const { return *this == PixelMargins{}; }
};

}  // namespace kelmora
