#pragma once
// General: small routines of the main window and the files.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/pixels.h"

namespace kelmora::General {

// The path ending in the platform's separator; path itself is changed to that too.
std::string PathWithSep(std::string& path);

// An edge of the work area by name, letter case ignored: "left", "top", "width" (the right edge),
// "height" (the bottom edge); any other name 0.
std::int32_t WorkArea(const PixelRect& work_area, std::string_view name);

struct TwipsPosition {
  std::int32_t left = 0;
  std::int32_t top = 0;
};

// Where the window goes so that its right and bottom edges meet the work area's (twips, 15 to
// the pixel), given its outer size in twips.
TwipsPosition GetWrkPosition(const PixelRect& work_area, std::int32_t outer_width_twips,
                             std::int32_t outer_height_twips);

}  // namespace kelmora::General
