#pragma once
// Twips: the unit the windows' layout and the face's drawing are given in, taken as fifteen to
// the pixel.

namespace kelmora {

inline constexpr int kTwipsPerPixel = 15;

// Where a control stands in its window, in twips: left, top, width, height.
struct TwipsBox {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

}  // namespace kelmora
