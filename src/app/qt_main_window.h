#pragma once
// QtMainWindow: the main window's face in Qt, widgets and wiring only. It shows the state its
// behaviour (Form1) hands it and reports what the user does; it builds its controls the first
// time it is shown, so a window that stays in the tray never builds them.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>

#include "app/main_window_view.h"

namespace kelmora {

class Form1;
class QtEditorWindow;

class QtMainWindow : public QWidget, public MainWindowView {
  Q_OBJECT

 public:
  explicit QtMainWindow(Services services);
  ~QtMainWindow() override;
  // The behaviour the user's actions go to; set once, before the window is shown.
  void Attach(Form1& form) { form_ = &form; }

  void Render(const MainWindowState& state) override;
  void SetIcon(const IconImage& icon) override;
  EditorView& EditorWindow(Form2& editor) override;
  bool Shown() const override { return isVisible(); }
  void Hide() override { hide(); }
  void Restore() override;
  void KeepOnTop(bool on_top) override;
  void Raise() override;
  PixelSize OuterSize() const override;
  void MoveOuterTo(int left, int top) override { move(left, top); }

  // The controls: nullptr until the window is first shown.
  QLabel* Picture1 = nullptr;       // live preview of the face
  QLineEdit* Text1 = nullptr;       // update interval in seconds
  QPushButton* Command1 = nullptr;  // 設定: apply the interval and go to the tray
  QPushButton* Command2 = nullptr;  // ♪: open the alarm editor
  QComboBox* Combo1 = nullptr;      // display mode of the upper line
  QComboBox* Combo2 = nullptr;      // display mode of the lower line
  std::array<QLabel*, 8> Lb1{};     // colour labels １..８

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void ConnectControls();
  void ShowState();

  Services services_;
  Form1* form_ = nullptr;
  MainWindowState state_;
  bool controls_current_ = false;           // the controls show state_
  std::optional<IconImage> preview_shown_;  // the picture Picture1 shows
  std::unique_ptr<QtEditorWindow> editor_window_;
};

}  // namespace kelmora
