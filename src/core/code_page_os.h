#pragma once
// The system's side of the code page (code_page_posix.cpp, code_page_windows.cpp): the code page
// that text files hold when their lines are not UTF-8. On Linux that is CP932 (files from a
// Japanese Windows system) and lines are written in UTF-8; on Windows it is the system's ANSI
// code page, both ways.

#include <optional>
#include <string>
#include <string_view>

namespace kelmora {

// The UTF-8 form of bytes in the legacy code page; nullopt when they are not well-formed in it.
std::optional<std::string> LegacyToUtf8(std::string_view bytes);

// UTF-8 text in the code page lines are written in; nullopt when that is UTF-8 itself or the
// code page cannot hold every character of text.
std::optional<std::string> Utf8ToLegacy(std::string_view text);

}  // namespace kelmora
