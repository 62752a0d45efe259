// One alarm from start to end, through both windows: composed in the editor, shown in the tip,
// fired from the tray, moved on, written at close and loaded at the next start.

#include <gtest/gtest.h>

#include <QTest>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/form1.h"
#include "editor/form2.h"
#include "editor/qt/qt_editor_window.h"
#include "fakes/fake_services.h"
#include "qt_app.h"
#include "temp_folder.h"

namespace kelmora {
namespace {

namespace fs = std::filesystem;

class AlarmStory : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureQApplication();
    fakes_.paths.data_folder = folder_;
    fakes_.paths.default_sound = "/opt/kelmora/alarm.wav";
    SetNow(7, 10, 0);
  }
  void TearDown() override { form_.reset(); }
  void SetNow(int hour, int minute, int second) {
    fakes_.clock.now = *MakeDateTime(2026, 12, 7, hour, minute, second);
  }
  Form1& Start() {
    form_.reset();
    form_ = std::make_unique<Form1>(fakes_.Get());
    form_->Load();
    return *form_;
  }
  std::string AlarmFile() {
    std::ifstream in(folder_ / "timer.ini", std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
  }
  // Opens the editor with "♪" and registers 07:30, repeated every hour.
  Form2& RegisterHourlyAlarm(Form1& form) {
    form.Command2->click();
    Form2* editor = form.Editor();
    EXPECT_NE(editor, nullptr);
    QtEditorWindow* window = form.EditorWindow();
    window->VScroll1->SetValue(7);
    window->VScroll2->SetValue(30);
    window->Check1->click();
    window->Text2->setText("1");
    window->Command2->click();
    return *editor;
  }

  testing::TempFolder temp_{"story"};
  fs::path folder_ = temp_.path();
  fakes::FakeServices fakes_;
  std::unique_ptr<Form1> form_;
};

TEST_F(AlarmStory, FromTheEditorThroughTheTrayToTheFileAndBack) {
  Form1& form = Start();  // first start: the window is shown
  Form2& editor = RegisterHourlyAlarm(form);
  const std::string line = "2026/12/07 07:30:00\t1h\tE\t/opt/kelmora/alarm.wav";
  ASSERT_EQ(editor.List1().Lines(), std::vector<std::string>{line});
  editor.Close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(form.Editor(), nullptr);
  ASSERT_EQ(form.List1().Lines(), std::vector<std::string>{line});

  form.Command1->click();  // 設定: to the tray
  form.Tick();
  form.Tick();
  EXPECT_EQ(fakes_.tray.tip, "2026/12/07 07:10 月[♪2026/12/07 07:30:00]");

  SetNow(7, 30, 1);
  form.Tick();
  EXPECT_EQ(fakes_.sound.played, std::vector<std::string>{"/opt/kelmora/alarm.wav"});
  EXPECT_EQ(form.List1().At(0), "2026/12/07 08:30:00\t1h\tE\t/opt/kelmora/alarm.wav");

  form.close();
  EXPECT_EQ(AlarmFile(), "2026/12/07 08:30:00\t1h\tE\t/opt/kelmora/alarm.wav\r\n");

  Form1& next = Start();
  EXPECT_FALSE(next.isVisible());
  EXPECT_EQ(next.List1().Lines(),
            std::vector<std::string>{"2026/12/07 08:30:00\t1h\tE\t/opt/kelmora/alarm.wav"});
}

TEST_F(AlarmStory, ClosingTheMainWindowKeepsAnAlarmSavedInAnOpenEditor) {
  Form1& form = Start();
  RegisterHourlyAlarm(form);
  ASSERT_TRUE(form.List1().Empty());  // still only in the editor
  form.close();
  EXPECT_EQ(AlarmFile(), "2026/12/07 07:30:00\t1h\tE\t/opt/kelmora/alarm.wav\r\n");
}

// The session manager asks at every checkpoint: the files are written each time, an open editor
// stays open with its list, and the close still writes what changed since.
TEST_F(AlarmStory, EverySessionSaveRequestWritesTheFilesAndTheCloseWritesThemAgain) {
  Form1& form = Start();
  Form2& editor = RegisterHourlyAlarm(form);
  form.SaveForSession();
  EXPECT_EQ(AlarmFile(), "2026/12/07 07:30:00\t1h\tE\t/opt/kelmora/alarm.wav\r\n");
  EXPECT_EQ(form.Editor(), &editor);
  EXPECT_TRUE(form.EditorWindow()->isVisible());

  form.EditorWindow()->VScroll1->SetValue(8);
  form.EditorWindow()->Command2->click();
  form.SaveForSession();
  EXPECT_EQ(AlarmFile(),
            "2026/12/07 07:30:00\t1h\tE\t/opt/kelmora/alarm.wav\r\n"
            "2026/12/07 08:30:00\t1h\tE\t/opt/kelmora/alarm.wav\r\n");

  editor.Close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  form.Text1->setText("2.5");
  form.Command2->click();  // a new editor on the main list, left open
  form.Editor()->List1Click(0);
  form.Editor()->List1KeyDown(kDeleteKey);
  form.close();
  EXPECT_EQ(AlarmFile(), "2026/12/07 08:30:00\t1h\tE\t/opt/kelmora/alarm.wav\r\n");
  std::ifstream settings(folder_ / "Varnlock.ini", std::ios::binary);
  std::string tip, interval;
  std::getline(settings, tip);
  std::getline(settings, interval);
  EXPECT_EQ(interval, "2.5\r");
}

TEST_F(AlarmStory, PressingTheNoteAgainRefillsTheOpenEditor) {
  Form1& form = Start();
  Form2& editor = RegisterHourlyAlarm(form);
  form.Command2->click();
  EXPECT_EQ(form.Editor(), &editor);
  EXPECT_TRUE(editor.List1().Empty());
}

}  // namespace
}  // namespace kelmora
