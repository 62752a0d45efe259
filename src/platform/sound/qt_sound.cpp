#include "platform/sound/qt_sound.h"

#include <QDeadlineTimer>
#include <QThread>

namespace kelmora {

QtSound::QtSound(std::function<void()> beep) : beep_(std::move(beep)) {
  start_limit_.setSingleShot(true);
  start_limit_.setInterval(kStartLimitMs);
  connect(&start_limit_, &QTimer::timeout, this, &QtSound::OnStartLimit);
}

QtSound::~QtSound() {
  for (auto& [id, running] : sessions_) running.session->RequestStop();
  const QDeadlineTimer deadline(kShutdownLimitMs);
  for (auto& [id, running] : sessions_) {
    if (!running.thread->wait(deadline)) continue;  // left running, with its session
    delete running.session;
    delete running.thread;
  }
}

void QtSound::Play(const std::string& path) {
  StopCurrent();
  if (path.empty()) {
    Start(QString::fromLatin1(kChimeResource), Kind::kChime);
  } else {
    Start(QString::fromStdString(path), Kind::kAlarm);
  }
}

void QtSound::Stop() {
  StopCurrent();
}

void QtSound::Start(const QString& file, Kind kind) {
  const quint64 id = next_id_++;
  auto* thread = new QThread;
  thread->setObjectName(QStringLiteral("kelmora-sound"));
  auto* session = new SoundSession(file);
  session->moveToThread(thread);
  connect(thread, &QThread::started, session, &SoundSession::Start);
  connect(session, &SoundSession::Started, this, [this, id] { OnStarted(id); });
  connect(session, &SoundSession::Ended, this,
          [this, id](SoundSession::Outcome outcome) { OnEnded(id, outcome); });
  connect(thread, &QThread::finished, this, [this, id] { Reap(id); });
  sessions_[id] = {thread, session};
  current_ = id;
  current_kind_ = kind;
  if (kind == Kind::kChime) ++chimes_started_;
  start_limit_.start();
  thread->start();
}

void QtSound::StopCurrent() {
  start_limit_.stop();
  if (current_ == 0) return;
  sessions_.at(current_).session->RequestStop();
  current_ = 0;
}

void QtSound::OnStarted(quint64 id) {
  if (id == current_) start_limit_.stop();
}

void QtSound::OnEnded(quint64 id, SoundSession::Outcome outcome) {
  if (id != current_) return;  // stopped or replaced: it no longer counts
  start_limit_.stop();
  current_ = 0;
  switch (outcome) {
    case SoundSession::Outcome::kFinished:
      return Finish();
    case SoundSession::Outcome::kUnplayable:
      return FallBack(current_kind_);
    case SoundSession::Outcome::kNoOutput:
      return BeepAndFinish();
  }
}

// The sound has not begun within its limit: it is let go, whatever holds it up.
void QtSound::OnStartLimit() {
  const Kind kind = current_kind_;
  StopCurrent();
  FallBack(kind);
}

void QtSound::FallBack(Kind failed) {
  if (failed == Kind::kAlarm) {
    Start(QString::fromLatin1(kChimeResource), Kind::kChime);
  } else {
    BeepAndFinish();
  }
}

void QtSound::BeepAndFinish() {
  if (beep_) beep_();
  Finish();
}

void QtSound::Finish() {
  if (on_finished) on_finished();
}

void QtSound::Reap(quint64 id) {
  const auto found = sessions_.find(id);
  if (found == sessions_.end()) return;
  // The thread has said it is finishing; it is gone a moment later.
  if (!found->second.thread->wait(QDeadlineTimer(kShutdownLimitMs))) return;
  delete found->second.session;
  delete found->second.thread;
  sessions_.erase(found);
}

}  // namespace kelmora
