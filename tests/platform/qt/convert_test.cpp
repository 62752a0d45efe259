#include "platform/qt/qt_convert.h"

#include <gtest/gtest.h>

#include <QPainter>

#include "qt_app.h"

namespace kelmora {
namespace {

constexpr QRgb kRed = 0xFFFF0000;

// One red pixel at 3,5 of the 16x16 face.
QIcon Face() {
  IconImage icon;
  icon.argb[5 * IconImage::kSize + 3] = kRed;
  return ToQIcon(icon);
}

// Where the red pixels of an image lie: "x,y WxH" of their bounding box, "" for none.
std::string RedBox(const QImage& image) {
  QRect box;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == kRed) box |= QRect(x, y, 1, 1);
    }
  }
  if (box.isNull()) return "";
  return std::to_string(box.x()) + "," + std::to_string(box.y()) + " " +
         std::to_string(box.width()) + "x" + std::to_string(box.height());
}

TEST(ToQIconTest, EverySizeShowsTheFaceCrispWholePixelsOnly) {
  testing::EnsureQApplication();
  struct Case {
    int size;
    std::string red;
  };
  const QIcon icon = Face();
  for (const Case& c : {Case{16, "3,5 1x1"}, Case{32, "6,10 2x2"}, Case{64, "12,20 4x4"},
                        Case{22, "6,8 1x1"},       // unscaled, centred
                        Case{40, "10,14 2x2"}}) {  // the 32 px copy, centred
    const QImage shown =
        icon.pixmap(c.size, c.size).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(shown.size(), QSize(c.size, c.size));
    EXPECT_EQ(RedBox(shown), c.red) << c.size << " px";
  }
  QList<int> sizes;
  for (const QSize& size : icon.availableSizes()) sizes.append(size.width());
  EXPECT_EQ(sizes, QList<int>({16, 32, 48, 64, 22, 24}));
}

// An XEmbed tray's icon is painted by Qt into a widget of the tray's size.
TEST(ToQIconTest, PaintedIntoATrayOfAnotherSizeTheFaceIsCentred) {
  testing::EnsureQApplication();
  QImage tray(26, 26, QImage::Format_ARGB32);
  tray.fill(Qt::transparent);
  QPainter painter(&tray);
  Face().paint(&painter, QRect(0, 0, 26, 26));
  painter.end();
  EXPECT_EQ(RedBox(tray), "8,10 1x1");
}

}  // namespace
}  // namespace kelmora
