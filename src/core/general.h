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

}  // namespace kelmora::General
