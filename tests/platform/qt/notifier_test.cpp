// Desktop notifications on a private bus: what reaches the service, the buttons and the answers
// to them, a service without buttons, and a service that is missing or slow never making the
// program wait.

#include "platform/qt/qt_notifier.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QStringList>
#include <QTest>
#include <QVariantMap>
#include <vector>

#include "private_bus.h"
#include "qt_app.h"

namespace kelmora {
namespace {

// The desktop's notification service, as far as the program uses it.
class StubNotifications : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  struct Call {
    QString app;
    uint replaces = 0;
    QString icon;
    QString summary;
    QString body;
    QStringList actions;
    QVariantMap hints;
    int expire = -1;
  };
  std::vector<Call> notified;
  std::vector<uint> closed;
  QStringList capabilities{QStringLiteral("actions"), QStringLiteral("body")};
  int asked = 0;  // GetCapabilities calls

 public slots:
  uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary,
              const QString& body, const QStringList& actions, const QVariantMap& hints,
              int expire) {
    notified.push_back({app, replaces, icon, summary, body, actions, hints, expire});
    return replaces != 0 ? replaces : static_cast<uint>(notified.size()) + 40;
  }
  void CloseNotification(uint id) { closed.push_back(id); }
  QStringList GetCapabilities() {
    ++asked;
    return capabilities;
  }

 signals:
  void ActionInvoked(uint id, const QString& action_key);
};

class NotifierTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureQApplication();
    ASSERT_TRUE(bus.Running()) << "dbus-daemon could not be started";
  }
  // The service on a connection of its own, as the desktop's would be.
  void StartService() {
    service_bus = bus.Connect();
    ASSERT_TRUE(service_bus.registerObject(
        QStringLiteral("/org/freedesktop/Notifications"), &stub,
        QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
    ASSERT_TRUE(service_bus.registerService(QStringLiteral("org.freedesktop.Notifications")));
  }

  testing::PrivateBus bus;
  QDBusConnection service_bus{QStringLiteral("none")};
  StubNotifications stub;
};

const std::vector<NotificationAction> kButtons{{"stop", "停止"}, {"snooze", "スヌーズ (5分)"}};

TEST_F(NotifierTest, ShowsReplacesClosesAndHearsTheButtons) {
  StartService();
  QtNotifier notifier(bus.Connect());
  std::vector<std::string> chosen;
  notifier.on_action = [&](const std::string& key) { chosen.push_back(key); };

  notifier.Show("アラーム", "2026/12/07 07:30:00\n<a&b>.wav", kButtons);
  EXPECT_TRUE(stub.notified.empty()) << "Show returns before the service has answered";
  ASSERT_TRUE(QTest::qWaitFor([&] { return stub.notified.size() == 1; }, 5000));
  const StubNotifications::Call& first = stub.notified[0];
  EXPECT_EQ(first.app, "Kelmora");
  EXPECT_EQ(first.replaces, 0u);
  EXPECT_EQ(first.icon, "kelmora");
  EXPECT_EQ(first.summary, "アラーム");
  EXPECT_EQ(first.body, "2026/12/07 07:30:00\n&lt;a&amp;b&gt;.wav");
  EXPECT_EQ(first.actions, (QStringList{"stop", "停止", "snooze", "スヌーズ (5分)"}));
  EXPECT_EQ(first.hints.value("desktop-entry").toString(), "kelmora");
  EXPECT_EQ(first.hints.value("urgency").toInt(), 2) << "critical: it stays until closed";
  EXPECT_TRUE(first.hints.value("suppress-sound").toBool());
  EXPECT_EQ(first.expire, 0);

  ASSERT_TRUE(QTest::qWaitFor([&] { return notifier.ShownId() == 41; }, 5000));
  notifier.Show("アラーム", "second", kButtons);
  ASSERT_TRUE(QTest::qWaitFor([&] { return stub.notified.size() == 2; }, 5000));
  EXPECT_EQ(stub.notified[1].replaces, 41u);

  emit stub.ActionInvoked(99, QStringLiteral("stop"));  // another program's notification
  emit stub.ActionInvoked(41, QStringLiteral("snooze"));
  emit stub.ActionInvoked(41, QStringLiteral("stop"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return chosen.size() == 2; }, 5000));
  EXPECT_EQ(chosen, (std::vector<std::string>{"snooze", "stop"})) << "none for the other";

  notifier.Close();
  ASSERT_TRUE(QTest::qWaitFor([&] { return stub.closed.size() == 1; }, 5000));
  EXPECT_EQ(stub.closed[0], 41u);
}

// Nobody owns the name: the calls go out and come back as errors; nothing waits, nothing fails,
// and a service that starts later gets the next notification as a new one.
TEST_F(NotifierTest, WithoutAServiceNothingHappens) {
  QDBusConnection program_bus = bus.Connect();
  QtNotifier notifier(program_bus);
  notifier.Show("アラーム", "2026/12/07 07:30:00\nalarm.wav", kButtons);
  notifier.Close();
  notifier.Show("アラーム", "unheard", kButtons);
  // A call that waits on the same connection: the bus has answered the ones before it.
  EXPECT_FALSE(program_bus.interface()->isServiceRegistered("org.freedesktop.Notifications"));
  StartService();
  notifier.Show("アラーム", "later", kButtons);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !stub.notified.empty(); }, 5000));
  EXPECT_EQ(stub.notified.size(), 1u);
  EXPECT_EQ(stub.notified.back().body, "later");
  EXPECT_EQ(stub.notified.back().replaces, 0u);
}

// A notice stands beside the alarm's notification, neither replacing the other; a program about
// to end waits for the service to have it, but never long (here the service cannot answer while
// the wait holds this thread).
TEST_F(NotifierTest, ANoticeStandsBesideTheAlarmAndIsWaitedForBriefly) {
  StartService();
  QtNotifier notifier(bus.Connect());
  notifier.Show("アラーム", "alarm", kButtons);
  ASSERT_TRUE(QTest::qWaitFor([&] { return notifier.ShownId() == 41; }, 5000));
  QElapsedTimer clock;
  clock.start();
  notifier.Notice("!Kelmora", "timer.ini <cannot>");
  notifier.WaitForNotices();
  EXPECT_LT(clock.elapsed(), 3 * QtNotifier::kNoticeLimitMs);
  ASSERT_TRUE(QTest::qWaitFor([&] { return stub.notified.size() == 2; }, 5000));
  const StubNotifications::Call& notice = stub.notified[1];
  EXPECT_EQ(notice.replaces, 0u);
  EXPECT_EQ(notice.summary, "!Kelmora");
  EXPECT_EQ(notice.body, "timer.ini &lt;cannot&gt;");
  EXPECT_TRUE(notice.actions.isEmpty());
  EXPECT_EQ(notice.app, "Kelmora");
  EXPECT_EQ(notice.hints.value("urgency").toInt(), 1);
  EXPECT_EQ(notice.expire, -1);
  EXPECT_EQ(notifier.ShownId(), 41u) << "the alarm's notification is still the one up";
}

// Closed before the service numbered it: it goes as soon as its number comes.
TEST_F(NotifierTest, ACloseBeforeTheServiceAnsweredStillCloses) {
  StartService();
  QtNotifier notifier(bus.Connect());
  notifier.Show("アラーム", "short", kButtons);
  notifier.Close();
  ASSERT_TRUE(QTest::qWaitFor([&] { return stub.closed.size() == 1; }, 5000));
  EXPECT_EQ(stub.closed[0], 41u);
}

// A service that shows no buttons gets the alarm without them; it is asked when it appears, and
// the one after it may show them again.
TEST_F(NotifierTest, AServiceWithoutButtonsGetsAPlainNotification) {
  QtNotifier notifier(bus.Connect());
  stub.capabilities = {QStringLiteral("body")};
  StartService();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !notifier.OffersButtons(); }, 5000));
  notifier.Show("アラーム", "plain", kButtons);
  ASSERT_TRUE(QTest::qWaitFor([&] { return stub.notified.size() == 1; }, 5000));
  EXPECT_TRUE(stub.notified[0].actions.isEmpty());
  EXPECT_EQ(stub.notified[0].hints.value("urgency").toInt(), 2);

  ASSERT_TRUE(service_bus.unregisterService(QStringLiteral("org.freedesktop.Notifications")));
  ASSERT_TRUE(QTest::qWaitFor([&] { return notifier.OffersButtons(); }, 5000));
}

}  // namespace
}  // namespace kelmora

#include "notifier_test.moc"
