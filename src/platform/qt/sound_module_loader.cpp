#include "platform/qt/sound_module_loader.h"

#include <QApplication>
#include <QDir>
#include <cstdio>

#include "platform/sound/module_entry.h"

namespace kelmora {

SoundModuleLoader::SoundModuleLoader(const QString& module_path) : module_(module_path) {
  // Qt Multimedia keeps threads that outlive any one player, and so may the player's own sound
  // threads (one blocked on a slow disk): the module stays.
  module_.setLoadHints(QLibrary::PreventUnloadHint);
  beep_over_.setSingleShot(true);
  beep_over_.setInterval(0);
  QObject::connect(&beep_over_, &QTimer::timeout, [this] { Finished(); });
}

SoundModuleLoader::~SoundModuleLoader() = default;

bool SoundModuleLoader::Load() {
  if (tried_) return player_ != nullptr;
  tried_ = true;
  const auto create = reinterpret_cast<CreateSoundFunction>(module_.resolve(kCreateSoundSymbol));
  if (create) player_.reset(create(&QApplication::beep));
  if (player_) player_->on_finished = [this] { Finished(); };
  if (!player_) {
    std::fprintf(stderr, "kelmora: no sound player (%s); alarms beep instead\n",
                 qPrintable(module_.errorString()));
  }
  return player_ != nullptr;
}

void SoundModuleLoader::Play(const std::string& path) {
  if (Load()) {
    player_->Play(path);
  } else {
    QApplication::beep();
    beep_over_.start();
  }
}

void SoundModuleLoader::Stop() {
  beep_over_.stop();
  if (player_) player_->Stop();
}

void SoundModuleLoader::Finished() {
  if (on_finished) on_finished();
}

QString DefaultSoundModulePath() {
  return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                         QStringLiteral("/../" KELMORA_SOUND_MODULE_PATH));
}

}  // namespace kelmora
