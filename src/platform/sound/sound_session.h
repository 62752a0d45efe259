#pragma once
// One sound played from start to end in the player process: the sound server is asked for an
// output and fed from the reader. Whatever of that blocks (a slow or network disk, a sound server
// that does not answer) blocks only the player process, which the program ends when it has waited
// long enough.

#include <QAudioSink>
#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>
#include <memory>

#include "platform/sound/pcm_reader.h"

namespace kelmora {

// The chime compiled into the player module.
inline constexpr char kChimeResource[] = ":/kelmora/chime.wav";

class SoundSession : public QObject {
  Q_OBJECT

 public:
  enum class Outcome {
    kFinished,    // played to its end
    kUnplayable,  // not a WAV the player takes, or the output refused or lost it
    kNoOutput,    // no sound output at all (no sound server)
  };
  Q_ENUM(Outcome)

  // reader: the sound's samples; nullptr for a file that could not be read as a WAV.
  explicit SoundSession(std::unique_ptr<PcmReader> reader);
  ~SoundSession() override;

  // Starts the sound, once; Ended follows, from this call or later.
  void Start();

 signals:
  void Started();  // the first samples went to the output
  void Ended(kelmora::SoundSession::Outcome outcome);

 private:
  void OnSinkState();
  void CheckDrained();
  void End(Outcome outcome);

  bool ended_ = false;
  std::unique_ptr<PcmReader> reader_;
  std::unique_ptr<QAudioSink> sink_;  // destroyed before the reader it pulls from
  QTimer drain_;                      // after the last samples: is the output's buffer empty?
  QDeadlineTimer drain_deadline_;
};

}  // namespace kelmora
