#pragma once
// The notification-area icon over QSystemTrayIcon, or the stand-in window where the desktop has
// no notification area. Icon and tip go to the platform only when they changed, so the tray
// hears from the program about once a minute even when the clock ticks every second. A tray
// that appears after the start (the panel started later, an extension turned on) takes the icon
// from the stand-in as soon as it is there; one that goes away under the icon (the panel crashed
// or restarts) hands it back to the stand-in.

#include <QDBusConnection>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>

#include "platform/qt/tray_hosts.h"
#include "platform/qt/tray_stand_in.h"
#include "platform/qt/x11_desktop.h"
#include "platform/services.h"

namespace kelmora {

class QtTray : public QObject, public TrayService {
 public:
  struct Options {
    // The bus of the StatusNotifierItem watcher.
    std::function<QDBusConnection()> bus = &QDBusConnection::sessionBus;
    // Whether an XEmbed tray is there (asked at Add and when one announces itself).
    std::function<bool()> xembed_tray = &XEmbedTrayPresent;
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
  // A StatusNotifierItem host is registered, as the tray last heard.
  bool HostRegistered() const { return hosts_.StatusNotifierHost(); }

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
  bool TrayAvailable() const;
  void HostsChanged();

  Options options_;
  bool present_ = false;  // added, not removed since
  Place place_ = Place::kNone;
  // The icon and the tip the program handed over last, which the current place shows once
  // place_told_ is set; a new place is told them both.
  IconImage icon_{};
  QString tip_;
  bool place_told_ = false;
  int platform_updates_ = 0;

  // Made only once a notification area is there: Qt decides at the first QSystemTrayIcon, for
  // the rest of the run, whether icons go over D-Bus.
  std::unique_ptr<QSystemTrayIcon> tray_icon_;
  std::unique_ptr<TrayStandIn> stand_in_;
  // Under XEmbed Qt reports a click on the press; the release is taken from this widget instead.
  QPointer<QWidget> xembed_widget_;
  TrayHosts hosts_;
  // Whether Qt shows icons over D-Bus (to a StatusNotifierItem host) or in an XEmbed tray,
  // settled when the QSystemTrayIcon was made.
  std::optional<bool> over_dbus_;
};

}  // namespace kelmora
