// Splitting alarm lines, what the tick reads of line 0, and which sound an alarm plays.

#include "alarm/alarm_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "alarm/wav_player.h"
#include "fakes/fake_services.h"

namespace kelmora {
namespace {

using ::testing::ElementsAre;

TEST(SplitFields, SplitsAtEveryTabAndKeepsEmptyFields) {
  EXPECT_THAT(SplitFields(""), ElementsAre(""));
  EXPECT_THAT(SplitFields("a\t\tb\t"), ElementsAre("a", "", "b", ""));
  EXPECT_THAT(SplitFields("\t"), ElementsAre("", ""));
  EXPECT_THAT(SplitFields("a b,c"), ElementsAre("a b,c"));
}

struct TickCase {
  const char* line;
  std::optional<DateTime> due;
  const char* sound_path;
};

class ReadForTickTable : public ::testing::TestWithParam<TickCase> {};

TEST_P(ReadForTickTable, ReadsDueTimeAndSoundPath) {
  const TickView view = ReadForTick(GetParam().line);
  EXPECT_EQ(view.due, GetParam().due);
  EXPECT_EQ(view.sound_path, GetParam().sound_path);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReadForTickTable,
    ::testing::Values(TickCase{"2026/12/06 07:30:00\t1h\tE\t/snd/a.wav",
                               MakeDateTime(2026, 12, 6, 7, 30), "/snd/a.wav"},
                      TickCase{"2003/11/9 7:05:00\t0z\t0\t", MakeDateTime(2003, 11, 9, 7, 5), ""},
                      TickCase{"2026/12/06 07:30:00\t1h", MakeDateTime(2026, 12, 6, 7, 30),
                               ""},  // too short
                      TickCase{"2026/12/06 07:30:00\t1h\tE\tb.wav\textra",
                               MakeDateTime(2026, 12, 6, 7, 30), "b.wav"},
                      TickCase{"not a time\t1h\tE\tc.wav", std::nullopt, "c.wav"},
                      TickCase{"", std::nullopt, ""}));

TEST(WavPlayer, EmptyPathPlaysTheDefaultSoundOthersUnchanged) {
  fakes::FakeSound sound;
  WavPlayer::PlayWav(sound, "/usr/share/kelmora/sounds/alarm.wav", "");
  WavPlayer::PlayWav(sound, "/usr/share/kelmora/sounds/alarm.wav", "/no/such file.wav");
  WavPlayer::PlayWav(sound, "/usr/share/kelmora/sounds/alarm.wav", " ");
  EXPECT_THAT(sound.played,
              ElementsAre("/usr/share/kelmora/sounds/alarm.wav", "/no/such file.wav", " "));
}

}  // namespace
}  // namespace kelmora
