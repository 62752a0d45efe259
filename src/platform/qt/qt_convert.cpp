#include "platform/qt/qt_convert.h"

#include <QPainter>
#include <QPixmap>

#include "core/twips.h"

namespace kelmora {

QImage ToQImage(const IconImage& icon) {
  QImage image(IconImage::kSize, IconImage::kSize, QImage::Format_ARGB32);
  for (int y = 0; y < IconImage::kSize; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < IconImage::kSize; ++x) {
      row[x] = icon.argb[static_cast<std::size_t>(y * IconImage::kSize + x)];
    }
  }
  return image;
}

QIcon ToQIcon(const IconImage& icon) {
  const QImage image = ToQImage(icon);
  QIcon result;
  for (int scale : {1, 2, 3, 4}) {
    const int size = IconImage::kSize * scale;
    result.addPixmap(QPixmap::fromImage(
        image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
  }
  // Trays of 22 and 24 px (common on X11 panels) get the face unscaled in the middle, instead of
  // a blurred copy scaled down from 32 px.
  for (int size : {22, 24}) {
    QImage padded(size, size, QImage::Format_ARGB32);
    padded.fill(Qt::transparent);
    QPainter painter(&padded);
    painter.drawImage((size - IconImage::kSize) / 2, (size - IconImage::kSize) / 2, image);
    painter.end();
    result.addPixmap(QPixmap::fromImage(padded));
  }
  return result;
}

QColor ToQColor(ColorValue color) {
  const auto value = static_cast<std::uint32_t>(color);
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

ColorValue FromQColor(const QColor& color) {
  return Rgb(color.red(), color.green(), color.blue());
}

QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
               height / kTwipsPerPixel);
}

}  // namespace kelmora
