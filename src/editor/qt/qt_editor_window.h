#pragma once
// editor/qt/: the alarm editor's Qt window; uses editor/, platform/qt/.
// QtEditorWindow: the alarm editor "アラーム" as a Qt window: the controls, their places, and
// the wiring that hands the user's actions to Form2 and shows the state Form2 renders.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>
#include <string>
#include <vector>

#include "editor/editor_view.h"
#include "editor/form2.h"
#include "platform/services.h"

namespace kelmora {

// A vertical scroll bar used as a spinner: its top end is the largest value and its upper arrow
// (and a track click above the thumb, and the Up key) raise the value by one. Inside, the bar
// runs from -top to 0, so Qt's own "towards the top" steps are the ones that raise the value.
class TimeSpinner : public QScrollBar {
 public:
  TimeSpinner(int top, QWidget* parent);
  int Value() const { return -value(); }
  void SetValue(int shown) { setValue(-shown); }
};

class QtEditorWindow : public QWidget, public EditorView {
 public:
  // The window shows editor and stands on main_window; frames come from services.
  QtEditorWindow(Form2& editor, WindowFrames& frames, const QWidget& main_window);
  ~QtEditorWindow() override;
  QtEditorWindow(const QtEditorWindow&) = delete;
  QtEditorWindow& operator=(const QtEditorWindow&) = delete;

  void Render(const EditorState& state) override;
  void ShowLines(const std::vector<std::string>& lines) override;
  void InsertLine(int row, const std::string& line) override;
  void RemoveLine(int row) override;
  void ShowOverMainWindow() override;
  void Hide() override;

  QListWidget* List1Box = nullptr;  // shows List1, one line per item
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

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void SetTabOrder();
  void ConnectControls();
  void ConnectTexts();
  void ShowUnit(const EditorState& state);
  void ShowSelection(int row);
  void PlaceOverMainWindow();

  Form2& editor_;
  WindowFrames& frames_;
  const QWidget& main_window_;
  bool own_frame_guessed_ = false;  // placed before the window manager told its frame
};

}  // namespace kelmora
