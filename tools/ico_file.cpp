#include "ico_file.h"

#include <cstddef>
#include <cstdint>

namespace kelmora {
namespace {

constexpr std::uint32_t kDirectorySize = 6;      // ICONDIR: reserved, type, count
constexpr std::uint32_t kEntrySize = 16;         // ICONDIRENTRY
constexpr std::uint32_t kBitmapHeaderSize = 40;  // BITMAPINFOHEADER

void PutU16(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFFu));
  out.push_back(static_cast<char>((value >> 8) & 0xFFu));
}

void PutU32(std::string& out, std::uint32_t value) {
  PutU16(out, value & 0xFFFFu);
  PutU16(out, value >> 16);
}

// Bytes in one row of the AND mask: one bit a pixel, rows padded to whole 32-bit words.
std::uint32_t MaskStride(int size) {
  return static_cast<std::uint32_t>((size + 31) / 32 * 4);
}

std::uint32_t ImageBytes(int size) {
  const auto pixels = static_cast<std::uint32_t>(size * size);
  return kBitmapHeaderSize + pixels * 4 + MaskStride(size) * static_cast<std::uint32_t>(size);
}

// The icon's pixel under (x, y) of its copy scaled to size.
std::uint32_t Scaled(const IconImage& icon, int size, int x, int y) {
  const int source_x = x * IconImage::kSize / size;
  const int source_y = y * IconImage::kSize / size;
  return icon.argb[static_cast<std::size_t>(source_y * IconImage::kSize + source_x)];
}

// BITMAPINFOHEADER: the height counts the colour image and the mask, one above the other.
void PutBitmapHeader(std::string& out, int size) {
  const auto side = static_cast<std::uint32_t>(size);
  PutU32(out, kBitmapHeaderSize);
  PutU32(out, side);
  PutU32(out, side * 2);
  PutU16(out, 1);   // planes
  PutU16(out, 32);  // bits per pixel
  PutU32(out, 0);   // BI_RGB
  PutU32(out, ImageBytes(size) - kBitmapHeaderSize);
  for (int unused = 0; unused < 4; ++unused) PutU32(out, 0);  // resolution, palette
}

void PutImage(std::string& out, const IconImage& icon, int size) {
  PutBitmapHeader(out, size);
  for (int y = size - 1; y >= 0; --y) {
    for (int x = 0; x < size; ++x) PutU32(out, Scaled(icon, size, x, y));  // BGRA, little-endian
  }
  for (int y = size - 1; y >= 0; --y) {
    std::string row(MaskStride(size), '\0');
    for (int x = 0; x < size; ++x) {
      if ((Scaled(icon, size, x, y) >> 24) == 0) {
        row[static_cast<std::size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
      }
    }
    out += row;
  }
}

}  // namespace

std::string IcoFile(const IconImage& icon, std::span<const int> sizes) {
  std::string out;
  PutU16(out, 0);
  PutU16(out, 1);  // an icon, not a cursor
  PutU16(out, static_cast<std::uint32_t>(sizes.size()));
  std::uint32_t offset = kDirectorySize + kEntrySize * static_cast<std::uint32_t>(sizes.size());
  for (const int size : sizes) {
    out.push_back(static_cast<char>(size % 256));  // width; 0 means 256
    out.push_back(static_cast<char>(size % 256));  // height
    PutU16(out, 0);                                // no palette, reserved
    PutU16(out, 1);                                // planes
    PutU16(out, 32);                               // bits per pixel
    PutU32(out, ImageBytes(size));
    PutU32(out, offset);
    offset += ImageBytes(size);
  }
  for (const int size : sizes) PutImage(out, icon, size);
  return out;
}

}  // namespace kelmora
