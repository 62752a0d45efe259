#include "render/raster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include "face_pictures.h"

namespace kelmora {
namespace {

using testing::kBackground;
using testing::kTestColors;
using testing::Picture;
using testing::PictureText;

constexpr float kTwips = kTwipsPerPixel;

Raster BlankRaster() {
  Raster raster;
  raster.Fill(kBackground);
  return raster;
}

int LitPixels(const Raster& raster) {
  int lit = 0;
  for (int y = 0; y < Raster::kSize; ++y) {
    for (int x = 0; x < Raster::kSize; ++x) lit += raster.At(x, y) != kBackground;
  }
  return lit;
}

struct PointCase {
  float x_twips;
  float y_twips;
  int x_pixel;  // -1: off the picture, nothing drawn
  int y_pixel;
};

class PointTwipsTest : public ::testing::TestWithParam<PointCase> {};

TEST_P(PointTwipsTest, LightsTheNearestPixel) {
  const PointCase& point = GetParam();
  Raster raster = BlankRaster();
  raster.PointTwips(point.x_twips, point.y_twips, kTestColors[0]);
  if (point.x_pixel < 0) {
    EXPECT_EQ(LitPixels(raster), 0);
    return;
  }
  EXPECT_EQ(LitPixels(raster), 1);
  EXPECT_EQ(raster.At(point.x_pixel, point.y_pixel), kTestColors[0]);
}

INSTANTIATE_TEST_SUITE_P(Rounding, PointTwipsTest,
                         ::testing::Values(PointCase{0, 0, 0, 0}, PointCase{7.4f, 7.4f, 0, 0},
                                           PointCase{7.6f, 22.4f, 1, 1}, PointCase{-7.4f, 0, 0, 0},
                                           // the dial marks at 0, 30, 60, 90, 180 and 270 degrees
                                           PointCase{120, 10, 8, 1}, PointCase{175, 24.737f, 12, 2},
                                           PointCase{215.263f, 65, 14, 4},
                                           PointCase{230, 120, 15, 8}, PointCase{120, 230, 8, 15},
                                           PointCase{10, 120, 1, 8},
                                           // past an edge by more than half a pixel: clipped
                                           PointCase{-8, 0, -1, -1}, PointCase{0, 233, -1, -1},
                                           PointCase{240, 0, -1, -1}));

TEST(RasterTest, LinesInEveryDirectionLightBothEnds) {
  Raster raster = BlankRaster();
  raster.LineTwips(0, 0, 15 * kTwips, 3 * kTwips, kTestColors[0]);                     // shallow
  raster.LineTwips(-5 * kTwips, 4 * kTwips, 20 * kTwips, 4 * kTwips, kTestColors[3]);  // clipped
  raster.LineTwips(1 * kTwips, 5 * kTwips, 3 * kTwips, 15 * kTwips, kTestColors[1]);   // steep
  raster.LineTwips(15 * kTwips, 15 * kTwips, 5 * kTwips, 5 * kTwips, kTestColors[2]);  // back
  raster.LineTwips(12 * kTwips, 7 * kTwips, 12 * kTwips, 7 * kTwips, kTestColors[4]);  // a dot
  raster.LineTwips(6 * kTwips, 15 * kTwips, 6 * kTwips, 12 * kTwips, kTestColors[5]);  // up
  EXPECT_EQ(PictureText(raster), Picture(R"(
000.............
...00000........
........00000...
.............000
3333333333333333
.1...2..........
.1....2.........
.1.....2....4...
..1.....2.......
..1......2......
..1.......2.....
..1........2....
..1...5.....2...
...1..5......2..
...1..5.......2.
...1..5........2
)"));
}

struct Offset {
  int dx;
  int dy;
};

class LineDirectionTest : public ::testing::TestWithParam<Offset> {};

// Lines without a tie between two pixels light the same pixels whichever end they start from.
TEST_P(LineDirectionTest, SamePixelsEitherWay) {
  const auto [dx, dy] = GetParam();
  const float x1 = 8 * kTwips, y1 = 8 * kTwips;
  const float x2 = (8 + dx) * kTwips, y2 = (8 + dy) * kTwips;
  Raster forward = BlankRaster();
  forward.LineTwips(x1, y1, x2, y2, kTestColors[0]);
  Raster backward = BlankRaster();
  backward.LineTwips(x2, y2, x1, y1, kTestColors[0]);
  EXPECT_EQ(PictureText(forward), PictureText(backward));
  EXPECT_EQ(LitPixels(forward), std::max(std::abs(dx), std::abs(dy)) + 1);
  EXPECT_EQ(forward.At(8, 8), kTestColors[0]);
  EXPECT_EQ(forward.At(8 + dx, 8 + dy), kTestColors[0]);
}

INSTANTIATE_TEST_SUITE_P(EightOctants, LineDirectionTest,
                         ::testing::Values(Offset{5, 2}, Offset{2, 5}, Offset{-2, 5}, Offset{-5, 2},
                                           Offset{-5, -2}, Offset{-2, -5}, Offset{2, -5},
                                           Offset{5, -2}, Offset{7, 7}, Offset{-7, 0},
                                           Offset{0, -7}));

TEST(RasterTest, PositionsFarOffOrNotANumberDrawNothing) {
  constexpr float kNotANumber = std::numeric_limits<float>::quiet_NaN();
  constexpr float kInfinity = std::numeric_limits<float>::infinity();
  Raster raster = BlankRaster();
  raster.LineTwips(120, 120, 1e30f, 1e30f, kTestColors[0]);
  raster.LineTwips(kNotANumber, 120, 120, 120, kTestColors[0]);
  raster.PointTwips(kInfinity, 0, kTestColors[0]);
  raster.PointTwips(0, kNotANumber, kTestColors[0]);
  raster.Set(-1, 0, kTestColors[0]);
  raster.Set(0, 16, kTestColors[0]);
  EXPECT_EQ(LitPixels(raster), 0);
}

TEST(RasterTest, IconHasRedInTheHighByteAndTheMaskTransparent) {
  Raster raster = BlankRaster();
  raster.Set(0, 0, Rgb(0x12, 0x34, 0x56));
  raster.Set(15, 15, Rgb(255, 0, 0));
  const IconImage icon = raster.ToIcon(kBackground);
  EXPECT_EQ(icon.argb[0], 0xFF123456u);
  EXPECT_EQ(icon.argb[255], 0xFFFF0000u);
  EXPECT_EQ(icon.argb[1] >> 24, 0u);  // background: alpha 0
  EXPECT_EQ(icon.argb[254] >> 24, 0u);
  const IconImage opaque = raster.ToIcon(Rgb(1, 2, 3));
  EXPECT_EQ(opaque.argb[1], 0xFFD4D0C8u);  // the background itself when it is not the mask
}

}  // namespace
}  // namespace kelmora
