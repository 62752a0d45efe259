#include "alarm/alarm_file.h"

#include <utility>

namespace kelmora {

AlarmFileRead LoadAlarmFile(const std::filesystem::path& file, AlarmList& list) {
  TextLimits limits;
  limits.max_lines = static_cast<std::size_t>(AlarmList::kMaxLines - list.Count());
  limits.max_line_bytes = kMaxAlarmLineBytes;
  limits.max_bytes = kMaxAlarmFileBytes;
  AlarmFileRead read{ReadTextLines(file, limits)};
  if (read.status != TextFileRead::Status::kRead) return read;
  read.lines_taken = read.lines.size();
  list.AddAll(std::move(read.lines));
  read.lines.clear();
  return read;
}

}  // namespace kelmora
