#pragma once
// The window frames as an X11 window manager reports them (_NET_FRAME_EXTENTS); off X11 it never
// reports one.

#include "platform/qt/x11_desktop.h"
#include "platform/services.h"

namespace kelmora {

class QtWindowFrames : public WindowFrames {
 public:
  QtWindowFrames();

  std::optional<PixelMargins> Reported(NativeWindow window) const override;
  void Request(NativeWindow window) override;

 private:
  X11DesktopEvents events_;
};

}  // namespace kelmora
