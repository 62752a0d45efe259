#include "alarm/alarm_line.h"

#include <algorithm>

#include "core/code_page.h"
#include "core/utf8.h"

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

std::string DueTimeShown(std::string_view alarm_line) {
  constexpr std::size_t kDueTimeLength = 19;
  // A due time written as the program writes it is ASCII, the same in every code page: the rest
  // of the line (a long path, say) need not be decoded to show it.
  const std::string_view head = alarm_line.substr(0, kDueTimeLength);
  const bool ascii = std::ranges::all_of(head, [](char c) { return (c & 0x80) == 0; });
  if (ascii) return std::string(head);
  return std::string(FirstCharacters(DecodeLine(alarm_line), kDueTimeLength));
}

}  // namespace kelmora
