#include "platform/qt/qt_sound.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace kelmora {

bool LooksLikeWav(const QString& file) {
  QFile wav(file);
  if (!QFileInfo(file).isFile() || !wav.open(QIODevice::ReadOnly)) return false;
  const QByteArray head = wav.read(12);
  return head.size() == 12 && head.startsWith("RIFF") && head.endsWith("WAVE");
}

QtSound::QtSound() = default;
QtSound::~QtSound() = default;

QtSound::FileStamp QtSound::StampOf(const QString& file) {
  const QFileInfo info(file);
  return {info.lastModified().toMSecsSinceEpoch(), info.size()};
}

bool QtSound::FailedBefore(const QString& file) const {
  const auto known = unplayable_.find(file);
  return known != unplayable_.end() && known->second == StampOf(file);
}

void QtSound::Play(const std::string& path) {
  if (chime_) chime_->stop();
  alarm_.reset();  // stops the sound still playing
  alarm_file_ = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
  if (path.empty() || !LooksLikeWav(alarm_file_) || FailedBefore(alarm_file_)) {
    PlayChime();
    return;
  }
  alarm_ = std::make_unique<QSoundEffect>();
  fell_back_ = false;
  QObject::connect(alarm_.get(), &QSoundEffect::statusChanged, alarm_.get(),
                   [this] { OnAlarmStatus(); });
  alarm_->setSource(QUrl::fromLocalFile(alarm_file_));
  alarm_->play();
  OnAlarmStatus();
}

void QtSound::OnAlarmStatus() {
  if (fell_back_ || alarm_->status() != QSoundEffect::Error) return;
  fell_back_ = true;
  unplayable_[alarm_file_] = StampOf(alarm_file_);
  PlayChime();
}

void QtSound::PlayChime() {
  if (!chime_) {
    chime_ = std::make_unique<QSoundEffect>();
    chime_->setSource(QUrl(QStringLiteral("qrc") + kChimeResource));
  }
  chime_->stop();
  chime_->play();
  ++chimes_started_;
}

}  // namespace kelmora
