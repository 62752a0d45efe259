#include <windows.h>

#include <system_error>

#include "core/fingerprint.h"

namespace kelmora {
namespace {

std::string Reason(std::string_view what, DWORD error_number) {
  return std::string(what) + ": " + std::system_category().message(static_cast<int>(error_number));
}

}  // namespace

std::string ReadFileChunks(const std::filesystem::path& path,
                           const std::function<bool(std::string_view chunk)>& take, bool& missing) {
  // Others may read, write, rename or delete the file meanwhile, as on Linux.
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  const DWORD open_error = GetLastError();
  missing = file == INVALID_HANDLE_VALUE &&
            (open_error == ERROR_FILE_NOT_FOUND || open_error == ERROR_PATH_NOT_FOUND);
  if (file == INVALID_HANDLE_VALUE) return Reason("cannot open the file", open_error);
  std::string error;
  char buffer[65536];
  for (;;) {
    DWORD count = 0;
    if (ReadFile(file, buffer, sizeof buffer, &count, nullptr) == 0) {
      error = Reason("cannot read the file", GetLastError());
      break;
    }
    if (count == 0 || !take({buffer, count})) break;
  }
  if (CloseHandle(file) == 0 && error.empty())
    error = Reason("cannot close the file", GetLastError());
  return error;
}

}  // namespace kelmora
