#pragma once
// The sound player over PlaySoundW: a file plays asynchronously (SND_FILENAME | SND_ASYNC), a new
// sound replaces the one still playing, Stop silences it. Windows says nothing of a sound's end,
// so it is worked out from the WAV's header and a timer on a hidden window of the player's own
// calls on_finished then. A file that cannot be played (missing, unreadable, no WAV the header
// reader takes, refused by PlaySoundW) gives Kelmora's chime, built into the program as the
// resource KELMORA_CHIME and played from memory; where even that cannot play, the message beep.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "core/wav_header.h"
#include "platform/services.h"
#include "platform/win/hidden_window.h"

namespace kelmora {

class WinSound : public SoundService {
 public:
  WinSound();
  ~WinSound() override;  // silences what plays
  WinSound(const WinSound&) = delete;
  WinSound& operator=(const WinSound&) = delete;

  void Play(const std::string& path) override;
  void Stop() override;

  // How often the chime stood in for a sound that could not be played; for the tests.
  int ChimesStarted() const { return chimes_started_; }
  // Whether a sound plays, as far as its length says; for the tests.
  bool Playing() const { return ends_at_.has_value(); }

 private:
  using Instant = std::chrono::steady_clock::time_point;
  std::optional<LRESULT> OnMessage(UINT message);
  void PlayChime();
  void EndAfter(std::chrono::milliseconds length);
  void OnTimer();

  HiddenWindow window_;
  std::optional<Instant> ends_at_;  // when the sound playing ends by itself
  int chimes_started_ = 0;
};

// The format of the WAV file at path (UTF-8), from its header; nullopt when it cannot be read or
// is no WAV the player takes.
std::optional<WavFormat> ReadWavFile(const std::string& path);
// How long a WAV of this format plays, rounded up to the millisecond.
std::chrono::milliseconds WavLength(const WavFormat& format);
// The chime's WAV as the program carries it; empty when the resource is missing.
std::string_view ChimeWav();

}  // namespace kelmora
