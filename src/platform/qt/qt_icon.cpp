#include "platform/qt/qt_icon.h"

#include <QPixmap>

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
  return result;
}

}  // namespace kelmora
