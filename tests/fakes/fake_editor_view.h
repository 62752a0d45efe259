#pragma once
// A view of the alarm editor that keeps what it is shown: the last state rendered and the list's
// lines, row for row as the commands left them.

#include <string>
#include <vector>

#include "editor/editor_view.h"

namespace kelmora::fakes {

class FakeEditorView : public EditorView {
 public:
  EditorState state;
  std::vector<std::string> lines;
  bool shown = false;
  int placements = 0;  // how often it was put over the main window
  void Render(const EditorState& rendered) override { state = rendered; }
  void ShowLines(const std::vector<std::string>& all) override { lines = all; }
  void InsertLine(int row, const std::string& line) override {
    lines.insert(lines.begin() + row, line);
  }
  void RemoveLine(int row) override { lines.erase(lines.begin() + row); }
  void ShowOverMainWindow() override {
    shown = true;
    ++placements;
  }
  void Hide() override { shown = false; }
};

}  // namespace kelmora::fakes
