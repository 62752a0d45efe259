#pragma once
// Where the alarm editor's controls stand, in twips (15 to the pixel): one table for every
// toolkit's window and for the test that checks one.

#include "core/twips.h"

namespace kelmora::EditorLayout {

inline constexpr int kWidth = 2355;  // the window's own area, without the frame
inline constexpr int kHeight = 3030;

inline constexpr TwipsBox kList1{60, 60, 2235, 1320};       // the editor's list
inline constexpr TwipsBox kLabel1{60, 1500, 720, 180};      // 指定時刻
inline constexpr TwipsBox kText1{60, 1680, 375, 255};       // the hour
inline constexpr TwipsBox kVScroll1{420, 1680, 135, 255};   // its spinner
inline constexpr TwipsBox kText4{600, 1680, 375, 255};      // the minute
inline constexpr TwipsBox kVScroll2{960, 1680, 135, 255};   // its spinner
inline constexpr TwipsBox kText5{1140, 1680, 375, 255};     // the second
inline constexpr TwipsBox kVScroll3{1500, 1680, 135, 255};  // its spinner
inline constexpr TwipsBox kCommand1{1740, 1560, 555, 375};  // wav
inline constexpr TwipsBox kCheck1{60, 2040, 1035, 240};     // 繰り返し
inline constexpr TwipsBox kCheck2{1680, 2040, 675, 255};    // 回数
inline constexpr TwipsBox kText2{60, 2280, 375, 300};       // the interval's number
inline constexpr TwipsBox kCombo1{480, 2280, 810, 300};     // its unit
inline constexpr TwipsBox kLabel2{1320, 2340, 345, 180};    // 毎に
inline constexpr TwipsBox kText3{1680, 2280, 375, 300};     // the count
inline constexpr TwipsBox kLabel3{2100, 2340, 180, 180};    // 回
inline constexpr TwipsBox kCommand2{60, 2640, 2235, 315};   // 登録

}  // namespace kelmora::EditorLayout
