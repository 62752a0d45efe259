#pragma once
// render/glyphs/: the glyph table of the 3x7 digit font; Qt-free, uses nothing else.
// The clock's own 3x7 pixel digit font: one dot pattern per digit.

#include <array>
#include <string_view>

namespace kelmora::glyphs {

inline constexpr int kCellWidth = 3;   // columns of a digit cell
inline constexpr int kCellHeight = 7;  // rows of a digit cell
inline constexpr int kPatternLength = kCellWidth * kCellHeight;

// The dot patterns of the digits 0 to 9, indexed by digit: 21 characters each, read row by row
// from the top, three to a row, left to right; "1" is a lit dot, "0" a dot left untouched.
extern const std::array<std::string_view, 10> kDigitPatterns;

}  // namespace kelmora::glyphs
