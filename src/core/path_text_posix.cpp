#include "core/path_text.h"

namespace kelmora {

std::filesystem::path PathOf(std::string_view text) {
  return std::filesystem::path(text);
}

std::string PathText(const std::filesystem::path& path) {
  return path.string();
}

}  // namespace kelmora
