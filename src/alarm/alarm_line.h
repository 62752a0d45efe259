#pragma once
// alarm/: alarm lines, the sorted list, the alarm file, the scheduler; Qt-free, uses core/.
// An alarm line: due time, repeat interval, repeat count and sound path joined by tabs. This type
// is the one place that knows how the fields are split and joined and which texts mean what.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/date_time.h"

namespace kelmora {

struct AlarmLine {
  // The repeat interval of an alarm that does not repeat: the number 0 with the unit "z".
  static constexpr std::string_view kNoRepeat = "0z";
  static constexpr std::string_view kNoRepeatUnit = kNoRepeat.substr(1);
  // The repeat count of an alarm without a limit.
  static constexpr std::string_view kNoLimit = "E";
  // The repeat count with which the next firing is the last.
  static constexpr std::string_view kLastFiring = "0";
  static constexpr char kSeparator = '\t';

  std::string_view due;       // "yyyy/mm/dd hh:nn:ss"
  std::string_view interval;  // a number and a unit letter ("30m"), or kNoRepeat
  std::string_view count;     // a number, or kNoLimit
  std::string_view sound;     // the WAV file's path; empty for the default sound

  // The four fields of line, viewed in place; nullopt when it does not split into exactly four.
  static std::optional<AlarmLine> Split(std::string_view line);
  // Splits at every tab; an empty field stays an empty field ("" gives one empty field).
  static std::vector<std::string_view> SplitAll(std::string_view line);
  // The four fields joined by tabs.
  std::string Join() const;
};

// An alarm line's due time as the tip and the alarm's notification show it: the first 19
// characters of the line decoded (code_page.h), or all of a shorter line.
std::string DueTimeShown(std::string_view alarm_line);

// What the clock tick needs of line 0: its due time (nullopt when field 0 is not a date-time)
// and its sound path (empty when the line has fewer than four fields).
struct TickView {
  std::optional<DateTime> due;
  std::string sound_path;
};
TickView ReadForTick(std::string_view line);

}  // namespace kelmora
