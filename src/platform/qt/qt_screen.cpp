#include "platform/qt/qt_screen.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>

#include "platform/qt/qt_convert.h"

namespace kelmora {

PixelRect QtScreen::WorkArea() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return kFallbackWorkArea;
  const QRect area = screen->availableGeometry();
  return PixelRect{area.x(), area.y(), area.x() + area.width(), area.y() + area.height()};
}

ColorValue QtAppearance::ButtonFace() const {
  return FromQColor(QGuiApplication::palette().color(QPalette::Button));
}

}  // namespace kelmora
