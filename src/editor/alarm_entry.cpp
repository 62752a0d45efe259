#include "editor/alarm_entry.h"

#include <cmath>
#include <vector>

#include "alarm/alarm_line.h"
#include "core/code_page.h"
#include "core/number.h"
#include "core/utf8.h"

namespace kelmora {
namespace {

void ReadTime(std::string_view due_text, AlarmEntry& entry) {
  const auto due = ParseDateTime(due_text);
  if (!due) return;
  entry.hour = FormatDateTime(*due, "hh");
  entry.minute = FormatDateTime(*due, "nn");
  entry.second = FormatDateTime(*due, "ss");
}

void ReadInterval(std::string_view interval, AlarmEntry& entry) {
  if (interval.empty()) return;
  const std::size_t unit_start = LastCharacterStart(interval);
  const std::string_view unit = interval.substr(unit_start);
  const int item = UnitItemIndex(unit);
  entry.repeat = unit != AlarmLine::kNoRepeatUnit;
  if (item >= 0) {
    entry.unit_item = item;
    entry.unit = kUnitItems[static_cast<std::size_t>(item)];
  }
  entry.interval = interval.substr(0, unit_start);
}

void ReadCount(std::string_view count, AlarmEntry& entry) {
  entry.count_limit = count != AlarmLine::kNoLimit;
  if (entry.count_limit) entry.count = count;
}

// A number field's value written back as text: its leading number, 0 when it has none.
std::string NumberText(const std::string& text) {
  return ShortestDecimal(ReadNumber(text));
}

}  // namespace

int UnitItemIndex(std::string_view unit) {
  for (std::size_t item = 0; item < kUnitItems.size(); ++item) {
    if (kUnitItems[item].substr(0, 1) == unit) return static_cast<int>(item);
  }
  return -1;
}

// The fields show the line decoded; the sound path keeps the bytes that name its file.
AlarmEntry ReadLine(std::string_view line, AlarmEntry entry) {
  const std::string shown = DecodeLine(line);
  const std::vector<std::string_view> fields = AlarmLine::SplitAll(shown);
  ReadTime(fields[0], entry);
  if (fields.size() > 1) ReadInterval(fields[1], entry);
  if (fields.size() > 2) ReadCount(fields[2], entry);
  const std::vector<std::string_view> bytes = AlarmLine::SplitAll(line);
  if (bytes.size() > 3) entry.sound_path = bytes[3];
  return entry;
}

std::string WriteLine(const AlarmEntry& entry, DateTime today) {
  const std::string due = FormatDateTime(today, "yyyy/mm/dd") + " " + entry.hour + ":" +
                          entry.minute + ":" + entry.second;
  const std::string interval =
      entry.repeat ? NumberText(entry.interval) + std::string(FirstCharacters(entry.unit, 1))
                   : std::string(AlarmLine::kNoRepeat);
  const std::string count =
      entry.count_limit ? NumberText(entry.count) : std::string(AlarmLine::kNoLimit);
  return EncodeLine(AlarmLine{due, interval, count, entry.sound_path}.Join());
}

std::string TidyNumber(const std::string& text) {
  const auto number = ReadWholeNumber(text);
  if (!number || !std::isfinite(*number)) return text;
  return ShortestDecimal(RoundHalfAwayFromZero(*number));
}

}  // namespace kelmora
