#include "platform/win/win_icon.h"

#include <cstdint>
#include <vector>

namespace kelmora {
namespace {

struct BitmapDeleter {
  void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using OwnedBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter>;

// The image's pixel under pixel (x, y) of a picture size pixels wide.
std::uint32_t PixelAt(const IconImage& image, int size, int x, int y) {
  const int column = x * IconImage::kSize / size;
  const int row = y * IconImage::kSize / size;
  return image.argb.at(static_cast<std::size_t>(row * IconImage::kSize + column));
}

// A top-down 32-bit DIB holding the scaled image: its pixels are ARGB words, as the image's.
OwnedBitmap ColourBitmap(const IconImage& image, int size) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  OwnedBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) return nullptr;
  auto* pixels = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) pixels[y * size + x] = PixelAt(image, size, x, y);
  }
  return bitmap;
}

// The monochrome mask: a set bit where the image is transparent. Rows are padded to 16 bits.
OwnedBitmap MaskBitmap(const IconImage& image, int size) {
  const int row_bytes = (size + 15) / 16 * 2;
  std::vector<BYTE> bits(static_cast<std::size_t>(row_bytes * size), 0);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      if ((PixelAt(image, size, x, y) >> 24) != 0) continue;
      bits[static_cast<std::size_t>(y * row_bytes + x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
    }
  }
  return OwnedBitmap(CreateBitmap(size, size, 1, 1, bits.data()));
}

}  // namespace

OwnedIcon MakeIcon(const IconImage& image, int size) {
  const OwnedBitmap colour = ColourBitmap(image, size);
  const OwnedBitmap mask = MaskBitmap(image, size);
  if (!colour || !mask) return nullptr;
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = colour.get();
  info.hbmMask = mask.get();
  return OwnedIcon(CreateIconIndirect(&info));  // copies both bitmaps
}

int SmallIconSize() {
  const int size = GetSystemMetrics(SM_CXSMICON);
  return size > 0 ? size : IconImage::kSize;
}

}  // namespace kelmora
