#pragma once
// One Kelmora per data folder. The first program to start takes a name on the session bus made
// from its data folder; a later one finds the name taken, asks its owner to show its window and
// steps back, so two programs never overwrite each other's files. The bus frees the name however
// its owner ends. A lock file named the same way guards programs on different buses (or with
// none): a later one that cannot reach the running one just steps back.

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <filesystem>
#include <functional>

namespace kelmora {

class SingleInstance : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kelmora.Instance")

 public:
  explicit SingleInstance(const std::filesystem::path& data_folder,
                          QDBusConnection bus = QDBusConnection::sessionBus());
  ~SingleInstance() override;

  // True when this program is the one for its data folder; false when another one already runs,
  // which has then been asked to show its window if it could be reached.
  bool TryBecomePrimary();

  // The bus name for a data folder: a hash of its clean absolute path.
  static QString ServiceNameFor(const std::filesystem::path& data_folder);
  const QString& ServiceName() const { return service_name_; }

  // Runs in the primary when a later program asked it to show its window.
  std::function<void()> on_show_requested;

 public slots:
  Q_SCRIPTABLE void Show();

 private:
  enum class BusAnswer { kOurs, kTaken, kNoBus };
  BusAnswer TakeBusName();
  void AskOwnerToShow();
  bool TakeLockFile();

  QString folder_hash_;
  QString service_name_;
  QDBusConnection bus_;
  bool name_taken_ = false;
  int lock_fd_ = -1;
};

}  // namespace kelmora
