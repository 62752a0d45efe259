#include "alarm/alarm_file.h"

#include <utility>

namespace kelmora {

TextFileRead LoadAlarmFile(const std::filesystem::path& file, AlarmList& list) {
  TextFileRead read = ReadTextLines(file);
  if (read.status == TextFileRead::Status::kRead) list.AddAll(std::move(read.lines));
  return read;
}

std::string SaveAlarmFile(const std::filesystem::path& file, const AlarmList& list) {
  return WriteTextLinesSafely(file, list.Lines());
}

}  // namespace kelmora
