#include "platform/qt/qt_screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace kelmora {

PixelRect QtScreen::WorkArea() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return kFallbackWorkArea;
  const QRect area = screen->availableGeometry();
  return PixelRect{area.x(), area.y(), area.x() + area.width(), area.y() + area.height()};
}

}  // namespace kelmora
