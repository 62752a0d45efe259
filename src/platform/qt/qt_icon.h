#pragma once
// Turns the program's 16x16 icons into Qt images and icons.

#include <QIcon>
#include <QImage>

#include "platform/services.h"

namespace kelmora {

// The 16x16 icon as an ARGB32 image.
QImage ToQImage(const IconImage& icon);

// The icon with integer-scaled copies (16, 32, 48, 64 px, nearest neighbour) and the face
// centred in 22 and 24 px, so trays and title bars of those sizes show crisp pixels, not a blur.
QIcon ToQIcon(const IconImage& icon);

}  // namespace kelmora
