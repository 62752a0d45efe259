// The choice of display before Qt starts, from a given environment and argument list.

#include "platform/display_choice.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace kelmora {
namespace {

struct Start {
  std::map<std::string, std::string> environment;
  std::vector<std::string> arguments;  // after the program's name
};

EnvironmentReader Reader(const Start& start) {
  return [&start](const char* name) -> const char* {
    const auto found = start.environment.find(name);
    return found == start.environment.end() ? nullptr : found->second.c_str();
  };
}

std::vector<char*> Arguments(Start& start) {
  std::vector<char*> pointers;
  for (std::string& argument : start.arguments) pointers.push_back(argument.data());
  return pointers;
}

const std::map<std::string, std::string> kGnomeWayland = {
    {"XDG_SESSION_TYPE", "wayland"}, {"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}};

struct PlatformCase {
  const char* name;
  Start start;
  std::optional<std::string> asked;
};

void PrintTo(const PlatformCase& c, std::ostream* out) {
  *out << c.name;
}

class PlatformToAskForTest : public ::testing::TestWithParam<PlatformCase> {};

TEST_P(PlatformToAskForTest, X11WhereAWaylandDesktopHasAnXServerAndTheUserChoseNone) {
  Start start = GetParam().start;
  EXPECT_EQ(PlatformToAskFor(Reader(start), Arguments(start)), GetParam().asked);
}

auto With(std::map<std::string, std::string> environment, const std::string& name,
          const std::string& value) {
  environment[name] = value;
  return environment;
}

INSTANTIATE_TEST_SUITE_P(
    Starts, PlatformToAskForTest,
    ::testing::Values(
        PlatformCase{"wayland_with_xwayland", {kGnomeWayland, {}}, "xcb;wayland"},
        PlatformCase{"wayland_display_only_named_by_the_session",
                     {{{"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":1"}}, {}},
                     "xcb;wayland"},
        PlatformCase{"wayland_without_an_x_server",
                     {{{"XDG_SESSION_TYPE", "wayland"}, {"WAYLAND_DISPLAY", "wayland-0"}}, {}},
                     std::nullopt},
        PlatformCase{
            "x11_session", {{{"XDG_SESSION_TYPE", "x11"}, {"DISPLAY", ":0"}}, {}}, std::nullopt},
        PlatformCase{"chosen_in_the_environment",
                     {With(kGnomeWayland, "QT_QPA_PLATFORM", "wayland"), {}},
                     std::nullopt},
        PlatformCase{"empty_choice_is_none",
                     {With(kGnomeWayland, "QT_QPA_PLATFORM", ""), {}},
                     "xcb;wayland"},
        PlatformCase{"chosen_by_argument", {kGnomeWayland, {"-platform", "wayland"}}, std::nullopt},
        PlatformCase{"chosen_by_double_dash_argument",
                     {kGnomeWayland, {"--platform", "wayland"}},
                     std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HasDisplayTest, ADisplayOrAPlatformThatNeedsNone) {
  struct Case {
    Start start;
    bool has;
  };
  for (Case c :
       {Case{{{{"DISPLAY", ":0"}}, {}}, true}, Case{{{{"WAYLAND_DISPLAY", "wayland-1"}}, {}}, true},
        Case{{{}, {}}, false}, Case{{{{"DISPLAY", ""}}, {}}, false},
        Case{{{{"QT_QPA_PLATFORM", "offscreen"}}, {}}, true},
        Case{{{{"QT_QPA_PLATFORM", "xcb"}}, {}}, false},
        Case{{{{"QT_QPA_PLATFORM", "wayland-egl"}}, {}}, false},
        Case{{{}, {"-platform", "offscreen"}}, true},
        Case{{{{"QT_QPA_PLATFORM", "offscreen"}}, {"-platform", "xcb"}}, false}}) {
    EXPECT_EQ(HasDisplay(Reader(c.start), Arguments(c.start)), c.has)
        << c.start.environment.size() << " variables, " << c.start.arguments.size() << " arguments";
  }
}

TEST(OnlyPlatformArgumentsTest, PairsOfPlatformOptionAndName) {
  struct Case {
    std::vector<std::string> arguments;
    bool only;
  };
  for (const Case& c :
       {Case{{}, true}, Case{{"-platform", "xcb"}, true},
        Case{{"--platform", "wayland", "-platform", "xcb"}, true}, Case{{"-platform"}, false},
        Case{{"--help"}, false}, Case{{"-platform", "xcb", "--version"}, false}}) {
    Start start{{}, c.arguments};
    EXPECT_EQ(OnlyPlatformArguments(Arguments(start)), c.only) << c.arguments.size();
  }
}

}  // namespace
}  // namespace kelmora
