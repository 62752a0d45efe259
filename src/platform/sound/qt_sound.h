#pragma once
// Plays WAV files through Qt Multimedia's audio output, each sound on a thread of its own (see
// SoundSession): Play and Stop return at once and nothing here ever waits for a sound, a file or
// the sound server, except the player's destructor, briefly. A new Play stops the sound still
// playing. A file that cannot be played gives the built-in chime, through the same path: at once
// for a missing file or one that is no WAV the player takes, after kStartLimitMs for a file that
// has not begun to play by then (a slow or network disk, a sound server that does not answer).
// Where the chime cannot be heard either (no sound output at all), the beep given to the player
// stands in.

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <map>

#include "platform/services.h"
#include "platform/sound/sound_session.h"

class QThread;

namespace kelmora {

// The chime compiled into the player.
inline constexpr char kChimeResource[] = ":/kelmora/chime.wav";

class QtSound : public QObject, public SoundService {
 public:
  // beep: the platform's alert, for when no sound output exists; runs on this thread.
  explicit QtSound(std::function<void()> beep = {});
  // Stops every sound and gives their threads kShutdownLimitMs to end; a thread still blocked in
  // a file or the sound server then is left to the end of the process.
  ~QtSound() override;

  void Play(const std::string& path) override;
  void Stop() override;

  // How often the chime stood in for a sound that could not be played.
  int ChimesStarted() const { return chimes_started_; }
  // Sounds whose threads have not ended yet.
  int SessionsRunning() const { return static_cast<int>(sessions_.size()); }

  static constexpr int kStartLimitMs = 1500;
  static constexpr int kShutdownLimitMs = 250;

 private:
  enum class Kind { kAlarm, kChime };
  struct Running {
    QThread* thread;
    SoundSession* session;
  };

  void Start(const QString& file, Kind kind);
  void StopCurrent();
  void OnStarted(quint64 id);
  void OnEnded(quint64 id, SoundSession::Outcome outcome);
  void OnStartLimit();
  void FallBack(Kind failed);  // the chime for an alarm, the beep for the chime
  void BeepAndFinish();
  void Finish();
  void Reap(quint64 id);  // deletes a session whose thread has ended

  std::function<void()> beep_;
  std::map<quint64, Running> sessions_;
  quint64 next_id_ = 1;
  quint64 current_ = 0;  // the session of the last Play while it plays, else 0
  Kind current_kind_ = Kind::kAlarm;
  QTimer start_limit_;
  int chimes_started_ = 0;
};

}  // namespace kelmora
