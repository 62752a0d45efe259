#include "ico_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace kelmora {
namespace {

std::uint32_t U16(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint8_t>(bytes.at(at)) |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes.at(at + 1))) << 8;
}
std::uint32_t U32(const std::string& bytes, std::size_t at) {
  return U16(bytes, at) | U16(bytes, at + 2) << 16;
}

// Every pixel different, the left column transparent, so a flip or a shift shows.
IconImage Pattern() {
  IconImage icon;
  for (std::size_t i = 0; i < icon.argb.size(); ++i) {
    icon.argb[i] = i % IconImage::kSize == 0 ? 0u : 0xFF000000u | static_cast<std::uint32_t>(i);
  }
  return icon;
}

TEST(IcoFile, EachSizeIsTheIconScaledByNearestNeighbourWithItsMask) {
  const std::vector<int> sizes = {16, 32, 48};
  const IconImage icon = Pattern();
  const std::string ico = IcoFile(icon, sizes);
  ASSERT_EQ(U32(ico, 0), 0x10000u);  // reserved 0, type 1 (icon)
  ASSERT_EQ(U16(ico, 4), sizes.size());
  for (std::size_t entry = 0; entry < sizes.size(); ++entry) {
    const int size = sizes[entry];
    SCOPED_TRACE(size);
    const std::size_t at = 6 + entry * 16;
    EXPECT_EQ(U16(ico, at), static_cast<std::uint32_t>(size * 257));  // width, height
    EXPECT_EQ(U16(ico, at + 6), 32u);
    const std::size_t image = U32(ico, at + 12);
    const std::size_t stride = (size + 31) / 32 * 4;
    ASSERT_EQ(U32(ico, at + 8), 40 + size * size * 4 + stride * size);
    ASSERT_LE(image + U32(ico, at + 8), ico.size());
    EXPECT_EQ(U32(ico, image + 8), static_cast<std::uint32_t>(2 * size));
    const std::size_t mask = image + 40 + size * size * 4;
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        const std::size_t row = size - 1 - y;  // bottom-up
        const std::uint32_t want = icon.argb[(y * 16 / size) * 16 + x * 16 / size];
        ASSERT_EQ(U32(ico, image + 40 + (row * size + x) * 4), want) << x << "," << y;
        const bool masked = (ico.at(mask + row * stride + x / 8) & (0x80 >> (x % 8))) != 0;
        ASSERT_EQ(masked, want == 0u) << x << "," << y;
      }
    }
  }
}

}  // namespace
}  // namespace kelmora
