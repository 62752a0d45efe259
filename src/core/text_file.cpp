#include "core/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

#include "core/code_page.h"
#include "core/fingerprint.h"

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
    if (written < 0) return Reason("cannot write the file", errno);
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

// Gives the new file the old file's permissions (a private file stays private); a new file keeps
// those its creation gave.
std::string KeepPermissions(int descriptor, const fs::path& target) {
  struct stat old_file {};
  if (::stat(target.c_str(), &old_file) != 0) {
    if (errno == ENOENT) return {};
    return Reason("cannot look at the old file's permissions", errno);
  }
  if (::fchmod(descriptor, old_file.st_mode & 07777) != 0) {
    return Reason("cannot give the new file the old file's permissions", errno);
  }
  return {};
}

// Writes, flushes to disk and closes the temporary file; closes it in every case.
std::string FillTemporary(int descriptor, const fs::path& target, std::string_view content) {
  std::string error = WriteAll(descriptor, content);
  if (error.empty()) error = KeepPermissions(descriptor, target);
  if (error.empty() && ::fsync(descriptor) != 0) error = Reason("cannot flush the file", errno);
  if (::close(descriptor) != 0 && error.empty()) error = Reason("cannot close the file", errno);
  return error;
}

// Makes the rename itself durable. Returns why it could not, or empty.
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

// Makes a new file for writing and opens it; -1 (errno set) when anything, a symbolic link
// included, is there already: a link planted in the program's folder is never followed.
int CreateNew(const fs::path& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

// Creates "<path>.tmp-<process>-<n>" for writing and sets temporary to its name; -1 on failure.
// A new file gets the permissions the user's umask gives (as any file the user creates).
int CreateTemporary(const fs::path& path, std::string& temporary) {
  int descriptor = -1;
  int error_number = 0;
  // Names left by earlier processes of the same number are skipped.
  const auto made = MakeUnderFreeName(
      [&path](int attempt) { return fs::path(TemporaryName(path.string(), ::getpid(), attempt)); },
      [&descriptor](const fs::path& name) {
        descriptor = CreateNew(name);
        return descriptor >= 0 ? 0 : errno;
      },
      error_number);
  if (!made) {
    errno = error_number;
    return -1;
  }
  temporary = made->string();
  return descriptor;
}

std::string CreateFolderOf(const fs::path& path) {
  fs::path folder = path.parent_path();
  if (folder.empty()) return {};
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) return "cannot create the folder " + folder.string() + ": " + error.message();
  return {};
}

// Renames from to a name nothing holds yet (a link planted there is neither followed nor
// replaced); 0, or -1 with errno set. A file system that cannot tell gets a plain rename.
int RenameNoReplace(const fs::path& from, const fs::path& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return -1;
  return std::rename(from.c_str(), to.c_str());
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

// Opens path to append to it, making it when missing; -1 (errno set) unless it is an ordinary
// file of its own: a symbolic link is not followed, and a pipe or device is not written to (nor
// waited on).
int OpenToAppend(const fs::path& path) {
  const int descriptor = ::open(
      path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
  if (descriptor < 0) return -1;
  struct stat info {};
  if (::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode)) return descriptor;
  ::close(descriptor);
  errno = EINVAL;
  return -1;
}

// Why path, which exists, cannot be read as an ordinary file; empty when it can.
std::string WhyNotOrdinary(const fs::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return Reason("cannot look at the file", errno);
  if (S_ISDIR(info.st_mode)) return "it is a folder, not a file";
  if (!S_ISREG(info.st_mode)) return "it is not an ordinary file";
  return {};
}

// Follows the lines of a file's content as it is read, and tells where the first line that
// passes the limits begins.
class LineCounter {
 public:
  explicit LineCounter(const TextLimits& limits) : limits_(limits) {}

  // Looks at the next bytes; false once a line passes the limits, the bytes from that line on
  // then left out of Taken.
  bool Take(std::string_view bytes) {
    for (const char byte : bytes) {
      if (!TakeByte(byte)) return false;
    }
    return true;
  }
  TextFileRead::Cut Cut() const { return cut_; }
  // Bytes of whole lines (and a last line not passing the limits) taken so far.
  std::size_t Taken() const { return cut_ == TextFileRead::Cut::kWhole ? seen_ : line_start_; }
  // Looks at the end of the content: a last line that ends in a lone CR counts that CR too.
  void Finish() {
    if (line_bytes_ > limits_.max_line_bytes) Stop(TextFileRead::Cut::kLineTooLong);
  }

 private:
  bool TakeByte(char byte) {
    if (seen_ + 1 > limits_.max_bytes) return Stop(TextFileRead::Cut::kTooManyBytes);
    if (!in_line_ && lines_ == limits_.max_lines) return Stop(TextFileRead::Cut::kTooManyLines);
    ++seen_;
    if (byte == '\n') {
      ++lines_;
      line_bytes_ = 0;
      in_line_ = false;
      line_start_ = seen_;
      return true;
    }
    in_line_ = true;
    ++line_bytes_;
    // A CR may be the first half of CR LF: it counts once a byte other than LF follows it.
    const std::size_t counted = line_bytes_ - (byte == '\r' ? 1 : 0);
    if (counted > limits_.max_line_bytes) return Stop(TextFileRead::Cut::kLineTooLong);
    return true;
  }
  bool Stop(TextFileRead::Cut cut) {
    cut_ = cut;
    return false;
  }

  TextLimits limits_;
  TextFileRead::Cut cut_ = TextFileRead::Cut::kWhole;
  std::size_t seen_ = 0;        // bytes taken
  std::size_t line_start_ = 0;  // where the line under way begins
  std::size_t lines_ = 0;       // lines ended
  std::size_t line_bytes_ = 0;  // of the line under way, a CR before its LF included
  bool in_line_ = false;        // a line is under way
};

// Reads the file into lines as far as the limits allow; returns why it failed, or empty.
std::string ReadUpTo(const fs::path& path, const TextLimits& limits, TextFileRead& result) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return Reason("cannot open the file", errno);
  LineCounter counter(limits);
  std::string content;
  std::string error;
  char buffer[65536];
  bool within = true;
  for (;;) {
    const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) error = Reason("cannot read the file", errno);
    if (count <= 0) break;
    const std::string_view bytes(buffer, static_cast<std::size_t>(count));
    within = counter.Take(bytes);
    content.append(bytes.substr(0, counter.Taken() - std::min(counter.Taken(), content.size())));
    if (!within) break;
  }
  ::close(descriptor);
  if (!error.empty()) return error;
  if (within) counter.Finish();
  content.resize(counter.Taken());
  result.cut = counter.Cut();
  if (result.cut == TextFileRead::Cut::kWhole) result.fingerprint = FingerprintOf(content);
  result.lines = FileLines(content);
  return {};
}

// Copies the bytes of from into the new file to; returns why it failed, or empty. A failed copy
// is removed again.
std::string CopyInto(const fs::path& from, const fs::path& to) {
  const int source = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (source < 0) return std::strerror(errno);
  const int target = CreateNew(to);
  if (target < 0) {
    const int error_number = errno;
    ::close(source);
    return std::strerror(error_number);
  }
  std::string error;
  char buffer[65536];
  for (;;) {
    const ssize_t count = ::read(source, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) error = Reason("cannot read the file", errno);
    if (count <= 0) break;
    error = WriteAll(target, std::string_view(buffer, static_cast<std::size_t>(count)));
    if (!error.empty()) break;
  }
  ::close(source);
  if (::close(target) != 0 && error.empty()) error = Reason("cannot close the copy", errno);
  if (!error.empty()) ::unlink(to.c_str());
  return error;
}

}  // namespace

bool IsOrdinaryFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

TextFileRead ReadTextLines(const fs::path& path, const TextLimits& limits) {
  TextFileRead result;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
    return result;  // kMissing: nothing is there (or a link to nothing yet)
  }
  result.status = TextFileRead::Status::kFailed;
  result.error = WhyNotOrdinary(path);
  if (result.error.empty()) result.error = ReadUpTo(path, limits, result);
  if (result.error.empty()) result.status = TextFileRead::Status::kRead;
  return result;
}

// Not QSaveFile (besides core having no Qt): Qt 6.4's syncs the file but never the folder after
// its rename, so the new name could still be lost in a crash.
SafeWrite WriteBytesSafely(const fs::path& link_or_file, std::string_view bytes) {
  // A symbolic link (as dotfile managers set up) stays a link: its target is replaced.
  const fs::path path = FollowLinks(link_or_file);
  if (std::string error = CreateFolderOf(path); !error.empty()) return {false, error};
  std::string temporary;
  const int descriptor = CreateTemporary(path, temporary);
  if (descriptor < 0) {
    return {false,
            Reason("cannot create a temporary file in " + path.parent_path().string(), errno)};
  }
  std::string error = FillTemporary(descriptor, path, bytes);
  if (error.empty() && std::rename(temporary.c_str(), path.c_str()) != 0) {
    error = Reason("cannot replace the file", errno);
  }
  if (!error.empty()) {
    ::unlink(temporary.c_str());
    return {false, error};
  }
  return {true, SyncFolder(path.parent_path())};
}

std::string AppendTextLines(const fs::path& path, const std::vector<std::string>& lines) {
  if (std::string error = CreateFolderOf(path); !error.empty()) return error;
  const int descriptor = OpenToAppend(path);
  if (descriptor < 0) return Reason("cannot open the file", errno);
  std::string error = WriteAll(descriptor, TextFileBytes(lines));
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

std::optional<fs::path> MakeUnderFreeName(const std::function<fs::path(int attempt)>& name_at,
                                          const std::function<int(const fs::path& name)>& make,
                                          int& error_number) {
  constexpr int kAttempts = 100;
  error_number = EEXIST;
  for (int attempt = 0; attempt < kAttempts && error_number == EEXIST; ++attempt) {
    fs::path name = name_at(attempt);
    error_number = make(name);
    if (error_number == 0) return name;
  }
  return std::nullopt;
}

std::string MoveAside(const fs::path& path) {
  // An older "<name>.bad" is kept: the next free "<name>.bad2", "<name>.bad3"... is taken.
  fs::path tried;
  int error_number = 0;
  const auto moved = MakeUnderFreeName([&path](int attempt) { return AsideName(path, attempt); },
                                       [&path, &tried](const fs::path& aside) {
                                         tried = aside;
                                         if (ExistsAnything(aside)) return EEXIST;
                                         return RenameNoReplace(path, aside) == 0 ? 0 : errno;
                                       },
                                       error_number);
  if (moved) return {};
  if (error_number != EEXIST) {
    return Reason("cannot move the file aside to " + tried.string(), error_number);
  }
  return "cannot move the file aside: too many " + AsideName(path, 0).filename().string() +
         " files";
}

std::string KeepCopy(const fs::path& path, const fs::path& copy) {
  const fs::path file = FollowLinks(path);
  if (::link(file.c_str(), copy.c_str()) == 0) return {};
  if (errno == EEXIST) return Reason("cannot keep a copy as " + copy.string(), errno);
  // A disk without hard links, or the file on another disk than its link: a copy of the bytes.
  const std::string error = CopyInto(file, copy);
  if (!error.empty()) return "cannot keep a copy as " + copy.string() + ": " + error;
  return {};
}

}  // namespace kelmora
