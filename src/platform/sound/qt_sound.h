#pragma once
// Plays WAV files with QSoundEffect: starts at once and returns at once; a new call stops the
// sound still playing. A file that cannot be played gives the built-in chime instead: a missing,
// unreadable or non-WAV file at once, a broken WAV when the effect's status turns to Error
// (within milliseconds).

#include <QSoundEffect>
#include <QString>
#include <map>
#include <memory>
#include <utility>

#include "platform/services.h"

namespace kelmora {

// The chime compiled into the program.
inline constexpr char kChimeResource[] = ":/kelmora/chime.wav";

// True when file is a readable WAV file with samples the player takes.
bool LooksLikeWav(const QString& file);

class QtSound : public SoundService {
 public:
  QtSound();
  ~QtSound() override;
  void Play(const std::string& path) override;

  // How often the chime stood in for a sound that could not be played.
  int ChimesStarted() const { return chimes_started_; }
  // The effect of the last Play call that got as far as the player, else nullptr.
  const QSoundEffect* AlarmEffect() const { return alarm_.get(); }
  // The chime's effect once it was first needed, else nullptr.
  const QSoundEffect* ChimeEffect() const { return chime_.get(); }

 private:
  // A file as it was when it failed: last change (ms since the epoch) and size.
  using FileStamp = std::pair<qint64, qint64>;
  static FileStamp StampOf(const QString& file);

  bool FailedBefore(const QString& file) const;
  void OnAlarmStatus();
  void GiveUpOnAlarm();  // the chime stands in for the current alarm file from now on

  static constexpr int kLoadingLimitMs = 1500;
  void PlayChime();

  std::unique_ptr<QSoundEffect> alarm_;
  QString alarm_file_;
  bool fell_back_ = false;  // the chime already stands in for the current alarm effect
  std::unique_ptr<QSoundEffect> chime_;
  int chimes_started_ = 0;
  // WAV files the player could not decode. Qt's sample cache keeps a failed file and, asked for
  // it again, may never answer; such a file goes straight to the chime until it changes.
  std::map<QString, FileStamp> unplayable_;
};

}  // namespace kelmora
