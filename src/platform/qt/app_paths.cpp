#include "platform/qt/app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace kelmora {
namespace {

QString ConfigHome() {
  // QStandardPaths reads XDG_CONFIG_HOME and falls back on ~/.config just as the XDG rules say.
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

}  // namespace

AppPaths DefaultAppPaths() {
  const QString data = QDir::cleanPath(ConfigHome() + QStringLiteral("/kelmora"));
  const QString sound = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                        QStringLiteral("/../share/kelmora/sounds/alarm.wav"));
  return AppPaths{.data_folder = std::filesystem::path(QFile::encodeName(data).toStdString()),
                  .default_sound = sound.toStdString()};
}

}  // namespace kelmora
