// A stand-in for the desktop's notification service on a test's session bus. It owns
// org.freedesktop.Notifications, writes each call it gets as one line to the log file named by
// its argument, and emits ActionInvoked when the test asks it to (lib.sh's kel_invoke_action):
//   gdbus call --session -d org.freedesktop.Notifications -o /test
//     -m org.kelmora.TestNotifications.Invoke <id> <action-key>
// Log lines hold tab-separated fields, which the tests read by the names lib/notifications.sh
// gives them in this order (KEL_NOTIFY_FIELDS: kind id replaces app icon summary body actions
// entry expire urgency):
//   notify <id> <replaces_id> <app_name> <app_icon> <summary> <body> <actions> <desktop-entry>
//   <expire_timeout> <urgency>   (line ends in the body written as \n, actions joined by ",",
//   urgency 0 low, 1 normal, 2 critical, empty when not given)
//   close <id>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>
#include <QStringList>
#include <QTextStream>
#include <QVariantMap>
#include <cstdio>

// The urgency hint as a number (it comes as a byte), empty when not given.
QString Urgency(const QVariantMap& hints) {
  const QVariant urgency = hints.value(QStringLiteral("urgency"));
  return urgency.isValid() ? QString::number(urgency.toInt()) : QString();
}

class Notifications : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  explicit Notifications(const QString& log_path) : log_(log_path) {
    log_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
  }

 public slots:
  uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary,
              const QString& body, const QStringList& actions, const QVariantMap& hints,
              int expire) {
    const uint id = replaces != 0 ? replaces : ++last_id_;
    QString escaped = body;
    escaped.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    Log(QStringList{QStringLiteral("notify"), QString::number(id), QString::number(replaces), app,
                    icon, summary, escaped, actions.join(QLatin1Char(',')),
                    hints.value(QStringLiteral("desktop-entry")).toString(),
                    QString::number(expire), Urgency(hints)});
    return id;
  }
  void CloseNotification(uint id) {
    Log(QStringList{QStringLiteral("close"), QString::number(id)});
    emit NotificationClosed(id, 3);
  }
  QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }

 signals:
  void ActionInvoked(uint id, const QString& action_key);
  void NotificationClosed(uint id, uint reason);

 private:
  void Log(const QStringList& fields) {
    log_.write((fields.join(QLatin1Char('\t')) + QLatin1Char('\n')).toUtf8());
  }
  QFile log_;
  uint last_id_ = 0;
};

// What the test calls to play the user choosing an action.
class TestControl : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kelmora.TestNotifications")

 public:
  explicit TestControl(Notifications& service) : service_(service) {}

 public slots:
  void Invoke(uint id, const QString& action_key) { emit service_.ActionInvoked(id, action_key); }

 private:
  Notifications& service_;
};

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <log-file>\n", argv[0]);
    return 2;
  }
  Notifications service(QString::fromLocal8Bit(argv[1]));
  TestControl control(service);
  QDBusConnection bus = QDBusConnection::sessionBus();
  const auto exported = QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals;
  if (!bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service, exported) ||
      !bus.registerObject(QStringLiteral("/test"), &control, exported) ||
      !bus.registerService(QStringLiteral("org.freedesktop.Notifications"))) {
    std::fprintf(stderr, "cannot take org.freedesktop.Notifications on the session bus\n");
    return 1;
  }
  return QCoreApplication::exec();
}

#include "notification_service.moc"
