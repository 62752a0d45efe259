#pragma once
// Where a Win32 control stands, checked against its place in twips at its window's DPI.

#include <windows.h>

#include "core/twips.h"
#include "platform/win/win_controls.h"

namespace kelmora::testing {

inline bool StandsAt(HWND control, const TwipsBox& box) {
  const UINT dpi = GetDpiForWindow(control);
  RECT place{};
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
  const int left = PixelsOfTwips(box.left, dpi);
  const int top = PixelsOfTwips(box.top, dpi);
  const RECT expected{left, top, left + PixelsOfTwips(box.width, dpi),
                      top + PixelsOfTwips(box.height, dpi)};
  return EqualRect(&place, &expected) != FALSE;
}

}  // namespace kelmora::testing
