#pragma once
// The history cleanup dialog: removes entries from the search and folder histories.
// For now the window exists with its caption and its buttons; its controls come with its own work.
#include <QDialog>

namespace kelvane {

class TForm5 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm5(QWidget* parent = nullptr);
};

}  // namespace kelvane
