#include "core/wav_header.h"

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

constexpr std::uint16_t kPcm = 1;
constexpr std::uint16_t kFloat = 3;
constexpr std::uint16_t kExtensible = 0xFFFE;  // the real format code follows in a sub-format

std::optional<WavSamples> SamplesOf(std::uint16_t format, std::uint16_t bits) {
  if (format == kFloat) return bits == 32 ? std::optional(WavSamples::kFloat32) : std::nullopt;
  if (format != kPcm) return std::nullopt;
  switch (bits) {
    case 8:
      return WavSamples::kUnsigned8;
    case 16:
      return WavSamples::kSigned16;
    case 24:
      return WavSamples::kSigned24;
    case 32:
      return WavSamples::kSigned32;
    default:
      return std::nullopt;
  }
}

// The format a "fmt " chunk describes, without the data's place; nullopt when the player does not
// take it.
std::optional<WavFormat> FormatOf(std::string_view fmt) {
  if (fmt.size() < 16) return std::nullopt;
  std::uint16_t format = Little16(fmt, 0);
  if (format == kExtensible) {
    if (fmt.size() < 40) return std::nullopt;
    format = Little16(fmt, 24);  // the first two bytes of the sub-format's GUID
  }
  const std::uint16_t channels = Little16(fmt, 2);
  const std::uint32_t rate = Little32(fmt, 4);
  const std::uint16_t bits = Little16(fmt, 14);
  const std::optional<WavSamples> samples = SamplesOf(format, bits);
  if (!samples || channels < 1 || channels > 8 || rate < kWavMinRate || rate > kWavMaxRate) {
    return std::nullopt;
  }
  return WavFormat{
      .samples = *samples, .channels = channels, .rate = rate, .frame_bytes = channels * bits / 8};
}

// Places the data chunk whose body starts at offset and claims size bytes; false when it holds
// no frame the player could use.
bool PlaceData(WavFormat& format, std::uint64_t offset, std::uint64_t size,
               std::uint64_t file_size) {
  const std::uint64_t in_file = file_size > offset ? file_size - offset : 0;
  const bool cut = size > in_file;
  const std::uint64_t frames = (cut ? in_file : size) / format.frame_bytes;
  if (frames == 0 || (cut && frames < format.rate / 10)) return false;
  format.data_offset = offset;
  format.data_bytes = frames * format.frame_bytes;
  return true;
}

}  // namespace

std::optional<WavFormat> ReadWavFormat(std::string_view head, std::uint64_t file_size) {
  if (head.size() < 12 || head.substr(0, 4) != "RIFF" || head.substr(8, 4) != "WAVE") {
    return std::nullopt;
  }
  std::optional<WavFormat> format;
  std::size_t at = 12;
  while (at + 8 <= head.size()) {
    const std::string_view id = head.substr(at, 4);
    const std::uint64_t size = Little32(head, at + 4);
    const std::uint64_t body = at + 8;
    if (id == "fmt ") {
      if (body + size > head.size()) return std::nullopt;
      format = FormatOf(head.substr(body, size));
      if (!format) return std::nullopt;
    } else if (id == "data") {
      // The samples lie mostly beyond the bytes looked at: the file's size says how many exist.
      if (!format || !PlaceData(*format, body, size, file_size)) return std::nullopt;
      return format;
    }
    at = body + size + (size & 1);  // chunks are padded to an even size
  }
  return std::nullopt;
}

void WidenSamples24(const char* in, std::size_t count, char* out) {
  for (std::size_t i = 0; i < count; ++i) {
    out[4 * i] = 0;
    out[4 * i + 1] = in[3 * i];
    out[4 * i + 2] = in[3 * i + 1];
    out[4 * i + 3] = in[3 * i + 2];
  }
}

}  // namespace kelmora
