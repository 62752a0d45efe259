#include "alarm/snooze.h"

#include <chrono>

#include "alarm/alarm_line.h"

namespace kelmora {

std::string SnoozeLabel() {
  return "スヌーズ (" + std::to_string(kSnoozeMinutes) + "分)";
}

std::string SnoozeLine(DateTime now, std::string_view sound_path) {
  const std::string due = CanonicalText(now + std::chrono::minutes{kSnoozeMinutes});
  return AlarmLine{due, AlarmLine::kNoRepeat, AlarmLine::kLastFiring, sound_path}.Join();
}

}  // namespace kelmora
