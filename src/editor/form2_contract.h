#pragma once
// The editor's behaviour as the main window's behaviour uses it (plain C++, no toolkit). The
// editor keeps its own view and its user's events; only this much is seen from the main window.
//
//   class EditorView;  // the toolkit's editor window, as the behaviour drives it
//
//   class Form2 {
//    public:
//     Form2(Services services, CmnDlog::CommonDialog& dialog);
//     // The toolkit's window the editor shows itself in; set once, before the first Open.
//     void SetView(EditorView& view);
//     // Opens on a copy of the main list with a fresh entry (the load steps each time): current
//     // hour and minute, second 00, both boxes unchecked, the default sound; the view shows it
//     // standing on the main window.
//     void Open(const std::vector<std::string>& main_lines);
//     bool IsOpen() const;
//     const AlarmList& List1() const;  // the copy, while open
//     // Adds a line to the copy (the snooze); a full list adds nothing and says so.
//     void AddLine(const std::string& line);
//     // A pass of the main list changed these lines: the copy follows, the selection with it.
//     void FollowPass(const std::vector<LineChange>& changes);
//     // Closes: the copy is handed back through on_closed (its last act), the view hides.
//     void Close();
//     std::function<void(const std::vector<std::string>& lines)> on_closed;
//   };
//
// The main window's view makes the toolkit's editor window:
//   EditorView& MainWindowView::EditorWindow(Form2& editor);  // made once, bound to editor
