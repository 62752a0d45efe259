#include "core/code_page.h"

#include <optional>

#include "core/code_page_os.h"
#include "core/utf8.h"

namespace kelmora {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

int CodePageBytes(char32_t value) {
  bool half_width_katakana = value >= 0xFF61 && value <= 0xFF9F;
  return value < 0x80 || half_width_katakana ? 1 : 2;
}

}  // namespace

std::string TextFileBytes(const std::vector<std::string>& lines) {
  std::string content;
  // A first line that itself begins with U+FEFF gets a byte-order mark before it, which the
  // reader takes off again, so the line keeps its own.
  if (!lines.empty() && lines.front().starts_with(kByteOrderMark)) content = kByteOrderMark;
  for (const auto& line : lines) {
    content += line;
    content += "\r\n";
  }
  return content;
}

std::vector<std::string> SplitLines(std::string_view content) {
  std::vector<std::string> lines;
  while (!content.empty()) {
    const std::size_t end = content.find('\n');
    std::string_view line = content.substr(0, end);
    if (end != std::string_view::npos && line.ends_with('\r')) line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    content.remove_prefix(end + 1);
  }
  return lines;
}

std::vector<std::string> FileLines(std::string_view content) {
  if (content.starts_with(kByteOrderMark)) content.remove_prefix(kByteOrderMark.size());
  return SplitLines(content);
}

std::string DecodeLine(std::string_view line) {
  if (IsValidUtf8(line)) return std::string(line);
  if (std::optional<std::string> converted = LegacyToUtf8(line)) return *converted;
  return std::string(line);  // a file name in bytes of its own: shown as it is
}

std::string EncodeLine(std::string_view text) {
  if (!IsValidUtf8(text)) return std::string(text);  // bytes read from a file: kept as they are
  if (std::optional<std::string> converted = Utf8ToLegacy(text)) return *converted;
  return std::string(text);
}

std::string CutToCodePageBytes(std::string_view text, std::size_t max_bytes) {
  std::size_t used = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    auto code_point = DecodeCodePoint(text, pos);
    CodePoint step = code_point.value_or(CodePoint{0xFFFD, 1});  // a stray byte counts as two
    std::size_t cost = static_cast<std::size_t>(CodePageBytes(step.value));
    if (used + cost > max_bytes) break;
    used += cost;
    pos += step.length;
  }
  return std::string(text.substr(0, pos));
}

}  // namespace kelmora
