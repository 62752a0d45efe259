#pragma once
// editor/: the alarm editor and the common dialog, plain C++; editor/qt/ its Qt window; uses
// alarm/, platform/, core/.
// Form2: the alarm editor "アラーム". It edits a copy of the main alarm list, taken as it opens:
// lines are selected into the entry fields, composed and registered, deleted with the Delete key,
// and the whole copy is handed back (on_closed) when it closes. It shows itself through an
// EditorView, whose user's actions come back to the handlers below.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "alarm/alarm_list.h"
#include "alarm/scheduler.h"
#include "editor/alarm_entry.h"
#include "editor/cmn_dlog.h"
#include "editor/edit_session.h"
#include "editor/editor_view.h"
#include "platform/services.h"

namespace kelmora {

class Form2 {
 public:
  Form2(Services services, CmnDlog::CommonDialog& dialog);
  Form2(const Form2&) = delete;
  Form2& operator=(const Form2&) = delete;

  // The toolkit's window the editor shows itself in; set once, before the first Open.
  void SetView(EditorView& view);
  // Opens on a copy of the main list; the view shows it standing on the main window. An editor
  // that was closed opens on a fresh entry (the load steps): current hour and minute, second 00,
  // both boxes unchecked, the default sound. One open already is refilled and placed again, its
  // entry kept.
  void Open(const std::vector<std::string>& main_lines);
  bool IsOpen() const { return open_; }
  const AlarmList& List1() const { return session_.Lines(); }  // the copy, while open
  // Adds a line to the copy (the snooze); a full list adds nothing and says so.
  void AddLine(const std::string& line);
  // A pass of the main list changed these lines: the copy follows, the selection with it.
  void FollowPass(const std::vector<LineChange>& changes);
  // Closes: the copy is handed back through on_closed (its last act), the view hides. Closing is
  // never refused; an editor that is not open does nothing.
  void Close();
  std::function<void(const std::vector<std::string>& lines)> on_closed;

  void SetCombo1();  // the unit shows "h:時間" with no item selected
  EditorState State() const;

  // The user's actions, as the view reports them.
  void List1Click(int row);         // a line selected (a click, the arrow keys); -1 none
  bool List1KeyDown(int key_code);  // true when the key was handled here
  void SpinnerChange(TimePart part, int value);
  void Check1Click(bool checked);  // 繰り返し
  void Check2Click(bool checked);  // 回数
  void TextChange(EntryText box, const std::string& text);
  void LostFocus(EntryText box);               // the interval's number or the count box was left
  void UnitChosen(int item);                   // an item of Combo1's list
  void Command1Click();                        // "wav": choose the sound
  void Command1MouseDown(MouseButton button);  // the right button tries the sound
  void Command2Click();                        // 登録: register the entry

 private:
  void Load();
  void Render();
  void WriteTimeField(TimePart part);

  Services services_;
  CmnDlog::CommonDialog& dialog_;
  EditorView* view_ = nullptr;
  EditSession session_;
  AlarmEntry entry_;
  std::array<int, 3> spinners_{};  // VScroll1..3, by TimePart
  bool open_ = false;
};

}  // namespace kelmora
