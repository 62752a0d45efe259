#include "platform/qt/qt_tray.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <optional>
#include <vector>

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
  ASSERT_TRUE(tray.Present());
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
  EXPECT_FALSE(tray.Present());
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
  EXPECT_FALSE(tray.Present());
  EXPECT_FALSE(stand_in->isVisible());
  EXPECT_EQ(tray.StandIn(), nullptr);
}

TEST(QtTrayHostTest, MovesIntoTheNotificationAreaWhenOneAppears) {
  testing::EnsureQApplication();
  bool host = false;
  int asked = 0;
  QtTray tray(QtTray::Options{.tray_available = [&] { return ++asked, host; },
                              .host_poll = std::chrono::milliseconds(10)});
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
  EXPECT_TRUE(tray.Present());

  EXPECT_FALSE(tray.PollingForHost()) << "no more asking once in the tray";
}

}  // namespace
}  // namespace kelmora
