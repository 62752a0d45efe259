#pragma once
// platform/: the service interfaces given to the windows (Qt ones in qt/ and sound/); uses tick/.
// Each service is a small interface that the program fills with the Qt implementations and tests
// with fakes. Plain C++, so the fakes need no Qt.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/date_time.h"
#include "core/pixels.h"
#include "tick/tick_timer.h"

namespace kelmora {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateTime Now() const = 0;  // local date-time to the whole second
  // The local date-time at an instant of the wall clock.
  virtual DateTime LocalAt(WallTime instant) const = 0;
};

// The mouse message that a button released on the tray icon (or its stand-in) reports.
enum class TrayMouse { kLeftUp, kRightUp, kOther };

// The longest tip the tray shows, in Shift_JIS (CP932) bytes: the tips that fit on the original
// platform.
inline constexpr std::size_t kTrayTipBytes = 63;

// The notification-area icon: at most one, added, modified and removed explicitly.
class TrayService {
 public:
  virtual ~TrayService() = default;
  virtual void Add(const IconImage& icon, const std::string& tip) = 0;
  virtual void Modify(const IconImage& icon, const std::string& tip) = 0;  // no icon: no effect
  virtual void Remove() = 0;
  std::function<void(TrayMouse)> on_mouse;
};

// Plays WAV files asynchronously; a new call replaces a sound still playing; a file that cannot
// be played gives the built-in chime. Never reports a failure.
class SoundService {
 public:
  virtual ~SoundService() = default;
  virtual void Play(const std::string& path) = 0;
  // Stops whatever plays (the sound or the chime standing in for it); nothing playing: no effect.
  virtual void Stop() = 0;
  // Called on the user-interface thread when the sound started by the last Play (or the chime
  // standing in for it) has ended by itself; not when Stop or a new Play ended it.
  std::function<void()> on_finished;
};

// A button on the alarm's notification: the key the service reports back, the text it shows.
struct NotificationAction {
  std::string key;
  std::string label;
};

// Desktop notifications: at most one alarm notification up at a time, with its buttons, and
// notices beside it. Calls never wait for the desktop's notification service; where none runs,
// nothing happens.
class Notifier {
 public:
  virtual ~Notifier() = default;
  // Shows the ringing alarm's notification, in place of the one still up; it stays until closed,
  // and carries the buttons where the service shows buttons.
  virtual void Show(const std::string& summary, const std::string& body,
                    const std::vector<NotificationAction>& actions) = 0;
  // Takes the notification up away; none up: no effect.
  virtual void Close() = 0;
  // Shows a notice without buttons beside the notification (neither replaces the other), for
  // what the user must hear of when no window may wait for them.
  virtual void Notice(const std::string& summary, const std::string& body) = 0;
  // The user chose the button with this key on the notification up.
  std::function<void(const std::string& key)> on_action;
};

// Modal message boxes captioned "!Kelmora", no icon.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void Notice(const std::string& text) = 0;    // OK only
  virtual bool AskYesNo(const std::string& text) = 0;  // Yes (the default) gives true
  // Closes the box up now, as if its user had dismissed it (No for a question); none: no effect.
  // The program ending without its window waits for no one.
  virtual void CloseOpenBox() = 0;
};

// What the desktop's look gives the windows: the button-face colour, the face's background.
class Appearance {
 public:
  virtual ~Appearance() = default;
  virtual ColorValue ButtonFace() const = 0;
};

// A top-level window as the program moves it about: the toolkit's window behind a view.
class TopLevelWindow {
 public:
  virtual ~TopLevelWindow() = default;
  virtual bool Shown() const = 0;  // visible; a minimised window counts as shown
  virtual void Hide() = 0;
  // Back to its normal size, shown, to the front with the keyboard focus.
  virtual void Restore() = 0;
  virtual void KeepOnTop(bool on_top) = 0;  // above the others or not, and shown
  virtual void Raise() = 0;                 // to the top of the others, and shown
  // Its outer size with the window manager's frame, and its outer top left corner, in pixels.
  virtual PixelSize OuterSize() const = 0;
  virtual void MoveOuterTo(int left, int top) = 0;
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

// A window as the platform names it (an X11 window id, a Win32 window handle).
using NativeWindow = std::uintptr_t;

// The frames the window manager puts around the program's windows, as it reports them. Where it
// cannot tell (no window manager, Wayland), no frame is ever reported.
class WindowFrames {
 public:
  virtual ~WindowFrames() = default;
  // The frame the window manager gives window, or will give it once shown, by its own report;
  // nullopt while it has not told.
  virtual std::optional<PixelMargins> Reported(NativeWindow window) const = 0;
  // Asks the window manager to report the frame it would give window, before it is shown.
  virtual void Request(NativeWindow window) = 0;
  // The window manager has reported (or changed) the frame of this window.
  std::function<void(NativeWindow window)> on_reported;
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
  Notifier& notifier;
  MessageBoxes& messages;
  Appearance& appearance;
  ColorDialog& colors;
  FileDialog& files;
  Screen& screen;
  WindowFrames& frames;
  AppPaths paths;
};

}  // namespace kelmora
