#pragma once
// The settings dialogs' questions as Qt message boxes and file chooser over the dialog.
#include <QPointer>
#include <QWidget>

#include "settings/dialog_port.h"

namespace kelvane {

class QtDialogPort : public DialogPort {
 public:
  explicit QtDialogPort(QWidget* parent) : parent_(parent) {}
  void showMessage(const std::string& text) override;
  void showError(const std::string& text) override;
  bool confirmOkCancel(const std::string& text) override;
  // Lists folders and the files the user may run; the desktop has no ".exe" to filter by.
  std::optional<std::string> chooseProgram(const std::string& title, const std::string& filterName) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace kelvane
