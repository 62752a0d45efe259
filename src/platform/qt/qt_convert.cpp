#include "platform/qt/qt_convert.h"

#include <QIconEngine>
#include <QList>
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

namespace {

// The face's pixmaps, handed out and painted as they are. Qt's own engine scales and keeps
// every pixmap it hands out in the pixmap cache, whose clean-up timer then wakes the program
// half a minute after each repaint of an icon Qt draws itself (an XEmbed tray's); this one
// keeps nothing and scales nothing.
class FaceIconEngine : public QIconEngine {
 public:
  explicit FaceIconEngine(QList<QPixmap> pixmaps) : pixmaps_(std::move(pixmaps)) {}

  QIconEngine* clone() const override { return new FaceIconEngine(pixmaps_); }
  QString key() const override { return QStringLiteral("kelmora-face"); }

  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
    QList<QSize> sizes;
    for (const QPixmap& pixmap : pixmaps_) sizes.append(pixmap.size());
    return sizes;
  }

  // The pixmap of that size; for another size, the largest that fits, centred, or the smallest
  // scaled down where none fits.
  QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
    const QPixmap* best = nullptr;
    for (const QPixmap& pixmap : pixmaps_) {
      if (pixmap.size() == size) return pixmap;
      const bool fits = pixmap.width() <= size.width() && pixmap.height() <= size.height();
      if (fits && (best == nullptr || pixmap.width() > best->width())) best = &pixmap;
    }
    if (best == nullptr) {
      return pixmaps_.constFirst().scaled(size, Qt::KeepAspectRatio, Qt::FastTransformation);
    }
    QPixmap centred(size);
    centred.fill(Qt::transparent);
    QPainter painter(&centred);
    painter.drawPixmap((size.width() - best->width()) / 2, (size.height() - best->height()) / 2,
                       *best);
    return centred;
  }

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    painter->drawPixmap(rect.topLeft(), pixmap(rect.size(), mode, state));
  }

 private:
  QList<QPixmap> pixmaps_;  // the 16 px face first
};

}  // namespace

QIcon ToQIcon(const IconImage& icon) {
  const QImage image = ToQImage(icon);
  QList<QPixmap> pixmaps;
  for (int scale : {1, 2, 3, 4}) {
    const int size = IconImage::kSize * scale;
    pixmaps.append(QPixmap::fromImage(
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
    pixmaps.append(QPixmap::fromImage(padded));
  }
  return QIcon(new FaceIconEngine(std::move(pixmaps)));
}

QColor ToQColor(ColorValue color) {
  const Channels c = ChannelsOf(color);
  return QColor(c.red, c.green, c.blue);
}

ColorValue FromQColor(const QColor& color) {
  return Rgb(color.red(), color.green(), color.blue());
}

QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
               height / kTwipsPerPixel);
}

QRect TwipsRect(const TwipsBox& box) {
  return TwipsRect(box.left, box.top, box.width, box.height);
}

}  // namespace kelmora
