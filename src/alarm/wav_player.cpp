#include "alarm/wav_player.h"

namespace kelmora::WavPlayer {

void PlayWav(SoundService& sound, const std::string& default_sound, const std::string& path) {
  sound.Play(path.empty() ? default_sound : path);
}

}  // namespace kelmora::WavPlayer
