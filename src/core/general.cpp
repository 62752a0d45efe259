#include "core/general.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace kelmora::General {
namespace {

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
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

}  // namespace kelmora::General
