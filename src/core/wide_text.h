#pragma once
// Windows only: the program's UTF-8 text as the wide (UTF-16) text of the Win32 calls and back.
// Everything inside the program is UTF-8; these are used only where a Win32 call is made.

#include <string>
#include <string_view>

namespace kelmora {

// UTF-16 of UTF-8 text; a byte that is not UTF-8 becomes U+FFFD.
std::wstring Wide(std::string_view utf8);
// UTF-8 of UTF-16 text; a lone surrogate becomes U+FFFD.
std::string Utf8(std::wstring_view wide);

}  // namespace kelmora
