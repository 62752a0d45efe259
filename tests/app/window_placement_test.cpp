#include "app/window_placement.h"

#include <gtest/gtest.h>

#include <vector>

namespace kelmora {
namespace {

TEST(WindowPlacement, PutsTheWindowInTheLowerRightCorner) {
  struct Case {
    PixelRect area;
    std::int32_t width, height;
    std::int32_t left, top;
  };
  const std::vector<Case> cases{
      {{0, 0, 1024, 738}, 2460, 2640, 12900, 8430},
      {{0, 0, 1920, 1040}, 0, 0, 28800, 15600},
      {{1920, 24, 3840, 1080}, 3000, 1500, 54600, 14700},  // a second screen beside the first
      {{0, 0, 100, 100}, 3000, 3000, -1500, -1500},        // a window larger than the area
  };
  for (const auto& c : cases) {
    auto position = GetWrkPosition(c.area, c.width, c.height);
    EXPECT_EQ(position.left, c.left);
    EXPECT_EQ(position.top, c.top);
  }
}

TEST(WindowPlacement, HugeAreasDoNotOverflow) {
  auto position = GetWrkPosition({0, 0, 2147483647, -2147483647 - 1}, 0, 0);
  EXPECT_EQ(position.left, 2147483647);
  EXPECT_EQ(position.top, -2147483647 - 1);
}

}  // namespace
}  // namespace kelmora
