#include "platform/win/win_icon.h"

#include <gtest/gtest.h>

#include <vector>

namespace kelmora {
namespace {

// A picture with a transparent top-left quarter and a distinct colour in every other pixel.
IconImage Raster() {
  IconImage image;
  for (int y = 0; y < IconImage::kSize; ++y) {
    for (int x = 0; x < IconImage::kSize; ++x) {
      const bool clear = x < 8 && y < 8;
      image.argb.at(y * 16 + x) =
          clear ? 0u : 0xFF000000u | (x * 16u << 16) | (y * 16u << 8) | 0x40u;
    }
  }
  return image;
}

// The icon's colour pixels, top row first, as ARGB words.
std::vector<std::uint32_t> ColourPixels(HICON icon, int size) {
  ICONINFO info{};
  EXPECT_TRUE(GetIconInfo(icon, &info));
  BITMAPINFO format{};
  format.bmiHeader = {sizeof format.bmiHeader, size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size * size));
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDIBits(screen, info.hbmColor, 0, size, pixels.data(), &format, DIB_RGB_COLORS),
            size);
  ReleaseDC(nullptr, screen);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return pixels;
}

class WinIconTest : public testing::TestWithParam<int> {};

TEST_P(WinIconTest, HoldsTheRasterScaledByNearestNeighbourWithItsTransparency) {
  const int size = GetParam();
  const IconImage image = Raster();
  const OwnedIcon icon = MakeIcon(image, size);
  ASSERT_TRUE(icon);
  const std::vector<std::uint32_t> pixels = ColourPixels(icon.get(), size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const std::uint32_t expected = image.argb.at((y * 16 / size) * 16 + x * 16 / size);
      ASSERT_EQ(pixels.at(y * size + x), expected) << x << "," << y << " at " << size;
    }
  }
  EXPECT_EQ(pixels.front() >> 24, 0u);  // the transparent corner
}

INSTANTIATE_TEST_SUITE_P(Sizes, WinIconTest, testing::Values(16, 20, 24, 32));

}  // namespace
}  // namespace kelmora
