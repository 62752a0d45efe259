#include "app/window_placement.h"

#include <algorithm>
#include <limits>

#include "core/general.h"
#include "core/twips.h"

namespace kelmora {
namespace {

std::int32_t ClampToInt32(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

TwipsPosition GetWrkPosition(const PixelRect& work_area, std::int32_t outer_width_twips,
                             std::int32_t outer_height_twips) {
  const std::int64_t right = General::WorkArea(work_area, "width");
  const std::int64_t bottom = General::WorkArea(work_area, "height");
  return {ClampToInt32(right * kTwipsPerPixel - outer_width_twips),
          ClampToInt32(bottom * kTwipsPerPixel - outer_height_twips)};
}

}  // namespace kelmora
