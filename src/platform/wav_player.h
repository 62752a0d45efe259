#pragma once
// WavPlayer: starts an alarm sound and returns at once.

#include <string>

#include "platform/services.h"

namespace kelmora::WavPlayer {

// Plays path through sound; the empty path plays default_sound instead.
inline void PlayWav(SoundService& sound, const std::string& default_sound,
                    const std::string& path) {
  sound.Play(path.empty() ? default_sound : path);
}

}  // namespace kelmora::WavPlayer
