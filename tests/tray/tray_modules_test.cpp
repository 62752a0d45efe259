// The tray module and the always-on-top module on a fake window, with a fake tray.

#include <gtest/gtest.h>

#include "fakes/fake_services.h"
#include "tray/task_tray.h"
#include "tray/top_most.h"

namespace kelmora {
namespace {

struct StayOnTopCase {
  std::int16_t mode;
  std::int32_t returned;
  bool on_top;  // the window stays on top afterwards
  bool shown;
};

class StayOnTopTable : public ::testing::TestWithParam<StayOnTopCase> {};

// Each case starts from a hidden window that is already topmost.
TEST_P(StayOnTopTable, SetsOrClearsTheFlagAndShowsTheWindow) {
  const StayOnTopCase& c = GetParam();
  fakes::FakeWindow window;
  window.on_top = true;
  EXPECT_EQ(TopMost::StayOnTop(window, c.mode), c.returned);
  EXPECT_EQ(window.on_top, c.on_top);
  EXPECT_EQ(window.shown, c.shown);
}

INSTANTIATE_TEST_SUITE_P(Modes, StayOnTopTable,
                         ::testing::Values(StayOnTopCase{0, 1, false, true},
                                           StayOnTopCase{1, 1, true, true},
                                           StayOnTopCase{2, 1, true, true},
                                           StayOnTopCase{3, 0, true, false},
                                           StayOnTopCase{-1, 0, true, false}));

TEST(TaskTrayTest, TheWindowGoesToTheTrayAndComesBack) {
  fakes::FakeTray tray;
  fakes::FakeWindow window;
  window.shown = true;
  IconImage icon;
  icon.argb[0] = 0xFF00FF00;
  TaskTray::TrayAdd(window, tray, icon, "tip");
  EXPECT_FALSE(window.shown);
  EXPECT_TRUE(tray.present);
  EXPECT_EQ(tray.icon, icon);
  EXPECT_EQ(tray.tip, "tip");
  window.minimised = true;
  TaskTray::TrayRestore(window, tray);
  EXPECT_TRUE(window.shown);
  EXPECT_FALSE(window.minimised);
  EXPECT_FALSE(tray.present);
}

}  // namespace
}  // namespace kelmora
