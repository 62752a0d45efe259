#include "core/general.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace kelmora {
namespace {

TEST(SettingsWorkArea, NamesEdgesIgnoringCase) {
  const PixelRect area{10, 20, 1024, 738};
  const std::vector<std::pair<std::string, std::int32_t>> cases{
      {"left", 10}, {"Top", 20},   {"width", 1024}, {"WIDTH", 1024}, {"Height", 738},
      {"right", 0}, {"bottom", 0}, {"", 0},         {"width ", 0}};
  for (const auto& [name, expected] : cases) {
    EXPECT_EQ(General::WorkArea(area, name), expected) << name;
  }
}

// The table's "/" stands for the system's separator ("\\" on Windows).
TEST(SettingsPathWithSep, EndsInOneSeparatorAndChangesTheArgument) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"/", "/"}, {"/tmp/x", "/tmp/x/"}, {"/tmp/x/", "/tmp/x/"}, {"", "/"}, {"日本", "日本/"}};
  const auto on_system = [](std::string text) {
    std::replace(text.begin(), text.end(), '/',
                 static_cast<char>(std::filesystem::path::preferred_separator));
    return text;
  };
  for (const auto& [given, expected] : cases) {
    std::string path = on_system(given);
    EXPECT_EQ(General::PathWithSep(path), on_system(expected));
    EXPECT_EQ(path, on_system(expected));
  }
}

}  // namespace
}  // namespace kelmora
