#pragma once
// The platform services the windows use, each a small interface: the program passes the Qt ones
// (platform/qt), tests pass fakes. Plain C++ so the fakes need no Qt.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/runtime/date_time.h"
#include "platform/runtime/tick_schedule.h"

namespace kelmora {

// A colour value: red in the lowest byte, then green, then blue; top byte 0 for a plain colour.
using ColorValue = std::int32_t;

constexpr ColorValue Rgb(int red, int green, int blue) {
  return static_cast<ColorValue>(red | (green << 8) | (blue << 16));
}

// A 16x16 icon as ARGB32 pixels, row by row from the top-left; alpha 0 is transparent.
struct IconImage {
  static constexpr int kSize = 16;
  std::array<std::uint32_t, kSize * kSize> argb{};
  bool operator==(const IconImage&) const = default;
};

// A rectangle by its edges, in pixels.
struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateTime Now() const = 0;  // local date-time to the whole second
  // The local date-time at an instant of the wall clock, in milliseconds since the epoch.
  virtual DateTime LocalAt(std::int64_t wall_ms) const = 0;
};

// The clock tick. An interval of 0 or less stops it; 1000 ms ticks just after each wall-clock
// second. The handlers run on the user-interface thread.
//
// The timer can sleep over ticks: it wakes at the tick that WakeAfter names and tells how many
// ticks came meanwhile, so that the ticks it slept over still count. Left alone it wakes at every
// tick, as after SetInterval and after each wake.
class TickTimer {
 public:
  virtual ~TickTimer() = default;
  virtual void SetInterval(int milliseconds) = 0;
  virtual int Interval() const = 0;  // 0 when stopped
  // The next wake comes at the ticks-th tick after the last one counted (1: the next tick).
  virtual void WakeAfter(std::int64_t ticks) = 0;
  // Counts the ticks that have come since the last one counted, short of the tick the timer is
  // to wake at, and returns how many; they are not counted again.
  virtual std::int64_t CountPassed() = 0;
  // Where the coming ticks fall on the wall clock as it now runs.
  virtual TickLattice Lattice() const = 0;

  // The tick it was to wake at has come: ticks ticks came since the last one counted, this the
  // last of them.
  std::function<void(std::int64_t ticks)> on_tick;
  // The wall clock was set, or the machine woke from sleep: the coming ticks fall at other
  // wall-clock times than planned.
  std::function<void()> on_clock_set;
};

// The mouse message that a button released on the tray icon (or its stand-in) reports.
enum class TrayMouse { kLeftUp, kRightUp, kOther };

// The notification-area icon: at most one, added, modified and removed explicitly.
class TrayService {
 public:
  virtual ~TrayService() = default;
  virtual void Add(const IconImage& icon, const std::string& tip) = 0;
  virtual void Modify(const IconImage& icon, const std::string& tip) = 0;  // no icon: no effect
  virtual void Remove() = 0;
  virtual bool Present() const = 0;
  std::function<void(TrayMouse)> on_mouse;
};

// Plays WAV files asynchronously; a new call replaces a sound still playing; a file that cannot
// be played gives the built-in chime. Never reports anything.
class SoundService {
 public:
  virtual ~SoundService() = default;
  virtual void Play(const std::string& path) = 0;
};

// Modal message boxes captioned "!Kelmora", no icon.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void Notice(const std::string& text) = 0;    // OK only
  virtual bool AskYesNo(const std::string& text) = 0;  // Yes (the default) gives true
};

// The modal colour dialog; nullopt when cancelled.
class ColorDialog {
 public:
  virtual ~ColorDialog() = default;
  virtual std::optional<ColorValue> Pick(ColorValue current) = 0;
};

struct FileFilter {
  std::string description;  // "音楽ファイル"
  std::string pattern;      // "*.wav"
};

// The modal file dialog; the empty text when cancelled or failed.
class FileDialog {
 public:
  virtual ~FileDialog() = default;
  virtual std::string Open(const std::string& start_path, const std::vector<FileFilter>& filters,
                           int selected_filter) = 0;  // selected_filter counts from 1
  virtual std::string Save(const std::string& start_path, const std::vector<FileFilter>& filters,
                           int selected_filter) = 0;
};

// The desktop work area of the primary screen, in pixels.
class Screen {
 public:
  virtual ~Screen() = default;
  virtual PixelRect WorkArea() const = 0;
};

// Where the program keeps its files and finds its default sound.
struct AppPaths {
  std::filesystem::path data_folder;  // $XDG_CONFIG_HOME/kelmora
  std::string default_sound;          // <exe>/../share/kelmora/sounds/alarm.wav
};

// Everything a window is given.
struct Services {
  Clock& clock;
  TickTimer& timer;
  TrayService& tray;
  SoundService& sound;
  MessageBoxes& messages;
  ColorDialog& colors;
  FileDialog& files;
  Screen& screen;
  AppPaths paths;
};

}  // namespace kelmora
