#include "settings/ui/qt_dialog_port.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>

#include "qtcommon/qt_boxes.h"
#include "qtcommon/qt_text.h"

namespace kelvane {
namespace {

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

void QtDialogPort::showMessage(const std::string& text) { qt_boxes::inform(parent_, text); }

void QtDialogPort::showError(const std::string& text) { qt_boxes::error(parent_, text); }

bool QtDialogPort::confirmOkCancel(const std::string& text) { return qt_boxes::okCancel(parent_, text); }

std::optional<std::string> QtDialogPort::chooseProgram(const std::string& title, const std::string& filterName) {
  QFileDialog dialog(parent_, toQ(title));
  // The desktop's own chooser cannot be given the filter of runnable files.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilter(toQ(filterName) + " (*)");
  dialog.setProxyModel(new ProgramsOnly(&dialog));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return qt_boxes::chosenPath(parent_, dialog.selectedFiles().front(), false);
}

}  // namespace kelvane
