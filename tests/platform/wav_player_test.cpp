// Which sound an alarm plays.

#include "platform/wav_player.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_services.h"

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

}  // namespace
}  // namespace kelmora
