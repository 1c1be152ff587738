#include "qtcommon/qt_boxes.h"

#include <QFileDialog>
#include <QStringList>

#include "platform/files.h"
#include "qtcommon/qt_text.h"
#include "qtcommon/qt_texts.h"

namespace kelvane::qt_boxes {

QMessageBox::StandardButton ask(QWidget* parent, QMessageBox::Icon icon, const std::string& text,
                                QMessageBox::StandardButtons buttons, QMessageBox::StandardButton byDefault) {
  QMessageBox box(icon, QString::fromUtf8(qt_texts::kCaption), toQ(text), buttons, parent);
  box.setDefaultButton(byDefault);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

void inform(QWidget* parent, const std::string& text) {
  ask(parent, QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::Ok);
}

void warn(QWidget* parent, const std::string& text) {
  ask(parent, QMessageBox::Warning, text, QMessageBox::Ok, QMessageBox::Ok);
}

void error(QWidget* parent, const std::string& text) {
  ask(parent, QMessageBox::Critical, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool okCancel(QWidget* parent, const std::string& text) {
  return ask(parent, QMessageBox::Question, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) ==
         QMessageBox::Ok;
}

bool yesNo(QWidget* parent, const std::string& text) {
  return ask(parent, QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
         QMessageBox::Yes;
}

QString nativeFolder(const std::string& cp932Folder) {
  const std::optional<std::string> native = files::toNative(cp932Folder);
  return native ? QString::fromStdString(*native) : QString();
}

std::optional<std::string> chosenPath(QWidget* parent, const QString& native, bool folder) {
  if (native.isEmpty()) return std::nullopt;
  std::optional<std::string> path = files::fromNative(native.toStdString());
  if (!path) warn(parent, toCp932(QString::fromUtf8(folder ? qt_texts::kFolderNotCp932 : qt_texts::kFileNotCp932)));
  return path;
}

namespace {

QString filterText(const std::vector<Filter>& filters) {
  QStringList parts;
  for (const Filter& f : filters) parts << toQ(f.name) + " (" + toQ(f.pattern) + ")";
  if (parts.isEmpty()) parts << QString::fromUtf8(qt_texts::kAllFiles) + " (*)";
  return parts.join(";;");
}

}  // namespace

std::optional<std::string> chooseFile(QWidget* parent, const FileChoice& choice) {
  QFileDialog dialog(parent, toQ(choice.title), nativeFolder(choice.initialFolder), filterText(choice.filters));
  dialog.setAcceptMode(choice.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(choice.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (choice.save && !choice.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (!choice.defaultExtension.empty()) dialog.setDefaultSuffix(toQ(choice.defaultExtension));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return chosenPath(parent, dialog.selectedFiles().front(), false);
}

std::optional<std::string> chooseFolder(QWidget* parent, const std::string& prompt, const std::string& startFolder) {
  return chosenPath(parent, QFileDialog::getExistingDirectory(parent, toQ(prompt), nativeFolder(startFolder)), true);
}

}  // namespace kelvane::qt_boxes
