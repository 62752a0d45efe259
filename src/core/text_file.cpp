#include "core/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "core/code_page.h"

namespace kelmora {
namespace {

namespace fs = std::filesystem;

std::string Reason(std::string_view what, int error_number) {
  return std::string(what) + ": " + std::strerror(error_number);
}

std::string WriteAll(int descriptor, std::string_view content) {
  while (!content.empty()) {
    ssize_t written = ::write(descriptor, content.data(), content.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return Reason("cannot write the temporary file", errno);
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

std::string ReadAll(int descriptor, std::string& content) {
  char buffer[65536];
  for (;;) {
    ssize_t count = ::read(descriptor, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return Reason("cannot read the file", errno);
    if (count == 0) return {};
    content.append(buffer, static_cast<std::size_t>(count));
  }
}

// Writes, flushes to disk and closes the temporary file; closes it in every case.
std::string FillTemporary(int descriptor, const fs::path& target, std::string_view content) {
  std::string error = WriteAll(descriptor, content);
  struct stat old_file {};
  if (error.empty() && ::stat(target.c_str(), &old_file) == 0) {
    ::fchmod(descriptor, old_file.st_mode & 07777);  // keep the old file's permissions
  }
  if (error.empty() && ::fsync(descriptor) != 0) error = Reason("cannot flush the file", errno);
  if (::close(descriptor) != 0 && error.empty()) error = Reason("cannot close the file", errno);
  return error;
}

// Makes the rename itself durable; a folder that cannot be synced loses nothing written.
void SyncFolder(const fs::path& folder) {
  int descriptor =
      ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  ::fsync(descriptor);
  ::close(descriptor);
}

constexpr std::string_view kTemporaryInfix = ".tmp-";

// The name of a temporary file of the writer: "<name>.tmp-<process>-<attempt>".
std::string TemporaryName(const std::string& name, long process, int attempt) {
  return name + std::string(kTemporaryInfix) + std::to_string(process) + "-" +
         std::to_string(attempt);
}

bool AllDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// True when file_name is a name TemporaryName gives for name, and nothing else.
bool IsTemporaryName(std::string_view file_name, std::string_view name) {
  if (!file_name.starts_with(name)) return false;
  file_name.remove_prefix(name.size());
  if (!file_name.starts_with(kTemporaryInfix)) return false;
  file_name.remove_prefix(kTemporaryInfix.size());
  const std::size_t dash = file_name.find('-');
  return dash != std::string_view::npos && AllDigits(file_name.substr(0, dash)) &&
         AllDigits(file_name.substr(dash + 1));
}

// Follows symbolic links from path to the file they name (which need not exist yet); a loop or
// a link that cannot be read leaves the path where it got to.
fs::path FollowLinks(fs::path path) {
  constexpr int kMostLinks = 40;  // as the kernel allows in one path
  for (int hop = 0; hop < kMostLinks; ++hop) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(path, error))) break;
    const fs::path target = fs::read_symlink(path, error);
    if (error) break;
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  return path;
}

// Creates "<path>.tmp-<process>-<n>" for writing and sets temporary to its name; -1 on failure.
// A new file gets the permissions the user's umask gives (as any file the user creates).
int CreateTemporary(const fs::path& path, std::string& temporary) {
  constexpr int kAttempts = 100;  // names left by earlier processes of the same number are skipped
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    temporary = TemporaryName(path.string(), ::getpid(), attempt);
    const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor >= 0 || errno != EEXIST) return descriptor;
  }
  return -1;
}

std::string CreateFolderOf(const fs::path& path) {
  fs::path folder = path.parent_path();
  if (folder.empty()) return {};
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) return "cannot create the folder " + folder.string() + ": " + error.message();
  return {};
}

fs::path AsideName(const fs::path& path, int attempt) {
  fs::path aside = path;
  aside += attempt == 0 ? ".bad" : ".bad" + std::to_string(attempt + 1);
  return aside;
}

bool ExistsAnything(const fs::path& path) {
  std::error_code error;
  return fs::symlink_status(path, error).type() != fs::file_type::not_found;
}

// Why path, which exists, cannot be read as an ordinary file; empty when it can.
std::string WhyNotOrdinary(const fs::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return Reason("cannot look at the file", errno);
  if (S_ISDIR(info.st_mode)) return "it is a folder, not a file";
  if (!S_ISREG(info.st_mode)) return "it is not an ordinary file";
  return {};
}

// Reads the whole file into decoded lines; returns why it failed, or empty.
std::string ReadWhole(const fs::path& path, std::vector<std::string>& lines) {
  int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return Reason("cannot open the file", errno);
  std::string content;
  std::string error = ReadAll(descriptor, content);
  ::close(descriptor);
  if (error.empty()) lines = DecodeLines(content);
  return error;
}

}  // namespace

bool IsOrdinaryFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

TextFileRead ReadTextLines(const fs::path& path) {
  TextFileRead result;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
    return result;  // kMissing: nothing is there (or a link to nothing yet)
  }
  result.status = TextFileRead::Status::kFailed;
  result.error = WhyNotOrdinary(path);
  if (result.error.empty()) result.error = ReadWhole(path, result.lines);
  if (result.error.empty()) result.status = TextFileRead::Status::kRead;
  return result;
}

// Not QSaveFile (besides core having no Qt): Qt 6.4's syncs the file but never the folder after
// its rename, so the new name could still be lost in a crash.
std::string WriteTextLinesSafely(const fs::path& link_or_file,
                                 const std::vector<std::string>& lines) {
  // A symbolic link (as dotfile managers set up) stays a link: its target is replaced.
  const fs::path path = FollowLinks(link_or_file);
  if (std::string error = CreateFolderOf(path); !error.empty()) return error;
  std::string temporary;
  const int descriptor = CreateTemporary(path, temporary);
  if (descriptor < 0)
    return Reason("cannot create a temporary file in " + path.parent_path().string(), errno);
  std::string error = FillTemporary(descriptor, path, TextFileBytes(lines));
  if (error.empty() && std::rename(temporary.c_str(), path.c_str()) != 0) {
    error = Reason("cannot replace the file", errno);
  }
  if (!error.empty()) {
    ::unlink(temporary.c_str());
    return error;
  }
  SyncFolder(path.parent_path());
  return {};
}

std::string AppendTextLines(const fs::path& path, const std::vector<std::string>& lines) {
  if (std::string error = CreateFolderOf(FollowLinks(path)); !error.empty()) return error;
  const int descriptor = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (descriptor < 0) return Reason("cannot open the file", errno);
  std::string content;
  for (const std::string& line : lines) content.append(line).append("\r\n");
  std::string error = WriteAll(descriptor, content);
  if (::close(descriptor) != 0 && error.empty()) error = Reason("cannot close the file", errno);
  return error;
}

void RemoveStaleTemporaries(const fs::path& path) {
  std::error_code error;
  const fs::path target = FollowLinks(path);
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  const std::string name = target.filename().string();
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    if (IsTemporaryName(entry.path().filename().string(), name) && entry.is_regular_file(error)) {
      fs::remove(entry.path(), error);
    }
  }
}

std::string MoveAside(const fs::path& path) {
  // An older "<name>.bad" is kept: the next free "<name>.bad2", "<name>.bad3"... is taken.
  constexpr int kAttempts = 100;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    fs::path aside = AsideName(path, attempt);
    if (ExistsAnything(aside)) continue;
    if (std::rename(path.c_str(), aside.c_str()) != 0) {
      return Reason("cannot move the file aside to " + aside.string(), errno);
    }
    return {};
  }
  return "cannot move the file aside: too many " + AsideName(path, 0).filename().string() +
         " files";
}

}  // namespace kelmora
