#include "platform/win/win_screen.h"

#include <windows.h>

namespace kelmora {

PixelRect WinScreen::WorkArea() const {
  RECT area{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) {
    area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  return PixelRect{area.left, area.top, area.right, area.bottom};
}

}  // namespace kelmora
