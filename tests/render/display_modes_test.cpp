#include <gtest/gtest.h>

#include <string>

#include "face_pictures.h"
#include "render/clock_face.h"
#include "render/glyphs/glyphs.h"

namespace kelmora {
namespace {

using testing::At;
using testing::DrawnFace;
using testing::kBackground;
using testing::kTestColors;
using testing::Picture;
using testing::PictureText;
using testing::TestFace;

const std::string kBlankPicture = testing::BlankPicture();

// What a digit line shows, one character per cell: the digit whose glyph the cell holds in the
// cell's colour Clr(first_color + cell), ' ' for a blank cell, '?' for anything else.
std::string LineText(const Raster& picture, int top_row, int first_color) {
  const int cell_left[] = {0, 4, 9, 13};
  std::string text;
  for (int cell = 0; cell < 4; ++cell) {
    std::string dots;
    for (int i = 0; i < glyphs::kPatternLength; ++i) {
      const ColorValue color = picture.At(cell_left[cell] + i % 3, top_row + i / 3);
      dots += color == kTestColors[first_color + cell] ? '1' : color == kBackground ? '0' : '?';
    }
    char shown = dots.find_first_not_of('0') == std::string::npos ? ' ' : '?';
    for (int digit = 0; digit < 10; ++digit) {
      if (dots == glyphs::kDigitPatterns[digit]) shown = static_cast<char>('0' + digit);
    }
    text += shown;
  }
  return text;
}

TEST(DisplayModesTest, LoneTimeLineAtTwelveThirtyFour) {
  ClockFace face = TestFace(2, 0);
  EXPECT_EQ(DrawnFace(face, At(2003, 11, 9, 12, 34)), Picture(R"(
................
................
................
................
.0..111..222.3.3
00....1....2.3.3
.0....1....2.3.3
.0..111..222.333
.0..1......2...3
.0..1......2...3
000.111..222...3
................
................
................
................
................
)"));
}

TEST(DisplayModesTest, TimeOverDate) {
  ClockFace face = TestFace(2, 3);
  EXPECT_EQ(DrawnFace(face, At(2003, 11, 9, 14, 7)), Picture(R"(
.0..1.1..222.333
00..1.1..2.2.3.3
.0..1.1..2.2.3.3
.0..111..2.2...3
.0....1..2.2...3
.0....1..2.2...3
000...1..222...3
................
................
.4...5.......777
44..55.......7.7
.4...5.......7.7
.4...5.......777
.4...5.........7
.4...5.........7
444.555........7
)"));
}

// A stored lower line with the analog face (the first pass at load): the date goes over the top
// of the face.
TEST(DisplayModesTest, DateOverTheAnalogFace) {
  ClockFace face = TestFace(0, 3);
  EXPECT_EQ(DrawnFace(face, At(2003, 11, 9, 14, 7)), Picture(R"(
.4...5.......777
44..55..2....7.7
.4..25......27.7
.4...5......0777
.42..5.....0..27
.4...5....0..1.7
444.555...011..7
.........01.....
.2......0......2
................
................
................
..2...........2.
................
....2.......2...
........2.......
)"));
}

TEST(DisplayModesTest, DateOverTime) {
  ClockFace face = TestFace(3, 2);
  face.Draw(At(2003, 11, 9, 14, 7), kBackground);
  EXPECT_EQ(LineText(face.Picture1, 0, 0), "11 9");
  EXPECT_EQ(LineText(face.Picture1, 9, 4), "1407");
}

struct LoneLine {
  std::int16_t mode;
  DateTime now;
  const char* shown;
};

class LoneLineTest : public ::testing::TestWithParam<LoneLine> {};

TEST_P(LoneLineTest, ShowsItsFourCellsInRowsFourToTen) {
  const LoneLine& line = GetParam();
  ClockFace face = TestFace(line.mode, 0);
  const std::string picture = DrawnFace(face, line.now);
  EXPECT_EQ(LineText(face.Picture1, 4, 0), line.shown);
  EXPECT_EQ(picture.substr(0, 4 * 17), kBlankPicture.substr(0, 4 * 17)) << picture;
  EXPECT_EQ(picture.substr(11 * 17), kBlankPicture.substr(11 * 17)) << picture;
}

INSTANTIATE_TEST_SUITE_P(
    Modes, LoneLineTest,
    ::testing::Values(
        LoneLine{2, At(2003, 11, 9, 9, 5), " 905"}, LoneLine{2, At(2003, 11, 9, 0, 0), " 000"},
        LoneLine{2, At(2003, 11, 9, 23, 59), "2359"}, LoneLine{1, At(2003, 11, 9, 12, 30), " 030"},
        LoneLine{1, At(2003, 11, 9, 0, 10), " 010"}, LoneLine{1, At(2003, 11, 9, 11, 59), "1159"},
        LoneLine{1, At(2003, 11, 9, 23, 59), "1159"}, LoneLine{3, At(2004, 1, 1), " 1 1"},
        LoneLine{4, At(2004, 1, 1), "0101"}, LoneLine{3, At(2003, 10, 10), "1010"},
        LoneLine{4, At(2003, 12, 31), "1231"}, LoneLine{5, At(2003, 11, 9), "2003"},
        LoneLine{5, At(999, 5, 6), "0999"}));

TEST(DisplayModesTest, ModesOutsideTheListDrawNothing) {
  for (const std::int16_t mode : {6, -1, 32767, -32768}) {
    ClockFace face = TestFace(mode, 0);
    EXPECT_EQ(DrawnFace(face, At(2003, 11, 9, 12, 34)), kBlankPicture) << mode;
    face.SlctHyo(At(2003, 11, 9, 12, 34), mode, 9, 4);
    EXPECT_EQ(PictureText(face.Picture1), kBlankPicture) << mode;
  }
}

// Cells whose colour index falls outside the eight colours are left blank.
TEST(DisplayModesTest, ColourIndexOutsideTheTableDrawsNothing) {
  ClockFace face = TestFace(2, 0);
  face.Picture1.Fill(kBackground);
  face.SlctHyo(At(2003, 11, 9, 12, 34), 2, 0, 5);
  EXPECT_EQ(PictureText(face.Picture1), Picture(R"(
................
................
................
................
.5..666..777....
55....6....7....
.5....6....7....
.5..666..777....
.5..6......7....
.5..6......7....
555.666..777....
................
................
................
................
................
)"));

  face.Picture1.Fill(kBackground);
  face.SlctHyo(At(2003, 11, 9, 12, 34), 2, 0, -1);
  EXPECT_EQ(LineText(face.Picture1, 4, 0).substr(0, 1), " ");
  face.Picture1.Fill(kBackground);
  face.SlctHyo(At(2003, 11, 9, 12, 34), 2, 0, 32767);
  EXPECT_EQ(PictureText(face.Picture1), kBlankPicture);
}

TEST(DisplayModesTest, EachPassStartsFromAClearPicture) {
  ClockFace face = TestFace(2, 4);
  face.Draw(At(2003, 11, 9, 10, 59), kBackground);
  const std::string second_pass = DrawnFace(face, At(2003, 11, 9, 11, 0));
  ClockFace fresh = TestFace(2, 4);
  EXPECT_EQ(second_pass, DrawnFace(fresh, At(2003, 11, 9, 11, 0)));
}

}  // namespace
}  // namespace kelmora
