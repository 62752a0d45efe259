#pragma once
// The frames Windows puts around the program's windows. Windows knows a window's frame as soon
// as the window exists, shown or not: it is reported at once, and a request is answered at once.

#include "platform/services.h"

namespace kelmora {

class WinWindowFrames : public WindowFrames {
 public:
  // The difference between the window's outer rectangle and its client area on the screen
  // (window is an HWND); nullopt for a window that does not exist.
  std::optional<PixelMargins> Reported(NativeWindow window) const override;
  void Request(NativeWindow window) override;
};

}  // namespace kelmora
