#pragma once
// The alarm the editor's fields hold while the user composes it, and the two conversions between
// it and an alarm line: a line read into the fields, the fields written as a line.

#include <array>
#include <string>
#include <string_view>

#include "core/date_time.h"

namespace kelmora {

// The units Combo1 offers; the first character of each is the letter a line takes.
inline constexpr std::array<std::string_view, 4> kUnitItems = {"d:日", "h:時間", "m:分", "s:秒"};
inline constexpr std::string_view kDefaultUnitText = "h:時間";

// The fields as texts, the way the user sees them; each member names the control it stands for.
struct AlarmEntry {
  std::string hour = "00";                           // Text1
  std::string minute = "00";                         // Text4
  std::string second = "00";                         // Text5
  bool repeat = false;                               // Check1, 繰り返し
  std::string interval = "1";                        // Text2, the repeat interval's number
  std::string unit = std::string(kDefaultUnitText);  // Combo1's text; its first character counts
  int unit_item = -1;        // the Combo1 item shown, -1 when none is selected
  bool count_limit = false;  // Check2, 回数
  std::string count = "1";   // Text3
  std::string sound_path;    // the sound, as the line holds it (Command1's tool tip)
  bool operator==(const AlarmEntry&) const = default;
};

// The entry with the fields line gives filled in: the time of its due time, the repeat interval
// (its last character choosing the unit item, "z" unchecking repeat), the count ("E" unchecking
// the count limit) and the sound. A part it cannot read (no such field, an empty interval, a due
// time that is no date-time) leaves its fields as they were in entry.
AlarmEntry ReadLine(std::string_view line, AlarmEntry entry);

// The line the entry makes on the day of today: the day with the entry's time, the interval
// ("0z" without repeat) and count ("E" without a limit) as numbers written back, and the sound;
// in the bytes the program writes lines in (EncodeLine).
std::string WriteLine(const AlarmEntry& entry, DateTime today);

// A number box's text tidied as the box is left: a whole number, halves away from zero; text
// that is not a number alone ("2.5abc", "") stays as it is.
std::string TidyNumber(const std::string& text);

// The item whose letter is unit ("d" 0, "h" 1, "m" 2, "s" 3), -1 for any other text.
int UnitItemIndex(std::string_view unit);

}  // namespace kelmora
