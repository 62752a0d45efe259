#pragma once
// Twips: the unit the windows' layout and the face's drawing are given in, taken as fifteen to
// the pixel.

namespace kelmora {

inline constexpr int kTwipsPerPixel = 15;

}  // namespace kelmora
