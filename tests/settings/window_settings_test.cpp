#include "settings/window_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelmora {

// Found by argument lookup from inside GoogleTest, so outside the unnamed namespace.
static bool operator==(const WindowSettings& a, const WindowSettings& b) {
  return a.tip_format == b.tip_format && a.interval_text == b.interval_text && a.mode1 == b.mode1 &&
         a.mode2 == b.mode2 && a.colors == b.colors;
}

static void PrintTo(const WindowSettings& s, std::ostream* out) {
  *out << '{' << s.tip_format << " | " << s.interval_text << " | " << s.mode1 << ' ' << s.mode2;
  for (auto color : s.colors) *out << ' ' << color;
  *out << '}';
}

namespace {

using Lines = std::vector<std::string>;

// Settings as a window holds them, with every field written out for the table.
WindowSettings Make(std::string tip, std::string interval, std::int16_t mode1, std::int16_t mode2,
                    std::array<std::int32_t, 8> colors = {}) {
  return WindowSettings{std::move(tip), std::move(interval), mode1, mode2, colors};
}

const WindowSettings kStart;
const Lines kZeros(10, " 0 ");

Lines FileOf(Lines head, const Lines& rest) {
  head.insert(head.end(), rest.begin(), rest.end());
  return head;
}

struct ApplyCase {
  const char* name;
  Lines lines;
  WindowSettings expected;
  std::size_t unread = 0;  // the first line it could not read as it stands
};

class SettingsApply : public ::testing::TestWithParam<ApplyCase> {};

TEST_P(SettingsApply, ReadsWhatItCanAndKeepsTheRest) {
  WindowSettings settings;
  SettingsReader reader(GetParam().lines);
  EXPECT_EQ(ApplySettings(reader, settings), GetParam().unread);
  EXPECT_EQ(settings, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SettingsApply,
    ::testing::Values(
        ApplyCase{"NoFile", {}, kStart},
        ApplyCase{"TwoLines", {"hh:nn", "2.5"}, Make("hh:nn", "2.5", 0, 0)},
        ApplyCase{"EmptyLinesReadAsText", {"", ""}, Make("", "", 0, 0)},
        ApplyCase{"RedAndBlue",
                  FileOf({"yyyy", "1.0", " 2 ", " 3 ", " 255 ", " 16711680 "}, Lines(6, " 0 ")),
                  Make("yyyy", "1.0", 2, 3, {255, 16711680, 0, 0, 0, 0, 0, 0})},
        ApplyCase{"ModeBeyond16BitsKeepsItsValue",
                  {"t", "1.0", " 70000 ", " 4 ", "-5 "},
                  Make("t", "1.0", 0, 4, {-5, 0, 0, 0, 0, 0, 0, 0}),
                  3},
        ApplyCase{"ModeOutside0To5FallsBackToAnalog",
                  {"t", "1.0", " 6 ", "-1 "},
                  Make("t", "1.0", 0, 0),
                  3},
        ApplyCase{"ModeHalvesGoToEven", {"t", "1.0", " 2.5 ", " 3.5 "}, Make("t", "1.0", 2, 4)},
        ApplyCase{
            "TextIsNumberZero", {"t", "1,5", "abc", " 1,5 ", "red"}, Make("t", "1,5", 0, 1), 3},
        ApplyCase{"HexColour", {"t", "1", " 1 ", " 1 ", "0x0F"}, Make("t", "1", 1, 1), 5},
        ApplyCase{"CodePage932TextsAreDecoded",
                  {"\x8E\x9E\x8C\x76 hh:nn", "\x82\x50"},
                  Make("時計 hh:nn", "１", 0, 0)},
        ApplyCase{"ColourBeyond32BitsKeepsItsValue",
                  FileOf({"t", "1.0", " 1 ", " 1 "},
                         {" 2147483648 ", "-2147483648 ", " 2147483647 ", " 1e20 "}),
                  Make("t", "1.0", 1, 1, {0, -2147483647 - 1, 2147483647, 0, 0, 0, 0, 0}), 5},
        ApplyCase{"ExtraLinesIgnored", FileOf({"t", "9"}, Lines(14, " 1 ")),
                  Make("t", "9", 1, 1, {1, 1, 1, 1, 1, 1, 1, 1}), 13}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsApplyOver, FailingStepsKeepTheValuesAlreadyThere) {
  WindowSettings settings = Make("old", "3", 5, 2, {1, 2, 3, 4, 5, 6, 7, 8});
  SettingsReader reader({"new", "4", " 99999 ", " 3 ", " 1e10 ", " 20 "});
  ApplySettings(reader, settings);
  EXPECT_EQ(settings, Make("new", "4", 5, 3, {1, 20, 3, 4, 5, 6, 7, 8}));
}

TEST(SettingsLinesWritten, StartValuesGiveTheTwelveKnownLines) {
  EXPECT_EQ(SettingsLines(kStart), FileOf({"yyyy/mm/dd hh:mm aaa", "1.0"}, kZeros));
}

TEST(SettingsLinesWritten, ReadBackGivesTheSameSettings) {
  const std::vector<WindowSettings> cases{
      Make("yyyy/mm/dd hh:mm aaa", "1,5", 3, 5,
           {255, 16711680, -1, 65280, 0, 1, -2147483647 - 1, 2147483647}),
      Make("\"時刻\" h:n A/P", " 0.5 ", 0, 0), Make("", "", 1, 2)};
  for (const auto& written : cases) {
    WindowSettings read = Make("x", "y", 4, 4, {9, 9, 9, 9, 9, 9, 9, 9});
    SettingsReader reader(SettingsLines(written));
    ApplySettings(reader, read);
    EXPECT_EQ(read, written);
  }
}

TEST(SettingsNumberText, BlankBeforeNonNegativeAndAfterEvery) {
  const std::vector<std::pair<std::int32_t, std::string>> cases{{0, " 0 "},
                                                                {255, " 255 "},
                                                                {-5, "-5 "},
                                                                {2147483647, " 2147483647 "},
                                                                {-2147483647 - 1, "-2147483648 "}};
  for (const auto& [value, text] : cases) EXPECT_EQ(SettingsNumber(value), text);
}

TEST(SettingsReaderFields, HandsOutWholeLinesThenStops) {
  SettingsReader reader({"a\tb, \"c\"", ""});
  std::string value = "kept";
  ASSERT_TRUE(reader.ReadField(value));
  EXPECT_EQ(value, "a\tb, \"c\"");
  ASSERT_TRUE(reader.ReadField(value));
  EXPECT_EQ(value, "");
  value = "kept";
  EXPECT_FALSE(reader.ReadField(value));
  EXPECT_EQ(value, "kept");
}

}  // namespace
}  // namespace kelmora
