#include "core/path_text.h"

#include "core/wide_text.h"

namespace kelmora {

std::filesystem::path PathOf(std::string_view text) {
  return std::filesystem::path(Wide(text));
}

std::string PathText(const std::filesystem::path& path) {
  return Utf8(path.native());
}

}  // namespace kelmora
