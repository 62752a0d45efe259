#include "core/wav_header.h"

#include <optional>

namespace kelmora {
namespace {

std::uint32_t Little32(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

std::uint16_t Little16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

// The bytes of one frame (all channels of one sample) from a "fmt " chunk; nullopt when the
// format is not one the player takes.
std::optional<std::uint32_t> FrameBytes(std::string_view fmt) {
  if (fmt.size() < 16) return std::nullopt;
  const std::uint16_t format = Little16(fmt, 0);
  const std::uint16_t channels = Little16(fmt, 2);
  const std::uint32_t rate = Little32(fmt, 4);
  const std::uint16_t bits = Little16(fmt, 14);
  const bool pcm_or_float = format == 1 || format == 3 || format == 0xFFFE;
  if (!pcm_or_float || channels < 1 || channels > 8 || rate == 0) return std::nullopt;
  if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return std::nullopt;
  return channels * (bits / 8u);
}

}  // namespace

bool WavLooksPlayable(std::string_view head, std::uint64_t file_size) {
  if (head.size() < 12 || head.substr(0, 4) != "RIFF" || head.substr(8, 4) != "WAVE") {
    return false;
  }
  std::optional<std::uint32_t> frame;
  std::size_t at = 12;
  while (at + 8 <= head.size()) {
    const std::string_view id = head.substr(at, 4);
    const std::uint64_t size = Little32(head, at + 4);
    const std::uint64_t body = at + 8;
    if (id == "fmt ") {
      if (body + size > head.size()) return false;
      frame = FrameBytes(head.substr(body, size));
      if (!frame) return false;
    } else if (id == "data") {
      // The samples may lie beyond the bytes looked at: the file's size tells whether they exist.
      return frame && size >= *frame && file_size >= body + *frame;
    }
    at = body + size + (size & 1);  // chunks are padded to an even size
  }
  return false;
}

}  // namespace kelmora
