#include "platform/qt/qt_tray.h"

#include <gtest/gtest.h>

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <memory>
#include <optional>
#include <vector>

#include "private_bus.h"
#include "qt_app.h"

namespace kelmora {
namespace {

constexpr std::uint32_t kYellow = 0xFFFFFF00;
constexpr std::uint32_t kRed = 0xFFFF0000;

IconImage IconWithDot(int x, int y, std::uint32_t colour) {
  IconImage icon;
  icon.argb[static_cast<std::size_t>(y * IconImage::kSize + x)] = colour;
  return icon;
}

std::string Repeat(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

// The icon is shown somewhere: in the notification area or in the stand-in.
bool Shown(const QtTray& tray) {
  return tray.InNotificationArea() || tray.StandIn() != nullptr;
}

class QtTrayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureQApplication();
    tray.on_mouse = [this](TrayMouse what) { reported.push_back(what); };
  }

  // No bus, no XEmbed tray: no notification area, so the stand-in shows.
  QtTray tray{QtTray::Options{.bus = [] { return QDBusConnection(QStringLiteral("no-bus")); },
                              .xembed_tray = [] { return false; }}};
  std::vector<TrayMouse> reported;
};

TEST_F(QtTrayTest, WithoutNotificationAreaTheStandInShowsInTheLowerRightCorner) {
  tray.Add(IconWithDot(3, 5, kYellow), "14:07 日");
  ASSERT_TRUE(Shown(tray));
  TrayStandIn* stand_in = tray.StandIn();
  ASSERT_NE(stand_in, nullptr);
  EXPECT_TRUE(stand_in->isVisible());
  EXPECT_FALSE(tray.InNotificationArea());
  EXPECT_EQ(stand_in->toolTip(), QString::fromUtf8("14:07 日"));
  EXPECT_TRUE(stand_in->testAttribute(Qt::WA_AlwaysShowToolTips)) << "it is never active";

  const Qt::WindowFlags flags = stand_in->windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus)) << "it takes no one's keyboard";

  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_EQ(stand_in->frameGeometry().bottomRight(), area.bottomRight());
}

TEST_F(QtTrayTest, StandInShowsTheIconTwiceAsLargeWithCrispPixels) {
  tray.Add(IconWithDot(3, 5, kYellow), "");
  const QImage shown = tray.StandIn()->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(shown.size(), QSize(32, 32));
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const bool dot = x / 2 == 3 && y / 2 == 5;
      ASSERT_EQ(shown.pixel(x, y), dot ? kYellow : 0u) << x << "," << y;
    }
  }
}

struct ReleaseCase {
  Qt::MouseButton button;
  std::optional<TrayMouse> expected;
};

void PrintTo(const ReleaseCase& c, std::ostream* out) {
  *out << "button_" << int(c.button);
}

class StandInReleaseTest : public QtTrayTest, public ::testing::WithParamInterface<ReleaseCase> {};

TEST_P(StandInReleaseTest, ReportsLeftAndRightReleasesOnly) {
  tray.Add(IconImage{}, "");
  QTest::mousePress(tray.StandIn(), GetParam().button);
  EXPECT_TRUE(reported.empty()) << "a press reports nothing";
  QTest::mouseRelease(tray.StandIn(), GetParam().button);
  if (GetParam().expected) {
    EXPECT_EQ(reported, std::vector<TrayMouse>{*GetParam().expected});
  } else {
    EXPECT_TRUE(reported.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Buttons, StandInReleaseTest,
                         ::testing::Values(ReleaseCase{Qt::LeftButton, TrayMouse::kLeftUp},
                                           ReleaseCase{Qt::RightButton, TrayMouse::kRightUp},
                                           ReleaseCase{Qt::MiddleButton, std::nullopt}));

TEST_F(QtTrayTest, ModifyTellsThePlatformOnlyWhatChanged) {
  const IconImage face = IconWithDot(8, 8, kRed);
  tray.Add(face, "12:00");
  const int after_add = tray.PlatformUpdates();

  for (int tick = 0; tick < 30; ++tick) tray.Modify(face, "12:00");
  EXPECT_EQ(tray.PlatformUpdates(), after_add) << "same icon and tip: nothing passed on";

  tray.Modify(IconWithDot(8, 7, kRed), "12:00");
  EXPECT_EQ(tray.PlatformUpdates(), after_add + 1) << "new icon only";
  tray.Modify(IconWithDot(8, 7, kRed), "12:01");
  EXPECT_EQ(tray.PlatformUpdates(), after_add + 2) << "new tip only";
  EXPECT_EQ(tray.StandIn()->toolTip(), QStringLiteral("12:01"));
}

TEST_F(QtTrayTest, ModifyWithoutIconHasNoEffect) {
  tray.Modify(IconWithDot(1, 1, kRed), "tip");
  EXPECT_FALSE(Shown(tray));
  EXPECT_EQ(tray.StandIn(), nullptr);
  EXPECT_EQ(tray.PlatformUpdates(), 0);
}

struct TipCase {
  std::string tip;
  std::string shown;
};

void PrintTo(const TipCase& c, std::ostream* out) {
  *out << c.tip.size() << "_utf8_bytes_to_" << c.shown.size();
}

class TrayTipTest : public QtTrayTest, public ::testing::WithParamInterface<TipCase> {};

TEST_P(TrayTipTest, TipIsCutTo63ShiftJisBytes) {
  tray.Add(IconImage{}, "");
  tray.Modify(IconImage{}, GetParam().tip);
  EXPECT_EQ(tray.StandIn()->toolTip().toStdString(), GetParam().shown);
  tray.Add(IconImage{}, GetParam().tip);
  EXPECT_EQ(tray.StandIn()->toolTip().toStdString(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Lengths, TrayTipTest,
                         ::testing::Values(TipCase{Repeat("a", 63), Repeat("a", 63)},
                                           TipCase{Repeat("a", 64), Repeat("a", 63)},
                                           TipCase{"a" + Repeat("時", 31),
                                                   "a" + Repeat("時", 31)},              // 63 bytes
                                           TipCase{Repeat("時", 32), Repeat("時", 31)},  // 64 -> 62
                                           TipCase{Repeat("ｱ", 40) + Repeat("時", 12),
                                                   Repeat("ｱ", 40) + Repeat("時", 11)},
                                           TipCase{"", ""}));

TEST_F(QtTrayTest, RemoveHidesTheStandIn) {
  tray.Add(IconImage{}, "tip");
  QWidget* stand_in = tray.StandIn();
  tray.Remove();
  EXPECT_FALSE(Shown(tray));
  EXPECT_FALSE(stand_in->isVisible());
  EXPECT_EQ(tray.StandIn(), nullptr);
}

using testing::PrivateBus;

const QString kWatcherName = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kWatcherInterface = QStringLiteral("org.kde.StatusNotifierWatcher");

// A status notifier watcher on its own connection, as the desktop runs one: it holds the
// watcher's name (taking it over from one before it), answers whether a host is registered and
// says so when one registers or leaves.
class FakeWatcher : public QDBusVirtualObject {
 public:
  FakeWatcher(QDBusConnection connection, bool host) : connection(connection), host_(host) {
    connection.registerVirtualObject(kWatcherPath, this);
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        connection.interface()->registerService(kWatcherName,
                                                QDBusConnectionInterface::ReplaceExistingService,
                                                QDBusConnectionInterface::AllowReplacement);
    EXPECT_TRUE(reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered);
  }
  ~FakeWatcher() override {
    if (connection.isConnected()) connection.unregisterObject(kWatcherPath);
  }

  void SetHost(bool host) {
    host_ = host;
    connection.send(
        QDBusMessage::createSignal(kWatcherPath, kWatcherInterface,
                                   host ? QStringLiteral("StatusNotifierHostRegistered")
                                        : QStringLiteral("StatusNotifierHostUnregistered")));
  }
  void ReleaseName() { connection.interface()->unregisterService(kWatcherName); }
  // The bus closes the connection once no handle is left, as when the watcher crashes.
  void Crash() {
    const QString name = connection.name();
    connection.unregisterObject(kWatcherPath);
    connection = QDBusConnection(QStringLiteral("no-bus"));
    QDBusConnection::disconnectFromBus(name);
  }

  QString introspect(const QString&) const override { return {}; }
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& from) override {
    if (message.interface() != QLatin1String("org.freedesktop.DBus.Properties") ||
        message.member() != QLatin1String("Get")) {
      return false;
    }
    from.send(message.createReply(QVariant::fromValue(QDBusVariant(host_))));
    return true;
  }

  QDBusConnection connection;

 private:
  bool host_;
};

// The tray on a private session bus whose status notifier watchers the test starts. `xembed` is
// the answer to whether an XEmbed tray is there.
class TrayWatcherTest : public ::testing::Test {
 public:
  void SetUp() override {
    testing::EnsureQApplication();
    ASSERT_TRUE(bus.Running()) << "dbus-daemon could not be started";
  }

  // A watcher, started and heard of by the tray.
  std::unique_ptr<FakeWatcher> StartWatcher(bool host) {
    auto watcher = std::make_unique<FakeWatcher>(bus.Connect(), host);
    SettleBus();
    EXPECT_TRUE(QTest::qWaitFor([&] { return tray.HostRegistered() == host; }, 5000));
    return watcher;
  }

  // Lets the tray handle every bus message sent to it so far: a name taken afterwards on another
  // connection is announced to the tray's connection after them, and the answers to what the
  // tray asked meanwhile come before that.
  void SettleBus() {
    for (int round = 0; round < 2; ++round) {
      const QString name = QStringLiteral("org.kelmora.test.Settled%1").arg(++settled_);
      QDBusServiceWatcher seen(name, tray_bus, QDBusServiceWatcher::WatchForRegistration);
      bool registered = false;
      QObject::connect(&seen, &QDBusServiceWatcher::serviceRegistered, [&] { registered = true; });
      ASSERT_FALSE(tray_bus.interface()->isServiceRegistered(name).value());  // watching from here
      QDBusConnection other = bus.Connect();
      other.interface()->registerService(name);
      ASSERT_TRUE(QTest::qWaitFor([&] { return registered; }, 5000));
    }
  }

  void ExpectStandIn() {
    ASSERT_TRUE(QTest::qWaitFor([&] { return tray.StandIn() != nullptr; }, 5000))
        << "the stand-in takes over";
    EXPECT_TRUE(tray.StandIn()->isVisible());
    EXPECT_FALSE(tray.TrayIconShown()) << "never two icons";
  }
  void ExpectInTray() {
    ASSERT_TRUE(QTest::qWaitFor([&] { return tray.InNotificationArea(); }, 5000))
        << "the icon moves into the tray";
    EXPECT_TRUE(tray.TrayIconShown());
    EXPECT_EQ(tray.StandIn(), nullptr);
  }

  PrivateBus bus;
  QDBusConnection tray_bus = bus.Connect();
  bool xembed = false;
  QtTray tray{QtTray::Options{.bus = [this] { return tray_bus; },
                              .xembed_tray = [this] { return xembed; }}};

 private:
  int settled_ = 0;
};

TEST_F(TrayWatcherTest, MovesIntoTheNotificationAreaOnceAHostRegisters) {
  tray.Add(IconWithDot(2, 2, kRed), "tip");
  ASSERT_NE(tray.StandIn(), nullptr);
  QWidget* stand_in = tray.StandIn();

  std::unique_ptr<FakeWatcher> watcher = StartWatcher(false);
  EXPECT_EQ(tray.StandIn(), stand_in) << "a watcher without a host shows nothing";
  EXPECT_FALSE(tray.TrayIconShown());

  watcher->SetHost(true);
  ASSERT_NO_FATAL_FAILURE(ExpectInTray());
  EXPECT_FALSE(stand_in->isVisible());
  EXPECT_TRUE(Shown(tray));
}

TEST_F(TrayWatcherTest, AWatcherThatComesWithAHostTakesTheIcon) {
  tray.Add(IconWithDot(2, 2, kRed), "tip");
  ASSERT_NE(tray.StandIn(), nullptr);
  std::unique_ptr<FakeWatcher> watcher = StartWatcher(true);
  ASSERT_NO_FATAL_FAILURE(ExpectInTray());
}

TEST_F(TrayWatcherTest, HostLeavingWhileTheWatcherStaysBringsTheStandInUntilOneIsBack) {
  std::unique_ptr<FakeWatcher> watcher = StartWatcher(true);
  tray.Add(IconWithDot(4, 4, kRed), "12:00");
  ASSERT_TRUE(tray.InNotificationArea());

  watcher->SetHost(false);
  ASSERT_NO_FATAL_FAILURE(ExpectStandIn());
  watcher->SetHost(true);
  ASSERT_NO_FATAL_FAILURE(ExpectInTray());
}

struct LeaveCase {
  const char* name;
  void (*leave)(FakeWatcher& watcher);
};

void PrintTo(const LeaveCase& c, std::ostream* out) {
  *out << c.name;
}

class WatcherLeavesTest : public TrayWatcherTest,
                          public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(WatcherLeavesTest, StandInTakesOverUntilANotificationAreaIsBack) {
  std::unique_ptr<FakeWatcher> watcher = StartWatcher(true);
  tray.Add(IconWithDot(4, 4, kRed), "12:00");
  ASSERT_TRUE(tray.InNotificationArea());
  ASSERT_TRUE(tray.TrayIconShown());

  GetParam().leave(*watcher);
  ASSERT_NO_FATAL_FAILURE(ExpectStandIn());
  EXPECT_EQ(tray.StandIn()->toolTip(), QStringLiteral("12:00"));
  QWidget* stand_in = tray.StandIn();

  std::unique_ptr<FakeWatcher> next = StartWatcher(true);
  ASSERT_NO_FATAL_FAILURE(ExpectInTray());
  EXPECT_FALSE(stand_in->isVisible());

  // Back in the tray the name is watched again.
  next->ReleaseName();
  ASSERT_NO_FATAL_FAILURE(ExpectStandIn());
}

INSTANTIATE_TEST_SUITE_P(Ways, WatcherLeavesTest,
                         ::testing::Values(LeaveCase{"releases_its_name",
                                                     [](FakeWatcher& w) { w.ReleaseName(); }},
                                           LeaveCase{"crashes", [](FakeWatcher& w) { w.Crash(); }}),
                         [](const auto& info) { return std::string(info.param.name); });

struct StayCase {
  const char* name;
  // From an empty bus: adds the icon and lets the watcher's name change hands.
  void (*run)(TrayWatcherTest& test);
  bool in_tray;
};

void PrintTo(const StayCase& c, std::ostream* out) {
  *out << c.name;
}

class WatcherNotLostTest : public TrayWatcherTest,
                           public ::testing::WithParamInterface<StayCase> {};

TEST_P(WatcherNotLostTest, NoStandIn) {
  GetParam().run(*this);
  ASSERT_NO_FATAL_FAILURE(SettleBus());
  EXPECT_EQ(tray.StandIn(), nullptr);
  EXPECT_EQ(tray.InNotificationArea(), GetParam().in_tray);
  EXPECT_EQ(tray.TrayIconShown(), GetParam().in_tray);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WatcherNotLostTest,
    ::testing::Values(StayCase{"watcher_stays",
                               [](TrayWatcherTest& t) {
                                 std::unique_ptr<FakeWatcher> watcher = t.StartWatcher(true);
                                 t.tray.Add(IconWithDot(1, 1, kRed), "12:00");
                                 for (int tick = 0; tick < 10; ++tick)
                                   t.tray.Modify(IconImage{}, "12:01");
                                 ASSERT_NO_FATAL_FAILURE(t.SettleBus());
                               },
                               true},
                      StayCase{"watcher_taken_over_without_a_gap",
                               [](TrayWatcherTest& t) {
                                 std::unique_ptr<FakeWatcher> first = t.StartWatcher(true);
                                 t.tray.Add(IconWithDot(1, 1, kRed), "12:00");
                                 std::unique_ptr<FakeWatcher> second = t.StartWatcher(true);
                                 ASSERT_EQ(
                                     t.tray_bus.interface()->serviceOwner(kWatcherName).value(),
                                     second->connection.baseService());
                                 ASSERT_NO_FATAL_FAILURE(t.SettleBus());
                               },
                               true},
                      // An XEmbed tray: a watcher coming and going later is none of its business.
                      StayCase{"icon_in_an_xembed_tray",
                               [](TrayWatcherTest& t) {
                                 t.xembed = true;
                                 t.tray.Add(IconWithDot(1, 1, kRed), "12:00");
                                 std::unique_ptr<FakeWatcher> watcher = t.StartWatcher(true);
                                 ASSERT_NO_FATAL_FAILURE(t.SettleBus());
                                 watcher->ReleaseName();
                               },
                               true},
                      StayCase{"icon_removed_before",
                               [](TrayWatcherTest& t) {
                                 std::unique_ptr<FakeWatcher> watcher = t.StartWatcher(true);
                                 t.tray.Add(IconWithDot(1, 1, kRed), "12:00");
                                 t.tray.Remove();
                                 watcher->ReleaseName();
                               },
                               false}),
    [](const auto& info) { return std::string(info.param.name); });

// Qt has settled on XEmbed for the run: a status notifier host could not show its icons.
TEST_F(TrayWatcherTest, OnceInAnXEmbedTrayOnlyAnXEmbedTrayTakesTheIcon) {
  xembed = true;
  tray.Add(IconWithDot(1, 1, kRed), "12:00");
  ASSERT_TRUE(tray.InNotificationArea());
  tray.Remove();
  xembed = false;
  std::unique_ptr<FakeWatcher> watcher = StartWatcher(true);
  tray.Add(IconWithDot(1, 1, kRed), "12:01");
  EXPECT_NE(tray.StandIn(), nullptr);
}

TEST_F(TrayWatcherTest, WatcherTakenOverIsStillWatched) {
  std::unique_ptr<FakeWatcher> first = StartWatcher(true);
  tray.Add(IconWithDot(1, 1, kRed), "12:00");
  std::unique_ptr<FakeWatcher> second = StartWatcher(true);
  ASSERT_NO_FATAL_FAILURE(SettleBus());
  ASSERT_TRUE(tray.InNotificationArea());

  second->ReleaseName();
  ASSERT_NO_FATAL_FAILURE(ExpectStandIn());
}

}  // namespace
}  // namespace kelmora
