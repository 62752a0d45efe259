#include "platform/sound/sound_session.h"

#include <QAudioDevice>
#include <QMediaDevices>

namespace kelmora {
namespace {

// How often the output's buffer is looked at once the file has been read to its end, and how
// much longer than the buffer's own length that may take before the sound counts as over.
constexpr int kDrainPollMs = 20;
constexpr int kDrainSlackMs = 1000;

}  // namespace

SoundSession::SoundSession(std::unique_ptr<PcmReader> reader)
    : reader_(std::move(reader)), drain_(this) {
  drain_.setInterval(kDrainPollMs);
  connect(&drain_, &QTimer::timeout, this, &SoundSession::CheckDrained);
}

SoundSession::~SoundSession() = default;

void SoundSession::Start() {
  if (!reader_) return End(Outcome::kUnplayable);
  if (QMediaDevices::audioOutputs().isEmpty()) return End(Outcome::kNoOutput);
  const QAudioDevice output = QMediaDevices::defaultAudioOutput();
  if (!output.isFormatSupported(reader_->Format())) return End(Outcome::kUnplayable);
  reader_->on_first_samples = [this] { emit Started(); };
  sink_ = std::make_unique<QAudioSink>(output, reader_->Format());
  // Queued: the sink reports from inside its own calls, and the report may end the sink.
  connect(sink_.get(), &QAudioSink::stateChanged, this, &SoundSession::OnSinkState,
          Qt::QueuedConnection);
  sink_->start(reader_.get());
  if (sink_->state() == QAudio::StoppedState) End(Outcome::kUnplayable);
}

void SoundSession::OnSinkState() {
  if (ended_) return;
  const QAudio::State state = sink_->state();
  if (state == QAudio::StoppedState && sink_->error() != QAudio::NoError) {
    End(Outcome::kUnplayable);
  } else if (state == QAudio::IdleState && reader_->Exhausted() && !drain_.isActive()) {
    // Everything is with the output now; the sound ends when the output has played it.
    const qint64 buffered_ms = sink_->format().durationForBytes(sink_->bufferSize()) / 1000;
    drain_deadline_.setRemainingTime(buffered_ms + kDrainSlackMs);
    drain_.start();
  }
}

void SoundSession::CheckDrained() {
  if (sink_->bytesFree() >= sink_->bufferSize() || drain_deadline_.hasExpired()) {
    End(Outcome::kFinished);
  }
}

void SoundSession::End(Outcome outcome) {
  if (ended_) return;
  ended_ = true;
  drain_.stop();
  if (sink_) sink_->stop();
  sink_.reset();
  reader_.reset();
  emit Ended(outcome);
}

}  // namespace kelmora
