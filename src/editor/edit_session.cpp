#include "editor/edit_session.h"

#include <optional>

namespace kelmora {

void EditSession::Start(const std::vector<std::string>& lines) {
  lines_.Clear();
  lines_.AddAll(lines);
  selected_ = -1;
}

void EditSession::Select(int row) {
  selected_ = row >= 0 && row < lines_.Count() ? row : -1;
}

int EditSession::Insert(const std::string& line) {
  const int row = lines_.Add(line);
  if (row >= 0 && on_inserted) on_inserted(row, line);
  return row;
}

void EditSession::RemoveAt(int row) {
  lines_.Remove(row);
  if (on_removed) on_removed(row);
}

int EditSession::Add(const std::string& line) {
  const int row = Insert(line);
  if (row >= 0 && selected_ >= row) ++selected_;
  return row;
}

void EditSession::ReplaceSelected(const std::string& line) {
  if (selected_ < 0) return;
  RemoveAt(selected_);
  selected_ = Insert(line);
}

void EditSession::RemoveSelected() {
  if (selected_ < 0) return;
  RemoveAt(selected_);
  selected_ = -1;
}

void EditSession::Follow(const std::vector<LineChange>& changes) {
  std::optional<std::string> selected_line;
  if (selected_ >= 0) selected_line = lines_.At(selected_);
  for (const LineChange& change : changes) {
    const int row = lines_.Find(change.before);
    if (row < 0) continue;
    RemoveAt(row);
    if (change.after) Insert(*change.after);
    if (selected_line == change.before) selected_line = change.after;
  }
  selected_ = selected_line ? lines_.Find(*selected_line) : -1;
}

}  // namespace kelmora
