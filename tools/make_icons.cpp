// Writes the program's own 16x16 icon as PNG files for the desktop's icon theme, one per size,
// each an integer multiple of 16 scaled up by nearest neighbour so every pixel stays a crisp
// square. Usage: kelmora_make_icons OUTPUT-FOLDER SIZE...
// Each size N goes to OUTPUT-FOLDER/NxN/apps/kelmora.png (the hicolor theme's layout).

#include <QDir>
#include <QImage>
#include <QString>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string_view>

#include "render/clock_face.h"

namespace {

// The 16x16 icon as an ARGB image (IconImage holds 0xAARRGGBB, as QRgb does).
QImage IconToImage(const kelmora::IconImage& icon) {
  constexpr int kSize = kelmora::IconImage::kSize;
  QImage image(kSize, kSize, QImage::Format_ARGB32);
  for (int y = 0; y < kSize; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < kSize; ++x) row[x] = icon.argb[static_cast<std::size_t>(y * kSize + x)];
  }
  return image;
}

// A size argument: a whole positive multiple of 16, or nothing.
std::optional<int> ReadSize(std::string_view text) {
  int size = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (size <= 0 || size % kelmora::IconImage::kSize != 0) return std::nullopt;
  return size;
}

bool WriteScaled(const QImage& icon, int size, const QString& folder) {
  const QString apps = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
  if (!QDir().mkpath(apps)) return false;
  const QImage scaled = icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  return scaled.save(apps + QStringLiteral("/kelmora.png"), "PNG");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: kelmora_make_icons OUTPUT-FOLDER SIZE...\n", stderr);
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  const QImage icon = IconToImage(kelmora::ProgramIcon());
  for (int i = 2; i < argc; ++i) {
    const std::optional<int> size = ReadSize(argv[i]);
    if (!size) {
      std::fprintf(stderr, "kelmora_make_icons: '%s' is not a multiple of 16\n", argv[i]);
      return 2;
    }
    if (!WriteScaled(icon, *size, folder)) {
      std::fprintf(stderr, "kelmora_make_icons: cannot write the %dx%d icon into %s\n", *size,
                   *size, argv[1]);
      return 1;
    }
  }
  return 0;
}
