#include "editor/form2.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "fakes/fake_editor_view.h"
#include "fakes/fake_services.h"
#include "temp_folder.h"

namespace kelmora {
namespace {

using Lines = std::vector<std::string>;
constexpr const char* kDefaultSound = "/opt/kelmora/share/kelmora/sounds/alarm.wav";
const std::string kA = "2026/01/05 07:30:00\t30m\tE\t/a.wav";
const std::string kB = "2026/01/05 08:00:00\t0z\tE\t/b.wav";

Services WithDefaultSound(fakes::FakeServices& fake) {
  fake.paths.default_sound = kDefaultSound;
  return fake.Get();
}

class Form2Test : public ::testing::Test {
 protected:
  Form2Test() {
    fake.clock.now = *MakeDateTime(2026, 12, 6, 7, 5, 30);
    CmnDlog::SetFilter(dialog, "音楽ファイル|*.wav|");
    form.SetView(view);
    form.on_closed = [this](const Lines& lines) { handed_back = lines; };
  }
  // The lines the editor shows, which must always be the lines it holds.
  const Lines& Shown() const {
    EXPECT_EQ(view.lines, form.List1().Lines());
    return view.lines;
  }
  const AlarmEntry& Entry() const { return view.state.entry; }

  fakes::FakeServices fake;
  CmnDlog::CommonDialog dialog;
  fakes::FakeEditorView view;
  Form2 form{WithDefaultSound(fake), dialog};
  Lines handed_back{"never"};
};

TEST_F(Form2Test, OpensOnAFreshEntryAtTheCurrentHourAndMinute) {
  const std::tuple<int, int, const char*, const char*> table[] = {
      {23, 15, "23", "15"}, {0, 0, "00", "00"}, {7, 5, "07", "05"}};
  for (const auto& [hour, minute, hour_text, minute_text] : table) {
    fake.clock.now = *MakeDateTime(2026, 12, 6, hour, minute, 42);
    form.Open({kA});
    EXPECT_EQ(Entry(),
              (AlarmEntry{.hour = hour_text, .minute = minute_text, .sound_path = kDefaultSound}));
    EXPECT_EQ(view.state.spinners, (std::array{hour, minute, 0}));
    EXPECT_FALSE(view.state.IntervalEnabled() || view.state.CountEnabled());
    EXPECT_EQ(view.state.selected, -1);
    EXPECT_EQ(Shown(), Lines{kA});
    EXPECT_TRUE(view.shown);
    form.Close();
    EXPECT_FALSE(view.shown);
  }
}

TEST_F(Form2Test, OpeningAgainRefillsAndPlacesAgainAndKeepsTheEntry) {
  form.Open({kA});
  form.Check2Click(true);
  form.Command2Click();
  ASSERT_EQ(form.List1().Count(), 2);
  form.Open({kA});
  EXPECT_EQ(Shown(), Lines{kA});
  EXPECT_EQ(view.state.selected, -1);
  EXPECT_TRUE(Entry().count_limit);
  EXPECT_EQ(view.placements, 2);
}

TEST_F(Form2Test, SelectingFillsTheFieldsAndASpinnerStartsFromItsOwnValue) {
  fake.clock.now = *MakeDateTime(2026, 12, 6, 10, 15, 0);
  form.Open({kA, kB});
  form.List1Click(0);
  EXPECT_EQ(Entry().hour + Entry().minute + Entry().interval + Entry().unit, "073030m:分");
  EXPECT_EQ(view.state.spinners, (std::array{10, 15, 0})) << "the spinners are not moved";
  form.List1Click(1);  // the arrow key down
  EXPECT_EQ(view.state.selected, 1);
  EXPECT_EQ(Entry().sound_path, "/b.wav");
  form.SpinnerChange(TimePart::kHour, 11);
  EXPECT_EQ(Entry().hour, "11");
  form.SpinnerChange(TimePart::kSecond, 7);
  EXPECT_EQ(Entry().second, "07");
}

TEST_F(Form2Test, BoxesUnitAndNumberBoxesChangeTheEntry) {
  form.Open({});
  form.Check1Click(true);
  EXPECT_TRUE(view.state.IntervalEnabled());
  form.Check1Click(false);
  form.Check2Click(true);
  EXPECT_FALSE(view.state.IntervalEnabled());
  EXPECT_TRUE(view.state.CountEnabled());
  form.TextChange(EntryText::kInterval, "2.5");
  form.TextChange(EntryText::kCount, "2.5abc");
  form.LostFocus(EntryText::kInterval);
  form.LostFocus(EntryText::kCount);
  EXPECT_EQ(Entry().interval, "3");
  EXPECT_EQ(Entry().count, "2.5abc");
  form.UnitChosen(2);
  EXPECT_EQ(Entry().unit, "m:分");
  EXPECT_EQ(Entry().unit_item, 2);
  form.TextChange(EntryText::kUnit, "分");
  form.Command2Click();
  EXPECT_EQ(Shown(), Lines{"2026/12/06 07:05:00\t0z\t2.5\t" + std::string(kDefaultSound)});
}

struct DeleteCase {
  int select;
  bool answer;
  std::size_t questions;
  Lines left;
  int selected_after;
};

TEST_F(Form2Test, TheDeleteKeyAsksBeforeRemovingTheSelectedLine) {
  for (const DeleteCase& c :
       {DeleteCase{-1, true, 0, {kA, kB}, -1}, DeleteCase{0, false, 1, {kA, kB}, 0},
        DeleteCase{0, true, 1, {kB}, -1}}) {
    fake.messages.questions.clear();
    form.Open({kA, kB});
    form.List1Click(c.select);
    fake.messages.answers = {c.answer};
    EXPECT_EQ(form.List1KeyDown(kDeleteKey), c.select >= 0);
    EXPECT_FALSE(form.List1KeyDown('A'));
    ASSERT_EQ(fake.messages.questions.size(), c.questions);
    if (c.questions > 0) {
      EXPECT_EQ(fake.messages.questions[0], kA + "\r\n削除してもよいですか？");
    }
    EXPECT_EQ(Shown(), c.left);
    EXPECT_EQ(view.state.selected, c.selected_after);
  }
  form.Command2Click();  // after a deletion, a save adds without asking
  EXPECT_EQ(fake.messages.questions.size(), 1u);
  EXPECT_EQ(Shown(), (Lines{kB, "2026/12/06 07:30:00\t30m\tE\t/a.wav"}));
}

TEST_F(Form2Test, ASelectedLineIsOverwrittenOnYesAndKeptBesideTheNewOnNo) {
  const std::string a = "2026/01/05 06:00:00\t0z\tE\t/a.wav";
  const std::string b = "2026/01/05 08:00:00\t0z\tE\t/b.wav";
  const std::string new_a = "2026/12/06 10:00:00\t0z\tE\t/a.wav";
  const std::tuple<bool, Lines, int> table[] = {{true, {b, new_a}, 1}, {false, {a, b, new_a}, 0}};
  for (const auto& [answer, after, selected] : table) {
    fake.messages.questions.clear();
    form.Open({a, b});
    form.List1Click(0);
    form.SpinnerChange(TimePart::kHour, 10);
    fake.messages.answers = {answer};
    form.Command2Click();
    EXPECT_EQ(fake.messages.questions, Lines{"上書きしますか？"});
    EXPECT_EQ(Shown(), after);
    EXPECT_EQ(view.state.selected, selected);
  }
}

TEST_F(Form2Test, WithNothingSelectedAnIdenticalLineIsAddedAgainWithoutAQuestion) {
  form.Open({});
  form.Command2Click();
  form.Command2Click();
  EXPECT_EQ(Shown().size(), 2u);
  EXPECT_TRUE(fake.messages.questions.empty());
}

TEST_F(Form2Test, AFullListRefusesAnotherLineWithANotice) {
  form.Open(Lines(AlarmList::kMaxLines, kA));
  form.Command2Click();
  form.AddLine(kB);
  EXPECT_EQ(fake.messages.notices, Lines(2, AlarmList::kFullNotice));
  EXPECT_EQ(Shown().size(), static_cast<std::size_t>(AlarmList::kMaxLines));
}

// The pass of the main list moved kA on and dropped kB; the selected line stays selected.
TEST_F(Form2Test, TheCopyFollowsAPassAndAddedLinesTheSelectionWithIt) {
  const std::string moved = "2026/12/06 08:00:00\t30m\tE\t/a.wav";
  const std::string added = "2026/01/05 07:00:00\t0z\tE\t/snooze.wav";
  form.Open({kA, kB});
  form.List1Click(0);
  form.FollowPass({{kB, std::nullopt}, {kA, moved}});
  EXPECT_EQ(Shown(), Lines{moved});
  EXPECT_EQ(view.state.selected, 0);
  form.AddLine(added);
  EXPECT_EQ(Shown(), (Lines{added, moved}));
  EXPECT_EQ(view.state.selected, 1);
}

TEST_F(Form2Test, ClosingHandsTheCopyBackOnce) {
  form.Open({kA});
  form.List1Click(0);
  form.List1KeyDown(kDeleteKey);
  form.Close();
  EXPECT_EQ(handed_back, Lines{});
  form.Open({kB});
  form.Command2Click();
  form.Close();
  EXPECT_EQ(handed_back, (Lines{kB, "2026/12/06 07:05:00\t0z\tE\t" + std::string(kDefaultSound)}));
  EXPECT_FALSE(form.IsOpen());
  handed_back.clear();
  form.Close();
  EXPECT_TRUE(handed_back.empty()) << "closed already";
}

class Form2SoundTest : public Form2Test {
 protected:
  Form2SoundTest() {
    std::filesystem::create_directories(folder / "folder.wav");
    for (const char* name : {"one.wav", "two.wav", "a\tb.wav", "a\nb.wav", "a\rb.wav"}) {
      std::ofstream(folder / name) << "RIFF";
    }
    form.Open({"2026/01/05 06:00:00\t0z\tE\t"});
  }
  std::string File(const char* name) const { return (folder / name).string(); }

  testing::TempFolder temp{"editor-sound"};
  std::filesystem::path folder = temp.path();
};

TEST_F(Form2SoundTest, OnlyAnOrdinaryExistingFileIsTaken) {
  const std::pair<std::string, std::string> steps[] = {
      {File("one.wav"), File("one.wav")},
      {"", File("one.wav")},  // a cancel after a choice
      {File("missing.wav"), File("one.wav")},
      {File("folder.wav"), File("one.wav")},
      {File("a\tb.wav"), File("one.wav")},
      {File("a\nb.wav"), File("one.wav")},
      {File("a\rb.wav"), File("one.wav")},
      {File("two.wav"), File("two.wav")},
      {"", File("two.wav")},
  };
  std::string before = kDefaultSound;
  for (const auto& [answer, path_after] : steps) {
    fake.files.answers = {answer};
    form.Command1Click();
    const auto& call = fake.files.calls.back();
    EXPECT_EQ(call.start_path, before);
    EXPECT_EQ(call.selected_filter, 2);
    EXPECT_FALSE(call.save);
    EXPECT_EQ(call.filters.at(1).pattern, "*.wav");
    EXPECT_EQ(view.state.SoundTip(), path_after) << answer;
    before = path_after;
  }
  EXPECT_EQ(dialog.DlgFileName, File("two.wav"));
  EXPECT_TRUE(dialog.DlgCancel);
  EXPECT_EQ(fake.messages.notices,
            (Lines{"タブや改行を含む名前のファイルは使えません: " + File("a\tb.wav"),
                   "タブや改行を含む名前のファイルは使えません: " + File("a\nb.wav"),
                   "タブや改行を含む名前のファイルは使えません: " + File("a\rb.wav")}));
  form.Command2Click();
  EXPECT_EQ(Shown().back(), "2026/12/06 07:05:00\t0z\tE\t" + File("two.wav"));
}

TEST_F(Form2SoundTest, TheRightButtonTriesTheSoundAndTheOthersDoNothing) {
  fake.files.answers = {File("one.wav")};
  form.Command1Click();
  form.Command1MouseDown(MouseButton::kRight);
  form.Command1MouseDown(MouseButton::kMiddle);
  form.Command1MouseDown(MouseButton::kLeft);
  form.List1Click(0);  // a line with an empty sound path
  form.Command1MouseDown(MouseButton::kRight);
  EXPECT_EQ(fake.sound.played, (Lines{File("one.wav"), kDefaultSound}));
  EXPECT_EQ(view.state.SoundTip(), "");
  EXPECT_EQ(fake.files.calls.size(), 1u);
}

}  // namespace
}  // namespace kelmora
