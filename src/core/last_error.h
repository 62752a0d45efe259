#pragma once
// Windows only: the calling thread's last Win32 error as a std::error_code whose message is UTF-8
// (std::system_category's is in the ANSI code page), compared with std::errc as that one is.

#include <system_error>

namespace kelmora {

// GetLastError() as an error code.
std::error_code LastError();

}  // namespace kelmora
