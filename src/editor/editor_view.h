#pragma once
// The alarm editor's window as its behaviour (Form2) drives it, whatever the toolkit: the state
// it shows, handed over whole, and the few commands that are no state (the list's rows, showing
// and hiding). The user's actions go back to Form2's handlers.

#include <array>
#include <string>
#include <vector>

#include "core/code_page.h"
#include "editor/alarm_entry.h"

namespace kelmora {

// The three spinners and the time fields they write: VScroll1 and Text1, VScroll2 and Text4,
// VScroll3 and Text5.
enum class TimePart { kHour, kMinute, kSecond };
// The texts the user types: Text2 (the interval's number), Combo1 (the unit), Text3 (the count).
enum class EntryText { kInterval, kUnit, kCount };
// The mouse buttons as the window reports a press: left 1, right 2, middle 4.
enum class MouseButton { kLeft = 1, kRight = 2, kMiddle = 4 };
// The key code of the Delete key.
inline constexpr int kDeleteKey = 46;

// What the window shows besides the list's lines.
struct EditorState {
  AlarmEntry entry;
  std::array<int, 3> spinners{};  // VScroll1..3, by TimePart
  int selected = -1;              // the selected row, -1 when none

  // Text2 and Combo1 are enabled while repeat is checked, Text3 while the count limit is.
  bool IntervalEnabled() const { return entry.repeat; }
  bool CountEnabled() const { return entry.count_limit; }
  // The text of Command1's tool tip: the sound path, decoded to be shown.
  std::string SoundTip() const { return DecodeLine(entry.sound_path); }
  bool operator==(const EditorState&) const = default;
};

class EditorView {
 public:
  virtual ~EditorView() = default;
  // Shows the state: each control takes its part; setting it raises none of the user's events.
  virtual void Render(const EditorState& state) = 0;
  // The list shows these lines, all anew.
  virtual void ShowLines(const std::vector<std::string>& lines) = 0;
  // A line comes in at row, the ones from there moving down; the line at row goes.
  virtual void InsertLine(int row, const std::string& line) = 0;
  virtual void RemoveLine(int row) = 0;
  // Shows the window standing on the main window (placed there again when it is up already).
  virtual void ShowOverMainWindow() = 0;
  virtual void Hide() = 0;
};

}  // namespace kelmora
