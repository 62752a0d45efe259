#pragma once
// The modal dialogs of Win32: message boxes captioned "!Kelmora" without an icon, the colour
// dialog (ChooseColorW) and the file dialogs (GetOpenFileNameW, GetSaveFileNameW), each owned by
// the thread's active window; and the desktop's button face.

#include <windows.h>

#include <array>
#include <vector>

#include "platform/services.h"

namespace kelmora {

class WinMessageBoxes : public MessageBoxes {
 public:
  void Notice(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  // Dismisses the innermost box open on this thread: OK for a notice, No for a question.
  void CloseOpenBox() override;

 private:
  int Run(const std::string& text, UINT buttons);
  std::vector<UINT> open_;  // the buttons of the boxes open, innermost last
};

class WinColorDialog : public ColorDialog {
 public:
  std::optional<ColorValue> Pick(ColorValue current) override;

 private:
  std::array<COLORREF, 16> custom_{};  // the dialog's custom colours, kept for the whole run
};

class WinFileDialog : public FileDialog {
 public:
  std::string Open(const std::string& start_path, const std::vector<FileFilter>& filters,
                   int selected_filter) override;
  std::string Save(const std::string& start_path, const std::vector<FileFilter>& filters,
                   int selected_filter) override;
};

// The system's button-face colour (COLOR_BTNFACE), read at each call.
class WinAppearance : public Appearance {
 public:
  ColorValue ButtonFace() const override;
};

// The filter text of the file dialogs: each description and pattern, NUL after each, and a NUL
// after the last pair.
std::wstring FilterText(const std::vector<FileFilter>& filters);

}  // namespace kelmora
