#include "editor/qt/qt_editor_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStringList>
#include <iterator>
#include <optional>

#include "core/twips.h"
#include "core/user_texts.h"
#include "editor/editor_layout.h"
#include "editor/placement.h"
#include "platform/qt/qt_convert.h"
#include "render/clock_face.h"

namespace kelmora {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLineEdit* MakeBox(const char* text, bool enabled, QWidget* parent) {
  auto* box = new QLineEdit(QString::fromUtf8(text), parent);
  box->setEnabled(enabled);
  return box;
}

// Sets a box's text where it differs, so the cursor of a box being typed into stays put.
void ShowText(QLineEdit* box, const std::string& text) {
  const QSignalBlocker quiet(box);
  if (box->text() != Q(text)) box->setText(Q(text));
}

void ShowChecked(QCheckBox* box, bool checked) {
  const QSignalBlocker quiet(box);
  box->setChecked(checked);
}

void ShowValue(TimeSpinner* spinner, int value) {
  const QSignalBlocker quiet(spinner);
  spinner->SetValue(value);
}

// The frame around a window as Qt knows it: none until the window manager has framed it.
PixelMargins QtFrame(const QWidget& window) {
  const QRect frame = window.frameGeometry();
  const QRect area = window.geometry();
  return {area.left() - frame.left(), area.top() - frame.top(), frame.right() - area.right(),
          frame.bottom() - area.bottom()};
}

PixelMargins FrameOf(const QWidget& window, const WindowFrames& frames) {
  return frames.Reported(window.internalWinId()).value_or(QtFrame(window));
}

std::optional<MouseButton> ButtonOf(Qt::MouseButton button) {
  if (button == Qt::LeftButton) return MouseButton::kLeft;
  if (button == Qt::RightButton) return MouseButton::kRight;
  if (button == Qt::MiddleButton) return MouseButton::kMiddle;
  return std::nullopt;
}

}  // namespace

TimeSpinner::TimeSpinner(int top, QWidget* parent) : QScrollBar(Qt::Vertical, parent) {
  setRange(-top, 0);
  setSingleStep(1);
  setPageStep(1);
  setFocusPolicy(Qt::StrongFocus);
  setContextMenuPolicy(Qt::NoContextMenu);
}

QtEditorWindow::QtEditorWindow(Form2& editor, WindowFrames& frames, const QWidget& main_window)
    : QWidget(nullptr, Qt::Window), editor_(editor), frames_(frames), main_window_(main_window) {
  setWindowTitle(QString::fromUtf8(texts::kAlarm));
  setWindowIcon(ToQIcon(ProgramIcon()));
  QFont small = font();
  small.setPixelSize(12);
  setFont(small);
  setFixedSize(EditorLayout::kWidth / kTwipsPerPixel, EditorLayout::kHeight / kTwipsPerPixel);
  // The window manager tells the frame it gives the editor once it knows it.
  frames_.on_reported = [this](NativeWindow window) {
    if (own_frame_guessed_ && isVisible() && window == internalWinId()) PlaceOverMainWindow();
  };
  BuildControls();
  SetTabOrder();
  ConnectControls();
  QtEditorWindow::Render(editor_.State());  // this class's own, as it is being made
}

QtEditorWindow::~QtEditorWindow() {
  frames_.on_reported = nullptr;
}

void QtEditorWindow::BuildControls() {
  List1Box = new QListWidget(this);
  List1Box->setSelectionMode(QAbstractItemView::SingleSelection);
  List1Box->setGeometry(TwipsRect(EditorLayout::kList1));
  Label1 = new QLabel(QString::fromUtf8(texts::kDueTime), this);
  Label1->setGeometry(TwipsRect(EditorLayout::kLabel1));
  Text1 = MakeBox("00", false, this);
  Text1->setGeometry(TwipsRect(EditorLayout::kText1));
  VScroll1 = new TimeSpinner(23, this);
  VScroll1->setGeometry(TwipsRect(EditorLayout::kVScroll1));
  Text4 = MakeBox("00", false, this);
  Text4->setGeometry(TwipsRect(EditorLayout::kText4));
  VScroll2 = new TimeSpinner(59, this);
  VScroll2->setGeometry(TwipsRect(EditorLayout::kVScroll2));
  Text5 = MakeBox("00", false, this);
  Text5->setGeometry(TwipsRect(EditorLayout::kText5));
  VScroll3 = new TimeSpinner(59, this);
  VScroll3->setGeometry(TwipsRect(EditorLayout::kVScroll3));
  Command1 = new QPushButton(QString::fromUtf8(texts::kSoundButton), this);
  Command1->setGeometry(TwipsRect(EditorLayout::kCommand1));
  Check1 = new QCheckBox(QString::fromUtf8(texts::kRepeat), this);
  Check1->setGeometry(TwipsRect(EditorLayout::kCheck1));
  Check2 = new QCheckBox(QString::fromUtf8(texts::kCountLimit), this);
  Check2->setGeometry(TwipsRect(EditorLayout::kCheck2));
  Text2 = MakeBox("1", false, this);
  Text2->setGeometry(TwipsRect(EditorLayout::kText2));
  Combo1 = new QComboBox(this);
  Combo1->setEditable(true);
  Combo1->setInsertPolicy(QComboBox::NoInsert);
  for (std::string_view item : kUnitItems) Combo1->addItem(Q(item));
  Combo1->setGeometry(TwipsRect(EditorLayout::kCombo1));
  Label2 = new QLabel(QString::fromUtf8(texts::kEvery), this);
  Label2->setGeometry(TwipsRect(EditorLayout::kLabel2));
  Text3 = MakeBox("1", false, this);
  Text3->setGeometry(TwipsRect(EditorLayout::kText3));
  Label3 = new QLabel(QString::fromUtf8(texts::kTimes), this);
  Label3->setGeometry(TwipsRect(EditorLayout::kLabel3));
  Command2 = new QPushButton(QString::fromUtf8(texts::kRegister), this);
  Command2->setGeometry(TwipsRect(EditorLayout::kCommand2));
}

// The focus moves in the order of the window's table; labels take no focus and are left out.
void QtEditorWindow::SetTabOrder() {
  QWidget* const chain[] = {List1Box, Text1, Text2,    Check1,   Text3,    VScroll1, Text4,
                            VScroll2, Text5, VScroll3, Command1, Command2, Combo1,   Check2};
  for (std::size_t i = 1; i < std::size(chain); ++i) setTabOrder(chain[i - 1], chain[i]);
}

void QtEditorWindow::ConnectControls() {
  const auto spinner_reports = [this](TimeSpinner* spinner, TimePart part) {
    connect(spinner, &QScrollBar::valueChanged, this,
            [this, spinner, part] { editor_.SpinnerChange(part, spinner->Value()); });
  };
  spinner_reports(VScroll1, TimePart::kHour);
  spinner_reports(VScroll2, TimePart::kMinute);
  spinner_reports(VScroll3, TimePart::kSecond);
  connect(Check1, &QCheckBox::toggled, this, [this](bool on) { editor_.Check1Click(on); });
  connect(Check2, &QCheckBox::toggled, this, [this](bool on) { editor_.Check2Click(on); });
  // Only a line the user selects (a click, the arrow keys) fills the fields: the focus entering
  // the list makes its first line current without selecting it, and leaves the fresh entry be.
  connect(List1Box, &QListWidget::itemSelectionChanged, this, [this] {
    const QListWidgetItem* current = List1Box->currentItem();
    editor_.List1Click(current != nullptr && current->isSelected() ? List1Box->currentRow() : -1);
  });
  connect(List1Box, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { editor_.List1Click(List1Box->row(item)); });
  connect(Command1, &QPushButton::clicked, this, [this] { editor_.Command1Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { editor_.Command2Click(); });
  ConnectTexts();
  for (QWidget* watched : {static_cast<QWidget*>(List1Box), static_cast<QWidget*>(Command1),
                           static_cast<QWidget*>(Text2), static_cast<QWidget*>(Text3)}) {
    watched->installEventFilter(this);
  }
}

void QtEditorWindow::ConnectTexts() {
  connect(Text2, &QLineEdit::textChanged, this, [this](const QString& text) {
    editor_.TextChange(EntryText::kInterval, text.toStdString());
  });
  connect(Text3, &QLineEdit::textChanged, this, [this](const QString& text) {
    editor_.TextChange(EntryText::kCount, text.toStdString());
  });
  connect(Combo1, &QComboBox::editTextChanged, this, [this](const QString& text) {
    editor_.TextChange(EntryText::kUnit, text.toStdString());
  });
  // The unit box is narrow: it shows the start of its text, the letter a line takes.
  connect(Combo1, &QComboBox::activated, this, [this](int item) {
    editor_.UnitChosen(item);
    Combo1->lineEdit()->setCursorPosition(0);
  });
}

void QtEditorWindow::Render(const EditorState& state) {
  ShowText(Text1, state.entry.hour);
  ShowText(Text4, state.entry.minute);
  ShowText(Text5, state.entry.second);
  ShowValue(VScroll1, state.spinners[0]);
  ShowValue(VScroll2, state.spinners[1]);
  ShowValue(VScroll3, state.spinners[2]);
  ShowChecked(Check1, state.entry.repeat);
  ShowChecked(Check2, state.entry.count_limit);
  ShowText(Text2, state.entry.interval);
  ShowText(Text3, state.entry.count);
  Text2->setEnabled(state.IntervalEnabled());
  Combo1->setEnabled(state.IntervalEnabled());
  Text3->setEnabled(state.CountEnabled());
  ShowUnit(state);
  Command1->setToolTip(Q(state.SoundTip()));
  ShowSelection(state.selected);
}

void QtEditorWindow::ShowUnit(const EditorState& state) {
  const QSignalBlocker quiet(Combo1);
  if (Combo1->currentIndex() != state.entry.unit_item) {
    Combo1->setCurrentIndex(state.entry.unit_item);
  }
  if (Combo1->currentText() != Q(state.entry.unit)) {
    Combo1->setEditText(Q(state.entry.unit));
    Combo1->lineEdit()->setCursorPosition(0);
  }
}

// Selections made here raise none of the user's events.
void QtEditorWindow::ShowSelection(int row) {
  const QListWidgetItem* current = List1Box->currentItem();
  const int shown = current != nullptr && current->isSelected() ? List1Box->currentRow() : -1;
  if (shown == row) return;
  const QSignalBlocker quiet(List1Box);
  List1Box->setCurrentRow(row);
}

void QtEditorWindow::ShowLines(const std::vector<std::string>& lines) {
  const QSignalBlocker quiet(List1Box);
  QStringList items;
  items.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::string& line : lines) items.append(Q(line));
  List1Box->clear();
  List1Box->addItems(items);
}

void QtEditorWindow::InsertLine(int row, const std::string& line) {
  const QSignalBlocker quiet(List1Box);
  List1Box->insertItem(row, Q(line));
}

void QtEditorWindow::RemoveLine(int row) {
  const QSignalBlocker quiet(List1Box);
  delete List1Box->takeItem(row);
}

void QtEditorWindow::ShowOverMainWindow() {
  if (!isVisible()) frames_.Request(winId());
  PlaceOverMainWindow();
  show();
}

void QtEditorWindow::Hide() {
  hide();
}

// Placed by its own area, which the window manager keeps where it is asked to put it.
void QtEditorWindow::PlaceOverMainWindow() {
  const std::optional<PixelMargins> reported = frames_.Reported(internalWinId());
  const PixelMargins main_frame = FrameOf(main_window_, frames_);
  const PixelMargins frame = EditorFrame(reported, QtFrame(*this), main_frame);
  own_frame_guessed_ = !reported.has_value();
  const PixelPoint at =
      EditorPosition(FromQRect(main_window_.geometry()), main_frame, FromQSize(size()), frame);
  setGeometry(QRect(ToQPoint(at), size()));
}

bool QtEditorWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == List1Box && event->type() == QEvent::KeyPress) {
    const bool is_delete = static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete;
    if (editor_.List1KeyDown(is_delete ? kDeleteKey : 0)) return true;
  }
  if (watched == Command1 && event->type() == QEvent::MouseButtonPress) {
    const auto button = ButtonOf(static_cast<QMouseEvent*>(event)->button());
    if (button) editor_.Command1MouseDown(*button);
  }
  if (watched == Text2 && event->type() == QEvent::FocusOut)
    editor_.LostFocus(EntryText::kInterval);
  if (watched == Text3 && event->type() == QEvent::FocusOut) editor_.LostFocus(EntryText::kCount);
  return QWidget::eventFilter(watched, event);
}

// Closing hands the editor's lines back to the main list; it is never refused.
void QtEditorWindow::closeEvent(QCloseEvent* event) {
  editor_.Close();
  event->accept();
}

}  // namespace kelmora
