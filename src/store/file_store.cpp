#include "store/file_store.h"

#include <cerrno>
#include <cstdio>

#include "alarm/alarm_file.h"
#include "core/code_page.h"
#include "core/general.h"
#include "core/path_text.h"
#include "core/text_file.h"

namespace kelmora {
namespace {

namespace fs = std::filesystem;

// The folder with its separator, joined with the file's name.
fs::path InFolder(const fs::path& folder, const char* name) {
  std::string joined = PathText(folder);
  return General::PathWithSep(joined) + name;
}

// A notice for the user, told on standard error at once as well (the journal keeps it).
void Report(Notices& notices, std::string notice, const std::string& log) {
  std::fprintf(stderr, "kelmora: %s\n", log.c_str());
  notices.push_back(std::move(notice));
}

void ReportCannotWrite(Notices& notices, const fs::path& path, const std::string& why) {
  Report(notices, PathText(path) + " に書き込めません: " + why,
         "cannot write " + PathText(path) + ": " + why);
}

std::string LineNumber(std::size_t lines_before) {
  return std::to_string(lines_before + 1) + " 行目";
}

// What the user is told of an alarm file whose reading stopped at a limit.
std::string CutNotice(const fs::path& path, const AlarmFileRead& read) {
  const std::string rest = LineNumber(read.lines_taken) +
                           "から先を読み込めません (元のファイルは " + PathText(path.filename()) +
                           ".bad として残します)";
  switch (read.cut) {
    case TextFileRead::Cut::kTooManyLines:
      return std::string(AlarmList::kFullNotice) + ": " + rest;
    case TextFileRead::Cut::kLineTooLong:
      return PathText(path) + " の " + LineNumber(read.lines_taken) + "は " +
             std::to_string(kMaxAlarmLineBytes) +
             " バイトを超えるのでアラームの行ではありません: " + rest;
    case TextFileRead::Cut::kTooManyBytes:
      return PathText(path) + " は " + std::to_string(kMaxAlarmFileBytes / (1024 * 1024)) +
             " MiB を超えます: " + rest;
    case TextFileRead::Cut::kWhole:
      break;
  }
  return {};
}

// What the user is told of a settings file with a line it cannot read (counted from 1).
std::string UnreadSettingsNotice(const fs::path& path, std::size_t line) {
  return PathText(path) + " の " + LineNumber(line - 1) + "を読めません (元のファイルは " +
         PathText(path.filename()) + ".bad として残します)";
}

// "<name>.changed-<yyyymmdd-hhmmss>" beside path, or with "-2", "-3"... after it when taken.
fs::path ChangedName(const fs::path& path, DateTime now, int attempt) {
  fs::path name = path;
  name += PathOf(".changed-" + FormatDateTime(now, "yyyymmdd-hhnnss"));
  if (attempt > 0) name += PathOf("-" + std::to_string(attempt + 1));
  return name;
}

// True when the file holds what known says it held (or is gone); false when it was changed, or
// cannot be read to tell (why then says so). Another size is another content, and a file of
// another size is not read to tell it.
bool StillAsKnown(const fs::path& path, const std::optional<Fingerprint>& known, std::string& why) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(path, error);
  if (!error && (!known || size != known->size)) return false;
  const FileFingerprint disk = FingerprintOfFile(path);
  if (disk.status == FileFingerprint::Status::kFailed) why = disk.error;
  return disk.status == FileFingerprint::Status::kMissing ||
         (disk.status == FileFingerprint::Status::kRead && disk.fingerprint == known);
}

// Keeps path as "<name>.changed-<yyyymmdd-hhmmss>" beside it, or with "-2", "-3"... after that
// name when it is taken; returns the name, or empty with why it failed.
fs::path KeepChanged(const fs::path& path, DateTime now, std::string& error) {
  int error_number = 0;
  const auto kept =
      MakeUnderFreeName([&path, now](int attempt) { return ChangedName(path, now, attempt); },
                        [&path, &error](const fs::path& name) {
                          std::error_code ignored;
                          if (fs::symlink_status(name, ignored).type() != fs::file_type::not_found)
                            return EEXIST;
                          error = KeepCopy(path, name);
                          return error.empty() ? 0 : EIO;
                        },
                        error_number);
  if (kept) return *kept;
  if (error_number == EEXIST) error = "too many " + PathText(path.filename()) + ".changed files";
  return {};
}

}  // namespace

FileStore::FileStore(const fs::path& data_folder)
    : settings_path_(InFolder(data_folder, kSettingsFileName)),
      alarm_path_(InFolder(data_folder, kAlarmFileName)),
      dropped_path_(PathOf(PathText(alarm_path_) + ".dropped")) {}

bool FileStore::SettingsFileExists() const {
  return IsOrdinaryFile(settings_path_);
}

void FileStore::RemoveStaleTemporaries() const {
  kelmora::RemoveStaleTemporaries(settings_path_);
  kelmora::RemoveStaleTemporaries(alarm_path_);
}

void FileStore::ReportUnreadable(const fs::path& path, const std::string& why, Notices& notices) {
  aside_before_writing_.insert(path);
  notices.push_back(PathText(path) + " を読めません: " + why);
}

void FileStore::Remember(const fs::path& path, const TextFileRead& read) {
  if (read.status == TextFileRead::Status::kMissing) {
    known_[path] = std::nullopt;
  } else if (read.status == TextFileRead::Status::kRead && read.cut == TextFileRead::Cut::kWhole) {
    known_[path] = read.fingerprint;
  }
}

Notices FileStore::LoadSettings(WindowSettings& settings) {
  Notices notices;
  TextFileRead read = ReadTextLines(settings_path_);
  Remember(settings_path_, read);
  if (read.status == TextFileRead::Status::kRead) {
    settings_as_read_ = read.lines;
    SettingsReader reader(std::move(read.lines));
    const std::size_t unread = ApplySettings(reader, settings);
    // Writing the settings would lose what could not be read: the file is kept aside first.
    if (unread != 0) {
      aside_before_writing_.insert(settings_path_);
      notices.push_back(UnreadSettingsNotice(settings_path_, unread));
    }
  } else if (read.status == TextFileRead::Status::kFailed) {
    ReportUnreadable(settings_path_, read.error, notices);
  }
  return notices;
}

Notices FileStore::LoadAlarms(AlarmList& list) {
  Notices notices;
  const AlarmFileRead read = LoadAlarmFile(alarm_path_, list);
  Remember(alarm_path_, read);
  if (read.status == TextFileRead::Status::kFailed) {
    ReportUnreadable(alarm_path_, read.error, notices);
  }
  if (read.status == TextFileRead::Status::kRead && read.cut != TextFileRead::Cut::kWhole) {
    aside_before_writing_.insert(alarm_path_);
    notices.push_back(CutNotice(alarm_path_, read));
  }
  return notices;
}

Notices FileStore::BeforeWriting(const fs::path& path) {
  if (!aside_before_writing_.contains(path)) return {};
  Notices notices;
  const std::string error = MoveAside(path);
  if (!error.empty()) {
    ReportCannotWrite(notices, path, error);
    return notices;
  }
  aside_before_writing_.erase(path);
  known_.erase(path);
  return {};
}

bool FileStore::KeepIfChanged(const fs::path& path, DateTime now, Notices& notices) {
  const auto known = known_.find(path);
  // Only an ordinary file is a user's edit; anything else in its place fails the write.
  if (known == known_.end() || !IsOrdinaryFile(path)) return true;
  std::string unreadable;
  if (StillAsKnown(path, known->second, unreadable)) return true;
  std::string error;
  const fs::path kept = KeepChanged(path, now, error);
  if (kept.empty()) {
    Report(notices,
           PathText(path) +
               " は起動中に書き換えられたかもしれませんが、その内容を残せないので書き込みません: " +
               error,
           PathText(path) + " may have been changed while Kelmora ran and cannot be kept (" +
               error + "); not written");
    return false;
  }
  known_.erase(known);  // kept: until the file is written, it is not compared again
  if (unreadable.empty()) {
    Report(notices,
           PathText(path) + " は起動中に書き換えられていました: その内容を " + PathText(kept) +
               " に残しました",
           PathText(path) + " was changed while Kelmora ran; kept it as " + PathText(kept));
  } else {
    Report(notices,
           PathText(path) + " を読み直せません (" + unreadable + "): 念のため今の内容を " +
               PathText(kept) + " に残しました",
           "cannot read " + PathText(path) + " again (" + unreadable + "); kept it as " +
               PathText(kept));
  }
  return true;
}

Notices FileStore::Save(const fs::path& path, const std::string& bytes, DateTime now) {
  Notices notices = BeforeWriting(path);
  if (!notices.empty()) return notices;
  if (!KeepIfChanged(path, now, notices)) return notices;
  const SafeWrite write = WriteBytesSafely(path, bytes);
  if (write.replaced) known_[path] = FingerprintOf(bytes);
  if (write.error.empty()) return notices;
  if (write.replaced) {
    Report(notices,
           PathText(path) +
               " は書き込みましたが、ディスクへの書き出しを確かめられません: " + write.error,
           "wrote " + PathText(path) + ", but " + write.error);
  } else {
    ReportCannotWrite(notices, path, write.error);
  }
  return notices;
}

void FileStore::KeepDropped(const std::vector<DroppedLine>& dropped, DateTime now) const {
  if (dropped.empty()) return;
  std::vector<std::string> lines;
  for (const DroppedLine& line : dropped) {
    lines.push_back("# " + CanonicalText(now) + " " + line.why);
    lines.push_back(line.line);
  }
  const std::string error = AppendTextLines(dropped_path_, lines);
  if (!error.empty()) {
    std::fprintf(stderr, "kelmora: cannot keep dropped alarm lines in %s: %s\n",
                 PathText(dropped_path_).c_str(), error.c_str());
  }
}

Notices FileStore::SaveSettings(const WindowSettings& settings, DateTime now) {
  return Save(settings_path_, TextFileBytes(SettingsLines(settings, settings_as_read_)), now);
}

Notices FileStore::SaveAlarms(const AlarmList& list, DateTime now) {
  return Save(alarm_path_, TextFileBytes(list.Lines()), now);
}

}  // namespace kelmora
