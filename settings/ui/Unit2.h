#pragma once
// The options dialog: extension groups, search options, join and split options, external editor.
// For now the window exists with its caption and its buttons; its controls come with its own work.
#include <QDialog>

namespace kelvane {

class TForm2 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm2(QWidget* parent = nullptr);
};

}  // namespace kelvane
