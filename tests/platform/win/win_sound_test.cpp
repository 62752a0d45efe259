#include "platform/win/win_sound.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/path_text.h"
#include "temp_folder_win.h"

namespace kelmora {
namespace {

using std::chrono::milliseconds;

struct Length {
  std::uint32_t rate;
  int frame_bytes;
  std::uint64_t data_bytes;
  milliseconds length;
};

class WavLengthTest : public testing::TestWithParam<Length> {};

TEST_P(WavLengthTest, IsTheFramesOverTheRateRoundedUp) {
  WavFormat format;
  format.rate = GetParam().rate;
  format.frame_bytes = GetParam().frame_bytes;
  format.data_bytes = GetParam().data_bytes;
  EXPECT_EQ(WavLength(format), GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(Formats, WavLengthTest,
                         testing::Values(Length{44100, 4, 44100 * 4 * 3, milliseconds{3000}},
                                         Length{8000, 1, 8001, milliseconds{1001}},
                                         Length{48000, 6, 6, milliseconds{1}},
                                         // 100 hours of 8-bit mono: no overflow on the way
                                         Length{1000, 1, 360'000'000, milliseconds{360'000'000}}));

TEST(ChimeTest, IsBuiltInAsAWavOfAFewSeconds) {
  const std::string_view chime = ChimeWav();
  const std::optional<WavFormat> format = ReadWavFormat(chime, chime.size());
  ASSERT_TRUE(format);
  EXPECT_GT(WavLength(*format), milliseconds{200});
  EXPECT_LT(WavLength(*format), milliseconds{5000});
}

TEST(WinSoundTest, AFileThatCannotPlayGivesTheChimeUntilStopped) {
  TempFolder folder;
  const std::string text = PathText(folder.path() / "not a sound.wav");
  std::ofstream(PathOf(text)) << "RIFF, but not really";
  WinSound sound;
  sound.Play(PathText(folder.path() / "missing.wav"));
  sound.Play(text);
  EXPECT_EQ(sound.ChimesStarted(), 2);
  EXPECT_TRUE(sound.Playing());
  sound.Stop();
  EXPECT_FALSE(sound.Playing());
}

TEST(ReadWavFileTest, ReadsTheChimeFromDiskAndNothingFromAFolder) {
  TempFolder folder;
  const std::string path = PathText(folder.path() / "チャイム.wav");
  std::ofstream(PathOf(path), std::ios::binary) << ChimeWav();
  EXPECT_EQ(ReadWavFile(path), ReadWavFormat(ChimeWav(), ChimeWav().size()));
  EXPECT_FALSE(ReadWavFile(PathText(folder.path())));
}

}  // namespace
}  // namespace kelmora
