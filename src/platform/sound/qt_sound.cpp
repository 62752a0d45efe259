#include "platform/sound/qt_sound.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>
#include <string_view>

#include "platform/runtime/wav_header.h"

namespace kelmora {

bool LooksLikeWav(const QString& file) {
  QFile wav(file);
  if (!QFileInfo(file).isFile() || !wav.open(QIODevice::ReadOnly)) return false;
  const QByteArray head = wav.read(static_cast<qint64>(kWavHeadBytes));
  return ReadWavFormat(std::string_view(head.constData(), static_cast<std::size_t>(head.size())),
                       static_cast<std::uint64_t>(wav.size()))
      .has_value();
}

QtSound::QtSound() = default;

namespace {

// Destroying an effect whose file is still loading waits for Qt's loader, which for some files
// never finishes: such an effect is let go instead of destroyed.
void Drop(std::unique_ptr<QSoundEffect>& effect) {
  if (effect && effect->status() == QSoundEffect::Loading) {
    effect->stop();
    (void)effect.release();
  }
  effect.reset();
}

}  // namespace

QtSound::~QtSound() {
  Drop(alarm_);
  Drop(chime_);
}

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
  Drop(alarm_);  // stops the sound still playing
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
  // A file the loader never finishes with leaves the effect loading: after a while the chime
  // stands in, and the stuck effect is let go rather than destroyed (that would wait forever).
  QTimer::singleShot(kLoadingLimitMs, alarm_.get(), [this, effect = alarm_.get()] {
    if (alarm_.get() != effect || effect->status() != QSoundEffect::Loading) return;
    (void)alarm_.release();
    GiveUpOnAlarm();
  });
}

void QtSound::OnAlarmStatus() {
  if (alarm_->status() == QSoundEffect::Error) GiveUpOnAlarm();
}

void QtSound::GiveUpOnAlarm() {
  if (fell_back_) return;
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
