#include "core/text_file.h"

#include <cerrno>
#include <string_view>
#include <utility>

#include "core/code_page.h"
#include "core/fingerprint.h"
#include "core/path_text.h"
#include "core/text_file_os.h"

namespace kelmora {
namespace {

namespace fs = std::filesystem;

std::string Reason(std::string_view what, const std::error_code& error) {
  return std::string(what) + ": " + error.message();
}

// The errno value MakeUnderFreeName takes for an error: EEXIST when the name is taken.
int ErrorNumber(const std::error_code& error) {
  if (!error) return 0;
  return error == std::errc::file_exists ? EEXIST : EIO;
}

// Writes, flushes to disk and closes the temporary file; closes it in every case.
std::string FillTemporary(WritableFile& file, const fs::path& target, std::string_view content) {
  std::string error;
  if (const std::error_code written = file.Write(content)) {
    error = Reason("cannot write the file", written);
  }
  if (error.empty()) error = file.KeepPermissionsOf(target);
  if (const std::error_code flushed = error.empty() ? file.Flush() : std::error_code{}) {
    error = Reason("cannot flush the file", flushed);
  }
  if (const std::error_code closed = file.Close(); closed && error.empty()) {
    error = Reason("cannot close the file", closed);
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

// Creates "<path>.tmp-<process>-<n>" for writing and sets temporary to its name; a closed file
// (error set) on failure. A new file gets the permissions a file the user creates gets.
WritableFile CreateTemporary(const fs::path& path, fs::path& temporary, std::error_code& error) {
  WritableFile file;
  int error_number = 0;
  // Names left by earlier processes of the same number are skipped.
  const auto made = MakeUnderFreeName(
      [&path](int attempt) {
        return PathOf(TemporaryName(PathText(path), ProcessNumber(), attempt));
      },
      [&file, &error](const fs::path& name) {
        file = WritableFile::CreateNew(name, error);
        return ErrorNumber(error);
      },
      error_number);
  if (made) temporary = *made;
  return file;
}

std::string CreateFolderOf(const fs::path& path) {
  fs::path folder = path.parent_path();
  if (folder.empty()) return {};
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) return "cannot create the folder " + PathText(folder) + ": " + error.message();
  return {};
}

fs::path AsideName(const fs::path& path, int attempt) {
  fs::path aside = path;
  aside += PathOf(attempt == 0 ? ".bad" : ".bad" + std::to_string(attempt + 1));
  return aside;
}

bool ExistsAnything(const fs::path& path) {
  std::error_code error;
  return fs::symlink_status(path, error).type() != fs::file_type::not_found;
}

// Why path, which exists, cannot be read as an ordinary file; empty when it can.
std::string WhyNotOrdinary(const fs::file_status& status, const std::error_code& error) {
  if (error) return Reason("cannot look at the file", error);
  if (fs::is_directory(status)) return "it is a folder, not a file";
  if (!fs::is_regular_file(status)) return "it is not an ordinary file";
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
  LineCounter counter(limits);
  std::string content;
  bool within = true;
  bool missing = false;
  const auto take = [&counter, &content, &within](std::string_view bytes) {
    within = counter.Take(bytes);
    content.append(bytes.substr(0, counter.Taken() - std::min(counter.Taken(), content.size())));
    return within;
  };
  if (std::string error = ReadFileChunks(path, take, missing); !error.empty()) return error;
  if (within) counter.Finish();
  content.resize(counter.Taken());
  result.cut = counter.Cut();
  if (result.cut == TextFileRead::Cut::kWhole) result.fingerprint = FingerprintOf(content);
  result.lines = FileLines(content);
  return {};
}

}  // namespace

// Owning the file is the same on every system; opening, writing and closing are each its own.
WritableFile::WritableFile(WritableFile&& other) noexcept
    : handle_(std::exchange(other.handle_, kClosed)) {}

WritableFile& WritableFile::operator=(WritableFile&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, kClosed);
  }
  return *this;
}

WritableFile::~WritableFile() {
  Close();
}

bool IsOrdinaryFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

TextFileRead ReadTextLines(const fs::path& path, const TextLimits& limits) {
  TextFileRead result;
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (status.type() == fs::file_type::not_found) {
    return result;  // kMissing: nothing is there (or a link to nothing yet)
  }
  result.status = TextFileRead::Status::kFailed;
  result.error = WhyNotOrdinary(status, error);
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
  fs::path temporary;
  std::error_code created;
  WritableFile file = CreateTemporary(path, temporary, created);
  if (!file.IsOpen()) {
    return {false,
            Reason("cannot create a temporary file in " + PathText(path.parent_path()), created)};
  }
  std::string error = FillTemporary(file, path, bytes);
  if (const std::error_code moved = error.empty() ? MoveOver(temporary, path) : std::error_code{}) {
    error = Reason("cannot replace the file", moved);
  }
  if (!error.empty()) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return {false, error};
  }
  return {true, SyncFolder(path.parent_path())};
}

std::string AppendTextLines(const fs::path& path, const std::vector<std::string>& lines) {
  if (std::string error = CreateFolderOf(path); !error.empty()) return error;
  std::error_code error;
  WritableFile file = WritableFile::OpenToAppend(path, error);
  if (!file.IsOpen()) return Reason("cannot open the file", error);
  if (const std::error_code written = file.Write(TextFileBytes(lines))) {
    return Reason("cannot write the file", written);
  }
  if (const std::error_code closed = file.Close()) return Reason("cannot close the file", closed);
  return {};
}

void RemoveStaleTemporaries(const fs::path& path) {
  std::error_code error;
  const fs::path target = FollowLinks(path);
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  const std::string name = PathText(target.filename());
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    if (IsTemporaryName(PathText(entry.path().filename()), name) && entry.is_regular_file(error)) {
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
  std::error_code error;
  int error_number = 0;
  const auto moved = MakeUnderFreeName([&path](int attempt) { return AsideName(path, attempt); },
                                       [&path, &tried, &error](const fs::path& aside) {
                                         tried = aside;
                                         error = ExistsAnything(aside)
                                                     ? std::make_error_code(std::errc::file_exists)
                                                     : RenameNoReplace(path, aside);
                                         return ErrorNumber(error);
                                       },
                                       error_number);
  if (moved) return {};
  if (error_number != EEXIST) {
    return Reason("cannot move the file aside to " + PathText(tried), error);
  }
  return "cannot move the file aside: too many " + PathText(AsideName(path, 0).filename()) +
         " files";
}

std::string KeepCopy(const fs::path& path, const fs::path& copy) {
  const fs::path file = FollowLinks(path);
  const std::error_code linked = HardLink(file, copy);
  if (!linked) return {};
  if (linked == std::errc::file_exists) {
    return Reason("cannot keep a copy as " + PathText(copy), linked);
  }
  // A disk without hard links, or the file on another disk than its link: a copy of the bytes.
  const std::string error = CopyToNew(file, copy);
  if (!error.empty()) return "cannot keep a copy as " + PathText(copy) + ": " + error;
  return {};
}

}  // namespace kelmora
