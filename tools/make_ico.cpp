// Writes the program's own 16x16 icon as a Windows icon file, for kelmora.exe's resources.
// Usage: kelmora_make_ico OUTPUT.ico SIZE...   (each size a whole multiple of 16, up to 256)

#include <charconv>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ico_file.h"
#include "render/clock_face.h"

namespace {

// A size argument: a whole multiple of 16 from 16 to 256, or nothing.
std::optional<int> ReadSize(std::string_view text) {
  int size = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (size <= 0 || size > 256 || size % kelmora::IconImage::kSize != 0) return std::nullopt;
  return size;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: kelmora_make_ico OUTPUT.ico SIZE...\n", stderr);
    return 2;
  }
  std::vector<int> sizes;
  for (int i = 2; i < argc; ++i) {
    const std::optional<int> size = ReadSize(argv[i]);
    if (!size) {
      std::fprintf(stderr, "kelmora_make_ico: '%s' is not a multiple of 16 up to 256\n", argv[i]);
      return 2;
    }
    sizes.push_back(*size);
  }
  const std::string bytes = kelmora::IcoFile(kelmora::ProgramIcon(), sizes);
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "kelmora_make_ico: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
