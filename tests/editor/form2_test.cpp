#include "editor/form2.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "fakes/fake_services.h"
#include "qt_app.h"

namespace kelmora {
namespace {

constexpr const char* kDefaultSound = "/opt/kelmora/share/kelmora/sounds/alarm.wav";

std::string S(const QString& text) {
  return text.toStdString();
}

// Where an arrow of a spinner is drawn, as the widget's style places it.
QPoint ArrowCentre(const TimeSpinner& spinner, bool upper) {
  QStyleOptionSlider option;
  option.initFrom(&spinner);
  option.orientation = spinner.orientation();
  option.minimum = spinner.minimum();
  option.maximum = spinner.maximum();
  option.sliderPosition = spinner.sliderPosition();
  option.sliderValue = spinner.value();
  option.singleStep = spinner.singleStep();
  option.pageStep = spinner.pageStep();
  option.upsideDown = spinner.invertedAppearance();
  const auto control = upper ? QStyle::SC_ScrollBarSubLine : QStyle::SC_ScrollBarAddLine;
  return spinner.style()->subControlRect(QStyle::CC_ScrollBar, &option, control, &spinner).center();
}

void ClickArrow(TimeSpinner* spinner, bool upper) {
  QTest::mouseClick(spinner, Qt::LeftButton, {}, ArrowCentre(*spinner, upper));
}

class Form2Test : public ::testing::Test {
 protected:
  Form2Test() {
    fake.paths.default_sound = kDefaultSound;
    fake.clock.now = *MakeDateTime(2026, 12, 6, 7, 5, 30);
    CmnDlog::SetFilter(dialog, "音楽ファイル|*.wav|");
    main_window.setGeometry(300, 400, 200, 150);
    main_window.show();
  }

  Form2& Open(const std::vector<std::string>& lines = {}) {
    for (const std::string& line : lines) main_list.Add(line);
    form = std::make_unique<Form2>(fake.Get(), dialog);
    // As the main window takes the lines back.
    QObject::connect(form.get(), &Form2::ListHandedBack, [this](const std::vector<std::string>& l) {
      main_list.Clear();
      main_list.AddAll(l);
    });
    form->show();
    form->OpenOver(main_window, main_list.Lines());
    return *form;
  }

  void ClickRow(int row) {
    QListWidgetItem* item = form->List1Box->item(row);
    form->List1Box->scrollToItem(item);
    const QPoint centre = form->List1Box->visualItemRect(item).center();
    QTest::mouseClick(form->List1Box->viewport(), Qt::LeftButton, {}, centre);
  }

  void Register() { QTest::mouseClick(form->Command2, Qt::LeftButton); }

  // The lines the editor shows, which must always be the lines it holds.
  std::vector<std::string> Shown() const {
    std::vector<std::string> shown;
    shown.reserve(static_cast<std::size_t>(form->List1Box->count()));
    for (int row = 0; row < form->List1Box->count(); ++row) {
      shown.push_back(S(form->List1Box->item(row)->text()));
    }
    EXPECT_EQ(shown, form->List1().Lines());
    return shown;
  }

  std::string Today(const std::string& time, const std::string& rest) const {
    return "2026/12/06 " + time + "\t" + rest;
  }

  QApplication& app = kelmora::testing::EnsureQApplication();
  fakes::FakeServices fake;
  AlarmList main_list;
  CmnDlog::CommonDialog dialog;
  QWidget main_window;
  std::unique_ptr<Form2> form;
};

// ---- Opening -------------------------------------------------------------------------------

struct OpeningCase {
  int hour;
  int minute;
  int second;
  const char* hour_text;
  const char* minute_text;
  friend void PrintTo(const OpeningCase& c, std::ostream* os) {
    *os << c.hour_text << ":" << c.minute_text;
  }
};

class Form2OpeningTest : public Form2Test, public ::testing::WithParamInterface<OpeningCase> {};

TEST_P(Form2OpeningTest, SpinnersStartAtTheCurrentHourAndMinute) {
  const OpeningCase& c = GetParam();
  fake.clock.now = *MakeDateTime(2026, 12, 6, c.hour, c.minute, c.second);
  Open();
  EXPECT_EQ(S(form->Text1->text()), c.hour_text);
  EXPECT_EQ(S(form->Text4->text()), c.minute_text);
  EXPECT_EQ(S(form->Text5->text()), "00");
  EXPECT_EQ(form->VScroll1->Value(), c.hour);
  EXPECT_EQ(form->VScroll2->Value(), c.minute);
  EXPECT_EQ(form->VScroll3->Value(), 0);
}

INSTANTIATE_TEST_SUITE_P(Times, Form2OpeningTest,
                         ::testing::Values(OpeningCase{23, 15, 42, "23", "15"},
                                           OpeningCase{0, 0, 0, "00", "00"},
                                           OpeningCase{7, 5, 59, "07", "05"}));

TEST_F(Form2Test, OpensWithTheLoadDefaults) {
  Open();
  EXPECT_EQ(S(form->windowTitle()), "アラーム");
  EXPECT_EQ(form->Combo1->count(), 4);
  EXPECT_EQ(S(form->Combo1->itemText(0)), "d:日");
  EXPECT_EQ(S(form->Combo1->itemText(1)), "h:時間");
  EXPECT_EQ(S(form->Combo1->itemText(2)), "m:分");
  EXPECT_EQ(S(form->Combo1->itemText(3)), "s:秒");
  EXPECT_EQ(form->Combo1->currentIndex(), -1);
  EXPECT_EQ(S(form->Combo1->currentText()), "h:時間");
  EXPECT_EQ(form->Combo1->lineEdit()->cursorPosition(), 0) << "the unit letter shows";
  EXPECT_EQ(S(form->Text2->text()), "1");
  EXPECT_EQ(S(form->Text3->text()), "1");
  EXPECT_FALSE(form->Check1->isChecked());
  EXPECT_FALSE(form->Check2->isChecked());
  for (QWidget* disabled :
       {static_cast<QWidget*>(form->Text1), static_cast<QWidget*>(form->Text4),
        static_cast<QWidget*>(form->Text5), static_cast<QWidget*>(form->Text2),
        static_cast<QWidget*>(form->Text3), static_cast<QWidget*>(form->Combo1)}) {
    EXPECT_FALSE(disabled->isEnabled()) << S(disabled->objectName());
  }
  EXPECT_EQ(form->SoundPath(), kDefaultSound);
  EXPECT_EQ(S(form->Command1->toolTip()), kDefaultSound);
  EXPECT_EQ(form->List1Box->currentRow(), -1);
}

TEST_F(Form2Test, ControlsStandWhereTheWindowTableSays) {
  Open();
  struct Placed {
    QWidget* control;
    int left, top, width, height;  // twips
    const char* caption;
  };
  const Placed table[] = {
      {form->List1Box, 60, 60, 2235, 1320, ""},
      {form->Label1, 60, 1500, 720, 180, "指定時刻"},
      {form->Text1, 60, 1680, 375, 255, "07"},
      {form->VScroll1, 420, 1680, 135, 255, ""},
      {form->Text4, 600, 1680, 375, 255, "05"},
      {form->VScroll2, 960, 1680, 135, 255, ""},
      {form->Text5, 1140, 1680, 375, 255, "00"},
      {form->VScroll3, 1500, 1680, 135, 255, ""},
      {form->Command1, 1740, 1560, 555, 375, "wav"},
      {form->Check1, 60, 2040, 1035, 240, "繰り返し"},
      {form->Check2, 1680, 2040, 675, 255, "回数"},
      {form->Text2, 60, 2280, 375, 300, "1"},
      {form->Combo1, 480, 2280, 810, 300, "h:時間"},
      {form->Label2, 1320, 2340, 345, 180, "毎に"},
      {form->Text3, 1680, 2280, 375, 300, "1"},
      {form->Label3, 2100, 2340, 180, 180, "回"},
      {form->Command2, 60, 2640, 2235, 315, "登録"},
  };
  // The time fields show the opening time, 07:05.
  for (const Placed& p : table) {
    SCOPED_TRACE(p.caption);
    EXPECT_EQ(p.control->geometry(), QRect(p.left / 15, p.top / 15, p.width / 15, p.height / 15));
    QString caption;
    if (auto* label = qobject_cast<QLabel*>(p.control)) caption = label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(p.control)) caption = button->text();
    if (auto* box = qobject_cast<QLineEdit*>(p.control)) caption = box->text();
    if (auto* combo = qobject_cast<QComboBox*>(p.control)) caption = combo->currentText();
    EXPECT_EQ(S(caption), p.caption);
  }
  EXPECT_EQ(form->size(), QSize(157, 202));
  EXPECT_FALSE(form->windowIcon().isNull());
}

TEST_F(Form2Test, TabMovesInTheOrderOfTheTable) {
  Open();
  const std::vector<QWidget*> expected = {
      form->List1Box, form->Text1,    form->Text2,    form->Check1, form->Text3,
      form->VScroll1, form->Text4,    form->VScroll2, form->Text5,  form->VScroll3,
      form->Command1, form->Command2, form->Combo1,   form->Check2};
  std::vector<QWidget*> chain;
  QWidget* widget = form->List1Box;
  do {
    if (std::find(expected.begin(), expected.end(), widget) != expected.end()) {
      chain.push_back(widget);
    }
    widget = widget->nextInFocusChain();
  } while (widget != form->List1Box && chain.size() < expected.size());
  EXPECT_EQ(chain, expected);
}

TEST_F(Form2Test, OpeningAgainDropsWhatWasAddedSince) {
  const std::string kept = "2026/12/07 07:30:00\t1d\tE\t/a.wav";
  Open({kept});
  ASSERT_EQ(Shown(), std::vector<std::string>{kept});
  Register();
  ASSERT_EQ(form->List1().Count(), 2);

  form->OpenOver(main_window, main_list.Lines());

  EXPECT_EQ(Shown(), std::vector<std::string>{kept});
  EXPECT_EQ(form->SelectedIndex(), -1);
}

// The main window's area at 866,618 (158x150); the editor 157x202.
TEST(EditorPositionTest, TheEditorsFrameStandsOnTheMainWindowsFrame) {
  struct Case {
    const char* window_manager;
    QMargins main_frame, editor_frame;
    QPoint expected;
  };
  const QRect main_area(866, 618, 158, 150);
  const QSize editor(157, 202);
  for (const Case& c : {
           Case{"none", {}, {}, {866, 416}},
           Case{"title bar only (mutter)", {0, 37, 0, 0}, {0, 37, 0, 0}, {866, 379}},
           Case{"title bar and borders (KWin)", {0, 29, 0, 0}, {0, 29, 0, 0}, {866, 387}},
           Case{"borders all round (xfwm4)", {5, 26, 5, 5}, {5, 26, 5, 5}, {866, 385}},
           Case{"another frame for the editor", {5, 26, 5, 5}, {2, 20, 2, 2}, {863, 388}},
       }) {
    const QPoint at = EditorPosition(main_area, c.main_frame, editor, c.editor_frame);
    EXPECT_EQ(at, c.expected) << c.window_manager;
    // The outer edges: the editor's frame ends where the main window's begins.
    EXPECT_EQ(at.y() + editor.height() + c.editor_frame.bottom(),
              main_area.top() - c.main_frame.top())
        << c.window_manager;
    EXPECT_EQ(at.x() - c.editor_frame.left(), main_area.left() - c.main_frame.left())
        << c.window_manager;
  }
}

TEST(EditorFrameTest, TheWindowManagersReportElseQtsElseTheMainWindows) {
  const QMargins main_frame(5, 26, 5, 5);
  const QMargins reported(4, 24, 4, 4);
  const QMargins from_qt(15, 36, 15, 15);  // mutter's invisible borders counted in
  EXPECT_EQ(EditorFrame(reported, from_qt, main_frame), reported);
  EXPECT_EQ(EditorFrame(std::nullopt, from_qt, main_frame), from_qt);
  EXPECT_EQ(EditorFrame(std::nullopt, QMargins(), main_frame), main_frame) << "not framed yet";
}

TEST_F(Form2Test, StandsOnTopOfTheMainWindow) {
  Open();
  const QRect main_frame = main_window.frameGeometry();
  EXPECT_EQ(form->frameGeometry().left(), main_frame.left());
  EXPECT_EQ(form->frameGeometry().bottom() + 1, main_frame.top());
  EXPECT_EQ(form->size(), QSize(157, 202));
}

TEST_F(Form2Test, AboveAMainWindowAtTheScreenTopItsTopIsNegative) {
  main_window.move(20, 10);
  Open();
  EXPECT_EQ(form->frameGeometry().left(), main_window.frameGeometry().left());
  EXPECT_LT(form->frameGeometry().top(), 0);
}

// ---- Selecting a line ----------------------------------------------------------------------

struct SelectCase {
  const char* name;
  std::string line;
  // What the fields show afterwards; the fields start as "11" "22" "33", unit "x:start",
  // interval "7", count "9", both boxes unchecked and the default sound.
  const char* hour;
  const char* minute;
  const char* second;
  bool repeat;
  int unit_index;
  const char* unit_text;
  const char* interval;
  bool count_limit;
  const char* count;
  std::string sound;
  std::string sound_shown = sound;  // in the tool tip
  friend void PrintTo(const SelectCase& c, std::ostream* os) { *os << c.name; }
};

class Form2SelectTest : public Form2Test, public ::testing::WithParamInterface<SelectCase> {};

TEST_P(Form2SelectTest, FillsTheFieldsItCanRead) {
  const SelectCase& c = GetParam();
  Open({c.line});
  form->Text1->setText("11");
  form->Text4->setText("22");
  form->Text5->setText("33");
  form->Combo1->setEditText("x:start");
  form->Text2->setText("7");
  form->Text3->setText("9");

  ClickRow(0);

  EXPECT_EQ(form->SelectedIndex(), 0);
  EXPECT_EQ(S(form->Text1->text()), c.hour);
  EXPECT_EQ(S(form->Text4->text()), c.minute);
  EXPECT_EQ(S(form->Text5->text()), c.second);
  EXPECT_EQ(form->Check1->isChecked(), c.repeat);
  EXPECT_EQ(form->Text2->isEnabled(), c.repeat);
  EXPECT_EQ(form->Combo1->isEnabled(), c.repeat);
  EXPECT_EQ(form->Combo1->currentIndex(), c.unit_index);
  EXPECT_EQ(S(form->Combo1->currentText()), c.unit_text);
  EXPECT_EQ(S(form->Text2->text()), c.interval);
  EXPECT_EQ(form->Check2->isChecked(), c.count_limit);
  EXPECT_EQ(form->Text3->isEnabled(), c.count_limit);
  EXPECT_EQ(S(form->Text3->text()), c.count);
  EXPECT_EQ(form->SoundPath(), c.sound);
  EXPECT_EQ(S(form->Command1->toolTip()), c.sound_shown);
  EXPECT_EQ(form->VScroll1->Value(), 7) << "the spinners are not moved";
  EXPECT_EQ(form->VScroll2->Value(), 5);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Form2SelectTest,
    ::testing::Values(SelectCase{"EveryHalfHourNoLimit", "2026/01/05 07:30:00\t30m\tE\t/snd/a.wav",
                                 "07", "30", "00", true, 2, "m:分", "30", false, "9", "/snd/a.wav"},
                      SelectCase{"Once", "2026/01/05 18:00:00\t0z\t0\t", "18", "00", "00", false,
                                 -1, "x:start", "0", true, "0", ""},
                      SelectCase{"Daily", "2026/01/05 06:45:10\t2d\t5\t/d.wav", "06", "45", "10",
                                 true, 0, "d:日", "2", true, "5", "/d.wav"},
                      SelectCase{"Seconds", "2026/01/05 23:59:59\t90s\t1\t/s.wav", "23", "59", "59",
                                 true, 3, "s:秒", "90", true, "1", "/s.wav"},
                      SelectCase{"UnknownUnit", "2026/01/05 08:00:00\t5H\tE\t/u.wav", "08", "00",
                                 "00", true, -1, "x:start", "5", false, "9", "/u.wav"},
                      SelectCase{"OneField", "garbage", "11", "22", "33", false, -1, "x:start", "7",
                                 false, "9", kDefaultSound},
                      SelectCase{"UnreadableTimeEmptyInterval", "not a date\t\t4\t/p.wav", "11",
                                 "22", "33", false, -1, "x:start", "7", true, "4", "/p.wav"},
                      SelectCase{"TwoFields", "2026/01/05 09:10:11\t5h", "09", "10", "11", true, 1,
                                 "h:時間", "5", false, "9", kDefaultSound},
                      SelectCase{"MultibyteUnit", "2026/01/05 09:10:11\t3分\tE\t/m.wav", "09", "10",
                                 "11", true, -1, "x:start", "3", false, "9", "/m.wav"},
                      SelectCase{"CodePage932Path", "2026/01/05 07:30:00\t30m\tE\t/\x89\xB9.wav",
                                 "07", "30", "00", true, 2, "m:分", "30", false, "9",
                                 "/\x89\xB9.wav", "/音.wav"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Form2Test, ArrowKeysSelectAndFillLikeAClick) {
  Open({"2026/01/05 07:30:00\t30m\tE\t/a.wav", "2026/01/05 08:15:00\t0z\t2\t/b.wav"});
  ClickRow(0);
  ASSERT_EQ(S(form->Text4->text()), "30");

  QTest::keyClick(form->List1Box, Qt::Key_Down);

  EXPECT_EQ(form->SelectedIndex(), 1);
  EXPECT_EQ(S(form->Text1->text()), "08");
  EXPECT_EQ(S(form->Text4->text()), "15");
  EXPECT_FALSE(form->Check1->isChecked());
  EXPECT_EQ(S(form->Text3->text()), "2");
  EXPECT_EQ(form->SoundPath(), "/b.wav");
}

// The focus entering the list makes line 0 current without selecting it: the entry stays fresh.
TEST_F(Form2Test, ALineMadeCurrentWithoutSelectionFillsNothing) {
  Open({"2026/01/05 07:30:00\t30m\t3\t/a.wav"});
  form->List1Box->selectionModel()->setCurrentIndex(form->List1Box->model()->index(0, 0),
                                                    QItemSelectionModel::NoUpdate);
  EXPECT_EQ(form->SelectedIndex(), -1);
  EXPECT_FALSE(form->Check1->isChecked());
  EXPECT_FALSE(form->Check2->isChecked());
  EXPECT_EQ(form->SoundPath(), kDefaultSound);
}

TEST_F(Form2Test, ASpinnerClickAfterASelectionStartsFromTheSpinnersOwnValue) {
  fake.clock.now = *MakeDateTime(2026, 12, 6, 10, 15, 0);
  Open({"2026/01/05 07:30:00\t30m\tE\t/a.wav"});
  ClickRow(0);
  ASSERT_EQ(S(form->Text1->text()), "07");

  ClickArrow(form->VScroll1, true);

  EXPECT_EQ(S(form->Text1->text()), "11");
}

// ---- Deleting ------------------------------------------------------------------------------

struct DeleteCase {
  const char* name;
  bool select;
  bool answer;
  std::size_t questions;
  int lines_left;
  int selected_after;
  friend void PrintTo(const DeleteCase& c, std::ostream* os) { *os << c.name; }
};

class Form2DeleteTest : public Form2Test, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(Form2DeleteTest, DeleteKeyAsksBeforeRemovingTheSelectedLine) {
  const DeleteCase& c = GetParam();
  const std::string first = "2026/01/05 07:30:00\t30m\tE\t/a.wav";
  Open({first, "2026/01/05 08:00:00\t0z\tE\t/b.wav"});
  if (c.select) ClickRow(0);
  fake.messages.answers = {c.answer};
  form->List1Box->setFocus();

  QTest::keyClick(form->List1Box, Qt::Key_Delete);

  ASSERT_EQ(fake.messages.questions.size(), c.questions);
  if (c.questions > 0) {
    EXPECT_EQ(fake.messages.questions[0], first + "\r\n削除してもよいですか？");
  }
  EXPECT_EQ(Shown().size(), static_cast<std::size_t>(c.lines_left));
  EXPECT_EQ(form->SelectedIndex(), c.selected_after);
  EXPECT_EQ(fake.messages.notices.size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Answers, Form2DeleteTest,
                         ::testing::Values(DeleteCase{"NothingSelected", false, true, 0, 2, -1},
                                           DeleteCase{"No", true, false, 1, 2, 0},
                                           DeleteCase{"Yes", true, true, 1, 1, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Form2Test, AfterADeletionASaveAddsWithoutAsking) {
  Open({"2026/01/05 07:30:00\t30m\tE\t/a.wav"});
  ClickRow(0);
  QTest::keyClick(form->List1Box, Qt::Key_Delete);
  ASSERT_EQ(fake.messages.questions.size(), 1u);

  Register();

  EXPECT_EQ(fake.messages.questions.size(), 1u);
  EXPECT_EQ(Shown(), std::vector<std::string>{Today("07:30:00", "30m\tE\t/a.wav")});
}

// ---- Spinners ------------------------------------------------------------------------------

struct SpinCase {
  const char* name;
  int spinner;  // 1 hour, 2 minute, 3 second
  int start;
  bool upper;
  const char* shown;
  friend void PrintTo(const SpinCase& c, std::ostream* os) { *os << c.name; }
};

class Form2SpinnerTest : public Form2Test, public ::testing::WithParamInterface<SpinCase> {
 protected:
  TimeSpinner* Spinner(int which) const {
    return which == 1 ? form->VScroll1 : which == 2 ? form->VScroll2 : form->VScroll3;
  }
  QLineEdit* Field(int which) const {
    return which == 1 ? form->Text1 : which == 2 ? form->Text4 : form->Text5;
  }
};

TEST_P(Form2SpinnerTest, ArrowClicksStepByOneAndStopAtTheEnds) {
  const SpinCase& c = GetParam();
  Open();
  Spinner(c.spinner)->SetValue(c.start);
  Field(c.spinner)->setText("--");  // only a real change writes the field

  ClickArrow(Spinner(c.spinner), c.upper);

  EXPECT_EQ(S(Field(c.spinner)->text()), c.shown);
}

INSTANTIATE_TEST_SUITE_P(Ends, Form2SpinnerTest,
                         ::testing::Values(SpinCase{"HourTopStays", 1, 23, true, "--"},
                                           SpinCase{"HourBottomStays", 1, 0, false, "--"},
                                           SpinCase{"HourUp", 1, 22, true, "23"},
                                           SpinCase{"HourDown", 1, 7, false, "06"},
                                           SpinCase{"MinuteNineUp", 2, 9, true, "10"},
                                           SpinCase{"MinuteBottomStays", 2, 0, false, "--"},
                                           SpinCase{"MinuteTopStays", 2, 59, true, "--"},
                                           SpinCase{"SecondUp", 3, 0, true, "01"},
                                           SpinCase{"SecondTopStays", 3, 59, true, "--"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Form2Test, TrackClicksAndKeysAlsoStepByOneTowardsTheTop) {
  Open();
  form->VScroll2->SetValue(30);
  form->VScroll2->triggerAction(QAbstractSlider::SliderPageStepSub);  // track above the thumb
  EXPECT_EQ(S(form->Text4->text()), "31");
  form->VScroll2->triggerAction(QAbstractSlider::SliderPageStepAdd);  // track below the thumb
  form->VScroll2->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(S(form->Text4->text()), "29");

  form->VScroll2->setFocus();
  QTest::keyClick(form->VScroll2, Qt::Key_Up);
  EXPECT_EQ(S(form->Text4->text()), "30");
  QTest::keyClick(form->VScroll2, Qt::Key_Down);
  EXPECT_EQ(S(form->Text4->text()), "29");
}

// ---- Number fields and check boxes ---------------------------------------------------------

struct TidyCase {
  const char* name;
  bool count_box;
  const char* typed;
  const char* tidied;
  friend void PrintTo(const TidyCase& c, std::ostream* os) { *os << c.name; }
};

class Form2TidyTest : public Form2Test, public ::testing::WithParamInterface<TidyCase> {};

TEST_P(Form2TidyTest, LeavingANumberFieldRoundsItHalvesAwayFromZero) {
  const TidyCase& c = GetParam();
  Open();
  QApplication::setActiveWindow(form.get());
  form->Check1->setChecked(true);
  form->Check2->setChecked(true);
  QLineEdit* box = c.count_box ? form->Text3 : form->Text2;
  box->setFocus();
  ASSERT_TRUE(box->hasFocus());
  box->selectAll();
  QTest::keyClicks(box, c.typed);
  if (std::string(c.typed).empty()) QTest::keyClick(box, Qt::Key_Delete);
  ASSERT_EQ(S(box->text()), c.typed);

  form->Check2->setFocus();

  EXPECT_FALSE(box->hasFocus());
  EXPECT_EQ(S(box->text()), c.tidied);
}

INSTANTIATE_TEST_SUITE_P(Texts, Form2TidyTest,
                         ::testing::Values(TidyCase{"OneAndAHalf", false, "1.5", "2"},
                                           TidyCase{"TwoAndAHalf", true, "2.5", "3"},
                                           TidyCase{"TwoPointFour", false, "2.4", "2"},
                                           TidyCase{"NegativeHalf", true, "-1.5", "-2"},
                                           TidyCase{"LeadingBlanks", false, "  30", "30"},
                                           TidyCase{"Exponent", true, "2e2", "200"},
                                           TidyCase{"Letters", false, "abc", "abc"},
                                           TidyCase{"NumberThenLetters", false, "2.5abc", "2.5abc"},
                                           TidyCase{"LettersInCount", true, "xyz", "xyz"},
                                           TidyCase{"Empty", false, "", ""},
                                           TidyCase{"EmptyCount", true, "", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Form2Test, CheckBoxesEnableTheirFieldsAndKeepTheirTexts) {
  Open();
  form->Text2->setText("5");
  QTest::mouseClick(form->Check2, Qt::LeftButton, {}, form->Check2->rect().center());
  EXPECT_TRUE(form->Text3->isEnabled());
  EXPECT_FALSE(form->Text2->isEnabled());
  EXPECT_FALSE(form->Combo1->isEnabled());

  QTest::mouseClick(form->Check1, Qt::LeftButton, {}, form->Check1->rect().center());
  EXPECT_TRUE(form->Text2->isEnabled());
  EXPECT_TRUE(form->Combo1->isEnabled());
  QTest::mouseClick(form->Check1, Qt::LeftButton, {}, form->Check1->rect().center());
  EXPECT_FALSE(form->Text2->isEnabled());
  EXPECT_FALSE(form->Combo1->isEnabled());
  EXPECT_EQ(S(form->Text2->text()), "5");
}

// ---- Registering ---------------------------------------------------------------------------

struct SaveCase {
  const char* name;
  bool repeat;
  const char* interval;
  const char* unit;  // the combo's text
  bool count_limit;
  const char* count;
  const char* written;  // fields 1 and 2 of the line
  friend void PrintTo(const SaveCase& c, std::ostream* os) { *os << c.name; }
};

class Form2SaveTest : public Form2Test, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(Form2SaveTest, BuildsTheLineFromTodayAndTheFields) {
  const SaveCase& c = GetParam();
  Open();
  form->Check1->setChecked(c.repeat);
  form->Text2->setText(c.interval);
  form->Combo1->setEditText(c.unit);
  form->Check2->setChecked(c.count_limit);
  form->Text3->setText(c.count);

  Register();

  EXPECT_EQ(Shown(), std::vector<std::string>{Today("07:05:00", c.written) + "\t" + kDefaultSound});
  EXPECT_TRUE(fake.messages.questions.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, Form2SaveTest,
    ::testing::Values(SaveCase{"BothUnchecked", false, "30", "m:分", false, "3", "0z\tE"},
                      SaveCase{"ThirtyMinutes", true, "30", "m:分", false, "1", "30m\tE"},
                      SaveCase{"DefaultUnit", true, "1", "h:時間", false, "1", "1h\tE"},
                      SaveCase{"UnitEmptied", true, "30", "", false, "1", "30\tE"},
                      SaveCase{"TypedUnit", true, "5", "分", false, "1", "5分\tE"},
                      SaveCase{"FractionKept", true, "1.50", "d:日", false, "1", "1.5d\tE"},
                      SaveCase{"IntervalLetters", true, "abc", "s:秒", false, "1", "0s\tE"},
                      SaveCase{"CountThree", false, "1", "h:時間", true, "3", "0z\t3"},
                      SaveCase{"CountEmptied", false, "1", "h:時間", true, "", "0z\t0"},
                      SaveCase{"CountBlanks", true, " 2 ", "h:時間", true, " 07", "2h\t7"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Form2Test, SavesTheUnitItemChosenFromTheList) {
  Open();
  form->Check1->setChecked(true);
  form->Combo1->setCurrentIndex(2);
  form->Text2->setText("30");
  Register();
  EXPECT_EQ(Shown(), std::vector<std::string>{Today("07:05:00", "30m\tE\t") + kDefaultSound});
}

TEST_F(Form2Test, AnIdenticalLineIsAddedAgainWithoutAQuestion) {
  Open();
  Register();
  Register();
  EXPECT_EQ(Shown().size(), 2u);
  EXPECT_TRUE(fake.messages.questions.empty());
}

struct OverwriteCase {
  const char* name;
  bool answer;
  std::vector<std::string> after;
  int selected_after;
  friend void PrintTo(const OverwriteCase& c, std::ostream* os) { *os << c.name; }
};

class Form2OverwriteTest : public Form2Test, public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(Form2OverwriteTest, ASelectedLineIsOverwrittenOnlyOnYes) {
  const OverwriteCase& c = GetParam();
  fake.clock.now = *MakeDateTime(2026, 12, 6, 9, 30, 0);
  Open({"2026/01/05 06:00:00\t0z\tE\t/a.wav", "2026/01/05 08:00:00\t0z\tE\t/b.wav"});
  ClickRow(0);                       // loads 06:00:00 into the fields
  ClickArrow(form->VScroll1, true);  // the hour spinner goes from 9 to 10: 10:00:00
  fake.messages.answers = {c.answer};

  Register();

  EXPECT_EQ(fake.messages.questions, std::vector<std::string>{"上書きしますか？"});
  EXPECT_EQ(Shown(), c.after);
  EXPECT_EQ(form->SelectedIndex(), c.selected_after);
}

INSTANTIATE_TEST_SUITE_P(Answers, Form2OverwriteTest,
                         ::testing::Values(OverwriteCase{"Yes",
                                                         true,
                                                         {"2026/01/05 08:00:00\t0z\tE\t/b.wav",
                                                          "2026/12/06 10:00:00\t0z\tE\t/a.wav"},
                                                         1},
                                           OverwriteCase{"No",
                                                         false,
                                                         {"2026/01/05 06:00:00\t0z\tE\t/a.wav",
                                                          "2026/01/05 08:00:00\t0z\tE\t/b.wav",
                                                          "2026/12/06 10:00:00\t0z\tE\t/a.wav"},
                                                         0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Form2Test, AFullListRefusesAnotherLineWithANotice) {
  const std::string line = "2026/01/05 06:00:00\t0z\tE\t";
  for (int i = 0; i < AlarmList::kMaxLines; ++i) main_list.Add(line);
  Open();
  ASSERT_EQ(form->List1Box->count(), AlarmList::kMaxLines);

  Register();

  ASSERT_EQ(fake.messages.notices.size(), 1u);
  EXPECT_NE(fake.messages.notices[0].find("32767"), std::string::npos);
  EXPECT_EQ(form->List1().Count(), AlarmList::kMaxLines);
  EXPECT_EQ(form->List1Box->count(), AlarmList::kMaxLines);
}

// ---- Sound ---------------------------------------------------------------------------------

class Form2SoundTest : public Form2Test {
 protected:
  Form2SoundTest() {
    folder = std::filesystem::temp_directory_path() /
             ("kelmora-editor-" + std::to_string(QCoreApplication::applicationPid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder / "folder.wav");
    std::ofstream(folder / "one.wav") << "RIFF";
    std::ofstream(folder / "two.wav") << "RIFF";
  }
  ~Form2SoundTest() override { std::filesystem::remove_all(folder); }

  std::string File(const char* name) const { return (folder / name).string(); }
  void ClickWav() { QTest::mouseClick(form->Command1, Qt::LeftButton); }
  void PressWav(Qt::MouseButton button) {
    QTest::mousePress(form->Command1, button);
    QTest::mouseRelease(form->Command1, button);
  }

  std::filesystem::path folder;
};

TEST_F(Form2SoundTest, TheDialogStartsAtTheSoundWithMusicFilesSelected) {
  Open();
  fake.files.answers = {File("one.wav")};
  ClickWav();
  ASSERT_EQ(fake.files.calls.size(), 1u);
  EXPECT_EQ(fake.files.calls[0].start_path, kDefaultSound);
  EXPECT_EQ(fake.files.calls[0].selected_filter, 2);
  EXPECT_FALSE(fake.files.calls[0].save);
  ASSERT_EQ(fake.files.calls[0].filters.size(), 2u);
  EXPECT_EQ(fake.files.calls[0].filters[1].pattern, "*.wav");
  EXPECT_EQ(form->SoundPath(), File("one.wav"));
  EXPECT_EQ(S(form->Command1->toolTip()), File("one.wav"));

  Register();
  EXPECT_EQ(Shown(), std::vector<std::string>{Today("07:05:00", "0z\tE\t") + File("one.wav")});
}

TEST_F(Form2SoundTest, OnlyAnOrdinaryExistingFileIsTaken) {
  Open();
  struct Step {
    std::string answer;  // "" cancels
    std::string path_after;
  };
  const std::vector<Step> steps = {
      {File("one.wav"), File("one.wav")},
      {"", File("one.wav")},                   // cancel after an earlier choice
      {File("missing.wav"), File("one.wav")},  // no such file
      {File("folder.wav"), File("one.wav")},   // a folder
      {File("two.wav"), File("two.wav")},
      {"", File("two.wav")},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.answer);
    const std::string before = form->SoundPath();
    fake.files.answers = {step.answer};
    ClickWav();
    EXPECT_EQ(fake.files.calls.back().start_path, before);
    EXPECT_EQ(form->SoundPath(), step.path_after);
    EXPECT_EQ(S(form->Command1->toolTip()), step.path_after);
  }
  EXPECT_EQ(dialog.DlgFileName, File("two.wav"));
  EXPECT_TRUE(dialog.DlgCancel);
}

// A tab would make a five-field line, a line end two lines: such names are refused.
TEST_F(Form2SoundTest, ANameWithATabOrLineEndIsRefusedWithANotice) {
  Open();
  for (const char* name : {"a\tb.wav", "a\nb.wav", "a\rb.wav"}) {
    std::ofstream(folder / name) << "RIFF";
    fake.files.answers = {File(name)};
    ClickWav();
    EXPECT_EQ(form->SoundPath(), kDefaultSound) << name;
  }
  ASSERT_EQ(fake.messages.notices.size(), 3u);
  EXPECT_EQ(fake.messages.notices[0],
            "タブや改行を含む名前のファイルは使えません: " + File("a\tb.wav"));
}

TEST_F(Form2SoundTest, TheRightButtonTriesTheSoundAndTheMiddleDoesNothing) {
  Open({"2026/01/05 06:00:00\t0z\tE\t"});
  fake.files.answers = {File("one.wav")};
  ClickWav();

  PressWav(Qt::RightButton);
  EXPECT_EQ(fake.sound.played, std::vector<std::string>{File("one.wav")});
  PressWav(Qt::MiddleButton);
  EXPECT_EQ(fake.sound.played.size(), 1u);

  ClickRow(0);  // a line with an empty sound path
  PressWav(Qt::RightButton);
  EXPECT_EQ(fake.sound.played, (std::vector<std::string>{File("one.wav"), kDefaultSound}));
  EXPECT_EQ(form->SoundPath(), "");
  EXPECT_EQ(S(form->Command1->toolTip()), "");
  EXPECT_EQ(fake.files.calls.size(), 1u) << "only the left click opens the dialog";
}

// ---- Closing -------------------------------------------------------------------------------

TEST_F(Form2Test, ClosingHandsTheListBackToTheMainList) {
  const std::string old_line = "2026/01/05 06:00:00\t0z\tE\t/a.wav";
  Open({old_line});
  Register();
  ClickRow(0);
  QTest::keyClick(form->List1Box, Qt::Key_Delete);
  const std::vector<std::string> edited = form->List1().Lines();
  ASSERT_EQ(edited, std::vector<std::string>{Today("07:05:00", "0z\tE\t") + kDefaultSound});
  main_list.Add("2026/12/31 00:00:00\t0z\tE\tadded by the scheduler meanwhile");

  EXPECT_TRUE(form->close());

  EXPECT_EQ(main_list.Lines(), edited);
}

TEST_F(Form2Test, ClosingAnEmptyEditorEmptiesTheMainList) {
  Open({"2026/01/05 06:00:00\t0z\tE\t/a.wav"});
  ClickRow(0);
  QTest::keyClick(form->List1Box, Qt::Key_Delete);
  EXPECT_TRUE(form->close());
  EXPECT_TRUE(main_list.Empty());
}

}  // namespace
}  // namespace kelmora
