#include "editor/form2.h"

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

#include "core/code_page.h"
#include "core/path_text.h"
#include "platform/wav_player.h"

namespace kelmora {
namespace {

// Told when the chosen sound file's name holds a tab or a line end.
constexpr std::string_view kNameCannotStand = "タブや改行を含む名前のファイルは使えません: ";

std::size_t Index(TimePart part) {
  return static_cast<std::size_t>(part);
}

std::string TwoDigits(int value) {
  return (value < 10 && value >= 0 ? "0" : "") + std::to_string(value);
}

}  // namespace

Form2::Form2(Services services, CmnDlog::CommonDialog& dialog)
    : services_(std::move(services)), dialog_(dialog) {
  session_.on_inserted = [this](int row, const std::string& line) {
    if (view_ != nullptr) view_->InsertLine(row, DecodeLine(line));
  };
  session_.on_removed = [this](int row) {
    if (view_ != nullptr) view_->RemoveLine(row);
  };
}

void Form2::SetView(EditorView& view) {
  view_ = &view;
}

void Form2::Open(const std::vector<std::string>& main_lines) {
  if (!open_) Load();
  open_ = true;
  session_.Start(main_lines);
  std::vector<std::string> shown;
  for (const std::string& line : session_.Lines().Lines()) shown.push_back(DecodeLine(line));
  view_->ShowLines(shown);
  Render();
  view_->ShowOverMainWindow();
}

// The load steps of a fresh entry: units, default sound, and the spinners at the current time.
void Form2::Load() {
  entry_ = AlarmEntry{};
  SetCombo1();
  entry_.sound_path = services_.paths.default_sound;
  const DateTime now = services_.clock.Now();
  const std::chrono::hh_mm_ss time{now - std::chrono::floor<std::chrono::days>(now)};
  spinners_ = {static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()), 0};
  for (TimePart part : {TimePart::kHour, TimePart::kMinute, TimePart::kSecond}) {
    WriteTimeField(part);
  }
}

void Form2::SetCombo1() {
  entry_.unit = kDefaultUnitText;
  entry_.unit_item = -1;
}

EditorState Form2::State() const {
  return {entry_, spinners_, session_.Selected()};
}

void Form2::Render() {
  if (view_ != nullptr) view_->Render(State());
}

void Form2::WriteTimeField(TimePart part) {
  std::string& field = part == TimePart::kHour     ? entry_.hour
                       : part == TimePart::kMinute ? entry_.minute
                                                   : entry_.second;
  field = TwoDigits(spinners_[Index(part)]);
}

void Form2::AddLine(const std::string& line) {
  if (session_.Add(line) < 0) services_.messages.Notice(AlarmList::kFullNotice);
  Render();
}

void Form2::FollowPass(const std::vector<LineChange>& changes) {
  session_.Follow(changes);
  Render();
}

void Form2::Close() {
  if (!open_) return;
  open_ = false;
  const std::vector<std::string> lines = session_.Lines().Lines();
  session_.Start({});
  view_->ShowLines({});
  view_->Hide();
  if (on_closed) on_closed(lines);
}

// Selecting a line loads it into the entry fields; the spinners stay where they are.
void Form2::List1Click(int row) {
  session_.Select(row);
  if (session_.Selected() >= 0) entry_ = ReadLine(session_.Lines().At(row), entry_);
  Render();
}

// The Delete key asks before removing the selected line; other keys go to the list.
bool Form2::List1KeyDown(int key_code) {
  const int selected = session_.Selected();
  if (selected < 0 || key_code != kDeleteKey) return false;
  const std::string line = session_.Lines().At(selected);
  if (services_.messages.AskYesNo(DecodeLine(line) + "\r\n削除してもよいですか？")) {
    session_.RemoveSelected();
    Render();
  }
  return true;
}

void Form2::SpinnerChange(TimePart part, int value) {
  spinners_[Index(part)] = value;
  WriteTimeField(part);
  Render();
}

void Form2::Check1Click(bool checked) {
  entry_.repeat = checked;
  Render();
}

void Form2::Check2Click(bool checked) {
  entry_.count_limit = checked;
  Render();
}

// The view shows what the user typed already: nothing to render.
void Form2::TextChange(EntryText box, const std::string& text) {
  if (box == EntryText::kInterval) entry_.interval = text;
  if (box == EntryText::kUnit) entry_.unit = text;
  if (box == EntryText::kCount) entry_.count = text;
}

void Form2::LostFocus(EntryText box) {
  if (box == EntryText::kInterval) entry_.interval = TidyNumber(entry_.interval);
  if (box == EntryText::kCount) entry_.count = TidyNumber(entry_.count);
  Render();
}

void Form2::UnitChosen(int item) {
  if (item < 0 || item >= static_cast<int>(kUnitItems.size())) return;
  entry_.unit_item = item;
  entry_.unit = kUnitItems[static_cast<std::size_t>(item)];
  Render();
}

// Registers the entry: a new line when none is selected, else the selected one overwritten on
// Yes or a new line added on No. The list may move on while the question is up.
void Form2::Command2Click() {
  const std::string line = WriteLine(entry_, services_.clock.Now());
  if (session_.Selected() < 0 || !services_.messages.AskYesNo("上書きしますか？") ||
      session_.Selected() < 0) {
    AddLine(line);
    return;
  }
  session_.ReplaceSelected(line);
  Render();
}

// Chooses the sound in the Open dialog; a cancel or a name that is no ordinary file keeps it.
void Form2::Command1Click() {
  dialog_.FileName = entry_.sound_path;
  CmnDlog::ShowDlg(dialog_, services_.files, 2, "");
  if (dialog_.DlgCancel) return;
  // A tab would split the alarm line into more fields, a line end into two lines: such a name
  // cannot stand in an alarm line.
  if (dialog_.DlgFileName.find_first_of("\t\r\n") != std::string::npos) {
    services_.messages.Notice(std::string(kNameCannotStand) + dialog_.DlgFileName);
    return;
  }
  std::error_code error;
  if (!std::filesystem::is_regular_file(PathOf(dialog_.DlgFileName), error)) return;
  entry_.sound_path = dialog_.DlgFileName;
  Render();
}

// The right button tries the sound; the entry's own path never changes.
void Form2::Command1MouseDown(MouseButton button) {
  if (button != MouseButton::kRight) return;
  const std::string trial = entry_.sound_path;
  WavPlayer::PlayWav(services_.sound, services_.paths.default_sound, trial);
}

}  // namespace kelmora
