#pragma once
// The modal dialogs: message boxes captioned "!Kelmora", the colour dialog and the file dialog.
// Each dialog is made not to end the program when it closes while the main window is hidden.

#include <QString>

#include "platform/services.h"

namespace kelmora {

class QtMessageBoxes : public MessageBoxes {
 public:
  void Notice(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  void CloseOpenBox() override;
};

class QtColorDialog : public ColorDialog {
 public:
  std::optional<ColorValue> Pick(ColorValue current) override;
};

class QtFileDialog : public FileDialog {
 public:
  std::string Open(const std::string& start_path, const std::vector<FileFilter>& filters,
                   int selected_filter) override;
  std::string Save(const std::string& start_path, const std::vector<FileFilter>& filters,
                   int selected_filter) override;
};

// "description (pattern)", the form QFileDialog lists a filter in.
QString NameFilter(const FileFilter& filter);

}  // namespace kelmora
