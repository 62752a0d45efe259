#include "core/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <optional>

#include "core/utf8.h"

namespace kelmora {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Converts CP932 text to UTF-8; opened when the first line that is not UTF-8 needs it.
class CodePage932 {
 public:
  CodePage932() = default;
  CodePage932(const CodePage932&) = delete;
  CodePage932& operator=(const CodePage932&) = delete;
  ~CodePage932() {
    if (Opened()) iconv_close(converter_);
  }

  // The UTF-8 form of text; nullopt when text is not well-formed CP932 (a byte it does not map,
  // a lead byte cut off at the end).
  std::optional<std::string> Convert(std::string_view text) {
    if (!Opened()) converter_ = iconv_open("UTF-8", "CP932");
    if (!Opened()) return std::nullopt;
    iconv(converter_, nullptr, nullptr, nullptr, nullptr);  // a fresh start for each line
    std::string out;
    std::string chunk(4096, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t in_left = text.size();
    while (in_left > 0) {
      char* dest = chunk.data();
      std::size_t dest_left = chunk.size();
      const std::size_t result = iconv(converter_, &in, &in_left, &dest, &dest_left);
      const int error = errno;
      out.append(chunk.data(), chunk.size() - dest_left);
      if (result == static_cast<std::size_t>(-1) && error != E2BIG) return std::nullopt;
    }
    return out;
  }

 private:
  bool Opened() const { return converter_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t converter_ = reinterpret_cast<iconv_t>(-1);
};

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
  thread_local CodePage932 code_page;  // opened once, at the first line that needs it
  if (std::optional<std::string> converted = code_page.Convert(line)) return *converted;
  return std::string(line);  // a file name in bytes of its own: shown as it is
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
