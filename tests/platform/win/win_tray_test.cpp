#include "platform/win/win_tray.h"

#include <gtest/gtest.h>

#include "platform/win/win_notifier.h"

namespace kelmora {
namespace {

struct Mouse {
  UINT message;
  std::vector<TrayMouse> reported;
};

class WinTrayMouseTest : public testing::TestWithParam<Mouse> {};

TEST_P(WinTrayMouseTest, ReportsTheButtonsReleased) {
  WinTray tray;
  std::vector<TrayMouse> reported;
  tray.on_mouse = [&reported](TrayMouse what) { reported.push_back(what); };
  SendMessageW(tray.Window(), WinTray::kCallbackMessage, 1, GetParam().message);
  EXPECT_EQ(reported, GetParam().reported);
}

INSTANTIATE_TEST_SUITE_P(Messages, WinTrayMouseTest,
                         testing::Values(Mouse{WM_LBUTTONUP, {TrayMouse::kLeftUp}},
                                         Mouse{WM_RBUTTONUP, {TrayMouse::kRightUp}},
                                         Mouse{WM_LBUTTONDOWN, {}}, Mouse{WM_LBUTTONDBLCLK, {}},
                                         Mouse{WM_MBUTTONUP, {}}, Mouse{WM_MOUSEMOVE, {}}));

TEST(WinTrayTest, TellsTheShellOnlyWhatChanged) {
  WinTray tray;
  IconImage icon;
  tray.Modify(icon, "no icon yet");
  EXPECT_EQ(tray.ShellUpdates(), 0);
  tray.Add(icon, "12:00");
  tray.Modify(icon, "12:00");
  EXPECT_EQ(tray.ShellUpdates(), 1);
  icon.argb[0] = 0xFF000000u;
  tray.Modify(icon, "12:00");
  EXPECT_EQ(tray.ShellUpdates(), 2);
}

TEST(WinNotifierTest, AButtonReportsItsKeyAndClosesTheWindow) {
  WinTray tray;
  WinNotifier notifier(tray);
  std::vector<std::string> keys;
  notifier.on_action = [&keys](const std::string& key) { keys.push_back(key); };
  notifier.Show("アラーム", "07:30 朝", {{"stop", "停止"}, {"snooze", "5分後"}});
  ASSERT_NE(notifier.Window(), nullptr);
  EXPECT_TRUE(GetWindowLongPtrW(notifier.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  HWND snooze = GetDlgItem(notifier.Window(), WinNotifier::kFirstButtonId + 1);
  SendMessageW(snooze, BM_CLICK, 0, 0);
  EXPECT_EQ(keys, std::vector<std::string>{"snooze"});
  EXPECT_EQ(notifier.Window(), nullptr);
  notifier.Close();
}

}  // namespace
}  // namespace kelmora
