#pragma once
// One Kelmora per data folder. The first program to start listens on a local socket named after
// its data folder; a later one finds it there, asks it to show its window and steps back, so two
// programs never overwrite each other's files.

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <filesystem>
#include <functional>

namespace kelmora {

class SingleInstance : public QObject {
 public:
  explicit SingleInstance(const std::filesystem::path& data_folder);
  ~SingleInstance() override;

  // True when this program is the one for its data folder (and now listens for later ones);
  // false when another one already runs, which has then been asked to show its window.
  bool TryBecomePrimary();

  // The socket's full name: in the user's runtime folder, named by a hash of the data folder.
  static QString ServerNameFor(const std::filesystem::path& data_folder);
  const QString& ServerName() const { return server_name_; }

  // Runs in the primary when a later program asked it to show its window.
  std::function<void()> on_show_requested;

 private:
  bool AskRunningToShow();
  void OnNewConnection();

  QString server_name_;
  QLocalServer server_;
};

}  // namespace kelmora
