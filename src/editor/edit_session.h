#pragma once
// The editor's copy of the main list while it is open, with its selected line. Each line that
// comes or goes is told (on_inserted, on_removed), so a view follows the copy row for row.

#include <functional>
#include <string>
#include <vector>

#include "alarm/alarm_list.h"
#include "alarm/scheduler.h"

namespace kelmora {

class EditSession {
 public:
  // Starts anew on these lines, nothing selected; tells no single line.
  void Start(const std::vector<std::string>& lines);
  const AlarmList& Lines() const { return lines_; }
  int Selected() const { return selected_; }  // -1 when no line is selected
  // Selects the line at row; a row that holds no line selects none.
  void Select(int row);

  // Adds a line at its sorted place, the selection staying on its line; returns its row, or -1
  // when the list is full and nothing was added.
  int Add(const std::string& line);
  // Puts line in place of the selected one, at its sorted place, and selects it there.
  void ReplaceSelected(const std::string& line);
  // Removes the selected line; afterwards nothing is selected.
  void RemoveSelected();
  // A pass of the main list changed these lines: here they move on or go too, and a selected
  // line that moved on stays selected.
  void Follow(const std::vector<LineChange>& changes);

  std::function<void(int row, const std::string& line)> on_inserted;
  std::function<void(int row)> on_removed;

 private:
  int Insert(const std::string& line);
  void RemoveAt(int row);

  AlarmList lines_;
  int selected_ = -1;
};

}  // namespace kelmora
