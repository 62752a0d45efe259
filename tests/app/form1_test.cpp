#include "app/form1.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "editor/form2.h"
#include "editor/qt/qt_editor_window.h"
#include "fakes/fake_services.h"
#include "platform/qt/qt_convert.h"
#include "qt_app.h"
#include "render/clock_face.h"
#include "temp_folder.h"
#include "tray/colour_labels.h"

namespace kelmora {
namespace {

namespace fs = std::filesystem;

class Form1Test : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureQApplication();
    fakes_.paths.data_folder = folder_;
    fakes_.paths.default_sound = "/opt/kelmora/share/kelmora/sounds/alarm.wav";
  }
  void TearDown() override { form_.reset(); }

  void WriteFile(const std::string& name, const std::string& content) {
    std::ofstream(folder_ / name, std::ios::binary) << content;
  }
  std::string ReadFile(const std::string& name) {
    std::ifstream in(folder_ / name, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
  }
  // The settings file with the given interval, modes and colours, as the program writes it.
  static std::string SettingsText(const std::string& interval, int mode1, int mode2,
                                  const std::array<ColorValue, 8>& colours = {}) {
    std::string content = "yyyy/mm/dd hh:mm aaa\r\n" + interval + "\r\n";
    content += " " + std::to_string(mode1) + " \r\n " + std::to_string(mode2) + " \r\n";
    for (ColorValue colour : colours) content += " " + std::to_string(colour) + " \r\n";
    return content;
  }
  void WriteSettings(const std::string& interval, int mode1 = 0, int mode2 = 0,
                     const std::array<ColorValue, 8>& colours = {}) {
    WriteFile("Varnlock.ini", SettingsText(interval, mode1, mode2, colours));
  }
  void SetNow(int hour, int minute, int second) {
    fakes_.clock.now = *MakeDateTime(2003, 11, 9, hour, minute, second);
  }
  Form1& Start() {
    form_ = std::make_unique<Form1>(fakes_.Get());
    form_->Load();
    return *form_;
  }
  // Adds an alarm line as the user does: in the editor, which hands its lines back as it closes.
  void AddThroughEditor(Form1& form, const std::string& line) {
    form.EnsureControls();
    form.Command2->click();
    form.Editor()->AddLine(line);
    form.Editor()->Close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  ColorValue Background() const {
    const QColor c = QApplication::palette().color(QPalette::Button);
    return Rgb(c.red(), c.green(), c.blue());
  }

  testing::TempFolder temp_{"form1"};
  fs::path folder_ = temp_.path();
  fakes::FakeServices fakes_;
  std::unique_ptr<Form1> form_;
};

TEST_F(Form1Test, FirstStartShowsTheWindowOnTopWithoutTrayIcon) {
  Form1& form = Start();
  EXPECT_TRUE(form.isVisible());
  EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_FALSE(fakes_.tray.present);
}

TEST_F(Form1Test, StartWithSettingsFileLivesInTheTrayWithEmptyTip) {
  WriteFile("Varnlock.ini", "");  // an empty file counts
  Form1& form = Start();
  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(fakes_.tray.present);
  EXPECT_EQ(fakes_.tray.adds, 1);
  EXPECT_EQ(fakes_.tray.tip, "");
}

TEST_F(Form1Test, StartRemovesWhatAKilledWriterLeftAndReadsTheIntactFiles) {
  WriteSettings("2.0");
  WriteFile("timer.ini", "2003/11/09 15:00:00\t1d\tE\t\r\n");
  WriteFile("Varnlock.ini.tmp-999-0", "yyyy\r\n0.5\r\n");  // cut short by a kill
  WriteFile("timer.ini.tmp-999-0", "2003/11/09 16:");
  SetNow(14, 7, 0);
  Form1& form = Start();
  EXPECT_EQ(form.IntervalText(), "2.0");
  EXPECT_EQ(form.List1().Count(), 1);
  EXPECT_FALSE(fs::exists(folder_ / "Varnlock.ini.tmp-999-0"));
  EXPECT_FALSE(fs::exists(folder_ / "timer.ini.tmp-999-0"));
}

TEST_F(Form1Test, AFolderNamedLikeTheSettingsFileIsAFirstStartAndIsReported) {
  fs::create_directory(folder_ / "Varnlock.ini");
  Form1& form = Start();
  EXPECT_TRUE(form.isVisible());
  ASSERT_EQ(fakes_.messages.notices.size(), 1u);
  EXPECT_NE(fakes_.messages.notices[0].find("Varnlock.ini"), std::string::npos);
}

struct CadenceCase {
  const char* interval;
  int timer_ms;
  int tick_limit;
  std::vector<int> redraw_ticks;  // among ticks 1..8
};

class TickCadence : public Form1Test, public ::testing::WithParamInterface<CadenceCase> {};

TEST_P(TickCadence, RedrawsOnTheTicksTheLimitNames) {
  const CadenceCase& c = GetParam();
  WriteSettings(c.interval);
  Form1& form = Start();
  EXPECT_EQ(fakes_.timer.interval, c.timer_ms);
  EXPECT_EQ(form.TickLimit(), c.tick_limit);
  std::vector<int> redraws;
  for (int tick = 1; tick <= 8; ++tick) {
    const int before = fakes_.tray.modifies;
    form.Tick();
    if (fakes_.tray.modifies != before) redraws.push_back(tick);
  }
  EXPECT_EQ(redraws, c.redraw_ticks);
}

INSTANTIATE_TEST_SUITE_P(Limits, TickCadence,
                         ::testing::Values(CadenceCase{"0.5", 500, 0, {1, 2, 3, 4, 5, 6, 7, 8}},
                                           CadenceCase{"1.0", 1000, 1, {2, 4, 6, 8}},
                                           CadenceCase{"3", 1000, 3, {4, 8}}));

struct SetTmrCase {
  const char* interval;
  int timer_ms;
  int tick_limit;
};

class SetTmrTable : public Form1Test, public ::testing::WithParamInterface<SetTmrCase> {};

TEST_P(SetTmrTable, GivesTimerIntervalAndLimitAndResetsTheCount) {
  const SetTmrCase& c = GetParam();
  WriteSettings("1.0");
  Form1& form = Start();
  form.Tick();  // the count is 1 now
  form.EnsureControls();
  form.Text1->setText(QString::fromUtf8(c.interval));
  form.SetTmr();
  EXPECT_EQ(fakes_.timer.interval, c.timer_ms);
  EXPECT_EQ(form.TickLimit(), c.tick_limit);
  EXPECT_EQ(form.TickCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Intervals, SetTmrTable,
                         ::testing::Values(SetTmrCase{"1.0", 1000, 1}, SetTmrCase{"0.5", 500, 0},
                                           SetTmrCase{"2.5", 1000, 2}, SetTmrCase{"3.5", 1000, 4},
                                           SetTmrCase{"0.0004", 0, 0}, SetTmrCase{"-3", 0, 0},
                                           SetTmrCase{"9999999999", 0, 0}));

TEST_F(Form1Test, StoppedTimerNeverTicks) {
  WriteSettings("0");
  Start();
  EXPECT_EQ(fakes_.timer.interval, 0);
}

TEST_F(Form1Test, AnalogWithStoredLowerLineDrawsItOnceThenDropsIt) {
  WriteSettings("1.0", 0, 3);
  Form1& form = Start();
  EXPECT_EQ(form.Face().Mode2, 0);
  fakes_.tray.Release(TrayMouse::kLeftUp);
  EXPECT_FALSE(form.Combo2->isEnabled());
  EXPECT_EQ(form.Combo2->currentIndex(), 0);
  // The first face, drawn before the lists were set, carries the date over the analog face.
  ClockFace expected;
  expected.Mode1 = 0;
  expected.Mode2 = 3;
  expected.Draw(fakes_.clock.now, Background());
  EXPECT_EQ(fakes_.tray.icon, expected.Picture1.ToIcon(Background()));
}

TEST_F(Form1Test, ChoosingAnalogSelectsNoLowerLineAndOtherModesKeepIt) {
  WriteSettings("1.0", 2, 3);
  Form1& form = Start();
  EXPECT_EQ(form.Face().Mode2, 3);
  fakes_.tray.Release(TrayMouse::kLeftUp);
  EXPECT_TRUE(form.Combo2->isEnabled());
  form.Combo1->setCurrentIndex(0);
  emit form.Combo1->activated(0);
  EXPECT_EQ(form.Face().Mode2, 0);
  EXPECT_FALSE(form.Combo2->isEnabled());
  form.Combo1->setCurrentIndex(4);
  emit form.Combo1->activated(4);
  EXPECT_EQ(form.Face().Mode1, 4);
  EXPECT_TRUE(form.Combo2->isEnabled());
  EXPECT_EQ(form.Combo2->currentIndex(), 0);
}

TEST_F(Form1Test, TipShowsTimeWeekdayAndNextAlarm) {
  WriteSettings("1.0", 2, 0);
  Form1& form = Start();
  form.Tick();
  form.Tick();
  EXPECT_EQ(fakes_.tray.tip, "2003/11/09 14:07 日");

  AddThroughEditor(form, "2003/11/09 15:00:00\t1h\tE\t");
  form.Tick();
  form.Tick();
  EXPECT_EQ(fakes_.tray.tip, "2003/11/09 14:07 日[♪2003/11/09 15:00:00]");
}

// Whatever a handler changes, it plans the timer's next wake once, as it returns.
struct PlanCase {
  const char* name;
  void (*act)(Form1& form, fakes::FakeServices& fakes);
};

void PrintTo(const PlanCase& c, std::ostream* out) {
  *out << c.name;
}

class PlansOnce : public Form1Test, public ::testing::WithParamInterface<PlanCase> {};

TEST_P(PlansOnce, EachHandlerPlansTheNextWakeOnce) {
  WriteSettings("1.0", 2, 3);
  WriteFile("timer.ini", "2003/11/09 14:08:00\t1h\tE\tbell.wav\r\n");
  Form1& form = Start();
  EXPECT_EQ(fakes_.timer.plans, 1) << "the load step";
  fakes_.tray.Release(TrayMouse::kLeftUp);
  fakes_.timer.plans = 0;
  GetParam().act(form, fakes_);
  EXPECT_EQ(fakes_.timer.plans, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Handlers, PlansOnce,
    ::testing::Values(
        PlanCase{"SetButton", [](Form1& form, fakes::FakeServices&) { form.Command1->click(); }},
        PlanCase{"AnalogDropsTheLowerLine",
                 [](Form1& form, fakes::FakeServices&) {
                   form.Combo1->setCurrentIndex(0);
                   emit form.Combo1->activated(0);
                 }},
        PlanCase{"ColourLabel",
                 [](Form1& form, fakes::FakeServices& fakes) {
                   fakes.colors.answers = {Rgb(0, 0, 255)};
                   QMouseEvent release(QEvent::MouseButtonRelease, QPointF(3, 3), QPointF(3, 3),
                                       Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
                   QApplication::sendEvent(form.Lb1[2], &release);
                 }},
        PlanCase{"TrayRelease",
                 [](Form1& form, fakes::FakeServices& fakes) {
                   form.Command1->click();
                   fakes.timer.plans = 0;
                   fakes.tray.Release(TrayMouse::kLeftUp);
                 }},
        PlanCase{"EditorCloses",
                 [](Form1& form, fakes::FakeServices& fakes) {
                   form.Command2->click();
                   fakes.timer.plans = 0;
                   form.Editor()->Close();
                 }},
        PlanCase{"TickThatFires",
                 [](Form1& form, fakes::FakeServices& fakes) {
                   form.Command1->click();
                   fakes.clock.now = *MakeDateTime(2003, 11, 9, 14, 8, 1);
                   fakes.timer.plans = 0;
                   fakes.timer.Fire();
                   EXPECT_EQ(fakes.sound.played, std::vector<std::string>{"bell.wav"});
                 }}),
    [](const auto& info) { return std::string(info.param.name); });

struct IntervalCase {
  const char* text;
  bool accepted;
};

class SetButton : public Form1Test, public ::testing::WithParamInterface<IntervalCase> {};

TEST_P(SetButton, AcceptsIntervalsFromAThousandthOfASecond) {
  Form1& form = Start();
  form.Text1->setText(QString::fromUtf8(GetParam().text));
  form.Command1->click();
  if (GetParam().accepted) {
    EXPECT_TRUE(fakes_.messages.notices.empty());
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(fakes_.tray.present);
    EXPECT_EQ(fakes_.tray.tip, "");
  } else {
    EXPECT_EQ(fakes_.messages.notices,
              std::vector<std::string>{"更新時間を 0.001 以上に設定して下さい"});
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(fakes_.tray.present);
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, SetButton,
                         ::testing::Values(IntervalCase{"1.0", true}, IntervalCase{"0.001", true},
                                           IntervalCase{"2.5 abc", true},
                                           IntervalCase{"0.0009", false}, IntervalCase{"0", false},
                                           IntervalCase{"", false}, IntervalCase{"abc", false},
                                           IntervalCase{"-1", false},
                                           IntervalCase{"3000000", false}));

class TrayRelease : public Form1Test, public ::testing::WithParamInterface<TrayMouse> {};

TEST_P(TrayRelease, BringsTheWindowBackToTheLowerRightCorner) {
  WriteSettings("1.0");
  Form1& form = Start();
  ASSERT_FALSE(form.isVisible());
  fakes_.tray.Release(GetParam());
  EXPECT_TRUE(form.isVisible());
  EXPECT_FALSE(fakes_.tray.present);
  const QRect frame = form.frameGeometry();
  EXPECT_EQ(frame.right() + 1, 1024);
  EXPECT_EQ(frame.bottom() + 1, 738);
}

INSTANTIATE_TEST_SUITE_P(Buttons, TrayRelease,
                         ::testing::Values(TrayMouse::kLeftUp, TrayMouse::kRightUp));

TEST_F(Form1Test, OtherTrayEventsDoNothing) {
  WriteSettings("1.0");
  Form1& form = Start();
  fakes_.tray.Release(TrayMouse::kOther);
  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(fakes_.tray.present);
}

TEST_F(Form1Test, InTheTrayTheWindowBuildsNoControls) {
  WriteSettings("0.5", 2, 3);
  Form1& form = Start();
  for (int tick = 0; tick < 4; ++tick) form.Tick();
  EXPECT_EQ(form.Picture1, nullptr);
  EXPECT_EQ(form.Text1, nullptr);
  EXPECT_EQ(form.Command1, nullptr);
  EXPECT_EQ(form.Command2, nullptr);
  EXPECT_EQ(form.Combo1, nullptr);
  EXPECT_EQ(form.Combo2, nullptr);
  EXPECT_EQ(form.Lb1[0], nullptr);
  EXPECT_TRUE(form.findChildren<QWidget*>().isEmpty());
}

struct ShownCase {
  const char* interval;
  int mode1;
  int mode2;
  int shown_mode2;  // the analog upper line has no lower line
  bool combo2_enabled;
};

class ShownFromTheTray : public Form1Test, public ::testing::WithParamInterface<ShownCase> {};

TEST_P(ShownFromTheTray, ControlsShowTheLoadedSettingsAndTheCurrentFace) {
  const ShownCase& c = GetParam();
  const std::array<ColorValue, 8> colours{Rgb(255, 0, 0),   Rgb(0, 128, 0),  Rgb(0, 0, 255),
                                          Rgb(1, 2, 3),     Rgb(200, 0, 99), Rgb(0, 64, 64),
                                          Rgb(255, 255, 0), Rgb(9, 9, 9)};
  WriteSettings(c.interval, c.mode1, c.mode2, colours);
  Form1& form = Start();
  SetNow(15, 42, 0);
  form.Tick();
  form.Tick();  // redrawn at 15:42 with the interval's limit of 0 or 1
  fakes_.tray.Release(TrayMouse::kLeftUp);
  ASSERT_NE(form.Text1, nullptr);
  EXPECT_TRUE(form.Text1->isVisible());
  EXPECT_EQ(form.Text1->text(), QString::fromUtf8(c.interval));
  EXPECT_EQ(form.Combo1->currentIndex(), c.mode1);
  EXPECT_EQ(form.Combo2->currentIndex(), c.shown_mode2);
  EXPECT_EQ(form.Combo2->isEnabled(), c.combo2_enabled);
  for (std::size_t i = 0; i < colours.size(); ++i) {
    EXPECT_TRUE(form.Lb1[i]->isVisible()) << i;
    EXPECT_EQ(form.Lb1[i]->palette().color(QPalette::WindowText), ToQColor(colours[i])) << i;
  }
  ClockFace expected;
  expected.Mode1 = static_cast<std::int16_t>(c.mode1);
  expected.Mode2 = static_cast<std::int16_t>(c.shown_mode2);
  expected.Clr = colours;
  expected.Draw(fakes_.clock.now, Background());
  EXPECT_EQ(form.Picture1->pixmap().toImage(),
            QPixmap::fromImage(ToQImage(expected.Picture1.ToIcon(-1))).toImage());
}

INSTANTIATE_TEST_SUITE_P(Settings, ShownFromTheTray,
                         ::testing::Values(ShownCase{"0.5", 2, 3, 3, true},
                                           ShownCase{"1", 0, 4, 0, false},
                                           ShownCase{"0.25", 5, 0, 0, true}));

struct SaveCase {
  bool shown;
  const char* typed;  // into Text1 after showing, never applied
  const char* saved;
};

class SaveAtClose : public Form1Test, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SaveAtClose, WritesTheIntervalTextAndModesTheWindowHolds) {
  WriteSettings("2.50", 3, 4);
  Form1& form = Start();
  if (GetParam().shown) fakes_.tray.Release(TrayMouse::kLeftUp);
  if (*GetParam().typed) {
    form.Text1->selectAll();
    QTest::keyClicks(form.Text1, QString::fromUtf8(GetParam().typed));
  }
  form.close();
  EXPECT_EQ(ReadFile("Varnlock.ini"), SettingsText(GetParam().saved, 3, 4));
  EXPECT_EQ(fakes_.timer.interval, 1000);
}

INSTANTIATE_TEST_SUITE_P(Windows, SaveAtClose,
                         ::testing::Values(SaveCase{false, "", "2.50"}, SaveCase{true, "", "2.50"},
                                           SaveCase{true, "0.7", "0.7"}));

TEST_F(Form1Test, ColourLabelPicksAColourAndCancelKeepsIt) {
  Form1& form = Start();
  fakes_.colors.answers = {Rgb(0, 0, 255), std::nullopt};
  form.show();
  QMouseEvent press(QEvent::MouseButtonRelease, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton,
                    Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(form.Lb1[5], &press);
  EXPECT_EQ(form.Face().Clr[5], Rgb(0, 0, 255));
  EXPECT_EQ(form.Lb1[5]->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  QApplication::sendEvent(form.Lb1[5], &press);
  EXPECT_EQ(form.Face().Clr[5], Rgb(0, 0, 255));
}

// Alarms fire from the tray only, on the first tick after their second.
class AlarmTick : public Form1Test {
 protected:
  Form1& StartInTray(const std::string& alarm_lines) {
    WriteSettings("1.0");
    WriteFile("timer.ini", alarm_lines);
    return Start();
  }
};

TEST_F(AlarmTick, FiresOnTheFirstTickAfterItsSecond) {
  SetNow(11, 59, 59);
  Form1& form = StartInTray("2003/11/09 12:00:00\t0z\t0\tbell.wav\r\n");
  SetNow(12, 0, 0);
  form.Tick();
  EXPECT_TRUE(fakes_.sound.played.empty());
  SetNow(12, 0, 1);
  form.Tick();
  EXPECT_EQ(fakes_.sound.played, std::vector<std::string>{"bell.wav"});
  EXPECT_EQ(form.List1().Count(), 0);
  EXPECT_EQ(fakes_.tray.icon, ProgramIcon());
  EXPECT_EQ(fakes_.tray.tip, "2003/11/09 12:00 日");
}

// A firing is said on the desktop as well: "停止" ends the sound and the notification, a sound
// that ends by itself takes the notification away.
TEST_F(AlarmTick, FiringShowsANotificationWhoseStopEndsTheSound) {
  SetNow(11, 59, 59);
  Form1& form =
      StartInTray("2003/11/09 12:00:00\t1h\tE\t/snd/bell.wav\r\n2003/11/09 12:30:00\t0z\t0\t\r\n");
  SetNow(12, 0, 1);
  form.Tick();
  using Shown = fakes::FakeNotifier::Shown;
  const std::vector<Shown> first = {{"アラーム", "2003/11/09 12:00:00\nbell.wav"}};
  EXPECT_EQ(fakes_.notifier.shown, first);
  fakes_.notifier.Choose("停止");
  EXPECT_EQ(fakes_.sound.stops, 1);
  EXPECT_FALSE(fakes_.notifier.up);

  SetNow(12, 30, 1);
  form.Tick();
  EXPECT_EQ(fakes_.notifier.shown.back(), (Shown{"アラーム", "2003/11/09 12:30:00\nalarm.wav"}));
  EXPECT_TRUE(fakes_.notifier.up);
  fakes_.sound.Finish();
  EXPECT_FALSE(fakes_.notifier.up);
  EXPECT_EQ(fakes_.sound.stops, 1);
}

TEST_F(AlarmTick, NothingFiresWhileTheWindowIsShownOrMinimised) {
  SetNow(11, 59, 59);
  Form1& form = StartInTray("2003/11/09 12:00:00\t0z\t0\tbell.wav\r\n");
  fakes_.tray.Release(TrayMouse::kLeftUp);
  SetNow(13, 0, 0);
  form.Tick();
  form.showMinimized();
  form.Tick();
  EXPECT_TRUE(fakes_.sound.played.empty());
  EXPECT_EQ(form.List1().Count(), 1);
}

TEST_F(AlarmTick, ALineLeftDueFiresAgainOnTheNextTick) {
  SetNow(11, 59, 59);
  Form1& form = StartInTray("2003/11/09 12:00:00\t0z\t1\tbell.wav\r\n");
  SetNow(12, 0, 1);
  form.Tick();
  EXPECT_EQ(form.List1().At(0), "2003/11/09 12:00:00\t0z\t0\tbell.wav");
  form.Tick();
  form.Tick();
  EXPECT_EQ(fakes_.sound.played.size(), 2u);
  EXPECT_EQ(form.List1().Count(), 0);
}

TEST_F(AlarmTick, TwoEqualRepeatingLinesGiveOneSound) {
  SetNow(11, 59, 59);
  const std::string line = "2003/11/09 12:00:00\t1h\tE\t\r\n";
  Form1& form = StartInTray(line + line);
  SetNow(12, 0, 1);
  form.Tick();
  form.Tick();
  EXPECT_EQ(fakes_.sound.played, std::vector<std::string>{fakes_.paths.default_sound});
  ASSERT_EQ(form.List1().Count(), 2);
  EXPECT_EQ(form.List1().At(1), "2003/11/09 13:00:00\t1h\tE\t");
}

TEST_F(AlarmTick, AClockJumpingADayForwardRingsOnceAndCatchesUp) {
  SetNow(11, 59, 59);
  Form1& form = StartInTray("2003/11/09 12:00:00\t1h\tE\tbell.wav\r\n");
  fakes_.clock.now = *MakeDateTime(2003, 11, 10, 12, 30, 0);
  form.Tick();
  form.Tick();
  EXPECT_EQ(fakes_.sound.played.size(), 1u);
  EXPECT_EQ(form.List1().At(0), "2003/11/10 13:00:00\t1h\tE\tbell.wav");
}

TEST_F(AlarmTick, AClockTurnedBackAnHourRingsNothingTwice) {
  SetNow(11, 59, 59);
  Form1& form = StartInTray("2003/11/09 12:00:00\t1h\tE\tbell.wav\r\n");
  SetNow(12, 0, 1);
  form.Tick();
  for (int minute = 0; minute < 60; ++minute) {
    SetNow(11, minute, 1);  // the hour again, from the wall clock turned back
    form.Tick();
  }
  SetNow(12, 0, 1);
  form.Tick();
  EXPECT_EQ(fakes_.sound.played.size(), 1u);
  EXPECT_EQ(form.List1().At(0), "2003/11/09 13:00:00\t1h\tE\tbell.wav");
}

// An alarm rings on time while the editor is open, and the editor's copy follows the firing:
// closing it neither undoes the firing nor rings it again, and a line added there stays.
TEST_F(AlarmTick, AnAlarmRingsWhileTheEditorIsOpenAndTheEditorsCopyFollows) {
  SetNow(11, 59, 59);
  Form1& form =
      StartInTray("2003/11/09 12:00:00\t0z\t0\tbell.wav\r\n2003/11/09 12:00:00\t1h\t2\tb\r\n");
  fakes_.tray.Release(TrayMouse::kLeftUp);
  form.Command2->click();  // ♪
  form.Command1->click();  // 設定: the window goes to the tray, the editor stays open
  form.Editor()->AddLine("2003/11/09 18:00:00\t0z\tE\t");
  SetNow(12, 0, 1);
  form.Tick();
  EXPECT_EQ(fakes_.sound.played, std::vector<std::string>{"bell.wav"});
  const std::vector<std::string> followed = {"2003/11/09 13:00:00\t1h\t1\tb",
                                             "2003/11/09 18:00:00\t0z\tE\t"};
  EXPECT_EQ(form.Editor()->List1().Lines(), followed);
  form.Editor()->Close();
  form.Tick();
  EXPECT_EQ(fakes_.sound.played, std::vector<std::string>{"bell.wav"});
  EXPECT_EQ(form.List1().Lines(), followed);
}

// スヌーズ on the notification: the sound stops, and the alarm rings again five minutes later
// from a line of its own, in order among the others and saved with them.
TEST_F(AlarmTick, SnoozeAddsALineThatRingsAgainFiveMinutesLater) {
  SetNow(11, 59, 59);
  Form1& form =
      StartInTray("2003/11/09 12:00:00\t1d\tE\t/snd/bell.wav\r\n2003/11/09 12:03:00\t0z\t0\t\r\n");
  SetNow(12, 0, 1);
  form.Tick();
  ASSERT_EQ(fakes_.notifier.actions.size(), 2u);
  EXPECT_EQ(fakes_.notifier.actions[0].label, "停止");
  SetNow(12, 0, 4);
  fakes_.notifier.Choose("スヌーズ (5分)");
  EXPECT_EQ(fakes_.sound.stops, 1);
  EXPECT_FALSE(fakes_.notifier.up);
  const std::string snoozed = "2003/11/09 12:05:04\t0z\t0\t/snd/bell.wav";
  EXPECT_EQ(form.List1().Lines(),
            (std::vector<std::string>{"2003/11/09 12:03:00\t0z\t0\t", snoozed,
                                      "2003/11/10 12:00:00\t1d\tE\t/snd/bell.wav"}));
  form.SaveForSession();
  EXPECT_NE(ReadFile("timer.ini").find(snoozed + "\r\n"), std::string::npos);

  SetNow(12, 3, 1);
  form.Tick();
  SetNow(12, 5, 4);
  form.Tick();
  EXPECT_EQ(fakes_.sound.played.size(), 2u) << "not before its second";
  SetNow(12, 5, 5);
  form.Tick();
  EXPECT_EQ(fakes_.sound.played.back(), "/snd/bell.wav");
  EXPECT_EQ(form.List1().Count(), 1);
  EXPECT_TRUE(fakes_.notifier.notices.empty()) << "nothing passed unheard";
}

// The editor's copy becomes the main list when it closes: a snooze while it is open goes into
// the copy too, so the close does not undo it.
TEST_F(AlarmTick, ASnoozeWhileTheEditorIsOpenIsNotUndoneByItsClose) {
  SetNow(11, 59, 59);
  Form1& form = StartInTray("2003/11/09 12:00:00\t0z\t0\t\r\n");
  SetNow(12, 0, 1);
  form.Tick();
  fakes_.tray.Release(TrayMouse::kLeftUp);
  form.Command2->click();  // ♪
  form.Editor()->AddLine("2003/11/09 13:00:00\t0z\t0\t");
  SetNow(12, 0, 30);
  fakes_.notifier.Choose("スヌーズ (5分)");
  EXPECT_EQ(form.EditorWindow()->List1Box->count(), 2) << "the editor shows the snooze";
  form.Editor()->Close();
  EXPECT_EQ(form.List1().Lines(), (std::vector<std::string>{"2003/11/09 12:05:30\t0z\t0\t",
                                                            "2003/11/09 13:00:00\t0z\t0\t"}));
}

// Alarms that fell due while the program was not running ring nothing; the user is told of them
// once, on the desktop. Unreadable lines are no alarms.
TEST_F(Form1Test, AlarmsThatPassedWhileNotRunningAreToldOnceWithoutASound) {
  WriteSettings("1.0");
  WriteFile("timer.ini",
            "2003/11/07 07:30:00\t1d\tE\t\r\n2003/11/09 13:00:00\t0z\t0\t\r\n"
            "2003/11/09 09:00:00\t0z\t0\tx.wav\r\n2003/11/09 08:00:00\tbroken\r\n");
  SetNow(12, 0, 0);
  Start();
  using Shown = fakes::FakeNotifier::Shown;
  EXPECT_EQ(
      fakes_.notifier.notices,
      (std::vector<Shown>{{"アラーム",
                           "起動していない間に 4 件のアラームが過ぎました: 2003/11/07 07:30:00, "
                           "2003/11/08 07:30:00, 2003/11/09 07:30:00, …"}}));
  EXPECT_TRUE(fakes_.sound.played.empty());
  EXPECT_TRUE(fakes_.notifier.shown.empty());
}

TEST_F(Form1Test, NothingIsToldWhenNothingFellDueWhileNotRunning) {
  WriteSettings("1.0");
  WriteFile("timer.ini", "2003/11/09 13:00:00\t0z\t0\t\r\n2003/11/09 12:00:00\t1d\tE\t\r\n");
  SetNow(12, 0, 0);
  Start();
  EXPECT_TRUE(fakes_.notifier.notices.empty());
}

// The clock jumps forward (the machine woke from sleep, the clock was set): the first alarm due
// rings, late, and what else fell due meanwhile is told once.
TEST_F(AlarmTick, AClockJumpRingsTheFirstAlarmAndTellsOfTheOthersThatPassed) {
  SetNow(11, 59, 59);
  Form1& form =
      StartInTray("2003/11/09 12:00:00\t1h\tE\tbell.wav\r\n2003/11/09 12:30:00\t0z\t0\t\r\n");
  form.Tick();
  SetNow(12, 0, 1);
  form.Tick();
  EXPECT_TRUE(fakes_.notifier.notices.empty()) << "on time";
  SetNow(15, 10, 0);
  form.Tick();
  EXPECT_EQ(fakes_.sound.played,
            (std::vector<std::string>{"bell.wav", fakes_.paths.default_sound}));
  using Shown = fakes::FakeNotifier::Shown;
  EXPECT_EQ(fakes_.notifier.notices,
            (std::vector<Shown>{{"アラーム",
                                 "スリープ中または時刻の変更で 3 件のアラームが過ぎました: "
                                 "2003/11/09 13:00:00, 2003/11/09 14:00:00, "
                                 "2003/11/09 15:00:00"}}));
}

TEST_F(AlarmTick, ALineOfFewerFieldsFiresTheDefaultSoundAndGoes) {
  SetNow(11, 59, 59);
  Form1& form = StartInTray("");
  AddThroughEditor(form, "2003/11/09 12:00:00");
  SetNow(12, 0, 1);
  form.Tick();
  EXPECT_EQ(fakes_.sound.played, std::vector<std::string>{fakes_.paths.default_sound});
  EXPECT_EQ(form.List1().Count(), 0);
}

TEST_F(Form1Test, CloseWritesBothFilesInTheirFormats) {
  Form1& form = Start();
  AddThroughEditor(form, "2003/11/10 07:30:00\t1d\tE\t/a, \"b\"/時計.wav");
  form.close();
  std::string expected = "yyyy/mm/dd hh:mm aaa\r\n1.0\r\n";
  for (int i = 0; i < 10; ++i) expected += " 0 \r\n";
  EXPECT_EQ(ReadFile("Varnlock.ini"), expected);
  EXPECT_EQ(ReadFile("timer.ini"), "2003/11/10 07:30:00\t1d\tE\t/a, \"b\"/時計.wav\r\n");
}

TEST_F(Form1Test, CloseWithoutAlarmsWritesAnEmptyAlarmFile) {
  Form1& form = Start();
  form.close();
  EXPECT_TRUE(fs::exists(folder_ / "timer.ini"));
  EXPECT_EQ(fs::file_size(folder_ / "timer.ini"), 0u);
}

TEST_F(Form1Test, AFailedWriteIsReportedAndTheAlarmFileStillWritten) {
  Form1& form = Start();
  fs::create_directory(folder_ / "Varnlock.ini");  // a folder in the way of the settings file
  AddThroughEditor(form, "2003/11/10 07:30:00\t0z\tE\t");
  form.close();
  ASSERT_FALSE(fakes_.messages.notices.empty());
  EXPECT_NE(fakes_.messages.notices.back().find("Varnlock.ini"), std::string::npos);
  EXPECT_EQ(ReadFile("timer.ini"), "2003/11/10 07:30:00\t0z\tE\t\r\n");
}

TEST_F(Form1Test, AlarmLinesBeyondTheListsLimitAreReportedAndKeptAside) {
  std::string lines;
  for (int i = 0; i < 32769; ++i)
    lines += "2099/01/01 00:00:00\t0z\tE\t" + std::to_string(i) + "\r\n";
  WriteFile("timer.ini", lines);
  Form1& form = Start();
  EXPECT_EQ(form.List1().Count(), 32767);
  EXPECT_EQ(
      fakes_.messages.notices,
      std::vector<std::string>{"アラームは 32767 件までです: 32768 行目から先を読み込めません "
                               "(元のファイルは timer.ini.bad として残します)"});
  form.close();
  EXPECT_EQ(ReadFile("timer.ini.bad"), lines) << "the whole file the user wrote is kept";
  const std::string written = ReadFile("timer.ini");
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 32767);
}

// A line longer than any alarm line (here 9000 bytes) means the file is something else: reading
// stops there, the lines before it load, and the whole file is kept before the new one is
// written.
TEST_F(Form1Test, AnAlarmFileIsReadUpToALineLongerThanAnyAlarmLine) {
  const std::string first = "2099/01/01 00:00:00\t0z\tE\ta.wav\r\n";
  const std::string lines = first + "2099/01/02 00:00:00\t0z\tE\t" + std::string(9000, 'x') +
                            "\r\n2099/01/03 00:00:00\t0z\tE\tc.wav\r\n";
  WriteFile("timer.ini", lines);
  Form1& form = Start();
  EXPECT_EQ(form.List1().Lines(), std::vector<std::string>{"2099/01/01 00:00:00\t0z\tE\ta.wav"});
  ASSERT_EQ(fakes_.messages.notices.size(), 1u);
  EXPECT_NE(fakes_.messages.notices[0].find("2 行目は 8192 バイトを超える"), std::string::npos);
  form.close();
  EXPECT_EQ(ReadFile("timer.ini.bad"), lines);
  EXPECT_EQ(ReadFile("timer.ini"), first);
}

// Lines the first pass cannot read leave the list but not the user's hands.
TEST_F(Form1Test, DroppedLinesAreKeptBesideTheAlarmFileWithTheTime) {
  SetNow(14, 7, 0);
  WriteFile("timer.ini",
            "2003/11/09 15:00:00\t1h\tE\r\n\r\nyesterday\t1h\tE\tx.wav\r\n"
            "2003/11/09 16:00:00\t1h\tE\t\r\n");
  Form1& form = Start();
  EXPECT_EQ(form.List1().Lines(), std::vector<std::string>{"2003/11/09 16:00:00\t1h\tE\t"});
  EXPECT_EQ(ReadFile("timer.ini.dropped"),
            "# 2003/11/09 14:07:00 it does not split into four fields\r\n"
            "2003/11/09 15:00:00\t1h\tE\r\n"
            "# 2003/11/09 14:07:00 the due time is not a date-time\r\n"
            "yesterday\t1h\tE\tx.wav\r\n");
}

// One ending signal during the load step closes the notice that is up; the rest of the load
// step waits for no one: its notices, and the one the signal closed, go to the desktop, so the
// program ends after that one signal.
TEST_F(Form1Test, AQuitDuringTheLoadStepSendsItsNoticesToTheDesktop) {
  fs::create_directory(folder_ / "Varnlock.ini");
  fs::create_directory(folder_ / "timer.ini");
  fakes_.messages.on_notice = [this] { form_->EndWithoutWindow(); };
  form_ = std::make_unique<Form1>(fakes_.Get());
  form_->Load();
  EXPECT_TRUE(form_->Loaded());
  ASSERT_EQ(fakes_.messages.notices.size(), 1u);
  EXPECT_NE(fakes_.messages.notices[0].find("Varnlock.ini"), std::string::npos);
  ASSERT_EQ(fakes_.notifier.notices.size(), 2u);
  EXPECT_EQ(fakes_.notifier.notices[0].summary, "!Kelmora");
  EXPECT_EQ(fakes_.notifier.notices[0].body, fakes_.messages.notices[0]);
  EXPECT_NE(fakes_.notifier.notices[1].body.find("timer.ini"), std::string::npos);
}

// A save that fails is told where someone will see it: in a box while the program runs on (the
// user closed the window), on the desktop when it ends without its window or saves for the
// session, where nobody may be there to answer. Either way the other file is written first.
TEST_F(Form1Test, AFailedSaveIsToldInABoxOnlyWhileTheProgramRunsOn) {
  enum class How { kClose, kEnding, kSession };
  for (const How how : {How::kClose, How::kEnding, How::kSession}) {
    SCOPED_TRACE(static_cast<int>(how));
    fs::remove_all(folder_);
    Form1& form = Start();
    fs::create_directories(folder_ / "Varnlock.ini");  // a folder in the way of the settings
    fakes_.messages.notices.clear();
    fakes_.notifier.notices.clear();
    AddThroughEditor(form, "2003/11/10 07:30:00\t0z\tE\t");
    std::string alarms_when_told;
    fakes_.messages.on_notice = [&] { alarms_when_told = ReadFile("timer.ini"); };
    if (how == How::kClose) form.close();
    if (how == How::kEnding) form.EndWithoutWindow();
    if (how == How::kEnding) form.SaveFiles();
    if (how == How::kSession) form.SaveForSession();
    fakes_.messages.on_notice = nullptr;
    EXPECT_EQ(fakes_.messages.notices.size(), how == How::kClose ? 1u : 0u);
    EXPECT_EQ(fakes_.notifier.notices.size(), how == How::kClose ? 0u : 1u);
    for (const auto& notice : fakes_.notifier.notices) {
      EXPECT_EQ(notice.summary, "!Kelmora");
      EXPECT_NE(notice.body.find("Varnlock.ini に書き込めません: "), std::string::npos);
    }
    if (how == How::kClose) {
      EXPECT_EQ(alarms_when_told, "2003/11/10 07:30:00\t0z\tE\t\r\n") << "written before the box";
    }
    EXPECT_EQ(ReadFile("timer.ini"), "2003/11/10 07:30:00\t0z\tE\t\r\n");
    form_.reset();
  }
}

// An interval that stops the clock is kept and nothing at start waits for an answer: only an
// interval that cannot be (negative, beyond 32 bits) is told, on the desktop.
TEST_F(Form1Test, AnIntervalThatStopsTheClockStartsWithoutABox) {
  for (const char* interval : {"0", "", "abc", "-1", "0.0004", "1e40", "1.0"}) {
    SCOPED_TRACE(interval);
    fakes_.notifier.notices.clear();
    WriteSettings(interval);
    Start();
    const std::string text = interval;
    EXPECT_EQ(fakes_.timer.Interval() == 0, text != "1.0");
    EXPECT_EQ(fakes_.messages.notices, std::vector<std::string>{});
    EXPECT_EQ(fakes_.notifier.notices.size(), text == "-1" || text == "1e40" ? 1u : 0u);
  }
}

// Unreadable: a folder where the alarm file should be (permissions would not bind root).
TEST_F(Form1Test, AnUnreadableAlarmFileIsMovedAsideBeforeItIsRewritten) {
  WriteSettings("1.0");
  fs::create_directory(folder_ / "timer.ini");
  WriteFile("timer.ini/inside", "kept");
  SetNow(14, 7, 0);
  Form1& form = Start();
  ASSERT_EQ(fakes_.messages.notices.size(), 1u);
  EXPECT_NE(fakes_.messages.notices[0].find("timer.ini"), std::string::npos);
  AddThroughEditor(form, "2003/11/09 15:00:00\t1d\tE\t");
  form.close();
  EXPECT_EQ(fakes_.messages.notices.size(), 1u) << "the close writes without complaint";
  EXPECT_EQ(ReadFile("timer.ini.bad/inside"), "kept");
  EXPECT_EQ(ReadFile("timer.ini"), "2003/11/09 15:00:00\t1d\tE\t\r\n");
}

}  // namespace
}  // namespace kelmora
