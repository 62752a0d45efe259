#pragma once
// The 16x16 icon image as a Win32 icon: scaled to the size asked for by nearest neighbour (whole
// pixels stay crisp), its transparent background kept in the alpha channel and in the mask.

#include <windows.h>

#include <memory>
#include <type_traits>

#include "core/pixels.h"

namespace kelmora {

struct IconDestroyer {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
// An icon handle that destroys its icon.
using OwnedIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroyer>;

// The icon of image at size x size pixels; null when Windows cannot make it.
OwnedIcon MakeIcon(const IconImage& image, int size);

// The size of the icons in the notification area and in title bars (SM_CXSMICON).
int SmallIconSize();

}  // namespace kelmora
