#include "platform/qt/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kelmora {
namespace {

constexpr char kObjectPath[] = "/Instance";
constexpr char kInterface[] = "org.kelmora.Instance";
constexpr int kShowTimeoutMs = 2000;

// The folder's path with every symbolic link resolved, so that one folder reached by two paths
// is one folder here too.
QString FolderHash(const std::filesystem::path& data_folder) {
  std::error_code error;
  std::filesystem::path resolved = std::filesystem::weakly_canonical(data_folder, error);
  if (error) resolved = data_folder;
  const QString folder = QDir::cleanPath(
      QDir::current().absoluteFilePath(QFile::decodeName(resolved.string().c_str())));
  const QByteArray hash =
      QCryptographicHash::hash(QFile::encodeName(folder), QCryptographicHash::Sha256).toHex();
  return QString::fromLatin1(hash.left(32));
}

// A bus name element must not begin with a digit.
QString ServiceNameForHash(const QString& folder_hash) {
  return QStringLiteral("org.kelmora.Instance.f") + folder_hash;
}

}  // namespace

SingleInstance::SingleInstance(const std::filesystem::path& data_folder, QDBusConnection bus)
    : folder_hash_(FolderHash(data_folder)),
      service_name_(ServiceNameForHash(folder_hash_)),
      bus_(std::move(bus)) {}

SingleInstance::~SingleInstance() {
  if (name_taken_) {
    bus_.unregisterService(service_name_);
    bus_.unregisterObject(QString::fromLatin1(kObjectPath));
  }
  if (lock_fd_ >= 0) ::close(lock_fd_);
}

QString SingleInstance::ServiceNameFor(const std::filesystem::path& data_folder) {
  return ServiceNameForHash(FolderHash(data_folder));
}

bool SingleInstance::TryBecomePrimary() {
  const BusAnswer answer = TakeBusName();
  if (answer == BusAnswer::kTaken) {
    AskOwnerToShow();
    return false;
  }
  return TakeLockFile();
}

SingleInstance::BusAnswer SingleInstance::TakeBusName() {
  QDBusConnectionInterface* bus = bus_.isConnected() ? bus_.interface() : nullptr;
  if (!bus) return BusAnswer::kNoBus;
  // The object is there before the name, so a call that follows the name finds it.
  if (!bus_.registerObject(QString::fromLatin1(kObjectPath), this,
                           QDBusConnection::ExportScriptableSlots)) {
    return BusAnswer::kNoBus;
  }
  const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
      bus->registerService(service_name_, QDBusConnectionInterface::DontQueueService,
                           QDBusConnectionInterface::DontAllowReplacement);
  if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
    name_taken_ = true;
    return BusAnswer::kOurs;
  }
  bus_.unregisterObject(QString::fromLatin1(kObjectPath));
  return reply.isValid() ? BusAnswer::kTaken : BusAnswer::kNoBus;
}

void SingleInstance::AskOwnerToShow() {
  const QDBusMessage call =
      QDBusMessage::createMethodCall(service_name_, QString::fromLatin1(kObjectPath),
                                     QString::fromLatin1(kInterface), QStringLiteral("Show"));
  // Events keep flowing while the call waits, so an owner in this same process can answer.
  const QDBusMessage reply = bus_.call(call, QDBus::BlockWithGui, kShowTimeoutMs);
  if (reply.type() == QDBusMessage::ErrorMessage) {
    std::fprintf(stderr, "kelmora: the running Kelmora did not answer (%s)\n",
                 qPrintable(reply.errorMessage()));
  }
}

bool SingleInstance::TakeLockFile() {
  // The runtime folder is the user's own, so no other user can hold the lock first.
  QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (runtime.isEmpty()) runtime = QDir::tempPath();
  const QByteArray path =
      QFile::encodeName(runtime + QStringLiteral("/kelmora-") + folder_hash_ + ".lock");
  lock_fd_ = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lock_fd_ >= 0 && ::flock(lock_fd_, LOCK_EX | LOCK_NB) == 0) return true;
  const int error = errno;
  if (lock_fd_ >= 0) ::close(lock_fd_);
  lock_fd_ = -1;
  if (error == EWOULDBLOCK) {
    std::fprintf(stderr, "kelmora: another Kelmora already runs for this data folder\n");
    return false;
  }
  std::fprintf(stderr, "kelmora: cannot lock %s (%s); running without the one-program guard\n",
               path.constData(), std::strerror(error));
  return true;
}

void SingleInstance::Show() {
  if (on_show_requested) on_show_requested();
}

}  // namespace kelmora
