#pragma once
// The desktop's notification areas as they come and go: a StatusNotifierItem host registered
// with the watcher on the session bus (Plasma, GNOME's AppIndicator extension, Xfce, sway's bar)
// and, on X11, an XEmbed tray. Nothing polls: the watcher's name changing hands, its host
// signals and the XEmbed tray's announcement on the root window report every change.
//
// Qt answers "is there a tray?" once for the whole run (its D-Bus answer is cached on the first
// question), so the tray asks here instead, and makes its QSystemTrayIcon only once one of
// these is there: Qt then finds the same host, and shows the icon over D-Bus.

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <functional>

#include "platform/qt/x11_desktop.h"

namespace kelmora {

class TrayHosts : public QObject {
  Q_OBJECT

 public:
  // `xembed_tray` tells whether an XEmbed tray holds the selection now.
  TrayHosts(QDBusConnection bus, std::function<bool()> xembed_tray);

  // A StatusNotifierItem host is registered with the watcher, by its last answer.
  bool StatusNotifierHost() const { return host_; }
  // An XEmbed tray is there (asked each call).
  bool XEmbedTray() const { return xembed_tray_(); }

  // A host came or went, or an XEmbed tray appeared.
  std::function<void()> on_change;

 private slots:
  void OnHostRegistered();
  void OnHostUnregistered();

 private:
  void AskWatcher();
  void Heard(bool host);

  QDBusConnection bus_;
  std::function<bool()> xembed_tray_;
  QDBusServiceWatcher watcher_name_;
  X11DesktopEvents x11_events_;
  bool host_ = false;
  int questions_ = 0;  // questions sent to the watcher: only the answer to the last one counts
};

}  // namespace kelmora
