#pragma once
// editor/win/: the alarm editor's Win32 window; uses editor/, platform/win/.
// WinEditorWindow: the alarm editor "アラーム" as a Win32 window: the controls, their places, and
// the wiring that hands the user's actions to Form2 and shows the state Form2 renders.

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "editor/editor_view.h"
#include "editor/form2.h"
#include "platform/services.h"
#include "platform/win/win_controls.h"

namespace kelmora {

class WinEditorWindow final : public EditorView, private WindowMessages {
 public:
  // The window shows editor and stands on main_window; frames come from services.
  WinEditorWindow(Form2& editor, WindowFrames& frames, HWND main_window);
  ~WinEditorWindow() override;
  WinEditorWindow(const WinEditorWindow&) = delete;
  WinEditorWindow& operator=(const WinEditorWindow&) = delete;
  HWND Hwnd() const { return window_; }

  void Render(const EditorState& state) override;
  void ShowLines(const std::vector<std::string>& lines) override;
  void InsertLine(int row, const std::string& line) override;
  void RemoveLine(int row) override;
  void ShowOverMainWindow() override;
  void Hide() override;

 private:
  LRESULT OnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  void BuildControls();
  void BuildEntryControls();
  bool Command(int id, int code);
  void Spin(HWND bar, int request, int track);
  void ShowUnit(const EditorState& state);
  void ShowSelection(int row);
  void ShowSoundTip(const std::string& tip);
  void PlaceOverMainWindow();

  Form2& editor_;
  WindowFrames& frames_;
  HWND main_window_;
  HWND window_ = nullptr;
  std::unique_ptr<WinControls> controls_;
  WindowIcons icons_;
  bool showing_ = false;           // the controls are being set, not the user
  HWND List1Box = nullptr;         // shows List1, one line per item
  std::array<HWND, 3> Times{};     // Text1, Text4, Text5: hour, minute, second, shown only
  std::array<HWND, 3> VScrolls{};  // VScroll1..3: their spinners, by TimePart
  HWND Command1 = nullptr;         // wav: choose the sound; right button tries it
  HWND Command1Tip = nullptr;      // Command1's tool tip: the sound path
  HWND Check1 = nullptr;           // 繰り返し: repeat on or off
  HWND Check2 = nullptr;           // 回数: count limit on or off
  HWND Text2 = nullptr;            // repeat interval number
  HWND Combo1 = nullptr;           // repeat interval unit; its first character is the letter
  HWND Text3 = nullptr;            // repeat count
  HWND Command2 = nullptr;         // 登録: register the entry
};

}  // namespace kelmora
