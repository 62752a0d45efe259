#pragma once
// app/win/: the main window's Win32 face and wWinMain; uses app/, editor/win/, platform/win/.
// WinMainWindow: the main window as a Win32 window, controls and wiring only. It shows the state
// its behaviour (Form1) hands it and reports what the user does; it makes its controls the first
// time it is shown, so a window that stays in the tray never makes them. The session's end comes
// to it as to every top-level window, and goes to Form1's saves.

#include <windows.h>

#include <array>
#include <memory>
#include <optional>

#include "app/main_window_view.h"
#include "platform/win/win_controls.h"

namespace kelmora {

class Form1;
class WinEditorWindow;

class WinMainWindow final : public MainWindowView, private WindowMessages {
 public:
  explicit WinMainWindow(Services services);
  ~WinMainWindow() override;
  WinMainWindow(const WinMainWindow&) = delete;
  WinMainWindow& operator=(const WinMainWindow&) = delete;
  // The behaviour the user's actions go to; set once, before the window is shown.
  void Attach(Form1& form) { form_ = &form; }
  HWND Hwnd() const { return window_; }

  void Render(const MainWindowState& state) override;
  void SetIcon(const IconImage& icon) override;
  EditorView& EditorWindow(Form2& editor) override;
  bool Shown() const override;
  void Hide() override;
  void Restore() override;
  void KeepOnTop(bool on_top) override;
  void Raise() override;
  PixelSize OuterSize() const override;
  void MoveOuterTo(int left, int top) override;

 private:
  LRESULT OnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  bool Command(int id, int code);
  void BuildControls();
  void ShowState();
  LRESULT ColourLabel(HDC dc, HWND label) const;
  void SessionEnds(bool ending);

  Services services_;
  Form1* form_ = nullptr;
  HWND window_ = nullptr;
  std::unique_ptr<WinControls> controls_;  // made when the window is first shown
  HWND Picture1 = nullptr;                 // live preview of the face
  HWND Text1 = nullptr;                    // update interval in seconds
  HWND Command1 = nullptr;                 // 設定: apply the interval and go to the tray
  HWND Command2 = nullptr;                 // ♪: open the alarm editor
  HWND Combo1 = nullptr;                   // display mode of the upper line
  HWND Combo2 = nullptr;                   // display mode of the lower line
  std::array<HWND, 8> Lb1{};               // colour labels １..８
  MainWindowState state_;
  bool controls_current_ = false;           // the controls show state_
  bool showing_ = false;                    // the controls are being set, not the user
  std::optional<IconImage> preview_shown_;  // the picture Picture1 shows
  WindowIcons icons_;
  std::unique_ptr<WinEditorWindow> editor_window_;
};

}  // namespace kelmora
