#include "platform/win/win_dialogs.h"

#include <gtest/gtest.h>

#include "platform/win/hidden_window.h"
#include "platform/win/win_window_frames.h"

namespace kelmora {
namespace {

TEST(FilterTextTest, PairsEachDescriptionWithItsPatternAndEndsWithTwoNuls) {
  EXPECT_EQ(FilterText({{"すべてのファイル", "*.*"}, {"音楽ファイル", "*.wav"}}),
            std::wstring(L"すべてのファイル\0*.*\0音楽ファイル\0*.wav\0\0", 28));
}

// A box open in its own message loop is closed from a timer of that loop, as the program closes
// it from a tick or from the session's end.
class WinMessageBoxesTest : public testing::Test {
 protected:
  WinMessageBoxes boxes_;
  HiddenWindow closer_{L"KelmoraTestCloser", L"", [this](UINT message, WPARAM, LPARAM) {
                         if (message != WM_TIMER) return std::optional<LRESULT>();
                         KillTimer(closer_.Handle(), 1);
                         boxes_.CloseOpenBox();
                         return std::optional<LRESULT>(0);
                       }};
  void CloseSoon() { SetTimer(closer_.Handle(), 1, 50, nullptr); }
};

TEST_F(WinMessageBoxesTest, CloseOpenBoxAnswersNoToAQuestionAndEndsANotice) {
  CloseSoon();
  EXPECT_FALSE(boxes_.AskYesNo("上書きしますか？"));
  CloseSoon();
  boxes_.Notice("更新時間を 0.001 以上に設定して下さい");
  boxes_.CloseOpenBox();  // none open: nothing happens
}

TEST(WinWindowFramesTest, AreTheBordersAndTitleBarWindowsGivesAWindowShownOrNot) {
  HiddenWindow window(L"KelmoraTestFramed", L"framed", nullptr);
  SetWindowLongPtrW(window.Handle(), GWL_STYLE, WS_OVERLAPPEDWINDOW);
  SetWindowPos(window.Handle(), nullptr, 10, 10, 300, 200, SWP_NOZORDER | SWP_FRAMECHANGED);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_TOOLWINDOW);
  WinWindowFrames frames;
  std::vector<NativeWindow> reported;
  frames.on_reported = [&reported](NativeWindow framed) { reported.push_back(framed); };
  const auto native = reinterpret_cast<NativeWindow>(window.Handle());
  frames.Request(native);
  EXPECT_EQ(reported, std::vector<NativeWindow>{native});
  EXPECT_EQ(frames.Reported(native),
            (PixelMargins{-frame.left, -frame.top, frame.right, frame.bottom}));
  EXPECT_EQ(frames.Reported(0), std::nullopt);
}

}  // namespace
}  // namespace kelmora
