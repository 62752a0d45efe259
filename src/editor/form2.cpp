#include "editor/form2.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStringList>
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

#include "alarm/alarm_line.h"
#include "core/code_page.h"
#include "core/date_time.h"
#include "core/number.h"
#include "core/utf8.h"
#include "platform/qt/qt_convert.h"
#include "platform/wav_player.h"
#include "render/clock_face.h"

namespace kelmora {
namespace {

constexpr int kClientWidthTwips = 2355;
constexpr int kClientHeightTwips = 3030;

// The units offered in Combo1; the first character of each is the letter written into a line.
constexpr std::array<std::string_view, 4> kUnitItems = {"d:日", "h:時間", "m:分", "s:秒"};
constexpr std::string_view kDefaultUnitText = "h:時間";

// Told when the chosen sound file's name holds a tab or a line end.
constexpr std::string_view kNameCannotStand = "タブや改行を含む名前のファイルは使えません: ";

// The unit item whose letter is unit ("d" 0, "h" 1, "m" 2, "s" 3), -1 for any other text.
int UnitItemIndex(std::string_view unit) {
  for (std::size_t item = 0; item < kUnitItems.size(); ++item) {
    if (kUnitItems[item].substr(0, 1) == unit) return static_cast<int>(item);
  }
  return -1;
}

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
std::string S(const QString& text) {
  return text.toStdString();
}

QString TwoDigits(int value) {
  return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// A number field's value written back as text: its leading number, 0 when it has none.
std::string NumberText(const QLineEdit* box) {
  return ShortestDecimal(ReadNumber(S(box->text())));
}

// Rewrites a number field as a whole number, halves away from zero; text that is not a number
// ("2.5abc", the empty text) stays as typed.
void TidyNumberBox(QLineEdit* box) {
  const auto number = ReadWholeNumber(S(box->text()));
  if (!number || !std::isfinite(*number)) return;
  box->setText(Q(ShortestDecimal(RoundHalfAwayFromZero(*number))));
}

QLineEdit* MakeTimeBox(QWidget* parent) {
  auto* box = new QLineEdit(QStringLiteral("00"), parent);
  box->setEnabled(false);
  return box;
}

}  // namespace

TimeSpinner::TimeSpinner(int top, QWidget* parent) : QScrollBar(Qt::Vertical, parent) {
  setRange(-top, 0);
  setSingleStep(1);
  setPageStep(1);
  setFocusPolicy(Qt::StrongFocus);
  setContextMenuPolicy(Qt::NoContextMenu);
}

Form2::Form2(Services services, CmnDlog::CommonDialog& dialog, QWidget* parent)
    : QWidget(parent, Qt::Window), services_(std::move(services)), dialog_(dialog) {
  setWindowTitle(QStringLiteral("アラーム"));
  setWindowIcon(ToQIcon(ProgramIcon()));
  QFont small = font();
  small.setPixelSize(12);
  setFont(small);
  setFixedSize(kClientWidthTwips / kTwipsPerPixel, kClientHeightTwips / kTwipsPerPixel);
  // The window manager tells the frame it gives the editor once it knows it.
  frame_reports_.on_frame_reported = [this](WId window) {
    if (own_frame_guessed_ && window == internalWinId()) PlaceOverMainWindow();
  };
  BuildControls();
  SetTabOrder();
  ConnectControls();
  Load();
}

void Form2::BuildControls() {
  List1Box = new QListWidget(this);
  List1Box->setSelectionMode(QAbstractItemView::SingleSelection);
  List1Box->setGeometry(TwipsRect(60, 60, 2235, 1320));

  Label1 = new QLabel(QStringLiteral("指定時刻"), this);
  Label1->setGeometry(TwipsRect(60, 1500, 720, 180));
  Text1 = MakeTimeBox(this);
  Text1->setGeometry(TwipsRect(60, 1680, 375, 255));
  VScroll1 = new TimeSpinner(23, this);
  VScroll1->setGeometry(TwipsRect(420, 1680, 135, 255));
  Text4 = MakeTimeBox(this);
  Text4->setGeometry(TwipsRect(600, 1680, 375, 255));
  VScroll2 = new TimeSpinner(59, this);
  VScroll2->setGeometry(TwipsRect(960, 1680, 135, 255));
  Text5 = MakeTimeBox(this);
  Text5->setGeometry(TwipsRect(1140, 1680, 375, 255));
  VScroll3 = new TimeSpinner(59, this);
  VScroll3->setGeometry(TwipsRect(1500, 1680, 135, 255));
  Command1 = new QPushButton(QStringLiteral("wav"), this);
  Command1->setGeometry(TwipsRect(1740, 1560, 555, 375));

  Check1 = new QCheckBox(QStringLiteral("繰り返し"), this);
  Check1->setGeometry(TwipsRect(60, 2040, 1035, 240));
  Check2 = new QCheckBox(QStringLiteral("回数"), this);
  Check2->setGeometry(TwipsRect(1680, 2040, 675, 255));

  Text2 = new QLineEdit(QStringLiteral("1"), this);
  Text2->setEnabled(false);
  Text2->setGeometry(TwipsRect(60, 2280, 375, 300));
  Combo1 = new QComboBox(this);
  Combo1->setEditable(true);
  Combo1->setInsertPolicy(QComboBox::NoInsert);
  Combo1->setEnabled(false);
  Combo1->setGeometry(TwipsRect(480, 2280, 810, 300));
  Label2 = new QLabel(QStringLiteral("毎に"), this);
  Label2->setGeometry(TwipsRect(1320, 2340, 345, 180));
  Text3 = new QLineEdit(QStringLiteral("1"), this);
  Text3->setEnabled(false);
  Text3->setGeometry(TwipsRect(1680, 2280, 375, 300));
  Label3 = new QLabel(QStringLiteral("回"), this);
  Label3->setGeometry(TwipsRect(2100, 2340, 180, 180));

  Command2 = new QPushButton(QStringLiteral("登録"), this);
  Command2->setGeometry(TwipsRect(60, 2640, 2235, 315));
}

// The focus moves in the order of the window's table; labels take no focus and are left out.
void Form2::SetTabOrder() {
  QWidget* const chain[] = {List1Box, Text1, Text2,    Check1,   Text3,    VScroll1, Text4,
                            VScroll2, Text5, VScroll3, Command1, Command2, Combo1,   Check2};
  for (std::size_t i = 1; i < std::size(chain); ++i) setTabOrder(chain[i - 1], chain[i]);
}

void Form2::ConnectControls() {
  const auto spinner_writes = [this](TimeSpinner* spinner, QLineEdit* box) {
    connect(spinner, &QScrollBar::valueChanged, this,
            [spinner, box] { box->setText(TwoDigits(spinner->Value())); });
  };
  spinner_writes(VScroll1, Text1);
  spinner_writes(VScroll2, Text4);
  spinner_writes(VScroll3, Text5);

  connect(Check1, &QCheckBox::toggled, this, [this](bool checked) {
    Text2->setEnabled(checked);
    Combo1->setEnabled(checked);
  });
  connect(Check2, &QCheckBox::toggled, Text3, &QWidget::setEnabled);

  // Only a line the user selects (a click, the arrow keys) fills the fields: the focus entering
  // the list makes its first line current without selecting it, and leaves the fresh entry be.
  connect(List1Box, &QListWidget::itemSelectionChanged, this,
          [this] { List1Click(SelectedIndex()); });
  connect(List1Box, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { List1Click(List1Box->row(item)); });
  connect(Combo1, &QComboBox::textActivated, this, &Form2::ShowUnitText);
  List1Box->installEventFilter(this);

  connect(Command1, &QPushButton::clicked, this, &Form2::Command1Click);
  Command1->installEventFilter(this);
  connect(Command2, &QPushButton::clicked, this, &Form2::Command2Click);

  Text2->installEventFilter(this);
  Text3->installEventFilter(this);
}

// The load steps of a new window: units, default sound, and the spinners at the current time.
void Form2::Load() {
  SetCombo1();
  SetSoundPath(services_.paths.default_sound);
  const DateTime now = services_.clock.Now();
  const std::chrono::hh_mm_ss time{now - std::chrono::floor<std::chrono::days>(now)};
  VScroll1->SetValue(static_cast<int>(time.hours().count()));
  VScroll2->SetValue(static_cast<int>(time.minutes().count()));
  VScroll3->SetValue(0);
  WriteTimeFields();
}

void Form2::WriteTimeFields() {
  Text1->setText(TwoDigits(VScroll1->Value()));
  Text4->setText(TwoDigits(VScroll2->Value()));
  Text5->setText(TwoDigits(VScroll3->Value()));
}

void Form2::SetCombo1() {
  Combo1->clear();
  for (std::string_view item : kUnitItems) Combo1->addItem(Q(item));
  Combo1->setCurrentIndex(-1);
  ShowUnitText(Q(kDefaultUnitText));
}

// The unit box is narrow: it shows the start of its text, the letter a line takes, not the end.
void Form2::ShowUnitText(const QString& text) {
  Combo1->setEditText(text);
  Combo1->lineEdit()->setCursorPosition(0);
}

void Form2::OpenOver(const QWidget& main_window, const std::vector<std::string>& main_lines) {
  Refill(main_lines);
  placed_over_ = &main_window;
  if (!isVisible()) RequestFrame(*this);
  PlaceOverMainWindow();
}

namespace {

// The frame around a window as Qt knows it: none until the window manager has framed it.
QMargins QtFrame(const QWidget& window) {
  const QRect frame = window.frameGeometry();
  const QRect area = window.geometry();
  return QMargins(area.left() - frame.left(), area.top() - frame.top(),
                  frame.right() - area.right(), frame.bottom() - area.bottom());
}

QMargins FrameOf(const QWidget& window) {
  return ReportedFrame(window).value_or(QtFrame(window));
}

}  // namespace

// Placed by its own area, which the window manager keeps where it is asked to put it.
void Form2::PlaceOverMainWindow() {
  if (!placed_over_) return;
  const std::optional<QMargins> reported = ReportedFrame(*this);
  const QMargins main_frame = FrameOf(*placed_over_);
  const QMargins frame = EditorFrame(reported, QtFrame(*this), main_frame);
  own_frame_guessed_ = !reported.has_value();
  setGeometry(QRect(EditorPosition(placed_over_->geometry(), main_frame, size(), frame), size()));
}

QPoint EditorPosition(const QRect& main_area, const QMargins& main_frame, const QSize& editor_size,
                      const QMargins& editor_frame) {
  const int outer_left = main_area.left() - main_frame.left();
  const int outer_top = main_area.top() - main_frame.top();
  return QPoint(outer_left + editor_frame.left(),
                outer_top - editor_frame.bottom() - editor_size.height());
}

QMargins EditorFrame(const std::optional<QMargins>& reported, const QMargins& from_qt,
                     const QMargins& main_frame) {
  if (reported) return *reported;
  return from_qt.isNull() ? main_frame : from_qt;
}

void Form2::Refill(const std::vector<std::string>& lines) {
  const QSignalBlocker quiet(List1Box);
  list1_.Clear();
  list1_.AddAll(lines);
  QStringList items;
  items.reserve(list1_.Count());
  for (const std::string& line : list1_.Lines()) items.append(Q(DecodeLine(line)));
  List1Box->clear();
  List1Box->addItems(items);
}

int Form2::SelectedIndex() const {
  const QListWidgetItem* current = List1Box->currentItem();
  return current != nullptr && current->isSelected() ? List1Box->currentRow() : -1;
}

// The list widget follows List1() row for row. Changes made by code move its selection without
// loading the entry fields, which only the user's selection does.
void Form2::ShowLineAt(int row, const std::string& line) {
  const QSignalBlocker quiet(List1Box);
  List1Box->insertItem(row, Q(DecodeLine(line)));
}

void Form2::HideLineAt(int row) {
  const QSignalBlocker quiet(List1Box);
  delete List1Box->takeItem(row);
}

void Form2::SelectRowQuietly(int row) {
  const QSignalBlocker quiet(List1Box);
  List1Box->setCurrentRow(row);
}

void Form2::SetSoundPath(std::string path) {
  sound_path_ = std::move(path);
  Command1->setToolTip(Q(DecodeLine(sound_path_)));
}

// Selecting a line loads it into the entry fields; the spinners stay where they are.
void Form2::List1Click(int row) {
  if (row < 0 || row >= list1_.Count()) return;
  FillFromLine(list1_.At(row));
}

// Fills the fields from whatever fields the line has; a part it cannot read leaves its fields
// as they were. The fields show the line decoded; the sound path keeps the bytes it names.
void Form2::FillFromLine(const std::string& line) {
  const std::string shown = DecodeLine(line);
  const std::vector<std::string_view> fields = AlarmLine::SplitAll(shown);
  FillTime(fields[0]);
  if (fields.size() > 1) FillInterval(fields[1]);
  if (fields.size() > 2) FillCount(fields[2]);
  const std::vector<std::string_view> bytes = AlarmLine::SplitAll(line);
  if (bytes.size() > 3) SetSoundPath(std::string(bytes[3]));
}

void Form2::FillTime(std::string_view due_text) {
  const auto due = ParseDateTime(due_text);
  if (!due) return;
  Text1->setText(Q(FormatDateTime(*due, "hh")));
  Text4->setText(Q(FormatDateTime(*due, "nn")));
  Text5->setText(Q(FormatDateTime(*due, "ss")));
}

void Form2::FillInterval(std::string_view interval) {
  if (interval.empty()) return;
  Check1->setChecked(true);
  const std::size_t unit_start = LastCharacterStart(interval);
  const std::string_view unit = interval.substr(unit_start);
  const int item = UnitItemIndex(unit);
  if (unit == AlarmLine::kNoRepeatUnit) {
    Check1->setChecked(false);
  } else if (item >= 0) {
    Combo1->setCurrentIndex(item);
    ShowUnitText(Combo1->itemText(item));
  }
  Text2->setText(Q(interval.substr(0, unit_start)));
}

void Form2::FillCount(std::string_view count) {
  if (count == AlarmLine::kNoLimit) {
    Check2->setChecked(false);
    return;
  }
  Check2->setChecked(true);
  Text3->setText(Q(count));
}

// The Delete key asks before removing the selected line; other keys go to the list.
bool Form2::List1KeyDown(int key) {
  const int selected = SelectedIndex();
  if (selected < 0 || key != Qt::Key_Delete) return false;
  const std::string& line = list1_.At(selected);
  if (services_.messages.AskYesNo(DecodeLine(line) + "\r\n削除してもよいですか？") &&
      selected < list1_.Count()) {
    list1_.Remove(selected);
    HideLineAt(selected);
    SelectRowQuietly(-1);
  }
  return true;
}

// Registers the entry: a new line when none is selected, else the selected one overwritten on
// Yes or a new line added on No.
void Form2::Command2Click() {
  const std::string line = BuildLine();
  const int selected = SelectedIndex();
  if (selected < 0 || !services_.messages.AskYesNo("上書きしますか？") ||
      selected >= list1_.Count()) {
    AddLine(line);
    return;
  }
  const int moved_to = list1_.Replace(selected, line);
  HideLineAt(selected);
  ShowLineAt(moved_to, line);
  SelectRowQuietly(moved_to);
}

std::string Form2::BuildLine() const {
  const std::string due = FormatDateTime(services_.clock.Now(), "yyyy/mm/dd") + " " +
                          S(Text1->text()) + ":" + S(Text4->text()) + ":" + S(Text5->text());
  const std::string unit(FirstCharacters(S(Combo1->currentText()), 1));
  const std::string interval =
      Check1->isChecked() ? NumberText(Text2) + unit : std::string(AlarmLine::kNoRepeat);
  const std::string count =
      Check2->isChecked() ? NumberText(Text3) : std::string(AlarmLine::kNoLimit);
  return AlarmLine{due, interval, count, sound_path_}.Join();
}

void Form2::AddLine(const std::string& line) {
  const int index = list1_.Add(line);
  if (index < 0) {
    services_.messages.Notice(AlarmList::kFullNotice);
    return;
  }
  ShowLineAt(index, line);
}

void Form2::FollowPass(const std::vector<LineChange>& changes) {
  const int selected = SelectedIndex();
  std::optional<std::string> selected_line;
  if (selected >= 0) selected_line = list1_.At(selected);
  for (const LineChange& change : changes) {
    const int row = list1_.Find(change.before);
    if (row < 0) continue;
    list1_.Remove(row);
    HideLineAt(row);
    if (change.after) AddLine(*change.after);
    if (selected_line == change.before) selected_line = change.after;
  }
  SelectRowQuietly(selected_line ? list1_.Find(*selected_line) : -1);
}

// Chooses the sound in the Open dialog; a cancel or a name that is no ordinary file keeps it.
void Form2::Command1Click() {
  dialog_.FileName = sound_path_;
  CmnDlog::ShowDlg(dialog_, services_.files, 2, "");
  if (dialog_.DlgCancel) return;
  // A tab would split the alarm line into more fields, a line end into two lines: such a name
  // cannot stand in an alarm line.
  if (dialog_.DlgFileName.find_first_of("\t\r\n") != std::string::npos) {
    services_.messages.Notice(std::string(kNameCannotStand) + dialog_.DlgFileName);
    return;
  }
  std::error_code error;
  if (std::filesystem::is_regular_file(dialog_.DlgFileName, error)) {
    SetSoundPath(dialog_.DlgFileName);
  }
}

// The right button tries the sound; the entry's own path never changes.
void Form2::Command1MouseDown(Qt::MouseButton button) {
  if (button != Qt::RightButton) return;
  const std::string trial = sound_path_;
  WavPlayer::PlayWav(services_.sound, services_.paths.default_sound, trial);
}

bool Form2::eventFilter(QObject* watched, QEvent* event) {
  if (watched == List1Box && event->type() == QEvent::KeyPress) {
    return List1KeyDown(static_cast<QKeyEvent*>(event)->key());
  }
  if (watched == Command1 && event->type() == QEvent::MouseButtonPress) {
    Command1MouseDown(static_cast<QMouseEvent*>(event)->button());
  }
  if ((watched == Text2 || watched == Text3) && event->type() == QEvent::FocusOut) {
    TidyNumberBox(static_cast<QLineEdit*>(watched));
  }
  return QWidget::eventFilter(watched, event);
}

// Closing hands the editor's lines back to the main list; it is never refused.
void Form2::closeEvent(QCloseEvent* event) {
  emit ListHandedBack(list1_.Lines());
  event->accept();
}

}  // namespace kelmora
