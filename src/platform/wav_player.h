#pragma once
// WavPlayer: starts an alarm sound and returns at once.

#include <string>

#include "core/code_page.h"
#include "core/path_text.h"
#include "core/text_file.h"
#include "platform/services.h"

namespace kelmora::WavPlayer {

// The file a sound path names: its bytes, when they name a file; else its decoded text, when
// that names one (a path from a Japanese Windows system in CP932, its file's name now UTF-8 on
// disk); else the bytes, which the player answers with its chime.
inline std::string SoundFile(const std::string& path) {
  if (IsOrdinaryFile(PathOf(path))) return path;
  std::string decoded = DecodeLine(path);
  return decoded != path && IsOrdinaryFile(PathOf(decoded)) ? decoded : path;
}

// The file an alarm's sound path plays: the empty path plays default_sound instead.
inline std::string FileToPlay(const std::string& default_sound, const std::string& path) {
  return path.empty() ? default_sound : SoundFile(path);
}

// Plays path through sound; the empty path plays default_sound instead.
inline void PlayWav(SoundService& sound, const std::string& default_sound,
                    const std::string& path) {
  sound.Play(FileToPlay(default_sound, path));
}

}  // namespace kelmora::WavPlayer
