// Which sound an alarm plays.

#include "platform/wav_player.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "fakes/fake_services.h"
#include "temp_folder.h"

namespace kelmora {
namespace {

using ::testing::ElementsAre;

TEST(WavPlayer, EmptyPathPlaysTheDefaultSoundOthersUnchanged) {
  fakes::FakeSound sound;
  WavPlayer::PlayWav(sound, "/usr/share/kelmora/sounds/alarm.wav", "");
  WavPlayer::PlayWav(sound, "/usr/share/kelmora/sounds/alarm.wav", "/no/such file.wav");
  WavPlayer::PlayWav(sound, "/usr/share/kelmora/sounds/alarm.wav", " ");
  EXPECT_THAT(sound.played,
              ElementsAre("/usr/share/kelmora/sounds/alarm.wav", "/no/such file.wav", " "));
}

// A path in CP932 whose bytes name no file finds it by its decoded name.
TEST(WavPlayer, PlaysTheFileTheBytesNameElseTheDecodedName) {
  const testing::TempFolder temp{"wav"};
  const std::string latin1 = (temp.path() / "\xE9t\xE9s.wav").string();  // valid CP932 too
  const std::string decoded = (temp.path() / "音.wav").string();
  for (const std::string& file : {latin1, decoded}) std::ofstream(file) << "RIFF";
  const std::string cp932 = (temp.path() / "\x89\xB9.wav").string();
  fakes::FakeSound sound;
  WavPlayer::PlayWav(sound, "/default.wav", latin1);
  WavPlayer::PlayWav(sound, "/default.wav", cp932);
  EXPECT_THAT(sound.played, ElementsAre(latin1, decoded));
}

}  // namespace
}  // namespace kelmora
