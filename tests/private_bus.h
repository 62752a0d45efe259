#pragma once
// A private D-Bus session bus for one test: a dbus-daemon of its own, ended with the object, and
// connections to it that stand for separate programs.

#include <QDBusConnection>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace kelmora::testing {

class PrivateBus {
 public:
  PrivateBus() {
    // No service activation: a notification daemon installed on the machine must not take the
    // calls meant for a test's own service.
    QFile config(folder_.filePath(QStringLiteral("bus.conf")));
    if (config.open(QIODevice::WriteOnly)) {
      config.write(
          "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
          " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
          "<busconfig><type>session</type><listen>unix:dir=" +
          QFile::encodeName(folder_.path()) +
          "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow "
          "send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow "
          "own=\"*\"/></policy></busconfig>\n");
      config.close();
    }
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--nofork"),
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
  QTemporaryDir folder_;
  QProcess daemon_;
  QString address_;
  QStringList names_;
};

}  // namespace kelmora::testing
