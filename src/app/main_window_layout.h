#pragma once
// Where the main window's controls stand, in twips (15 to the pixel): one table for every
// toolkit's window and for the test that checks one.

#include <array>

#include "core/twips.h"

namespace kelmora::MainWindowLayout {

inline constexpr int kWidth = 2370;  // the window's own area, without the frame
inline constexpr int kHeight = 2250;

inline constexpr TwipsBox kPicture1{120, 120, 240, 240};  // the face's preview
inline constexpr TwipsBox kText1{480, 120, 555, 270};     // the update interval
inline constexpr TwipsBox kLabel1{1080, 180, 180, 180};   // 秒
inline constexpr TwipsBox kCommand1{1320, 60, 615, 315};  // 設定
inline constexpr TwipsBox kCommand2{1920, 60, 375, 315};  // ♪
inline constexpr TwipsBox kCombo1{60, 480, 2235, 300};    // the upper line's mode
inline constexpr TwipsBox kFrame1{60, 720, 2235, 555};    // the upper line's colour labels
inline constexpr TwipsBox kCombo2{60, 1380, 2235, 300};   // the lower line's mode
inline constexpr TwipsBox kFrame2{60, 1620, 2235, 555};   // the lower line's colour labels
// The colour labels, inside their frame: １..４ in the first, ５..８ in the second.
inline constexpr std::array<int, 4> kLabelLefts = {180, 660, 1140, 1620};
inline constexpr int kLabelTop = 240;
inline constexpr int kLabelWidth = 330;
inline constexpr int kLabelHeight = 195;

}  // namespace kelmora::MainWindowLayout
