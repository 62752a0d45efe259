// Every text the two windows, their controls and the program's message boxes show is drawn with
// real glyphs in the font Qt uses for it, fallback fonts included. Without a Japanese font Qt
// finds no font for a kanji or kana and draws glyph 0 (.notdef), the empty box.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QGlyphRun>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTextLayout>
#include <QToolTip>
#include <filesystem>
#include <memory>
#include <vector>

#include "alarm/alarm_list.h"
#include "app/form1.h"
#include "app/qt_main_window.h"
#include "core/user_texts.h"
#include "core/date_time.h"
#include "editor/qt/qt_editor_window.h"
#include "fakes/fake_services.h"
#include "platform/qt/qt_dialogs.h"
#include "qt_app.h"
#include "temp_folder.h"

namespace kelmora {
namespace {

namespace fs = std::filesystem;

struct ShownText {
  QString text;
  QFont font;
  QString where;
};

// The characters of text that Qt draws as the box in font: laid out one by one, so each box
// names its character; a glyph index of 0 in any run is .notdef.
QString Boxes(const QString& text, const QFont& font) {
  QString boxes;
  for (const char32_t character : text.toUcs4()) {
    if (QChar::category(character) == QChar::Other_Control) continue;
    QTextLayout layout(QString::fromUcs4(&character, 1), font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    for (const QGlyphRun& run : layout.glyphRuns()) {
      if (run.glyphIndexes().contains(0)) boxes += QString::fromUcs4(&character, 1);
    }
  }
  return boxes;
}

// The texts a window and its controls show, each with the widget's font. The items of list
// boxes are the user's data and are left out.
std::vector<ShownText> TextsOf(QWidget& window, const QString& name) {
  std::vector<ShownText> texts{{window.windowTitle(), window.font(), name + " title"}};
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    const auto add = [&](const QString& text) {
      texts.push_back({text, widget->font(),
                       name + " " + QString::fromLatin1(widget->metaObject()->className())});
    };
    if (auto* label = qobject_cast<QLabel*>(widget)) add(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) add(button->text());
    if (auto* line = qobject_cast<QLineEdit*>(widget)) add(line->text());
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
      for (int i = 0; i < combo->count(); ++i) add(combo->itemText(i));
    }
  }
  return texts;
}

// The fixed parts of the program's message boxes.
const char* const kMessages[] = {
    "更新時間を 0.001 以上に設定して下さい",
    "上書きしますか？",
    "削除してもよいですか？",
    AlarmList::kFullNotice,
    " 件を読み込めません",
    " を読めません: ",
    " に書き込めません: ",
    "タブや改行を含む名前のファイルは使えません: ",
    "アラーム",  // the summary of an alarm's notification, and its action 停止
    "停止",
};

class JapaneseGlyphs : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureQApplication();
    fakes_.paths.data_folder = folder_;
  }
  void TearDown() override {
    form_.reset();
    window_.reset();
  }
  void Start() {
    window_ = std::make_unique<QtMainWindow>(fakes_.Get());
    form_ = std::make_unique<Form1>(fakes_.Get(), *window_);
    window_->Attach(*form_);
    form_->Load();
  }
  // One line for each text drawn with boxes: where, the text and the characters without glyphs.
  static void ExpectGlyphs(const std::vector<ShownText>& texts) {
    std::string faults;
    for (const ShownText& shown : texts) {
      const QString boxes = Boxes(shown.text, shown.font);
      if (boxes.isEmpty()) continue;
      faults += shown.where.toStdString() + " \"" + shown.text.toStdString() + "\" in " +
                shown.font.family().toStdString() + ": boxes for " + boxes.toStdString() + "\n";
    }
    EXPECT_TRUE(faults.empty()) << faults
                                << "No installed font has these characters: install a "
                                   "Japanese font.";
  }

  testing::TempFolder temp_{"glyphs"};
  fs::path folder_ = temp_.path();
  fakes::FakeServices fakes_;
  std::unique_ptr<QtMainWindow> window_;
  std::unique_ptr<Form1> form_;
};

TEST_F(JapaneseGlyphs, TheCheckSeesTheBoxOfACharacterNoFontHas) {
  const QString private_use = QString::fromUcs4(U"a\U000F0001b");
  EXPECT_EQ(Boxes(private_use, QApplication::font()), QString::fromUcs4(U"\U000F0001"));
}

TEST_F(JapaneseGlyphs, BothWindowsShowRealGlyphs) {
  Start();  // the first start shows the window and builds its controls
  ASSERT_TRUE(window_->isVisible());
  window_->Command2->click();
  ASSERT_NE(form_->Editor(), nullptr);
  ExpectGlyphs(TextsOf(*window_, "main window"));
  ExpectGlyphs(TextsOf(dynamic_cast<QWidget&>(window_->EditorWindow(*form_->Editor())),
                       "alarm editor"));
}

TEST_F(JapaneseGlyphs, MessageBoxesFileFiltersAndTipsShowRealGlyphs) {
  std::vector<ShownText> texts;
  for (const char* message : kMessages) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(texts::kTitle),
                    QString::fromUtf8(message), QMessageBox::Yes | QMessageBox::No);
    for (ShownText& shown : TextsOf(box, "message box")) texts.push_back(std::move(shown));
  }
  Start();
  for (const FileFilter& filter : form_->CommonDialog1().filters) {
    texts.push_back({NameFilter(filter), QApplication::font("QComboBox"), "file dialog filter"});
  }
  for (unsigned day = 9; day < 16; ++day) {  // a week of tips: the weekday is a kanji
    const std::string tip = FormatDateTime(*MakeDateTime(2003, 11, day, 14, 7), "hh:mm aaa");
    texts.push_back({QString::fromStdString(tip), QToolTip::font(), "tip"});
  }
  ExpectGlyphs(texts);
}

}  // namespace
}  // namespace kelmora
