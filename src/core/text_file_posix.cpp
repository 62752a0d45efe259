#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "core/fingerprint.h"
#include "core/text_file_os.h"

namespace kelmora {
namespace {

namespace fs = std::filesystem;

std::error_code LastError() {
  return {errno, std::generic_category()};
}

std::error_code ErrorOf(int result) {
  return result == 0 ? std::error_code{} : LastError();
}

std::string Reason(std::string_view what, int error_number) {
  return std::string(what) + ": " + std::strerror(error_number);
}

}  // namespace

WritableFile WritableFile::CreateNew(const fs::path& path, std::error_code& error) {
  const int descriptor =
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  error = descriptor < 0 ? LastError() : std::error_code{};
  return WritableFile(descriptor);
}

WritableFile WritableFile::OpenToAppend(const fs::path& path, std::error_code& error) {
  WritableFile file(::open(
      path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666));
  error = file.IsOpen() ? std::error_code{} : LastError();
  struct stat info {};
  if (file.IsOpen() &&
      (::fstat(static_cast<int>(file.handle_), &info) != 0 || !S_ISREG(info.st_mode))) {
    error = std::make_error_code(std::errc::invalid_argument);
    return {};
  }
  return file;
}

std::error_code WritableFile::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(static_cast<int>(handle_), bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return LastError();
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

std::string WritableFile::KeepPermissionsOf(const fs::path& target) {
  struct stat old_file {};
  if (::stat(target.c_str(), &old_file) != 0) {
    if (errno == ENOENT) return {};
    return Reason("cannot look at the old file's permissions", errno);
  }
  if (::fchmod(static_cast<int>(handle_), old_file.st_mode & 07777) != 0) {
    return Reason("cannot give the new file the old file's permissions", errno);
  }
  return {};
}

std::error_code WritableFile::Flush() {
  return ErrorOf(::fsync(static_cast<int>(handle_)));
}

std::error_code WritableFile::Close() {
  if (!IsOpen()) return {};
  return ErrorOf(::close(static_cast<int>(std::exchange(handle_, kClosed))));
}

long ProcessNumber() {
  return ::getpid();
}

std::error_code MoveOver(const fs::path& from, const fs::path& to) {
  return ErrorOf(std::rename(from.c_str(), to.c_str()));
}

// A file system that cannot tell gets a plain rename.
std::error_code RenameNoReplace(const fs::path& from, const fs::path& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
  if (errno != EINVAL && errno != ENOSYS) return LastError();
  return ErrorOf(std::rename(from.c_str(), to.c_str()));
}

std::error_code HardLink(const fs::path& file, const fs::path& copy) {
  return ErrorOf(::link(file.c_str(), copy.c_str()));
}

std::string CopyToNew(const fs::path& from, const fs::path& to) {
  std::error_code error;
  WritableFile target = WritableFile::CreateNew(to, error);
  if (!target.IsOpen()) return error.message();
  bool missing = false;
  std::string reason = ReadFileChunks(
      from,
      [&target, &error](std::string_view chunk) {
        error = target.Write(chunk);
        return !error;
      },
      missing);
  if (reason.empty() && error) reason = "cannot write the copy: " + error.message();
  if (const std::error_code closed = target.Close(); closed && reason.empty()) {
    reason = "cannot close the copy: " + closed.message();
  }
  if (!reason.empty()) ::unlink(to.c_str());
  return reason;
}

std::string SyncFolder(const fs::path& folder) {
  const int descriptor =
      ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return Reason("cannot open its folder to flush it to disk", errno);
  std::string error;
  if (::fsync(descriptor) != 0) error = Reason("cannot flush its folder to disk", errno);
  if (::close(descriptor) != 0 && error.empty()) {
    error = Reason("cannot close its folder after flushing it", errno);
  }
  return error;
}

}  // namespace kelmora
