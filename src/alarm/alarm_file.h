#pragma once
// The alarm file "timer.ini": one alarm line per text line.

#include <cstddef>
#include <filesystem>
#include <string>

#include "alarm/alarm_list.h"
#include "core/text_file.h"

namespace kelmora {

inline constexpr const char* kAlarmFileName = "timer.ini";

// The longest line an alarm file holds: an alarm line is a date-time, a repeat interval, a count
// and a sound path, and a path takes at most 4096 bytes on Linux, the other three fields a few
// dozen. A longer line means the file is something else.
inline constexpr std::size_t kMaxAlarmLineBytes = 8 * 1024;
// The most an alarm file holds, line ends included: a full list of 32767 lines of 256 bytes on
// average, far more than alarms take, and little enough that reading it never costs much memory.
inline constexpr std::size_t kMaxAlarmFileBytes = 8 * 1024 * 1024;

// How loading went: the file's reading (where it stopped, when a limit was passed, in cut).
struct AlarmFileRead : TextFileRead {
  std::size_t lines_taken = 0;  // lines added to the list
};

// Adds the file's lines to list (sorted); a missing file leaves the list unchanged. Reading stops
// at the first line that would pass the list's room, kMaxAlarmLineBytes or kMaxAlarmFileBytes:
// the lines before it are added, and nothing of the file past it is read.
AlarmFileRead LoadAlarmFile(const std::filesystem::path& file, AlarmList& list);

}  // namespace kelmora
