#pragma once
// One sound played from start to end on a thread of its own: the file is opened and read, the
// sound server is asked for an output and fed, all there. Whatever of that blocks (a slow or
// network disk, a sound server that does not answer) blocks only this thread; the player on the
// user-interface thread hears of it through the signals below, or, when they do not come in
// time, gives up on it and starts another.

#include <QAudioSink>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <memory>
#include <optional>

#include "platform/sound/pcm_reader.h"

namespace kelmora {

class SoundSession : public QObject {
  Q_OBJECT

 public:
  enum class Outcome {
    kFinished,    // played to its end
    kUnplayable,  // not a WAV the player takes, or the output refused or lost it
    kNoOutput,    // no sound output at all (no sound server)
  };
  Q_ENUM(Outcome)

  explicit SoundSession(QString file);
  ~SoundSession() override;

  // Opens the file and starts the sound; on the session's thread, once.
  void Start();
  // Ends the sound without a report. Called from any thread: it takes effect at once for a
  // session that has not begun to play, and on the session's thread for one that has.
  void RequestStop();

 signals:
  void Started();  // the first samples went to the output
  void Ended(kelmora::SoundSession::Outcome outcome);

 private:
  void OnSinkState();
  void CheckDrained();
  void End(std::optional<Outcome> outcome);  // nullopt: stopped, no report

  const QString file_;
  std::atomic<bool> stop_requested_ = false;
  bool ended_ = false;
  std::unique_ptr<PcmReader> reader_;
  std::unique_ptr<QAudioSink> sink_;  // destroyed before the reader it pulls from
  QTimer drain_;                      // after the last samples: is the output's buffer empty?
  QDeadlineTimer drain_deadline_;
};

}  // namespace kelmora
