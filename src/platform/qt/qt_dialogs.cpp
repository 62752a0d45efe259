#include "platform/qt/qt_dialogs.h"

#include <QApplication>
#include <QColor>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "core/user_texts.h"
#include "platform/qt/qt_convert.h"

namespace kelmora {
namespace {

int ShowMessage(const std::string& text, QMessageBox::StandardButtons buttons,
                QMessageBox::StandardButton default_button) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(texts::kTitle),
                  QString::fromStdString(text), buttons);
  box.setDefaultButton(default_button);
  box.setAttribute(Qt::WA_QuitOnClose, false);
  return box.exec();
}

std::string RunFileDialog(QFileDialog::AcceptMode mode, const std::string& start_path,
                          const std::vector<FileFilter>& filters, int selected_filter) {
  QFileDialog dialog;
  dialog.setAttribute(Qt::WA_QuitOnClose, false);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                     : QFileDialog::AnyFile);
  QStringList names;
  for (const FileFilter& filter : filters) names << NameFilter(filter);
  dialog.setNameFilters(names);
  if (selected_filter >= 1 && selected_filter <= names.size()) {
    dialog.selectNameFilter(names[selected_filter - 1]);
  }
  if (!start_path.empty()) {
    const QFileInfo start(QString::fromStdString(start_path));
    dialog.setDirectory(start.absolutePath());
    dialog.selectFile(start.fileName());
  }
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList chosen = dialog.selectedFiles();
  return chosen.isEmpty() ? std::string() : chosen.first().toStdString();
}

}  // namespace

QString NameFilter(const FileFilter& filter) {
  return QStringLiteral("%1 (%2)").arg(QString::fromStdString(filter.description),
                                       QString::fromStdString(filter.pattern));
}

void QtMessageBoxes::Notice(const std::string& text) {
  ShowMessage(text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtMessageBoxes::AskYesNo(const std::string& text) {
  return ShowMessage(text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
         QMessageBox::Yes;
}

void QtMessageBoxes::CloseOpenBox() {
  if (QWidget* box = QApplication::activeModalWidget()) box->close();
}

std::optional<ColorValue> QtColorDialog::Pick(ColorValue current) {
  QColorDialog dialog(ToQColor(current));
  dialog.setAttribute(Qt::WA_QuitOnClose, false);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QColor chosen = dialog.selectedColor();
  if (!chosen.isValid()) return std::nullopt;
  return FromQColor(chosen);
}

std::string QtFileDialog::Open(const std::string& start_path,
                               const std::vector<FileFilter>& filters, int selected_filter) {
  return RunFileDialog(QFileDialog::AcceptOpen, start_path, filters, selected_filter);
}

std::string QtFileDialog::Save(const std::string& start_path,
                               const std::vector<FileFilter>& filters, int selected_filter) {
  return RunFileDialog(QFileDialog::AcceptSave, start_path, filters, selected_filter);
}

}  // namespace kelmora
