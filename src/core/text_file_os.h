#pragma once
// The system's side of the text files (text_file_posix.cpp, text_file_windows.cpp): files made,
// written, flushed to disk, renamed and linked. Errors are std::error_code: errno values on
// Linux, Win32 error codes on Windows, both compared with std::errc.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace kelmora {

// A file open for writing, closed when it goes.
class WritableFile {
 public:
  // Makes a new file for writing; std::errc::file_exists when anything is at path already, a
  // symbolic link included: a link planted in the program's folder is never followed.
  static WritableFile CreateNew(const std::filesystem::path& path, std::error_code& error);
  // Opens path to append to, making it when missing; only an ordinary file of its own: a
  // symbolic link is not followed, and a pipe or device is not written to (nor waited on).
  static WritableFile OpenToAppend(const std::filesystem::path& path, std::error_code& error);

  WritableFile() = default;
  WritableFile(WritableFile&& other) noexcept;
  WritableFile& operator=(WritableFile&& other) noexcept;
  WritableFile(const WritableFile&) = delete;
  WritableFile& operator=(const WritableFile&) = delete;
  ~WritableFile();

  bool IsOpen() const { return handle_ != kClosed; }
  // Writes all of bytes.
  std::error_code Write(std::string_view bytes);
  // Gives the file the permissions of the old file at target (a private file stays private);
  // the empty text, else why it could not. A file with no old one keeps those it was made with.
  std::string KeepPermissionsOf(const std::filesystem::path& target);
  // Flushes what was written to the disk.
  std::error_code Flush();
  std::error_code Close();

 private:
  static constexpr std::intptr_t kClosed = -1;
  explicit WritableFile(std::intptr_t handle) : handle_(handle) {}
  std::intptr_t handle_ = kClosed;  // the file descriptor, or the HANDLE
};

// The number of this process, which its temporary files are named with.
long ProcessNumber();

// Renames from over to, replacing the file to names, the rename written through to the disk.
std::error_code MoveOver(const std::filesystem::path& from, const std::filesystem::path& to);

// Renames from to a name nothing holds yet (a link planted there is neither followed nor
// replaced).
std::error_code RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to);

// Gives the file at file the new name copy too (a hard link).
std::error_code HardLink(const std::filesystem::path& file, const std::filesystem::path& copy);

// Copies the bytes of from into the new file to; the empty text, else why it failed. A failed
// copy is removed again.
std::string CopyToNew(const std::filesystem::path& from, const std::filesystem::path& to);

// Makes a rename in folder durable; the empty text, else why it could not.
std::string SyncFolder(const std::filesystem::path& folder);

}  // namespace kelmora
