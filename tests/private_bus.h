#pragma once
// A private D-Bus session bus for one test: a dbus-daemon of its own, ended with the object, and
// connections to it that stand for separate programs.

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace kelmora::testing {

class PrivateBus {
 public:
  PrivateBus() {
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--session"), QStringLiteral("--nofork"),
                   QStringLiteral("--print-address=1")});
    if (daemon_.waitForStarted(5000) && daemon_.waitForReadyRead(5000)) {
      address_ = QString::fromLocal8Bit(daemon_.readLine()).trimmed();
    }
  }
  ~PrivateBus() {
    for (const QString& name : names_) QDBusConnection::disconnectFromBus(name);
    daemon_.kill();
    daemon_.waitForFinished(5000);
  }
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;

  bool Running() const { return !address_.isEmpty(); }
  // A connection of its own, as another program would have.
  QDBusConnection Connect() {
    names_.push_back(QStringLiteral("kelmora-test-bus-%1").arg(++connections_));
    return QDBusConnection::connectToBus(address_, names_.back());
  }

 private:
  inline static int connections_ = 0;
  QProcess daemon_;
  QString address_;
  QStringList names_;
};

}  // namespace kelmora::testing
