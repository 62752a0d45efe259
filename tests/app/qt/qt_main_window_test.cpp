// The main window's Qt face: its controls stand where the layout table says, the state reaches
// them, the user's actions reach the behaviour, and in the tray it builds no controls at all.

#include "app/qt_main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <fstream>
#include <memory>

#include "app/form1.h"
#include "app/main_window_layout.h"
#include "fakes/fake_services.h"
#include "platform/qt/qt_convert.h"
#include "qt_app.h"
#include "temp_folder.h"

namespace kelmora {
namespace {

namespace layout = MainWindowLayout;

// The window, made once a QApplication exists.
std::unique_ptr<QtMainWindow> MakeWindow(fakes::FakeServices& fakes) {
  testing::EnsureQApplication();
  return std::make_unique<QtMainWindow>(fakes.Get());
}

class QtMainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { fakes_.paths.data_folder = temp_.path(); }
  void Start() {
    form_ = std::make_unique<Form1>(fakes_.Get(), *window_);
    window_->Attach(*form_);
    form_->Load();
  }
  testing::TempFolder temp_{"qt-main"};
  fakes::FakeServices fakes_;
  std::unique_ptr<QtMainWindow> window_ = MakeWindow(fakes_);
  std::unique_ptr<Form1> form_;
};

TEST_F(QtMainWindowTest, ControlsShowTheStateAndReachTheBehaviour) {
  Start();  // the first start: shown on top, with its controls
  ASSERT_TRUE(window_->isVisible());
  EXPECT_TRUE(window_->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(window_->Command1->geometry(), TwipsRect(layout::kCommand1));
  EXPECT_EQ(window_->Lb1[6]->geometry(), TwipsRect(layout::kLabelLefts[2], layout::kLabelTop,
                                                   layout::kLabelWidth, layout::kLabelHeight));
  EXPECT_EQ(window_->Text1->text(), QStringLiteral("1.0"));
  EXPECT_EQ(window_->Combo1->count(), 6);
  EXPECT_FALSE(window_->Combo2->isEnabled()) << "the analog face has no lower line";

  window_->Combo1->setCurrentIndex(2);
  emit window_->Combo1->activated(2);
  EXPECT_EQ(form_->Face().Mode1, 2);
  EXPECT_TRUE(window_->Combo2->isEnabled());
  fakes_.colors.answers = {Rgb(0, 0, 255)};
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(window_->Lb1[5], &release);
  EXPECT_EQ(window_->Lb1[5]->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  window_->Text1->setText(QStringLiteral("2.5"));
  window_->Command1->click();
  EXPECT_FALSE(window_->isVisible());
  EXPECT_EQ(fakes_.timer.interval, 1000);
  EXPECT_EQ(form_->State().interval_text, "2.5");
}

TEST_F(QtMainWindowTest, InTheTrayTheWindowBuildsNoControls) {
  std::ofstream(temp_.path() / "Varnlock.ini", std::ios::binary) << "x\r\n0.5\r\n 2 \r\n 3 \r\n";
  Start();
  for (int tick = 0; tick < 4; ++tick) form_->Tick();
  EXPECT_EQ(window_->Text1, nullptr);
  EXPECT_TRUE(window_->findChildren<QWidget*>().isEmpty());
  fakes_.tray.Release(TrayMouse::kLeftUp);
  ASSERT_NE(window_->Text1, nullptr);
  EXPECT_EQ(window_->Text1->text(), QStringLiteral("0.5"));
  EXPECT_EQ(window_->Combo2->currentIndex(), 3);
}

}  // namespace
}  // namespace kelmora
