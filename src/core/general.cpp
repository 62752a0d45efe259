#include "core/general.h"

#include "core/twips.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <limits>

namespace kelmora::General {
namespace {

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

std::int32_t ClampToInt32(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

std::string PathWithSep(std::string& path) {
  constexpr char kSeparator = std::filesystem::path::preferred_separator;
  if (path.empty() || path.back() != kSeparator) path += kSeparator;
  return path;
}

std::int32_t WorkArea(const PixelRect& work_area, std::string_view name) {
  std::string key = LowerCase(name);
  if (key == "left") return work_area.left;
  if (key == "top") return work_area.top;
  if (key == "width") return work_area.right;
  if (key == "height") return work_area.bottom;
  return 0;
}

TwipsPosition GetWrkPosition(const PixelRect& work_area, std::int32_t outer_width_twips,
                             std::int32_t outer_height_twips) {
  std::int64_t right = WorkArea(work_area, "width");
  std::int64_t bottom = WorkArea(work_area, "height");
  return {ClampToInt32(right * kTwipsPerPixel - outer_width_twips),
          ClampToInt32(bottom * kTwipsPerPixel - outer_height_twips)};
}

}  // namespace kelmora::General
