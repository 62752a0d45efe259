#include <windows.h>

#include "core/code_page_os.h"
#include "core/wide_text.h"

namespace kelmora {

std::optional<std::string> LegacyToUtf8(std::string_view bytes) {
  const int size = static_cast<int>(bytes.size());
  const int length =
      MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length);
  return Utf8(wide);
}

std::optional<std::string> Utf8ToLegacy(std::string_view text) {
  if (GetACP() == CP_UTF8) return std::nullopt;
  const std::wstring wide = Wide(text);
  const int size = static_cast<int>(wide.size());
  // No best fit: a character the code page lacks is not written as a look-alike.
  BOOL used_default = FALSE;
  const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr,
                                         0, nullptr, &used_default);
  if (length <= 0 || used_default) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, bytes.data(), length,
                      nullptr, nullptr);
  return bytes;
}

}  // namespace kelmora
