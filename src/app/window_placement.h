#pragma once
// Where the main window goes: its frame in the lower right corner of the desktop's work area.

#include <cstdint>

#include "core/pixels.h"

namespace kelmora {

struct TwipsPosition {
  std::int32_t left = 0;
  std::int32_t top = 0;
};

// Where the window goes so that its right and bottom edges meet the work area's (twips, 15 to
// the pixel), given its outer size in twips.
TwipsPosition GetWrkPosition(const PixelRect& work_area, std::int32_t outer_width_twips,
                             std::int32_t outer_height_twips);

}  // namespace kelmora
