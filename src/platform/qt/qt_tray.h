#pragma once
// The notification-area icon over QSystemTrayIcon, or the stand-in window where the desktop has
// no notification area. Icon and tip go to the platform only when they changed, so the tray
// hears from the program about once a minute even when the clock ticks every second. A tray
// that goes away under the icon (the panel crashed or restarts) hands it to the stand-in, which
// gives it back once a tray is there again.

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>

#include "platform/qt/tray_stand_in.h"
#include "platform/services.h"

namespace kelmora {

// The longest tip the tray shows, in Shift_JIS (CP932) bytes.
constexpr std::size_t kTrayTipBytes = 63;

class QtTray : public QObject, public TrayService {
 public:
  struct Options {
    // Asks the desktop for a notification area. Each call opens a D-Bus connection, so it is
    // asked at Add and, while the stand-in is up, at most once per host_poll.
    std::function<bool()> tray_available = &QSystemTrayIcon::isSystemTrayAvailable;
    std::chrono::milliseconds host_poll{5000};
    // The bus of the StatusNotifierItem watcher, asked for each time the icon goes into the
    // notification area.
    std::function<QDBusConnection()> bus = &QDBusConnection::sessionBus;
  };

  QtTray();
  explicit QtTray(Options options);
  ~QtTray() override;

  void Add(const IconImage& icon, const std::string& tip) override;
  void Modify(const IconImage& icon, const std::string& tip) override;
  void Remove() override;

  // Where the icon is and what the platform was told, for the tests (the program never asks).
  // How often an icon or a tip was handed to the platform.
  int PlatformUpdates() const { return platform_updates_; }
  // The stand-in window while it is shown, else nullptr.
  TrayStandIn* StandIn() const;
  bool InNotificationArea() const;
  // The QSystemTrayIcon is shown (it must not be while the stand-in is).
  bool TrayIconShown() const { return tray_icon_ && tray_icon_->isVisible(); }
  bool PollingForHost() const { return host_poll_.isActive(); }
  // Moves the icon into the notification area once one has appeared; run by the poll timer.
  void CheckForTrayHost();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class Place { kNone, kNotificationArea, kStandIn };

  void ShowIn(Place place, const IconImage& icon, const QString& tip);
  void ShowInNotificationArea();
  void ShowStandIn();
  void HideAll();
  void Push(const IconImage& icon, const QString& tip);
  void OnActivated(QSystemTrayIcon::ActivationReason reason);
  void Report(TrayMouse what);
  void WatchXEmbedReleases();
  void WatchTrayWatcher();
  void OnTrayWatcherOwnerChanged(const QString& new_owner);

  Options options_;
  bool present_ = false;  // added, not removed since
  Place place_ = Place::kNone;
  // The icon and the tip the program handed over last, which the current place shows once
  // place_told_ is set; a new place is told them both.
  IconImage icon_{};
  QString tip_;
  bool place_told_ = false;
  int platform_updates_ = 0;

  std::unique_ptr<QSystemTrayIcon> tray_icon_;
  std::unique_ptr<TrayStandIn> stand_in_;
  QTimer host_poll_;
  // Under XEmbed Qt reports a click on the press; the release is taken from this widget instead.
  QPointer<QWidget> xembed_widget_;
  // Under StatusNotifierItem, the watcher's bus name while the icon is in the notification area.
  QDBusServiceWatcher tray_watcher_;
};

}  // namespace kelmora
