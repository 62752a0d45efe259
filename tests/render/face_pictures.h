#pragma once
// Helpers for the face tests: a face with eight distinct colours, clock readings, and the 16x16
// picture as text, one character per pixel, so a failing comparison prints the face itself.

#include <array>
#include <chrono>
#include <string>
#include <string_view>

#include "render/clock_face.h"
#include "render/raster.h"

namespace kelmora::testing {

// The background of every test face, distinct from the eight test colours.
inline constexpr ColorValue kBackground = Rgb(212, 208, 200);

// Clr(0)..Clr(7) of a test face: eight distinct colours, none equal to the background.
inline constexpr std::array<ColorValue, 8> kTestColors = {
    Rgb(200, 30, 30),  Rgb(30, 200, 30),  Rgb(30, 30, 200), Rgb(200, 200, 30),
    Rgb(30, 200, 200), Rgb(200, 30, 200), Rgb(120, 60, 0),  Rgb(0, 60, 120)};

inline ClockFace TestFace(std::int16_t mode1, std::int16_t mode2) {
  ClockFace face;
  face.Mode1 = mode1;
  face.Mode2 = mode2;
  face.Clr = kTestColors;
  return face;
}

// A local date-time from its parts.
inline DateTime At(int year, unsigned month, unsigned day, int hour = 0, int minute = 0) {
  using namespace std::chrono;
  return local_days{std::chrono::year{year} / month / day} + hours{hour} + minutes{minute};
}

// The picture as text: '.' the background, '0'..'7' the test colour Clr(0)..Clr(7), '?' any
// other colour; each row ends in a newline.
inline std::string PictureText(const Raster& picture) {
  std::string text;
  for (int y = 0; y < Raster::kSize; ++y) {
    for (int x = 0; x < Raster::kSize; ++x) {
      const ColorValue color = picture.At(x, y);
      char pixel = color == kBackground ? '.' : '?';
      for (int index = 0; index < 8 && pixel == '?'; ++index) {
        if (color == kTestColors[index]) pixel = static_cast<char>('0' + index);
      }
      text += pixel;
    }
    text += '\n';
  }
  return text;
}

// A picture of background only.
inline std::string BlankPicture() {
  std::string text;
  for (int y = 0; y < Raster::kSize; ++y) text += std::string(Raster::kSize, '.') + '\n';
  return text;
}

// An expected picture written as a raw string that starts on the line after its opening quote.
inline std::string Picture(std::string_view art) {
  if (!art.empty() && art.front() == '\n') art.remove_prefix(1);
  return std::string(art);
}

// The face drawn by one rendering pass with the test background, as text.
inline std::string DrawnFace(ClockFace& face, DateTime now) {
  face.Draw(now, kBackground);
  return PictureText(face.Picture1);
}

}  // namespace kelmora::testing
