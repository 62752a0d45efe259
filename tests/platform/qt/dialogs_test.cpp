#include "platform/qt/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "qt_app.h"

namespace kelmora {
namespace {

// Runs act on the modal dialog as soon as it is shown, from inside its own event loop.
template <typename Dialog>
void WhenShown(std::function<void(Dialog*)> act) {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, [poll, act] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    act(dialog);
  });
  poll->start(0);
}

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::EnsureQApplication(); }
};

TEST_F(DialogTest, NoticeHasTheProgramCaptionNoIconAndOk) {
  QString caption, text;
  QMessageBox::Icon icon = QMessageBox::Warning;
  QMessageBox::StandardButtons buttons;
  WhenShown<QMessageBox>([&](QMessageBox* box) {
    caption = box->windowTitle();
    text = box->text();
    icon = box->icon();
    buttons = box->standardButtons();
    box->button(QMessageBox::Ok)->click();
  });
  QtMessageBoxes().Notice("更新時間を 0.001 以上に設定して下さい");
  EXPECT_EQ(caption, QStringLiteral("!Kelmora"));
  EXPECT_EQ(text, QString::fromUtf8("更新時間を 0.001 以上に設定して下さい"));
  EXPECT_EQ(icon, QMessageBox::NoIcon);
  EXPECT_EQ(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

struct AnswerCase {
  const char* name;
  std::function<void(QMessageBox*)> answer;
  bool expected;
};

void PrintTo(const AnswerCase& c, std::ostream* out) {
  *out << c.name;
}

class AskYesNoTest : public DialogTest, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(AskYesNoTest, YesIsTheDefault) {
  QString caption;
  QMessageBox::StandardButtons buttons;
  WhenShown<QMessageBox>([&](QMessageBox* box) {
    caption = box->windowTitle();
    buttons = box->standardButtons();
    EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()), box->button(QMessageBox::Yes));
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    GetParam().answer(box);
  });
  EXPECT_EQ(QtMessageBoxes().AskYesNo("上書きしますか？"), GetParam().expected);
  EXPECT_EQ(caption, QStringLiteral("!Kelmora"));
  EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, AskYesNoTest,
    ::testing::Values(
        AnswerCase{"Yes", [](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); }, true},
        AnswerCase{"No", [](QMessageBox* box) { box->button(QMessageBox::No)->click(); }, false},
        AnswerCase{"Enter", [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); }, true},
        AnswerCase{"Escape", [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); },
                   false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogTest, ColourDialogStartsAtTheCurrentColourRedInTheLowByte) {
  QColor shown;
  WhenShown<QColorDialog>([&](QColorDialog* dialog) {
    shown = dialog->currentColor();
    dialog->setCurrentColor(QColor(200, 100, 50));
    dialog->accept();
  });
  const std::optional<ColorValue> picked = QtColorDialog().Pick(Rgb(10, 20, 30));
  EXPECT_EQ(shown, QColor(10, 20, 30));
  ASSERT_TRUE(picked.has_value());
  EXPECT_EQ(*picked, 200 | (100 << 8) | (50 << 16));
}

TEST_F(DialogTest, ColourDialogCancelledGivesNothing) {
  WhenShown<QColorDialog>([](QColorDialog* dialog) { dialog->reject(); });
  EXPECT_EQ(QtColorDialog().Pick(Rgb(1, 2, 3)), std::nullopt);
}

class FileDialogTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    ASSERT_TRUE(folder.isValid());
    QFile file(sound);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }

  QTemporaryDir folder;
  const QString sound = folder.filePath("bell.wav");
  const std::vector<FileFilter> filters{{"すべてのファイル", "*"}, {"音楽ファイル", "*.wav"}};
};

TEST_F(FileDialogTest, OpenListsTheFiltersInOrderAndStartsAtTheCurrentFile) {
  QStringList names;
  QString selected_filter, start_folder;
  QFileDialog::AcceptMode mode = QFileDialog::AcceptSave;
  WhenShown<QFileDialog>([&](QFileDialog* dialog) {
    names = dialog->nameFilters();
    selected_filter = dialog->selectedNameFilter();
    start_folder = dialog->directory().absolutePath();
    mode = dialog->acceptMode();
    static_cast<QDialog*>(dialog)->accept();  // takes the preselected file
  });
  const std::string chosen = QtFileDialog().Open(sound.toStdString(), filters, 2);
  EXPECT_EQ(names, QStringList({QString::fromUtf8("すべてのファイル (*)"),
                                QString::fromUtf8("音楽ファイル (*.wav)")}));
  EXPECT_EQ(selected_filter, QString::fromUtf8("音楽ファイル (*.wav)"));
  EXPECT_EQ(start_folder, folder.path());
  EXPECT_EQ(mode, QFileDialog::AcceptOpen);
  EXPECT_EQ(chosen, sound.toStdString());
}

TEST_F(FileDialogTest, SaveSelectsTheFirstFilterWhenAskedTo) {
  QString selected_filter;
  QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
  WhenShown<QFileDialog>([&](QFileDialog* dialog) {
    selected_filter = dialog->selectedNameFilter();
    mode = dialog->acceptMode();
    dialog->reject();
  });
  EXPECT_EQ(QtFileDialog().Save(sound.toStdString(), filters, 1), "");
  EXPECT_EQ(selected_filter, QString::fromUtf8("すべてのファイル (*)"));
  EXPECT_EQ(mode, QFileDialog::AcceptSave);
}

TEST_F(FileDialogTest, CancelGivesTheEmptyText) {
  WhenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
  EXPECT_EQ(QtFileDialog().Open(sound.toStdString(), filters, 2), "");
}

}  // namespace
}  // namespace kelmora
