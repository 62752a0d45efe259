#include "platform/qt/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>
#include <cstdio>

namespace kelmora {
namespace {

constexpr char kShowMessage[] = "show\n";
constexpr int kWaitMilliseconds = 1000;

}  // namespace

SingleInstance::SingleInstance(const std::filesystem::path& data_folder)
    : server_name_(ServerNameFor(data_folder)) {
  QObject::connect(&server_, &QLocalServer::newConnection, this, [this] { OnNewConnection(); });
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::ServerNameFor(const std::filesystem::path& data_folder) {
  const QString folder = QDir::cleanPath(
      QDir::current().absoluteFilePath(QFile::decodeName(data_folder.string().c_str())));
  const QByteArray hash =
      QCryptographicHash::hash(QFile::encodeName(folder), QCryptographicHash::Sha256).toHex();
  // The runtime folder is the user's own, so no other user can take the name first.
  QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (runtime.isEmpty()) runtime = QDir::tempPath();
  return runtime + QStringLiteral("/kelmora-") + QString::fromLatin1(hash.left(32));
}

bool SingleInstance::TryBecomePrimary() {
  if (AskRunningToShow()) return false;
  // Nobody answered: a socket file left by a program that died is stale and goes.
  QLocalServer::removeServer(server_name_);
  if (server_.listen(server_name_)) return true;
  // Another program may have started listening in the meantime.
  if (AskRunningToShow()) return false;
  std::fprintf(stderr, "kelmora: cannot listen on %s (%s); running without the one-program guard\n",
               qPrintable(server_name_), qPrintable(server_.errorString()));
  return true;
}

bool SingleInstance::AskRunningToShow() {
  QLocalSocket socket;
  socket.connectToServer(server_name_);
  if (!socket.waitForConnected(kWaitMilliseconds)) return false;
  socket.write(kShowMessage);
  socket.waitForBytesWritten(kWaitMilliseconds);
  socket.disconnectFromServer();
  return true;
}

void SingleInstance::OnNewConnection() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) return;
      if (socket->readLine() == kShowMessage && on_show_requested) on_show_requested();
      socket->disconnectFromServer();
    });
  }
}

}  // namespace kelmora
