#include "platform/qt/qt_tray.h"

#include <gtest/gtest.h>

#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
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

  QtTray tray;  // offscreen: no notification area, so the stand-in shows
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

  const Qt::WindowFlags flags = stand_in->windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));

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

TEST(QtTrayHostTest, MovesIntoTheNotificationAreaWhenOneAppears) {
  testing::EnsureQApplication();
  bool host = false;
  int asked = 0;
  QtTray tray(QtTray::Options{.tray_available = [&] { return ++asked, host; },
                              .host_poll = std::chrono::milliseconds(10),
                              .bus = [] { return QDBusConnection(QStringLiteral("no-bus")); }});
  tray.Add(IconWithDot(2, 2, kRed), "tip");
  ASSERT_NE(tray.StandIn(), nullptr);
  QWidget* stand_in = tray.StandIn();
  EXPECT_TRUE(tray.PollingForHost());

  for (int tick = 0; tick < 100; ++tick) tray.Modify(IconWithDot(2, 2, kRed), "tip");
  EXPECT_EQ(asked, 1) << "the ticks never ask for a tray";

  host = true;
  ASSERT_TRUE(QTest::qWaitFor([&] { return tray.InNotificationArea(); }, 5000));
  EXPECT_FALSE(stand_in->isVisible());
  EXPECT_EQ(tray.StandIn(), nullptr);
  EXPECT_TRUE(Shown(tray));

  EXPECT_FALSE(tray.PollingForHost()) << "no more asking once in the tray";
}

using testing::PrivateBus;

const QString kWatcherName = QStringLiteral("org.kde.StatusNotifierWatcher");

// The tray on a private session bus whose status notifier watcher the test plays: a connection
// holding the watcher's name. `host` is the tray's answer to whether a notification area exists.
class TrayWatcherTest : public ::testing::Test {
 public:
  void SetUp() override {
    testing::EnsureQApplication();
    ASSERT_TRUE(bus.Running()) << "dbus-daemon could not be started";
  }

  // A watcher that starts, taking the name over from the one before it if there is one.
  QDBusConnection StartWatcher() {
    QDBusConnection watcher = bus.Connect();
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        watcher.interface()->registerService(kWatcherName,
                                             QDBusConnectionInterface::ReplaceExistingService,
                                             QDBusConnectionInterface::AllowReplacement);
    EXPECT_TRUE(reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered);
    return watcher;
  }

  // Lets the tray handle every bus signal sent to it so far: a name taken afterwards on another
  // connection is announced to the tray's connection after them.
  void SettleBus() {
    const QString name = QStringLiteral("org.kelmora.test.Settled%1").arg(++settled_);
    QDBusServiceWatcher seen(name, tray_bus, QDBusServiceWatcher::WatchForRegistration);
    bool registered = false;
    QObject::connect(&seen, &QDBusServiceWatcher::serviceRegistered, [&] { registered = true; });
    ASSERT_FALSE(tray_bus.interface()->isServiceRegistered(name).value());  // watching from here
    QDBusConnection other = bus.Connect();
    other.interface()->registerService(name);
    ASSERT_TRUE(QTest::qWaitFor([&] { return registered; }, 5000));
  }

  void ExpectStandIn() {
    ASSERT_TRUE(QTest::qWaitFor([&] { return tray.StandIn() != nullptr; }, 5000))
        << "the stand-in takes over";
    EXPECT_TRUE(tray.StandIn()->isVisible());
    EXPECT_FALSE(tray.TrayIconShown()) << "never two icons";
    EXPECT_TRUE(tray.PollingForHost());
  }

  PrivateBus bus;
  QDBusConnection tray_bus = bus.Connect();
  bool host = true;
  QtTray tray{QtTray::Options{.tray_available = [this] { return host; },
                              .host_poll = std::chrono::milliseconds(10),
                              .bus = [this] { return tray_bus; }}};

 private:
  int settled_ = 0;
};

struct LeaveCase {
  const char* name;
  void (*leave)(QDBusConnection& watcher);
};

void PrintTo(const LeaveCase& c, std::ostream* out) {
  *out << c.name;
}

class WatcherLeavesTest : public TrayWatcherTest,
                          public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(WatcherLeavesTest, StandInTakesOverUntilANotificationAreaIsBack) {
  QDBusConnection watcher = StartWatcher();
  tray.Add(IconWithDot(4, 4, kRed), "12:00");
  ASSERT_TRUE(tray.InNotificationArea());
  ASSERT_TRUE(tray.TrayIconShown());

  host = false;
  GetParam().leave(watcher);
  ASSERT_NO_FATAL_FAILURE(ExpectStandIn());
  EXPECT_EQ(tray.StandIn()->toolTip(), QStringLiteral("12:00"));
  QWidget* stand_in = tray.StandIn();

  QDBusConnection next = StartWatcher();
  host = true;
  ASSERT_TRUE(QTest::qWaitFor([&] { return tray.InNotificationArea(); }, 5000));
  EXPECT_FALSE(stand_in->isVisible());
  EXPECT_TRUE(tray.TrayIconShown());
  EXPECT_FALSE(tray.PollingForHost());

  // Back in the tray the name is watched again.
  host = false;
  next.interface()->unregisterService(kWatcherName);
  ASSERT_NO_FATAL_FAILURE(ExpectStandIn());
}

INSTANTIATE_TEST_SUITE_P(Ways, WatcherLeavesTest,
                         ::testing::Values(LeaveCase{"releases_its_name",
                                                     [](QDBusConnection& watcher) {
                                                       watcher.interface()->unregisterService(
                                                           kWatcherName);
                                                     }},
                                           LeaveCase{"crashes",
                                                     [](QDBusConnection& watcher) {
                                                       // The bus closes the connection once no
                                                       // handle is left.
                                                       const QString name = watcher.name();
                                                       watcher = QDBusConnection(
                                                           QStringLiteral("no-bus"));
                                                       QDBusConnection::disconnectFromBus(name);
                                                     }}),
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
  EXPECT_FALSE(tray.PollingForHost());
  EXPECT_EQ(tray.InNotificationArea(), GetParam().in_tray);
  EXPECT_EQ(tray.TrayIconShown(), GetParam().in_tray);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WatcherNotLostTest,
    ::testing::Values(
        StayCase{"watcher_stays",
                 [](TrayWatcherTest& t) {
                   QDBusConnection watcher = t.StartWatcher();
                   t.tray.Add(IconWithDot(1, 1, kRed), "12:00");
                   for (int tick = 0; tick < 10; ++tick) t.tray.Modify(IconImage{}, "12:01");
                 },
                 true},
        StayCase{"watcher_taken_over_without_a_gap",
                 [](TrayWatcherTest& t) {
                   QDBusConnection first = t.StartWatcher();
                   t.tray.Add(IconWithDot(1, 1, kRed), "12:00");
                   QDBusConnection second = t.StartWatcher();
                   ASSERT_EQ(t.tray_bus.interface()->serviceOwner(kWatcherName).value(),
                             second.baseService());
                 },
                 true},
        // Another kind of tray (XEmbed): a watcher coming and going later is none of its business.
        StayCase{"no_watcher_when_the_icon_went_in",
                 [](TrayWatcherTest& t) {
                   t.tray.Add(IconWithDot(1, 1, kRed), "12:00");
                   QDBusConnection watcher = t.StartWatcher();
                   t.host = false;
                   watcher.interface()->unregisterService(kWatcherName);
                 },
                 true},
        StayCase{"icon_removed_before",
                 [](TrayWatcherTest& t) {
                   QDBusConnection watcher = t.StartWatcher();
                   t.tray.Add(IconWithDot(1, 1, kRed), "12:00");
                   t.tray.Remove();
                   t.host = false;
                   watcher.interface()->unregisterService(kWatcherName);
                 },
                 false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TrayWatcherTest, WatcherTakenOverIsStillWatched) {
  QDBusConnection first = StartWatcher();
  tray.Add(IconWithDot(1, 1, kRed), "12:00");
  QDBusConnection second = StartWatcher();
  ASSERT_NO_FATAL_FAILURE(SettleBus());
  ASSERT_TRUE(tray.InNotificationArea());

  host = false;
  second.interface()->unregisterService(kWatcherName);
  ASSERT_NO_FATAL_FAILURE(ExpectStandIn());
}

}  // namespace
}  // namespace kelmora
