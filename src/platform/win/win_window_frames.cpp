#include "platform/win/win_window_frames.h"

#include <windows.h>

namespace kelmora {

std::optional<PixelMargins> WinWindowFrames::Reported(NativeWindow window) const {
  HWND handle = reinterpret_cast<HWND>(window);
  RECT outer{};
  RECT client{};
  if (!GetWindowRect(handle, &outer) || !GetClientRect(handle, &client)) return std::nullopt;
  MapWindowPoints(handle, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return PixelMargins{client.left - outer.left, client.top - outer.top, outer.right - client.right,
                      outer.bottom - client.bottom};
}

void WinWindowFrames::Request(NativeWindow window) {
  if (on_reported) on_reported(window);
}

}  // namespace kelmora
