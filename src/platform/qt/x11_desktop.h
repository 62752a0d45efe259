#pragma once
// What an X11 desktop tells through the X server and Qt keeps to itself: the frame the window
// manager gives a window (_NET_FRAME_EXTENTS) and whether an XEmbed tray holds the screen's
// system tray selection. Off X11 (Wayland, offscreen) there is nothing to ask: the frame is
// unknown and there is no XEmbed tray.

#include <qwindowdefs.h>
#include <QAbstractNativeEventFilter>
#include <functional>
#include <optional>

#include "core/pixels.h"

namespace kelmora {

// The program runs on X11 (Qt's xcb platform).
bool OnX11();

// The frame the window manager has given the native window, or will give it once mapped, by its
// own report; nullopt while it has not told (or off X11, or for no window).
std::optional<PixelMargins> ReportedFrame(WId window);

// Asks the window manager to report the frame it would give the native window, before mapping
// it (_NET_REQUEST_FRAME_EXTENTS).
void RequestFrame(WId window);

// An XEmbed tray holds the system tray selection of the default screen.
bool XEmbedTrayPresent();

// Tells, as Qt hands it the X server's events, that an XEmbed tray has taken the system tray
// selection (the MANAGER message to the root window) or that a window manager has reported a
// window's frame (its _NET_FRAME_EXTENTS changed). Does nothing off X11.
class X11DesktopEvents : public QAbstractNativeEventFilter {
 public:
  X11DesktopEvents();
  ~X11DesktopEvents() override;
  X11DesktopEvents(const X11DesktopEvents&) = delete;
  X11DesktopEvents& operator=(const X11DesktopEvents&) = delete;

  std::function<void()> on_xembed_tray;
  std::function<void(WId window)> on_frame_reported;

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

 private:
  bool installed_ = false;
  std::uint32_t manager_atom_ = 0;
  std::uint32_t tray_selection_atom_ = 0;
  std::uint32_t frame_extents_atom_ = 0;
};

}  // namespace kelmora
