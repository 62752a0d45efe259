#include "platform/qt/module_sound.h"

#include <QApplication>
#include <QDir>
#include <cstdio>

#include "platform/sound/sound_module.h"

namespace kelmora {

ModuleSound::ModuleSound(const QString& module_path) : module_(module_path) {
  // Qt Multimedia keeps threads and caches that outlive any one player: the module stays.
  module_.setLoadHints(QLibrary::PreventUnloadHint);
}

ModuleSound::~ModuleSound() = default;

bool ModuleSound::Load() {
  if (tried_) return player_ != nullptr;
  tried_ = true;
  const auto create = reinterpret_cast<CreateSoundFunction>(module_.resolve(kCreateSoundSymbol));
  if (create) player_.reset(create());
  if (!player_) {
    std::fprintf(stderr, "kelmora: no sound player (%s); alarms beep instead\n",
                 qPrintable(module_.errorString()));
  }
  return player_ != nullptr;
}

void ModuleSound::Play(const std::string& path) {
  if (Load()) {
    player_->Play(path);
  } else {
    QApplication::beep();
  }
}

QString DefaultSoundModulePath() {
  return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                         QStringLiteral("/../" KELMORA_SOUND_MODULE_PATH));
}

}  // namespace kelmora
