#include "core/last_error.h"

#include <windows.h>

#include <string>

#include "core/wide_text.h"

namespace kelmora {
namespace {

// Win32 error codes with their messages from FormatMessageW.
class Win32Category : public std::error_category {
 public:
  const char* name() const noexcept override { return "win32"; }
  std::string message(int code) const override {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring_view message(text, length);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) {
      message.remove_suffix(1);
    }
    std::string utf8 = message.empty() ? "error " + std::to_string(code) : Utf8(message);
    LocalFree(text);
    return utf8;
  }
  std::error_condition default_error_condition(int code) const noexcept override {
    return std::system_category().default_error_condition(code);
  }
};

}  // namespace

std::error_code LastError() {
  static const Win32Category category;
  return {static_cast<int>(GetLastError()), category};
}

}  // namespace kelmora
