#pragma once
// Watching who owns a name on a D-Bus bus: told at each change of owner.

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QString>
#include <utility>

namespace kelmora {

// Sets watcher on name; on_change(owned) runs in context's thread whenever the owner changes
// (owned: the name has a new owner; false when it was let go).
template <typename OnChange>
void WatchBusName(QDBusServiceWatcher& watcher, const QDBusConnection& bus, const QString& name,
                  QObject* context, OnChange on_change) {
  watcher.setConnection(bus);
  watcher.setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
  watcher.addWatchedService(name);
  QObject::connect(
      &watcher, &QDBusServiceWatcher::serviceOwnerChanged, context,
      [on_change = std::move(on_change)](const QString&, const QString&, const QString& new_owner) {
        on_change(!new_owner.isEmpty());
      });
}

}  // namespace kelmora
