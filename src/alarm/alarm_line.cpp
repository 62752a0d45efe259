#include "alarm/alarm_line.h"

namespace kelmora {

std::vector<std::string_view> AlarmLine::SplitAll(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t tab = line.find(kSeparator); tab != std::string_view::npos;
       tab = line.find(kSeparator)) {
    fields.push_back(line.substr(0, tab));
    line.remove_prefix(tab + 1);
  }
  fields.push_back(line);
  return fields;
}

std::optional<AlarmLine> AlarmLine::Split(std::string_view line) {
  const std::vector<std::string_view> fields = SplitAll(line);
  if (fields.size() != 4) return std::nullopt;
  return AlarmLine{fields[0], fields[1], fields[2], fields[3]};
}

std::string AlarmLine::Join() const {
  std::string line;
  line.reserve(due.size() + interval.size() + count.size() + sound.size() + 3);
  line.append(due).append(1, kSeparator).append(interval).append(1, kSeparator);
  line.append(count).append(1, kSeparator).append(sound);
  return line;
}

TickView ReadForTick(std::string_view line) {
  const std::vector<std::string_view> fields = AlarmLine::SplitAll(line);
  TickView view;
  view.due = ParseDateTime(fields.front());
  if (fields.size() >= 4) view.sound_path = fields[3];
  return view;
}

}  // namespace kelmora
