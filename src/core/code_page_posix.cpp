#include <iconv.h>

#include <cerrno>

#include "core/code_page_os.h"

namespace kelmora {
namespace {

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

}  // namespace

std::optional<std::string> LegacyToUtf8(std::string_view bytes) {
  thread_local CodePage932 code_page;  // opened once, at the first line that needs it
  return code_page.Convert(bytes);
}

std::optional<std::string> Utf8ToLegacy(std::string_view /*text*/) {
  return std::nullopt;  // Linux writes UTF-8
}

}  // namespace kelmora
