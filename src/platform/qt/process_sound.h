#pragma once
// The sound player as the program uses it: each sound plays in a player process of its own
// ("kelmora_play", see platform/sound/player_protocol.h), so the program itself never loads Qt
// Multimedia, never connects to the sound server and never waits for a file or the server.
// Play and Stop return at once. A new Play ends the process still playing (SIGKILL): whatever it
// held (its memory, the server connection, a call stuck in a server that does not answer) goes
// with it, so at most one sound is ever under way. A file that cannot be played gives the
// built-in chime, in a new player: at once for a missing file or one that is no WAV the player
// takes, after kStartLimitMs for a sound that has not begun by then (a slow or network disk, a
// sound server that does not answer). Where the chime cannot be heard either (no sound output at
// all, or it did not begin in time), the beep given to the player stands in. A player that cannot
// be started at all is told once on standard error, and each sound beeps instead.

#include <sys/types.h>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

#include "platform/services.h"

namespace kelmora {

class ProcessSound : public QObject, public SoundService {
 public:
  // player: the player program's path; beep: the platform's alert, for when nothing else can be
  // heard.
  ProcessSound(QString player, std::function<void()> beep);
  // Ends every player process; one that does not go within kShutdownLimitMs (stuck in the kernel
  // on a disk that does not answer) is left to end by itself.
  ~ProcessSound() override;

  void Play(const std::string& path) override;
  void Stop() override;

  // How often the chime stood in for a sound that could not be played.
  int ChimesStarted() const { return chimes_started_; }
  // Player processes that have not been reaped yet.
  int PlayersRunning() const { return static_cast<int>(players_.size()); }

  static constexpr int kStartLimitMs = 1500;
  static constexpr int kShutdownLimitMs = 250;

 private:
  enum class Kind { kAlarm, kChime };
  struct Player {
    pid_t pid = -1;
    int process_descriptor = -1;  // a pidfd: readable once the process has ended
    int report_descriptor = -1;   // the read end of the player's report pipe
    std::unique_ptr<QSocketNotifier> ended;
    std::unique_ptr<QSocketNotifier> report;
  };

  void Start(const std::string& file, Kind kind);
  bool Spawn(const std::string& file, Player& player);
  void StopCurrent();
  void OnReport(pid_t pid);
  void OnEnded(pid_t pid);
  void OnStartLimit();
  void FallBack(Kind failed);  // the chime for an alarm, the beep for the chime
  void BeepAndFinish();        // from the event loop, as a sound that ends at once
  void Finish();
  static void Release(Player& player);  // closes its descriptors

  QString player_path_;
  std::function<void()> beep_;
  std::map<pid_t, Player> players_;
  pid_t current_ = -1;  // the player of the last Play while it plays, else -1
  Kind current_kind_ = Kind::kAlarm;
  QTimer start_limit_;
  QTimer beep_over_;  // the beep's on_finished, from the event loop
  bool told_no_player_ = false;
  int chimes_started_ = 0;
};

// <folder of the executable>/../lib/kelmora/kelmora_play, as a clean absolute path. Needs a
// QCoreApplication.
QString DefaultSoundPlayerPath();

}  // namespace kelmora
