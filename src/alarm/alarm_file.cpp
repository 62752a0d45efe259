#include "alarm/alarm_file.h"

#include <utility>

namespace kelmora {

AlarmFileRead LoadAlarmFile(const std::filesystem::path& file, AlarmList& list) {
  AlarmFileRead read{ReadTextLines(file)};
  if (read.status != TextFileRead::Status::kRead) return read;
  const auto room = static_cast<std::size_t>(AlarmList::kMaxLines - list.Count());
  read.left_out = read.lines.size() > room ? read.lines.size() - room : 0;
  list.AddAll(std::move(read.lines));
  read.lines.clear();
  return read;
}

std::string SaveAlarmFile(const std::filesystem::path& file, const AlarmList& list) {
  return WriteTextLinesSafely(file, list.Lines());
}

}  // namespace kelmora
