#pragma once
// platform/qt/: the services over Qt Widgets and D-Bus, and conversions; uses platform/.
// Conversions between the program's own values and Qt's: icons, colours and twips.

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

#include "core/twips.h"
#include "platform/services.h"

namespace kelmora {

// The 16x16 icon as an ARGB32 image.
QImage ToQImage(const IconImage& icon);

// The icon with integer-scaled copies (16, 32, 48, 64 px, nearest neighbour) and the face
// centred in 22 and 24 px, so trays and title bars of those sizes show crisp pixels, not a blur;
// other sizes get the largest copy that fits, centred. Nothing of it goes into Qt's pixmap cache.
QIcon ToQIcon(const IconImage& icon);

// The colour value as a Qt colour, and back.
QColor ToQColor(ColorValue color);
ColorValue FromQColor(const QColor& color);

// Pixel points, sizes, rectangles and frames as Qt's, and back.
inline QPoint ToQPoint(PixelPoint point) {
  return {point.x, point.y};
}
inline PixelSize FromQSize(const QSize& size) {
  return {size.width(), size.height()};
}
inline PixelRect FromQRect(const QRect& rect) {
  return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}
inline PixelMargins FromQMargins(const QMargins& margins) {
  return {margins.left(), margins.top(), margins.right(), margins.bottom()};
}

// A control's geometry given in twips, in pixels.
QRect TwipsRect(int left, int top, int width, int height);
QRect TwipsRect(const TwipsBox& box);

}  // namespace kelmora
