// The sound player module's one entry point: the player process looks it up by name after
// loading the module and hands it the WAV file it has opened.

#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

#include "platform/sound/player_protocol.h"
#include "platform/sound/sound_session.h"

namespace {

int ExitCodeOf(kelmora::SoundSession::Outcome outcome) {
  switch (outcome) {
    case kelmora::SoundSession::Outcome::kFinished:
      return kelmora::player::kFinished;
    case kelmora::SoundSession::Outcome::kUnplayable:
      return kelmora::player::kUnplayable;
    case kelmora::SoundSession::Outcome::kNoOutput:
      return kelmora::player::kNoOutput;
  }
  return kelmora::player::kUnplayable;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int kelmora_play_sound(int argc, char** argv,
                                                                         int wav_descriptor,
                                                                         int report_descriptor) {
  QCoreApplication app(argc, argv);
  auto reader = wav_descriptor >= 0
                    ? kelmora::PcmReader::Open(wav_descriptor)
                    : kelmora::PcmReader::Open(QString::fromLatin1(kelmora::kChimeResource));
  kelmora::SoundSession session(std::move(reader));
  QObject::connect(&session, &kelmora::SoundSession::Started, [report_descriptor] {
    [[maybe_unused]] const ssize_t written =
        ::write(report_descriptor, &kelmora::player::kBegunByte, 1);
  });
  QObject::connect(
      &session, &kelmora::SoundSession::Ended, &app,
      [&app](kelmora::SoundSession::Outcome outcome) { app.exit(ExitCodeOf(outcome)); });
  QTimer::singleShot(0, &session, &kelmora::SoundSession::Start);
  const int code = QCoreApplication::exec();
  // Qt Multimedia's global objects (the sound server's connection and its threads) are not torn
  // down: the process ends here, and takes them with it.
  std::fflush(nullptr);
  ::_exit(code);
}
