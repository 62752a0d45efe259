#include "platform/display_choice.h"

#include <string_view>

namespace kelmora {
namespace {

bool IsSet(const EnvironmentReader& environment, const char* name) {
  const char* value = environment(name);
  return value != nullptr && *value != '\0';
}

bool IsPlatformOption(std::string_view argument) {
  return argument == "-platform" || argument == "--platform";
}

// The platform the user chose: the last "-platform" argument, else QT_QPA_PLATFORM; "" for none.
std::string_view ChosenPlatform(const EnvironmentReader& environment,
                                std::span<char* const> arguments) {
  for (std::size_t i = arguments.size(); i >= 2; --i) {
    if (IsPlatformOption(arguments[i - 2])) return arguments[i - 1];
  }
  return IsSet(environment, "QT_QPA_PLATFORM") ? environment("QT_QPA_PLATFORM") : "";
}

}  // namespace

bool HasDisplay(const EnvironmentReader& environment, std::span<char* const> arguments) {
  if (IsSet(environment, "DISPLAY") || IsSet(environment, "WAYLAND_DISPLAY")) return true;
  const std::string_view platform = ChosenPlatform(environment, arguments);
  return !platform.empty() && !platform.starts_with("xcb") && !platform.starts_with("wayland");
}

bool OnlyPlatformArguments(std::span<char* const> arguments) {
  for (std::size_t i = 0; i < arguments.size(); i += 2) {
    if (!IsPlatformOption(arguments[i]) || i + 1 >= arguments.size()) return false;
  }
  return true;
}

std::optional<std::string> PlatformToAskFor(const EnvironmentReader& environment,
                                            std::span<char* const> arguments) {
  if (!ChosenPlatform(environment, arguments).empty()) return std::nullopt;
  const char* session = environment("XDG_SESSION_TYPE");
  const bool wayland = IsSet(environment, "WAYLAND_DISPLAY") ||
                       (session != nullptr && std::string_view(session) == "wayland");
  if (!wayland || !IsSet(environment, "DISPLAY")) return std::nullopt;
  // Should the X server not answer after all, Wayland still shows the windows.
  return "xcb;wayland";
}

}  // namespace kelmora
