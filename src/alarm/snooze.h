#pragma once
// Snooze: the ringing alarm's notification offers to ring it again a few minutes later, as an
// ordinary alarm line of its own that fires once and goes.

#include <string>
#include <string_view>

#include "core/date_time.h"

namespace kelmora {

inline constexpr int kSnoozeMinutes = 5;

// The notification's button: "スヌーズ (5分)".
std::string SnoozeLabel();

// The line the snooze adds: due kSnoozeMinutes after now, no repeat, count "0", the sound path
// of the alarm that rang (empty for the default sound).
std::string SnoozeLine(DateTime now, std::string_view sound_path);

}  // namespace kelmora
