#include "render/clock_face.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "alarm/alarm_line.h"
#include "core/code_page.h"
#include "core/number.h"
#include "core/utf8.h"
#include "render/glyphs/glyphs.h"

namespace kelmora {
namespace {

// The display modes a line can show.
enum DisplayMode : std::int16_t {
  kAnalog = 0,
  kHour12 = 1,
  kHour24 = 2,
  kMonthDayBlank = 3,  // a leading zero of month or day left blank
  kMonthDayZero = 4,   // month and day both with leading zeros
  kYear = 5,
};

// The top row of a digit line drawn alone.
constexpr std::int32_t kLoneLineRow = 4;
// The left column of each of the four digit cells of a line.
constexpr std::array<std::int16_t, 4> kCellLeft = {0, 4, 9, 13};

// The parts of one clock reading that the face shows.
struct Reading {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
};

Reading ReadingOf(DateTime now) {
  using namespace std::chrono;
  const auto midnight = floor<days>(now);
  const year_month_day date{midnight};
  const hh_mm_ss time{now - midnight};
  return {static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
          static_cast<int>(static_cast<unsigned>(date.day())),
          static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count())};
}

// Draws one digit (0..9) in cell `cell` of a line with top row y1, coloured Clr[c1 + cell]. A
// colour index outside the table draws nothing.
void DrawCell(ClockFace& face, int cell, int digit, std::int32_t y1, std::int16_t c1) {
  const int color_index = c1 + cell;
  if (color_index < 0 || color_index >= static_cast<int>(face.Clr.size())) return;
  const char text[] = {static_cast<char>('0' + digit)};
  face.Degi(std::string_view(text, 1), kCellLeft[cell], face.Clr[color_index], y1);
}

// A two-digit number in two cells; the tens digit is left blank when it is 0 and keep_zero is not.
void DrawPair(ClockFace& face, int first_cell, int value, bool keep_zero, std::int32_t y1,
              std::int16_t c1) {
  DrawCell(face, first_cell + 1, value % 10, y1, c1);
  if (keep_zero || value / 10 != 0) DrawCell(face, first_cell, value / 10, y1, c1);
}

void DrawTime(ClockFace& face, const Reading& reading, bool twelve_hour, std::int32_t y1,
              std::int16_t c1) {
  const int hour = twelve_hour ? reading.hour % 12 : reading.hour;
  DrawPair(face, 0, hour, false, y1, c1);
  DrawCell(face, 2, reading.minute / 10, y1, c1);
  DrawCell(face, 3, reading.minute % 10, y1, c1);
}

void DrawMonthDay(ClockFace& face, const Reading& reading, bool leading_zeros, std::int32_t y1,
                  std::int16_t c1) {
  DrawPair(face, 0, reading.month, leading_zeros, y1, c1);
  DrawPair(face, 2, reading.day, leading_zeros, y1, c1);
}

// The year's last four digits, all four always drawn (0999 for the year 999).
void DrawYear(ClockFace& face, const Reading& reading, std::int32_t y1, std::int16_t c1) {
  int rest = (reading.year % 10000 + 10000) % 10000;
  for (int cell = 3; cell >= 0; --cell, rest /= 10) {
    DrawCell(face, cell, rest % 10, y1, c1);
  }
}

// The hour hand's angle in whole degrees clockwise from twelve: half a degree per minute past
// the hour, halves rounded to the even neighbour (3:01 gives 90, 3:03 gives 92, 11:59 gives 360).
int HourAngle(const Reading& reading) {
  const int half_degrees = (reading.hour % 12) * 60 + reading.minute;
  const int whole = half_degrees / 2;
  const bool half_over_odd = half_degrees % 2 == 1 && whole % 2 == 1;
  return half_over_odd ? whole + 1 : whole;
}

struct TwipPoint {
  float x = 0;
  float y = 0;
};

// The centre of the analog face, pixel (8, 8), in twips.
constexpr TwipPoint kFaceCentre = {120.0f, 120.0f};

// The point at `length` twips from the centre, `degrees` clockwise from twelve.
TwipPoint FacePoint(int degrees, float length, float pi) {
  const float theta = static_cast<float>(degrees) / 180.0f * pi;
  return {kFaceCentre.x + length * std::sin(theta), kFaceCentre.y - length * std::cos(theta)};
}

void DrawHand(Raster& picture, int degrees, float length, float pi, ColorValue color) {
  const TwipPoint tip = FacePoint(degrees, length, pi);
  picture.LineTwips(kFaceCentre.x, kFaceCentre.y, tip.x, tip.y, color);
}

}  // namespace

void ClockFace::Draw(DateTime now, ColorValue background) {
  Picture1.Fill(background);
  SlctHyo(now, Mode1, 0, 0);
  if (Mode2 != 0) SlctHyo(now, Mode2, 9, 4);
}

void ClockFace::SlctHyo(DateTime now, std::int16_t mode, std::int32_t y1, std::int16_t c1) {
  if (mode < kAnalog || mode > kYear) return;
  if (mode == kAnalog) {
    DrawAnalogFace(now);
    return;
  }
  if (Mode1 > 0 && Mode2 == 0) y1 = kLoneLineRow;
  const Reading reading = ReadingOf(now);
  switch (mode) {
    case kHour12:
    case kHour24:
      DrawTime(*this, reading, mode == kHour12, y1, c1);
      break;
    case kMonthDayBlank:
    case kMonthDayZero:
      DrawMonthDay(*this, reading, mode == kMonthDayZero, y1, c1);
      break;
    default:
      DrawYear(*this, reading, y1, c1);
      break;
  }
}

void ClockFace::Degi(std::string_view S, std::int16_t x1, ColorValue c1, std::int32_t y1) {
  DgClr = c1;
  DgX = x1;
  DgY = Mode1 == kAnalog ? 0 : y1;
  const double value = ReadNumber(S);
  for (int digit = 0; digit < static_cast<int>(glyphs::kDigitPatterns.size()); ++digit) {
    if (value == digit) {
      DegiP(glyphs::kDigitPatterns[digit]);
      return;
    }
  }
}

void ClockFace::DegiP(std::string_view S) {
  const std::size_t length = std::min<std::size_t>(S.size(), glyphs::kPatternLength);
  for (std::size_t i = 0; i < length; ++i) {
    if (S[i] != '1') continue;
    // Widened so that a cursor near the end of its range cannot overflow; such dots are clipped.
    const std::int64_t x = std::int64_t{DgX} + static_cast<std::int64_t>(i % glyphs::kCellWidth);
    const std::int64_t y = std::int64_t{DgY} + static_cast<std::int64_t>(i / glyphs::kCellWidth);
    if (x < 0 || x >= Raster::kSize || y < 0 || y >= Raster::kSize) continue;
    Picture1.Set(static_cast<int>(x), static_cast<int>(y), DgClr);
  }
}

void ClockFace::DrawAnalogFace(DateTime now) {
  constexpr float kHourHandLength = 90.0f;
  constexpr float kMinuteHandLength = 100.0f;
  constexpr float kMarkDistance = 110.0f;
  const Reading reading = ReadingOf(now);
  DrawHand(Picture1, HourAngle(reading), kHourHandLength, Pi, Clr[1]);
  DrawHand(Picture1, reading.minute * 6, kMinuteHandLength, Pi, Clr[0]);
  for (int degrees = 0; degrees < 360; degrees += 30) {
    const TwipPoint mark = FacePoint(degrees, kMarkDistance, Pi);
    Picture1.PointTwips(mark.x, mark.y, Clr[2]);
  }
}

std::string TipText(DateTime now, std::string_view tip_format,
                    const std::string* first_alarm_line) {
  std::string tip = FormatDateTime(now, tip_format);
  if (first_alarm_line != nullptr) {
    tip += "[♪";
    tip += DueTimeShown(*first_alarm_line);
    tip += "]";
  }
  return tip;
}

bool TipMayShowSeconds(std::string_view tip_format) {
  return tip_format.find_first_of("sS") != std::string_view::npos;
}

IconImage ProgramIcon() {
  constexpr ColorValue kTransparent = Rgb(0, 0, 0);
  constexpr ColorValue kYellow = Rgb(255, 255, 0);
  constexpr ColorValue kRed = Rgb(255, 0, 0);
  constexpr int kTwips = kTwipsPerPixel;
  struct Dot {
    int x;
    int y;
  };
  constexpr Dot kDots[] = {{8, 1},  {12, 2}, {14, 4}, {15, 8}, {14, 12}, {12, 14},
                           {8, 15}, {4, 14}, {2, 12}, {1, 8},  {2, 4},   {4, 2}};
  Raster icon;
  icon.Fill(kTransparent);
  for (const Dot& dot : kDots) icon.Set(dot.x, dot.y, kYellow);
  icon.LineTwips(8 * kTwips, 8 * kTwips, 8 * kTwips, 3 * kTwips, kRed);   // minute hand
  icon.LineTwips(8 * kTwips, 8 * kTwips, 12 * kTwips, 8 * kTwips, kRed);  // hour hand
  return icon.ToIcon(kTransparent);
}

}  // namespace kelmora
