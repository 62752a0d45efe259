#pragma once
// editor/: the alarm editor and the common dialog; uses alarm/, render/, platform/.
// Form2: the alarm editor window "アラーム". It edits a copy of the main alarm list, handed to it
// as it opens: lines are selected into the entry fields, composed and registered, deleted with
// the Delete key, and the whole copy is handed back (ListHandedBack) when the window closes.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMargins>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "alarm/alarm_list.h"
#include "alarm/scheduler.h"
#include "editor/cmn_dlog.h"
#include "platform/qt/x11_desktop.h"
#include "platform/services.h"

namespace kelmora {

// Where the editor's own area goes (its top left corner) so that its frame stands on the main
// window's frame, lower edge on upper edge, left edges in line: from the main window's own area
// and frame, the editor's size and frame.
QPoint EditorPosition(const QRect& main_area, const QMargins& main_frame, const QSize& editor_size,
                      const QMargins& editor_frame);

// The editor's frame as best known: the window manager's report, else Qt's once it has framed
// the window, else the main window's (the editor gets the same title bar and borders).
QMargins EditorFrame(const std::optional<QMargins>& reported, const QMargins& from_qt,
                     const QMargins& main_frame);

// A vertical scroll bar used as a spinner: its top end is the largest value and its upper arrow
// (and a track click above the thumb, and the Up key) raise the value by one. Inside, the bar
// runs from -top to 0, so Qt's own "towards the top" steps are the ones that raise the value.
class TimeSpinner : public QScrollBar {
 public:
  TimeSpinner(int top, QWidget* parent);
  int Value() const { return -value(); }
  void SetValue(int shown) { setValue(-shown); }
};

class Form2 : public QWidget {
  Q_OBJECT

 public:
  Form2(Services services, CmnDlog::CommonDialog& dialog, QWidget* parent = nullptr);

  // Refills the editor list with the main list's lines and stands the window on top of
  // main_window, its frame's lower edge on the main window's frame's upper edge, wherever that
  // puts it. Called before the window is shown, it appears there at once; a frame the window
  // manager reports later places it again.
  void OpenOver(const QWidget& main_window, const std::vector<std::string>& main_lines);

  void SetCombo1();  // fills the unit list and shows "h:時間" with no item selected

  // The editor's copy of the alarm lines (the tests add to it directly, as 登録 would).
  AlarmList& List1() { return list1_; }
  // The entry's sound path; the tests read it beside the tool tip that shows it.
  const std::string& SoundPath() const { return sound_path_; }
  int SelectedIndex() const;  // the selected line of the editor list, -1 when none
  // Adds a line to the copy and shows it; a full list adds nothing and says so.
  void AddLine(const std::string& line);
  // A scheduler pass of the main list changed these lines of the copy: they move on or go here
  // too, and the selected line, moved on, stays selected.
  void FollowPass(const std::vector<LineChange>& changes);

  QListWidget* List1Box = nullptr;  // shows List1(), one line per item
  QLabel* Label1 = nullptr;         // 指定時刻
  QLineEdit* Text1 = nullptr;       // hour of the due time, shown only
  TimeSpinner* VScroll1 = nullptr;  // hour spinner 0..23
  QLineEdit* Text4 = nullptr;       // minute of the due time, shown only
  TimeSpinner* VScroll2 = nullptr;  // minute spinner 0..59
  QLineEdit* Text5 = nullptr;       // second of the due time, shown only
  TimeSpinner* VScroll3 = nullptr;  // second spinner 0..59
  QPushButton* Command1 = nullptr;  // wav: choose the sound; right button tries it
  QCheckBox* Check1 = nullptr;      // 繰り返し: repeat on or off
  QCheckBox* Check2 = nullptr;      // 回数: count limit on or off
  QLineEdit* Text2 = nullptr;       // repeat interval number
  QComboBox* Combo1 = nullptr;      // repeat interval unit; its first character is the letter
  QLabel* Label2 = nullptr;         // 毎に
  QLineEdit* Text3 = nullptr;       // repeat count
  QLabel* Label3 = nullptr;         // 回
  QPushButton* Command2 = nullptr;  // 登録: register the entry

 signals:
  // The window is closing: its lines become the main list.
  void ListHandedBack(const std::vector<std::string>& lines);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void SetTabOrder();
  void ConnectControls();
  void Load();

  void List1Click(int row);
  bool List1KeyDown(int key);
  void FillFromLine(const std::string& line);
  void FillTime(std::string_view due_text);
  void FillInterval(std::string_view interval);
  void FillCount(std::string_view count);
  void ShowUnitText(const QString& text);

  void Command1Click();
  void Command1MouseDown(Qt::MouseButton button);
  void Command2Click();
  std::string BuildLine() const;

  void SetSoundPath(std::string path);
  void ShowLineAt(int row, const std::string& line);
  void HideLineAt(int row);
  void SelectRowQuietly(int row);
  void Refill(const std::vector<std::string>& lines);
  void WriteTimeFields();
  void PlaceOverMainWindow();

  Services services_;
  CmnDlog::CommonDialog& dialog_;
  AlarmList list1_;
  std::string sound_path_;  // the entry's sound, mirrored to the wav button's tool tip
  // The window the editor stands on, and whether it was placed without its own frame known.
  QPointer<const QWidget> placed_over_;
  bool own_frame_guessed_ = false;
  X11DesktopEvents frame_reports_;
};

}  // namespace kelmora
