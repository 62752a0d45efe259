#include "store/file_store.h"

#include <cstdio>

#include "alarm/alarm_file.h"
#include "core/general.h"
#include "core/text_file.h"

namespace kelmora {
namespace {

// The folder with its separator, joined with the file's name.
std::filesystem::path InFolder(const std::filesystem::path& folder, const char* name) {
  std::string joined = folder.string();
  return General::PathWithSep(joined) + name;
}

std::string CannotWrite(const std::filesystem::path& path, const std::string& why) {
  return path.string() + " に書き込めません: " + why;
}

}  // namespace

FileStore::FileStore(const std::filesystem::path& data_folder)
    : settings_path_(InFolder(data_folder, kSettingsFileName)),
      alarm_path_(InFolder(data_folder, kAlarmFileName)),
      dropped_path_(alarm_path_.string() + ".dropped") {}

bool FileStore::SettingsFileExists() const {
  return IsOrdinaryFile(settings_path_);
}

void FileStore::RemoveStaleTemporaries() const {
  kelmora::RemoveStaleTemporaries(settings_path_);
  kelmora::RemoveStaleTemporaries(alarm_path_);
}

void FileStore::ReportUnreadable(const std::filesystem::path& path, const std::string& why,
                                 Notices& notices) {
  aside_before_writing_.insert(path);
  notices.push_back(path.string() + " を読めません: " + why);
}

Notices FileStore::LoadSettings(WindowSettings& settings) {
  Notices notices;
  TextFileRead read = ReadTextLines(settings_path_);
  if (read.status == TextFileRead::Status::kRead) {
    SettingsReader reader(std::move(read.lines));
    ApplySettings(reader, settings);
  } else if (read.status == TextFileRead::Status::kFailed) {
    ReportUnreadable(settings_path_, read.error, notices);
  }
  return notices;
}

Notices FileStore::LoadAlarms(AlarmList& list) {
  Notices notices;
  const AlarmFileRead read = LoadAlarmFile(alarm_path_, list);
  if (read.status == TextFileRead::Status::kFailed) {
    ReportUnreadable(alarm_path_, read.error, notices);
  }
  if (read.left_out > 0) {
    aside_before_writing_.insert(alarm_path_);
    notices.push_back(std::string(AlarmList::kFullNotice) + ": " + std::to_string(read.left_out) +
                      " 件を読み込めません");
  }
  return notices;
}

Notices FileStore::BeforeWriting(const std::filesystem::path& path) {
  if (!aside_before_writing_.contains(path)) return {};
  const std::string error = MoveAside(path);
  if (!error.empty()) return {CannotWrite(path, error)};
  aside_before_writing_.erase(path);
  return {};
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
                 dropped_path_.c_str(), error.c_str());
  }
}

Notices FileStore::SaveSettings(const WindowSettings& settings) {
  Notices notices = BeforeWriting(settings_path_);
  if (!notices.empty()) return notices;
  const std::string error = WriteTextLinesSafely(settings_path_, SettingsLines(settings));
  if (!error.empty()) notices.push_back(CannotWrite(settings_path_, error));
  return notices;
}

Notices FileStore::SaveAlarms(const AlarmList& list) {
  Notices notices = BeforeWriting(alarm_path_);
  if (!notices.empty()) return notices;
  const std::string error = SaveAlarmFile(alarm_path_, list);
  if (!error.empty()) notices.push_back(CannotWrite(alarm_path_, error));
  return notices;
}

}  // namespace kelmora
