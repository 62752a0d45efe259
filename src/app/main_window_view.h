#pragma once
// The main window as its behaviour (Form1) sees it: one state that its controls show, the window
// it moves about, and the editor window it opens. Each toolkit's window implements it.

#include <array>
#include <cstdint>
#include <string>

#include "core/pixels.h"
#include "platform/services.h"

namespace kelmora {

class Form2;
class EditorView;

// What the main window's controls show.
struct MainWindowState {
  std::string interval_text;            // Text1: the update interval in seconds
  std::int16_t mode1 = 0;               // Combo1's selection: the upper line's display mode
  std::int16_t mode2 = 0;               // Combo2's selection: the lower line's display mode
  bool lower_line_choosable = false;    // Combo2 takes a choice: the upper line is no analog face
  std::array<ColorValue, 8> colours{};  // Lb1: the captions' colours of the labels １..８
  IconImage preview{};                  // Picture1: the face, nothing masked
  bool operator==(const MainWindowState&) const = default;
};

class MainWindowView : public TopLevelWindow {
 public:
  // The controls show the state; called while the window is shown, and again each time it is.
  virtual void Render(const MainWindowState& state) = 0;
  virtual void SetIcon(const IconImage& icon) = 0;  // the window's own icon
  // The toolkit's editor window for the editor's behaviour, made at the first call.
  virtual EditorView& EditorWindow(Form2& editor) = 0;
};

}  // namespace kelmora
