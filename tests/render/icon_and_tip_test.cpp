#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

#include "face_pictures.h"
#include "render/clock_face.h"

namespace kelmora {
namespace {

using testing::At;
using testing::kBackground;
using testing::Picture;
using testing::TestFace;

// An icon as text: '.' transparent, 'Y' opaque yellow, 'R' opaque red, 'o' any other opaque
// colour, '?' anything else.
std::string IconText(const IconImage& icon) {
  std::string text;
  for (int i = 0; i < IconImage::kSize * IconImage::kSize; ++i) {
    const std::uint32_t pixel = icon.argb[i];
    const std::uint32_t alpha = pixel >> 24;
    char shown = '?';
    if (alpha == 0) {
      shown = '.';
    } else if (pixel == 0xFFFFFF00u) {
      shown = 'Y';
    } else if (pixel == 0xFFFF0000u) {
      shown = 'R';
    } else if (alpha == 0xFF) {
      shown = 'o';
    }
    text += shown;
    if (i % IconImage::kSize == IconImage::kSize - 1) text += '\n';
  }
  return text;
}

TEST(ProgramIconTest, ClockAtThreeWithYellowDotsAndRedHands) {
  EXPECT_EQ(IconText(ProgramIcon()), Picture(R"(
................
........Y.......
....Y.......Y...
........R.......
..Y.....R.....Y.
........R.......
........R.......
........R.......
.Y......RRRRR..Y
................
................
................
..Y...........Y.
................
....Y.......Y...
........Y.......
)"));
}

// A digit in the background colour disappears from the icon with the background.
TEST(FaceIconTest, BackgroundColouredCellsAreTransparent) {
  ClockFace face = TestFace(2, 0);
  face.Clr[1] = kBackground;
  face.Draw(At(2003, 11, 9, 12, 34), kBackground);
  EXPECT_EQ(IconText(face.Picture1.ToIcon(kBackground)), Picture(R"(
................
................
................
................
.o.......ooo.o.o
oo.........o.o.o
.o.........o.o.o
.o.......ooo.ooo
.o.........o...o
.o.........o...o
ooo......ooo...o
................
................
................
................
................
)"));
}

constexpr const char* kTipFormat = "yyyy/mm/dd hh:mm aaa";

struct TipCase {
  const char* first_alarm_line;  // null: no alarms
  const char* tip;
};

// Names each case by its alarm line (the default, the pointers' bytes, may give two cases one
// name).
void PrintTo(const TipCase& c, std::ostream* out) {
  if (c.first_alarm_line == nullptr) {
    *out << "no alarm";
    return;
  }
  for (const char* at = c.first_alarm_line; *at != '\0'; ++at) *out << (*at == '\t' ? '|' : *at);
  *out << " (" << std::strlen(c.first_alarm_line) << " bytes)";
}

class TipTextTest : public ::testing::TestWithParam<TipCase> {};

TEST_P(TipTextTest, TimeThenTheNextDueTime) {
  const TipCase& param = GetParam();
  const std::string line = param.first_alarm_line ? param.first_alarm_line : "";
  EXPECT_EQ(TipText(At(2003, 11, 9, 14, 7), kTipFormat, param.first_alarm_line ? &line : nullptr),
            param.tip);
}

INSTANTIATE_TEST_SUITE_P(
    Alarms, TipTextTest,
    ::testing::Values(
        TipCase{nullptr, "2003/11/09 14:07 日"},
        TipCase{"2003/11/09 15:00:00\t1h\tE\tx.wav", "2003/11/09 14:07 日[♪2003/11/09 15:00:00]"},
        TipCase{"2003/11/09 15:00:00", "2003/11/09 14:07 日[♪2003/11/09 15:00:00]"},
        TipCase{"2003/11/09", "2003/11/09 14:07 日[♪2003/11/09]"},
        TipCase{"", "2003/11/09 14:07 日[♪]"},
        // nineteen characters, not nineteen bytes
        TipCase{"あいうえおかきくけこさしすせそたちつてと",
                "2003/11/09 14:07 日[♪あいうえおかきくけこさしすせそたちつて]"},
        TipCase{"２００３/11/09 15:00:00\tx", "2003/11/09 14:07 日[♪２００３/11/09 15:00:00]"},
        // "２" in CP932, shown decoded
        TipCase{"\x82\x51"
                "003/11/09 15:00:00\t1h\tE\t\x89\xB9.wav",
                "2003/11/09 14:07 日[♪２003/11/09 15:00:00]"}));

TEST(TipTest, TipsWithTheLetterSMayShowSeconds) {
  EXPECT_FALSE(TipMayShowSeconds("yyyy/mm/dd hh:mm aaa"));
  EXPECT_FALSE(TipMayShowSeconds("h:n A/P"));
  EXPECT_TRUE(TipMayShowSeconds("hh:nn:ss"));
  EXPECT_TRUE(TipMayShowSeconds("hh:nn:SS"));
  EXPECT_TRUE(TipMayShowSeconds("\"Seoul \"hh:nn"));  // errs on the safe side
}

}  // namespace
}  // namespace kelmora
