// One alarm from start to end, through both windows: composed in the editor, shown in the tip,
// fired from the tray, moved on, written at close and loaded at the next start.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "app/form1.h"
#include "editor/form2.h"
#include "support/main_window_fixture.h"

namespace kelmora {
namespace {

class AlarmStory : public testing::MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    fakes_.paths.default_sound = "/opt/kelmora/alarm.wav";
    SetNow(7, 10, 0);
  }
  void SetNow(int hour, int minute, int second) {
    fakes_.clock.now = *MakeDateTime(2026, 12, 7, hour, minute, second);
  }
  std::string AlarmFile() { return ReadFile("timer.ini"); }
  // Opens the editor with "♪" and registers 07:30, repeated every hour.
  Form2& RegisterHourlyAlarm(Form1& form) {
    form.Command2Click();
    Form2* editor = form.Editor();
    EXPECT_NE(editor, nullptr);
    editor->SpinnerChange(TimePart::kHour, 7);
    editor->SpinnerChange(TimePart::kMinute, 30);
    editor->Check1Click(true);
    editor->TextChange(EntryText::kInterval, "1");
    editor->Command2Click();
    return *editor;
  }
};

TEST_F(AlarmStory, FromTheEditorThroughTheTrayToTheFileAndBack) {
  Form1& form = Start();  // first start: the window is shown
  Form2& editor = RegisterHourlyAlarm(form);
  const std::string line = "2026/12/07 07:30:00\t1h\tE\t/opt/kelmora/alarm.wav";
  ASSERT_EQ(editor.List1().Lines(), std::vector<std::string>{line});
  editor.Close();
  EXPECT_EQ(form.Editor(), nullptr);
  ASSERT_EQ(form.List1().Lines(), std::vector<std::string>{line});

  form.Command1Click();  // 設定: to the tray
  form.Tick();
  form.Tick();
  EXPECT_EQ(fakes_.tray.tip, "2026/12/07 07:10 月[♪2026/12/07 07:30:00]");

  SetNow(7, 30, 1);
  form.Tick();
  EXPECT_EQ(fakes_.sound.played, std::vector<std::string>{"/opt/kelmora/alarm.wav"});
  EXPECT_EQ(form.List1().At(0), "2026/12/07 08:30:00\t1h\tE\t/opt/kelmora/alarm.wav");

  form.CloseRequested();
  EXPECT_EQ(AlarmFile(), "2026/12/07 08:30:00\t1h\tE\t/opt/kelmora/alarm.wav\r\n");

  Form1& next = Start();
  EXPECT_FALSE(view_.shown);
  EXPECT_EQ(next.List1().Lines(),
            std::vector<std::string>{"2026/12/07 08:30:00\t1h\tE\t/opt/kelmora/alarm.wav"});
}

TEST_F(AlarmStory, ClosingTheMainWindowKeepsAnAlarmSavedInAnOpenEditor) {
  Form1& form = Start();
  RegisterHourlyAlarm(form);
  ASSERT_TRUE(form.List1().Empty());  // still only in the editor
  form.CloseRequested();
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
  EXPECT_TRUE(view_.editor.shown);

  editor.SpinnerChange(TimePart::kHour, 8);
  editor.Command2Click();
  form.SaveForSession();
  EXPECT_EQ(AlarmFile(),
            "2026/12/07 07:30:00\t1h\tE\t/opt/kelmora/alarm.wav\r\n"
            "2026/12/07 08:30:00\t1h\tE\t/opt/kelmora/alarm.wav\r\n");

  editor.Close();
  form.IntervalEdited("2.5");
  form.Command2Click();  // a new editor on the main list, left open
  form.Editor()->List1Click(0);
  form.Editor()->List1KeyDown(kDeleteKey);
  form.CloseRequested();
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
  form.Command2Click();
  EXPECT_EQ(form.Editor(), &editor);
  EXPECT_TRUE(editor.List1().Empty());
}

}  // namespace
}  // namespace kelmora
