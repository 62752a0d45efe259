#include "editor/qt/qt_editor_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <string>
#include <vector>

#include "editor/editor_layout.h"
#include "fakes/fake_services.h"
#include "platform/qt/qt_convert.h"
#include "qt_app.h"

namespace kelmora {
namespace {

std::string S(const QString& text) {
  return text.toStdString();
}

TEST(QtEditorWindowTest, ItsControlsReachTheBehaviourAndTheStateReachesItsControls) {
  testing::EnsureQApplication();
  fakes::FakeServices fake;
  fake.paths.default_sound = "/default.wav";
  fake.clock.now = *MakeDateTime(2026, 12, 6, 7, 5, 30);
  CmnDlog::CommonDialog dialog;
  QWidget main_window;
  main_window.setGeometry(300, 400, 200, 150);
  main_window.show();
  Form2 editor(fake.Get(), dialog);
  QtEditorWindow w(editor, fake.frames, main_window);
  editor.SetView(w);
  std::vector<std::string> handed_back;
  editor.on_closed = [&handed_back](const std::vector<std::string>& lines) { handed_back = lines; };
  editor.Open({"2026/01/05 07:30:00\t30m\t3\t/a.wav"});
  QApplication::setActiveWindow(&w);

  // Where the controls stand (in twips), in what order the focus moves, where the window stands.
  namespace layout = EditorLayout;
  const std::vector<std::pair<QWidget*, TwipsBox>> places = {
      {w.List1Box, layout::kList1},    {w.Label1, layout::kLabel1},
      {w.Text1, layout::kText1},       {w.VScroll1, layout::kVScroll1},
      {w.Text4, layout::kText4},       {w.VScroll2, layout::kVScroll2},
      {w.Text5, layout::kText5},       {w.VScroll3, layout::kVScroll3},
      {w.Command1, layout::kCommand1}, {w.Check1, layout::kCheck1},
      {w.Check2, layout::kCheck2},     {w.Text2, layout::kText2},
      {w.Combo1, layout::kCombo1},     {w.Label2, layout::kLabel2},
      {w.Text3, layout::kText3},       {w.Label3, layout::kLabel3},
      {w.Command2, layout::kCommand2}};
  for (const auto& [control, twips] : places) {
    EXPECT_EQ(control->geometry(), TwipsRect(twips));
  }
  const std::vector<QWidget*> tab = {w.List1Box, w.Text1,    w.Text2,    w.Check1, w.Text3,
                                     w.VScroll1, w.Text4,    w.VScroll2, w.Text5,  w.VScroll3,
                                     w.Command1, w.Command2, w.Combo1,   w.Check2};
  for (std::size_t i = 1; i < tab.size(); ++i) {
    QWidget* next = tab[i - 1]->nextInFocusChain();
    while (std::find(tab.begin(), tab.end(), next) == tab.end()) next = next->nextInFocusChain();
    EXPECT_EQ(next, tab[i]) << i;
  }
  EXPECT_EQ(w.frameGeometry().left(), main_window.frameGeometry().left());
  EXPECT_EQ(w.frameGeometry().bottom() + 1, main_window.frameGeometry().top());
  EXPECT_EQ(fake.frames.requests, std::vector<NativeWindow>{w.internalWinId()});
  fake.frames.Report(w.internalWinId(), {2, 20, 2, 5});  // the window manager tells its frame
  EXPECT_EQ(w.geometry().topLeft(), main_window.frameGeometry().topLeft() + QPoint(2, -5 - 202));
  EXPECT_EQ(S(w.Combo1->currentText()), "h:時間");
  EXPECT_EQ(w.Combo1->lineEdit()->cursorPosition(), 0) << "the unit letter shows";

  // The focus entering the list makes its line current without selecting it: nothing is filled.
  w.List1Box->selectionModel()->setCurrentIndex(w.List1Box->model()->index(0, 0),
                                                QItemSelectionModel::NoUpdate);
  EXPECT_FALSE(w.Check1->isChecked());
  // A click selects the line and fills the fields.
  QTest::mouseClick(w.List1Box->viewport(), Qt::LeftButton, {},
                    w.List1Box->visualItemRect(w.List1Box->item(0)).center());
  EXPECT_EQ(S(w.Text1->text() + w.Text4->text() + w.Text2->text() + w.Text3->text()), "0730303");
  EXPECT_TRUE(w.Check1->isChecked() && w.Check2->isChecked() && w.Text2->isEnabled());
  EXPECT_EQ(w.Combo1->currentIndex(), 2);
  EXPECT_EQ(S(w.Command1->toolTip()), "/a.wav");

  // Spinners step from their own value, up towards the top, and stop at their ends; a box left
  // is tidied.
  QTest::keyClick(w.VScroll1, Qt::Key_Up);
  EXPECT_EQ(S(w.Text1->text()), "08");
  w.Text5->clear();
  QTest::keyClick(w.VScroll3, Qt::Key_Down);
  EXPECT_EQ(S(w.Text5->text()), "") << "no change at the bottom";
  w.Text2->setFocus();
  w.Text2->selectAll();
  QTest::keyClicks(w.Text2, "2.5");
  w.Check2->setFocus();
  EXPECT_EQ(S(w.Text2->text()), "3");
  QTest::mouseClick(w.Check2, Qt::LeftButton, {}, w.Check2->rect().center());
  EXPECT_FALSE(w.Text3->isEnabled());
  QTest::keyClick(w.Combo1, Qt::Key_Up);
  EXPECT_EQ(w.Combo1->lineEdit()->cursorPosition(), 0);

  // The right button tries the sound; Delete asks (No); 登録 overwrites on Yes; closing hands back.
  QTest::mousePress(w.Command1, Qt::RightButton);
  QTest::mouseRelease(w.Command1, Qt::RightButton);
  EXPECT_EQ(fake.sound.played, std::vector<std::string>{"/a.wav"});
  fake.messages.answers = {false, true};
  QTest::keyClick(w.List1Box, Qt::Key_Delete);
  QTest::mouseClick(w.Command2, Qt::LeftButton);
  EXPECT_EQ(fake.messages.questions.size(), 2u);
  ASSERT_EQ(w.List1Box->count(), 1);
  EXPECT_EQ(S(w.List1Box->item(0)->text()), "2026/12/06 08:30:00\t3h\tE\t/a.wav");
  EXPECT_TRUE(w.close());
  EXPECT_EQ(handed_back, std::vector<std::string>{"2026/12/06 08:30:00\t3h\tE\t/a.wav"});
}

}  // namespace
}  // namespace kelmora
