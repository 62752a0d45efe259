#include "platform/qt/tray_stand_in.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include "platform/qt/qt_convert.h"

namespace kelmora {

TrayStandIn::TrayStandIn()
    : QLabel(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus) {
  setAttribute(Qt::WA_QuitOnClose, false);
  // Appearing, it takes the keyboard from no one; so it never becomes the active window, and Qt
  // shows tool tips only in the active one unless told otherwise.
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_AlwaysShowToolTips);
  setObjectName(QStringLiteral("kelmora-tray-stand-in"));
  setFixedSize(IconImage::kSize * kScale, IconImage::kSize * kScale);
}

void TrayStandIn::SetIcon(const IconImage& icon) {
  const int size = IconImage::kSize * kScale;
  setPixmap(QPixmap::fromImage(
      ToQImage(icon).scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
}

void TrayStandIn::SetTip(const QString& tip) {
  setToolTip(tip);
}

void TrayStandIn::ShowInCorner() {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.right() + 1 - width(), area.bottom() + 1 - height());
  }
  show();
}

void TrayStandIn::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (!on_release) return;
  if (event->button() == Qt::LeftButton) on_release(TrayMouse::kLeftUp);
  if (event->button() == Qt::RightButton) on_release(TrayMouse::kRightUp);
}

}  // namespace kelmora
