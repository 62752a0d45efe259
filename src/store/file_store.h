#pragma once
// store/: the two files in the data folder, loaded and saved; Qt-free, uses alarm/ settings/.
// The store knows where the settings and alarm files are, loads them with a report for the user,
// moves an unreadable one aside before writing over it, keeps a file someone changed while the
// program ran before writing over it, saves safely and clears what a killed save left.

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "alarm/alarm_list.h"
#include "core/date_time.h"
#include "core/fingerprint.h"
#include "core/text_file.h"
#include "settings/window_settings.h"

namespace kelmora {

// Texts for the user, in the order they arose; empty when all went well.
using Notices = std::vector<std::string>;

// A line the program could not read and dropped, and why.
struct DroppedLine {
  std::string line;
  std::string why;
};

class FileStore {
 public:
  explicit FileStore(const std::filesystem::path& data_folder);

  // True when the settings file exists as an ordinary file: the program then starts in the tray.
  bool SettingsFileExists() const;
  // Removes what a writer of either file that was killed before its rename left beside it. Only
  // for the program's start, when nothing else writes the folder.
  void RemoveStaleTemporaries() const;

  // Reads the settings file over settings; a missing file leaves them as they are. A file that
  // exists but cannot be read, or holds a line the settings cannot take as it stands, is
  // reported and moved aside before it is next written.
  [[nodiscard]] Notices LoadSettings(WindowSettings& settings);
  // Adds the alarm file's lines to list, as the settings file. Reading stops at the first line
  // past the list's limit, or longer or further into the file than an alarm file goes
  // (alarm/alarm_file.h): the lines before it are added, the stop is reported, and the whole
  // file is moved aside before it is next written, so none is lost.
  [[nodiscard]] Notices LoadAlarms(AlarmList& list);
  // Appends lines the program dropped to the dropped-lines file, each after a line "# <now>
  // <why>", so the user can put them back. A failure is told on standard error: this runs on
  // the clock's tick, where no window may wait for the user.
  void KeepDropped(const std::vector<DroppedLine>& dropped, DateTime now) const;

  // Write the files safely; a failure is reported and leaves the old file as it was. Each
  // failure is told on standard error at once as well, naming the file and why. A file whose
  // content is no longer what the store last read or wrote there (someone edited it while the
  // program ran) is first kept beside it as "<name>.changed-<yyyymmdd-hhmmss>" (now), which is
  // reported too; when that fails, the file is not written over.
  [[nodiscard]] Notices SaveSettings(const WindowSettings& settings, DateTime now);
  [[nodiscard]] Notices SaveAlarms(const AlarmList& list, DateTime now);

 private:
  void ReportUnreadable(const std::filesystem::path& path, const std::string& why,
                        Notices& notices);
  void Remember(const std::filesystem::path& path, const TextFileRead& read);
  Notices Save(const std::filesystem::path& path, const std::string& bytes, DateTime now);
  // Moves the file aside first when it could not be read whole at start.
  Notices BeforeWriting(const std::filesystem::path& path);
  // Keeps the file when someone changed it; false when it must not be written over.
  bool KeepIfChanged(const std::filesystem::path& path, DateTime now, Notices& notices);

  std::filesystem::path settings_path_;
  std::filesystem::path alarm_path_;
  std::filesystem::path dropped_path_;  // "timer.ini.dropped", beside the alarm file
  // The settings file's lines as read: texts the user leaves as they are go back byte for byte.
  std::vector<std::string> settings_as_read_;
  // Files not read whole at start: moved aside before they are first written.
  std::set<std::filesystem::path> aside_before_writing_;
  // What each file held when the store last read or wrote it; nullopt: nothing was there. A file
  // not listed is not compared (it was moved aside, or never read).
  std::map<std::filesystem::path, std::optional<Fingerprint>> known_;
};

}  // namespace kelmora
