#include "core/utf8.h"

namespace kelmora {
namespace {

bool IsContinuationByte(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

}  // namespace

std::optional<CodePoint> DecodeCodePoint(std::string_view text, std::size_t pos) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return CodePoint{lead, 1};
  const std::size_t length = lead >= 0xF0 ? 4 : (lead >= 0xE0 ? 3 : (lead >= 0xC0 ? 2 : 0));
  if (length == 0 || lead > 0xF4 || pos + length > text.size()) return std::nullopt;
  char32_t value = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuationByte(static_cast<char>(byte(i)))) return std::nullopt;
    value = (value << 6) | (byte(i) & 0x3F);
  }
  constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
  if (value < kSmallest[length] || value > 0x10FFFF || surrogate) return std::nullopt;
  return CodePoint{value, length};
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const auto code_point = DecodeCodePoint(text, pos);
    if (!code_point) return false;
    pos += code_point->length;
  }
  return true;
}

std::string_view FirstCharacters(std::string_view text, std::size_t count) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsContinuationByte(text[i]) && count-- == 0) return text.substr(0, i);
  }
  return text;
}

std::size_t LastCharacterStart(std::string_view text) {
  std::size_t start = text.empty() ? 0 : text.size() - 1;
  while (start > 0 && IsContinuationByte(text[start])) --start;
  return start;
}

}  // namespace kelmora
