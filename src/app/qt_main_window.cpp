#include "app/qt_main_window.h"

#include <QCloseEvent>
#include <QFrame>
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>

#include "app/form1.h"
#include "app/main_window_layout.h"
#include "core/twips.h"
#include "core/user_texts.h"
#include "editor/qt/qt_editor_window.h"
#include "platform/qt/qt_convert.h"

namespace kelmora {
namespace {

namespace layout = MainWindowLayout;

// A mode list: its first entry, then the five digit modes (AddCmb).
QComboBox* MakeModeList(QWidget* parent, const char* first) {
  auto* list = new QComboBox(parent);
  list->addItem(QString::fromUtf8(first));
  for (const char* name : texts::kDigitModes) list->addItem(QString::fromUtf8(name));
  return list;
}

QLabel* MakeColourLabel(QWidget* parent, int index) {
  auto* label = new QLabel(QString::fromUtf8(texts::kColourLabels.at(index)), parent);
  label->setAlignment(Qt::AlignCenter);
  label->setCursor(Qt::PointingHandCursor);
  label->setGeometry(TwipsRect(layout::kLabelLefts.at(index % 4), layout::kLabelTop,
                               layout::kLabelWidth, layout::kLabelHeight));
  return label;
}

// The label's caption in the colour value.
void PaintColourLabel(QLabel& label, ColorValue color) {
  QPalette palette = label.palette();
  palette.setColor(QPalette::WindowText, ToQColor(color));
  label.setPalette(palette);
}

}  // namespace

QtMainWindow::QtMainWindow(Services services) : services_(std::move(services)) {
  setWindowTitle(QString::fromUtf8(texts::kTitle));
  setFixedSize(layout::kWidth / kTwipsPerPixel, layout::kHeight / kTwipsPerPixel);
}

QtMainWindow::~QtMainWindow() = default;

void QtMainWindow::BuildControls() {
  Picture1 = new QLabel(this);
  Picture1->setGeometry(TwipsRect(layout::kPicture1));
  Text1 = new QLineEdit(this);
  Text1->setGeometry(TwipsRect(layout::kText1));
  auto* label1 = new QLabel(QString::fromUtf8(texts::kSeconds), this);
  label1->setGeometry(TwipsRect(layout::kLabel1));
  Command1 = new QPushButton(QString::fromUtf8(texts::kSet), this);
  Command1->setGeometry(TwipsRect(layout::kCommand1));
  Command2 = new QPushButton(QString::fromUtf8(texts::kOpenEditor), this);
  Command2->setGeometry(TwipsRect(layout::kCommand2));
  Combo1 = MakeModeList(this, texts::kAnalog);
  Combo1->setGeometry(TwipsRect(layout::kCombo1));
  auto* frame1 = new QFrame(this);
  frame1->setGeometry(TwipsRect(layout::kFrame1));
  Combo2 = MakeModeList(this, texts::kNoLowerLine);
  Combo2->setGeometry(TwipsRect(layout::kCombo2));
  auto* frame2 = new QFrame(this);
  frame2->setGeometry(TwipsRect(layout::kFrame2));
  for (QFrame* frame : {frame1, frame2}) frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
  for (int i = 0; i < 8; ++i) {
    Lb1.at(i) = MakeColourLabel(i < 4 ? frame1 : frame2, i);
    Lb1.at(i)->installEventFilter(this);
  }
  setTabOrder(Text1, Command1);
  setTabOrder(Command1, Command2);
  setTabOrder(Command2, Combo1);
  setTabOrder(Combo1, Combo2);
  ConnectControls();
}

void QtMainWindow::ConnectControls() {
  connect(Text1, &QLineEdit::textChanged, this,
          [this](const QString& text) { form_->IntervalEdited(text.toStdString()); });
  connect(Command1, &QPushButton::clicked, this, [this] { form_->Command1Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { form_->Command2Click(); });
  connect(Combo1, &QComboBox::activated, this,
          [this](int index) { form_->Combo1Click(static_cast<std::int16_t>(index)); });
  connect(Combo2, &QComboBox::activated, this,
          [this](int index) { form_->Combo2Click(static_cast<std::int16_t>(index)); });
}

void QtMainWindow::Render(const MainWindowState& state) {
  const MainWindowState before = std::exchange(state_, state);
  if (!Text1 || (controls_current_ && before == state_)) return;
  ShowState();
  controls_current_ = true;
}

// The controls take what changed; the preview's picture is made only when the face changed.
void QtMainWindow::ShowState() {
  const QString interval = QString::fromStdString(state_.interval_text);
  if (Text1->text() != interval) Text1->setText(interval);
  Combo1->setCurrentIndex(state_.mode1);
  Combo2->setCurrentIndex(state_.mode2);
  Combo2->setEnabled(state_.lower_line_choosable);
  for (int i = 0; i < 8; ++i) PaintColourLabel(*Lb1.at(i), state_.colours.at(i));
  if (preview_shown_ != state_.preview) {
    preview_shown_ = state_.preview;
    Picture1->setPixmap(QPixmap::fromImage(ToQImage(state_.preview)));
  }
}

void QtMainWindow::SetIcon(const IconImage& icon) {
  setWindowIcon(ToQIcon(icon));
}

EditorView& QtMainWindow::EditorWindow(Form2& editor) {
  if (!editor_window_)
    editor_window_ = std::make_unique<QtEditorWindow>(editor, services_.frames, *this);
  return *editor_window_;
}

void QtMainWindow::Restore() {
  showNormal();
  show();
  activateWindow();
  setFocus();
}

void QtMainWindow::KeepOnTop(bool on_top) {
  setWindowFlag(Qt::WindowStaysOnTopHint, on_top);
  show();
}

void QtMainWindow::Raise() {
  show();
  raise();
  activateWindow();
}

PixelSize QtMainWindow::OuterSize() const {
  const QRect frame = frameGeometry();
  return {frame.width(), frame.height()};
}

void QtMainWindow::showEvent(QShowEvent* event) {
  if (!Text1) {
    BuildControls();
    // Children added to a window already shown stay hidden until they are shown themselves.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) child->show();
  }
  QWidget::showEvent(event);
  form_->WindowChanged();  // the alarm check stops
}

void QtMainWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  form_->WindowChanged();  // the alarm check runs again
}

// The button-face colour is the face's background.
void QtMainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange) {
    form_->WindowChanged();
  }
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
  form_->CloseRequested();
  event->accept();
}

bool QtMainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    for (int i = 0; i < 8; ++i) {
      QLabel* label = Lb1.at(i);
      if (watched == label && label->rect().contains(static_cast<QMouseEvent*>(event)->pos())) {
        form_->Lb1Click(i);
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace kelmora
