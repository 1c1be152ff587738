#pragma once
// The about box: the product name with its version, the program's icon and a Close button.
#include <QDialog>

class QLabel;

namespace kelvane {

class TForm3 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm3(QWidget* parent = nullptr);

  // The product line exactly as shown ("Kelvane　　　Ver,1.1.2").
  QString productText() const;

 private:
  QLabel* productLabel_ = nullptr;
};

}  // namespace kelvane
