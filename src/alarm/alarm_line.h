#pragma once
// An alarm line: due time, repeat interval, repeat count and sound path joined by tabs.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/date_time.h"

namespace kelmora {

// Splits at every tab; an empty field stays an empty field ("" gives one empty field).
std::vector<std::string> SplitFields(std::string_view line);

// What the clock tick needs of line 0: its due time (nullopt when field 0 is not a date-time)
// and its sound path (empty when the line has fewer than four fields).
struct TickView {
  std::optional<DateTime> due;
  std::string sound_path;
};
TickView ReadForTick(std::string_view line);

}  // namespace kelmora
