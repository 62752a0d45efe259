#include "alarm/alarm_line.h"

namespace kelmora {

std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t tab = line.find('\t'); tab != std::string_view::npos;
       tab = line.find('\t', start)) {
    fields.emplace_back(line.substr(start, tab - start));
    start = tab + 1;
  }
  fields.emplace_back(line.substr(start));
  return fields;
}

TickView ReadForTick(std::string_view line) {
  const std::vector<std::string> fields = SplitFields(line);
  TickView view;
  view.due = ParseDateTime(fields.front());
  if (fields.size() >= 4) view.sound_path = fields[3];
  return view;
}

}  // namespace kelmora
