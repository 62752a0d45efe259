#pragma once
// The Windows icon file (.ico) of a 16x16 icon: one 32-bit image for each size, each scaled up by
// nearest neighbour so every pixel stays a crisp square. Qt-free.

#include <span>
#include <string>

#include "core/pixels.h"

namespace kelmora {

// The bytes of an .ico file holding the icon at each of sizes (whole multiples of 16, at most
// 256), in that order. Each image is a bottom-up BGRA bitmap with its AND mask, the mask set
// where the icon is transparent, so every version of Windows shows it.
std::string IcoFile(const IconImage& icon, std::span<const int> sizes);

}  // namespace kelmora
