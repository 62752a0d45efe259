#pragma once
// The alarm file "timer.ini": one alarm line per text line.

#include <filesystem>
#include <string>

#include "alarm/alarm_list.h"
#include "core/text_file.h"

namespace kelmora {

inline constexpr const char* kAlarmFileName = "timer.ini";

// How loading went: the file's reading, and how many of its lines found no room in the list.
struct AlarmFileRead : TextFileRead {
  std::size_t left_out = 0;
};

// Adds every line of the file to list (sorted); a missing file leaves the list unchanged. Lines
// past the list's limit are not added.
AlarmFileRead LoadAlarmFile(const std::filesystem::path& file, AlarmList& list);

// Writes every line of list, each followed by CR LF, safely. Returns the empty text on success,
// else why it failed.
std::string SaveAlarmFile(const std::filesystem::path& file, const AlarmList& list);

}  // namespace kelmora
