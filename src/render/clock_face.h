#pragma once
// render/: the 16x16 face (raster, digits, analog face, icon and tip); Qt-free, uses core/.
// The 16x16 clock face: the display modes of the upper and lower line, the colour table, the
// glyph cursor and the picture they are drawn into. One pass clears the picture and draws both
// lines for one reading of the clock.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/date_time.h"
#include "core/pixels.h"
#include "render/raster.h"

namespace kelmora {

class ClockFace {
 public:
  std::int16_t Mode1 = 0;           // display mode of the upper line (0 analog .. 5 year)
  std::int16_t Mode2 = 0;           // display mode of the lower line (0 none)
  std::array<ColorValue, 8> Clr{};  // colours: 0..3 upper-line cells, 4..7 lower-line cells
  float Pi = 3.14159274f;           // pi in single precision, for the analog face
  Raster Picture1;                  // the 16x16 picture the face is drawn into

  // Clears the picture to background, draws the upper line and, when Mode2 is not 0, the lower.
  void Draw(DateTime now, ColorValue background);

  // Draws one line: mode 0 the analog face, 1..5 four digit cells at row y1 with colours
  // Clr[c1 .. c1+3]; other modes draw nothing.
  void SlctHyo(DateTime now, std::int16_t mode, std::int32_t y1, std::int16_t c1);

  // Draws the digit text S in its 3x7 cell with left column x1, colour c1, top row y1 (row 0
  // whenever Mode1 is 0).
  void Degi(std::string_view S, std::int16_t x1, ColorValue c1, std::int32_t y1);

  // Plots a glyph pattern ("1" lit, anything else untouched) at the glyph cursor.
  void DegiP(std::string_view S);

  // The analog face for the hour and minute of now, in Clr[0] (minute hand), Clr[1] (hour hand)
  // and Clr[2] (dial marks).
  void DrawAnalogFace(DateTime now);

 private:
  ColorValue DgClr = 0;  // glyph cursor: colour of the dots
  std::int32_t DgX = 0;  // glyph cursor: left column of the cell
  std::int32_t DgY = 0;  // glyph cursor: top row of the cell
};

// The tray tip: now formatted with tip_format, then "[♪" + the alarm's due time as the tip shows
// it + "]" when the alarm list is not empty (first_alarm_line null when it is).
std::string TipText(DateTime now, std::string_view tip_format, const std::string* first_alarm_line);

// False when a tip made with this pattern shows the same text for every second of a minute.
// Errs towards true: any letter "s" counts.
bool TipMayShowSeconds(std::string_view tip_format);

// The program's own icon: a small clock at three o'clock, twelve yellow dots and two red hands on
// transparent.
IconImage ProgramIcon();

}  // namespace kelmora
