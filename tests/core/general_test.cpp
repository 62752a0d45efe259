#include "core/general.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelmora {
namespace {

TEST(SettingsGetWrk, PutsTheWindowInTheLowerRightCorner) {
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
    auto position = General::GetWrkPosition(c.area, c.width, c.height);
    EXPECT_EQ(position.left, c.left);
    EXPECT_EQ(position.top, c.top);
  }
}

TEST(SettingsGetWrk, HugeAreasDoNotOverflow) {
  auto position = General::GetWrkPosition({0, 0, 2147483647, -2147483647 - 1}, 0, 0);
  EXPECT_EQ(position.left, 2147483647);
  EXPECT_EQ(position.top, -2147483647 - 1);
}

TEST(SettingsWorkArea, NamesEdgesIgnoringCase) {
  const PixelRect area{10, 20, 1024, 738};
  const std::vector<std::pair<std::string, std::int32_t>> cases{
      {"left", 10}, {"Top", 20},   {"width", 1024}, {"WIDTH", 1024}, {"Height", 738},
      {"right", 0}, {"bottom", 0}, {"", 0},         {"width ", 0}};
  for (const auto& [name, expected] : cases) {
    EXPECT_EQ(General::WorkArea(area, name), expected) << name;
  }
}

TEST(SettingsPathWithSep, EndsInOneSeparatorAndChangesTheArgument) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"/", "/"}, {"/tmp/x", "/tmp/x/"}, {"/tmp/x/", "/tmp/x/"}, {"", "/"}, {"日本", "日本/"}};
  for (const auto& [given, expected] : cases) {
    std::string path = given;
    EXPECT_EQ(General::PathWithSep(path), expected);
    EXPECT_EQ(path, expected);
  }
}

}  // namespace
}  // namespace kelmora
