#include "settings/ui/qt_dialog_port.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QSortFilterProxyModel>

#include "platform/files.h"
#include "settings/ui/dialog_texts.h"
#include "workspace/ui/qt_text.h"

namespace kelvane {
namespace {

int ask(QWidget* parent, QMessageBox::Icon icon, const std::string& text, QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, QString::fromUtf8(dialog_texts::kMessageCaption), toQ(text), buttons, parent);
  box.setDefaultButton(QMessageBox::Ok);
  return box.exec();
}

// Keeps folders (to walk into) and the files the user may run.
class ProgramsOnly : public QSortFilterProxyModel {
 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;

 protected:
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
    auto* fs = qobject_cast<QFileSystemModel*>(sourceModel());
    if (!fs) return true;
    const QFileInfo info = fs->fileInfo(fs->index(row, 0, parent));
    return info.isDir() || info.isExecutable();
  }
};

}  // namespace

void QtDialogPort::showMessage(const std::string& text) {
  ask(parent_, QMessageBox::Information, text, QMessageBox::Ok);
}

void QtDialogPort::showError(const std::string& text) { ask(parent_, QMessageBox::Critical, text, QMessageBox::Ok); }

bool QtDialogPort::confirmOkCancel(const std::string& text) {
  return ask(parent_, QMessageBox::Question, text, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

std::optional<std::string> QtDialogPort::chooseProgram(const std::string& title, const std::string& filterName) {
  QFileDialog dialog(parent_, toQ(title));
  // The desktop's own chooser cannot be given the filter of runnable files.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilter(toQ(filterName) + " (*)");
  dialog.setProxyModel(new ProgramsOnly(&dialog));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  std::optional<std::string> path = files::fromNative(dialog.selectedFiles().front().toStdString());
  if (!path) showMessage(toCp932(QString::fromUtf8(dialog_texts::kPathNotCp932)));
  return path;
}

}  // namespace kelvane
