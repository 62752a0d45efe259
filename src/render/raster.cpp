#include "render/raster.h"

#include <cmath>
#include <cstdlib>
#include <optional>

namespace kelmora {
namespace {

struct Pixel {
  int x = 0;
  int y = 0;
};

// How far off the picture a position may lie and still be drawn towards; beyond it (or when it
// is not a number at all) nothing is drawn, so a wild position can neither overflow the rounding
// nor make a line walk millions of pixels that are all clipped.
constexpr double kFarthestPixel = 1 << 16;

bool InPicture(int x, int y) {
  return x >= 0 && x < Raster::kSize && y >= 0 && y < Raster::kSize;
}

// The pixel nearest to a position in twips (halves away from zero).
std::optional<int> NearestPixel(float twips) {
  const double pixels = static_cast<double>(twips) / kTwipsPerPixel;
  if (!(std::fabs(pixels) <= kFarthestPixel)) return std::nullopt;
  return static_cast<int>(std::lround(pixels));
}

std::optional<Pixel> NearestPixel(float x, float y) {
  const auto px = NearestPixel(x);
  const auto py = NearestPixel(y);
  if (!px || !py) return std::nullopt;
  return Pixel{*px, *py};
}

// A colour value (red in the low byte) as an opaque ARGB32 pixel.
std::uint32_t OpaqueArgb(ColorValue color) {
  const Channels c = ChannelsOf(color);
  return 0xFF000000u | (static_cast<std::uint32_t>(c.red) << 16) |
         (static_cast<std::uint32_t>(c.green) << 8) | static_cast<std::uint32_t>(c.blue);
}

}  // namespace

void Raster::Fill(ColorValue color) {
  pixels_.fill(color);
}

ColorValue Raster::At(int x, int y) const {
  return pixels_[y * kSize + x];
}

void Raster::Set(int x, int y, ColorValue color) {
  if (InPicture(x, y)) pixels_[y * kSize + x] = color;
}

void Raster::PointTwips(float x, float y, ColorValue color) {
  if (const auto pixel = NearestPixel(x, y)) Set(pixel->x, pixel->y, color);
}

void Raster::LineTwips(float x1, float y1, float x2, float y2, ColorValue color) {
  const auto from = NearestPixel(x1, y1);
  const auto to = NearestPixel(x2, y2);
  if (!from || !to) return;
  // Bresenham over all eight octants: the error term tracks both axes at once.
  const int dx = std::abs(to->x - from->x);
  const int dy = -std::abs(to->y - from->y);
  const int step_x = from->x < to->x ? 1 : -1;
  const int step_y = from->y < to->y ? 1 : -1;
  int error = dx + dy;
  Pixel at = *from;
  while (true) {
    Set(at.x, at.y, color);
    if (at.x == to->x && at.y == to->y) return;
    const int doubled = 2 * error;
    if (doubled >= dy) {
      error += dy;
      at.x += step_x;
    }
    if (doubled <= dx) {
      error += dx;
      at.y += step_y;
    }
  }
}

IconImage Raster::ToIcon(ColorValue mask) const {
  IconImage icon;
  for (std::size_t i = 0; i < pixels_.size(); ++i) {
    icon.argb[i] = pixels_[i] == mask ? 0u : OpaqueArgb(pixels_[i]);
  }
  return icon;
}

}  // namespace kelmora
