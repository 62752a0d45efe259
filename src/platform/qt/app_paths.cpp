#include "platform/qt/app_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace kelmora {
namespace {

// The user's home: $HOME when it names a folder by an absolute path, else the password
// database's entry for this user (a session that lost HOME).
QString Home() {
  QString home = qEnvironmentVariable("HOME");
  if (QDir::isAbsolutePath(home)) return home;
  const struct passwd* entry = ::getpwuid(::getuid());
  return entry != nullptr ? QFile::decodeName(entry->pw_dir) : QDir::rootPath();
}

// $XDG_CONFIG_HOME when it is an absolute path (the XDG rules say to ignore a relative one),
// else ~/.config.
QString ConfigHome() {
  QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (QDir::isAbsolutePath(config)) return config;
  return Home() + QStringLiteral("/.config");
}

}  // namespace

// Not QStandardPaths: Qt 6.4 takes a relative XDG_CONFIG_HOME as it stands and gives
// "//.config" when HOME is unset.
AppPaths DefaultAppPaths() {
  const QString data = QDir::cleanPath(ConfigHome() + QStringLiteral("/kelmora"));
  const QString sound = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                        QStringLiteral("/../share/kelmora/sounds/alarm.wav"));
  return AppPaths{.data_folder = std::filesystem::path(QFile::encodeName(data).toStdString()),
                  .default_sound = sound.toStdString()};
}

}  // namespace kelmora
