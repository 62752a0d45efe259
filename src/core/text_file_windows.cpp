#include <windows.h>

#include <algorithm>
#include <utility>

#include "core/last_error.h"
#include "core/text_file_os.h"

namespace kelmora {
namespace {

namespace fs = std::filesystem;

std::error_code ErrorOf(BOOL succeeded) {
  return succeeded != 0 ? std::error_code{} : LastError();
}

HANDLE HandleOf(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

// True when the open file is an ordinary file of its own: on the disk, no folder, no link.
bool IsOrdinary(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info{};
  return GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info) != 0 &&
         (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

}  // namespace

// A link (a reparse point) is opened as itself, never followed.
WritableFile WritableFile::CreateNew(const fs::path& path, std::error_code& error) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  error = file == INVALID_HANDLE_VALUE ? LastError() : std::error_code{};
  return WritableFile(reinterpret_cast<std::intptr_t>(file));
}

WritableFile WritableFile::OpenToAppend(const fs::path& path, std::error_code& error) {
  WritableFile file(reinterpret_cast<std::intptr_t>(
      CreateFileW(path.c_str(), FILE_APPEND_DATA | SYNCHRONIZE, FILE_SHARE_READ, nullptr,
                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)));
  error = file.IsOpen() ? std::error_code{} : LastError();
  if (file.IsOpen() && !IsOrdinary(HandleOf(file.handle_))) {
    error = std::make_error_code(std::errc::invalid_argument);
    return {};
  }
  return file;
}

std::error_code WritableFile::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    constexpr std::size_t kMostAtOnce = 1U << 30U;  // WriteFile counts in a DWORD
    DWORD written = 0;
    const auto size = static_cast<DWORD>(std::min(bytes.size(), kMostAtOnce));
    if (WriteFile(HandleOf(handle_), bytes.data(), size, &written, nullptr) == 0) {
      return LastError();
    }
    bytes.remove_prefix(written);
  }
  return {};
}

// The new file has the permissions its folder passes on, as the old file had.
std::string WritableFile::KeepPermissionsOf(const fs::path& /*target*/) {
  return {};
}

std::error_code WritableFile::Flush() {
  return ErrorOf(FlushFileBuffers(HandleOf(handle_)));
}

std::error_code WritableFile::Close() {
  if (!IsOpen()) return {};
  return ErrorOf(CloseHandle(HandleOf(std::exchange(handle_, kClosed))));
}

long ProcessNumber() {
  return static_cast<long>(GetCurrentProcessId());
}

// Not _wrename, which never replaces a file.
std::error_code MoveOver(const fs::path& from, const fs::path& to) {
  return ErrorOf(
      MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

std::error_code RenameNoReplace(const fs::path& from, const fs::path& to) {
  return ErrorOf(MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH));
}

std::error_code HardLink(const fs::path& file, const fs::path& copy) {
  return ErrorOf(CreateHardLinkW(copy.c_str(), file.c_str(), nullptr));
}

// CopyFileW removes a copy it could not finish.
std::string CopyToNew(const fs::path& from, const fs::path& to) {
  if (CopyFileW(from.c_str(), to.c_str(), TRUE) != 0) return {};
  return LastError().message();
}

// MoveOver writes the rename through to the disk already.
std::string SyncFolder(const fs::path& /*folder*/) {
  return {};
}

}  // namespace kelmora
