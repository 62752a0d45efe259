// The main window's Win32 face: its controls stand where the layout table says at the window's
// DPI, the state reaches them, the user's actions reach the behaviour, in the tray it makes no
// controls, and the session's end writes the files.

#include "app/win/win_main_window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "app/form1.h"
#include "app/main_window_layout.h"
#include "editor/win/stands_at.h"
#include "fakes/fake_services.h"
#include "temp_folder.h"

namespace kelmora {
namespace {

namespace layout = MainWindowLayout;

// A control's notification, as the control sends it.
void Notify(HWND control, int code) {
  SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
               reinterpret_cast<LPARAM>(control));
}

class WinMainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { fakes_.paths.data_folder = temp_.path(); }
  void Start() {
    form_ = std::make_unique<Form1>(fakes_.Get(), window_);
    window_.Attach(*form_);
    form_->Load();
  }
  testing::TempFolder temp_{"win-main"};
  fakes::FakeServices fakes_;
  WinMainWindow window_{fakes_.Get()};
  std::unique_ptr<Form1> form_;
};

TEST_F(WinMainWindowTest, ControlsShowTheStateAndReachTheBehaviour) {
  Start();  // the first start: shown on top, with its controls
  ASSERT_TRUE(window_.Shown());
  const bool on_top = (GetWindowLongPtrW(window_.Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  EXPECT_TRUE(on_top);
  EXPECT_TRUE(testing::StandsAt(window_.Command1, layout::kCommand1));
  EXPECT_TRUE(testing::StandsAt(window_.Lb1[6], {layout::kFrame2.left + layout::kLabelLefts[2],
                                                 layout::kFrame2.top + layout::kLabelTop,
                                                 layout::kLabelWidth, layout::kLabelHeight}));
  EXPECT_EQ(TextOf(window_.Text1), "1.0");
  EXPECT_EQ(SendMessageW(window_.Combo1, CB_GETCOUNT, 0, 0), 6);
  EXPECT_FALSE(IsWindowEnabled(window_.Combo2)) << "the analog face has no lower line";

  SendMessageW(window_.Combo1, CB_SETCURSEL, 2, 0);
  Notify(window_.Combo1, CBN_SELCHANGE);
  EXPECT_EQ(form_->Face().Mode1, 2);
  EXPECT_TRUE(IsWindowEnabled(window_.Combo2));
  fakes_.colors.answers = {Rgb(0, 0, 255)};
  Notify(window_.Lb1[5], STN_CLICKED);
  HDC dc = CreateCompatibleDC(nullptr);  // the label paints its caption in the colour
  SendMessageW(window_.Hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(window_.Lb1[5]));
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255));
  DeleteDC(dc);
  EXPECT_NE(SendMessageW(window_.Hwnd(), WM_GETICON, ICON_SMALL, 0), 0) << "the face's icon";
  SetText(window_.Text1, "2.5");
  SendMessageW(window_.Command1, BM_CLICK, 0, 0);
  EXPECT_FALSE(window_.Shown());
  EXPECT_EQ(fakes_.timer.interval, 1000);
  EXPECT_EQ(form_->State().interval_text, "2.5");
}

TEST_F(WinMainWindowTest, InTheTrayTheWindowMakesNoControls) {
  std::ofstream(temp_.path() / "Varnlock.ini", std::ios::binary) << "x\r\n0.5\r\n 2 \r\n 3 \r\n";
  Start();
  for (int tick = 0; tick < 4; ++tick) form_->Tick();
  EXPECT_EQ(GetWindow(window_.Hwnd(), GW_CHILD), nullptr);
  fakes_.tray.Release(TrayMouse::kLeftUp);
  ASSERT_NE(window_.Text1, nullptr);
  EXPECT_EQ(TextOf(window_.Text1), "0.5");
  EXPECT_EQ(SendMessageW(window_.Combo2, CB_GETCURSEL, 0, 0), 3);
}

// The session asks (the files are written, the program goes on), then ends (written again).
TEST_F(WinMainWindowTest, TheSessionsEndWritesBothFiles) {
  Start();
  const std::filesystem::path settings = temp_.path() / "Varnlock.ini";
  EXPECT_EQ(SendMessageW(window_.Hwnd(), WM_QUERYENDSESSION, 0, 0), TRUE);
  ASSERT_TRUE(std::filesystem::exists(settings));
  EXPECT_TRUE(window_.Shown());
  std::filesystem::remove(settings);
  SendMessageW(window_.Hwnd(), WM_ENDSESSION, TRUE, 0);
  EXPECT_TRUE(std::filesystem::exists(settings));
  EXPECT_TRUE(std::filesystem::exists(temp_.path() / "timer.ini"));
}

TEST_F(WinMainWindowTest, TheCloseBoxEndsTheProgramThroughItsBehaviour) {
  Start();
  bool closed = false;
  form_->on_closed = [&closed] { closed = true; };
  SendMessageW(window_.Hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(closed);
  EXPECT_TRUE(std::filesystem::exists(temp_.path() / "Varnlock.ini"));
}

}  // namespace
}  // namespace kelmora
