#pragma once
// Where the program shows its windows, decided before Qt starts: whether there is a display at
// all, and which of Qt's platforms to ask for where the user chose none. On a Wayland desktop
// that also runs an X server (XWayland), X11 lets the program keep its windows in the corner and
// above the others, which Wayland leaves to the compositor (GNOME's places them itself and
// ignores "stay on top"); native Wayland is for desktops without an X server.

#include <functional>
#include <optional>
#include <span>
#include <string>

namespace kelmora {

// Reads an environment variable: nullptr when it is not set.
using EnvironmentReader = std::function<const char*(const char* name)>;

// Qt has a display to open: an X display or a Wayland compositor, or a platform chosen
// (QT_QPA_PLATFORM, "-platform") that needs neither (offscreen, vnc...).
bool HasDisplay(const EnvironmentReader& environment, std::span<char* const> arguments);

// The arguments after the program's name are Qt's platform choices only: "-platform NAME" (or
// "--platform NAME"), any number of times; an empty list is one too.
bool OnlyPlatformArguments(std::span<char* const> arguments);

// The platform to ask Qt for (a QT_QPA_PLATFORM value, a fallback after the ";"), or nullopt
// to leave Qt its own choice: the user chose one (QT_QPA_PLATFORM, "-platform"), or there is
// nothing to choose between.
std::optional<std::string> PlatformToAskFor(const EnvironmentReader& environment,
                                            std::span<char* const> arguments);

}  // namespace kelmora
