#include "settings/ui/Unit5.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/ui/dialog_texts.h"

namespace kelvane {

TForm5::TForm5(QWidget* parent) : QDialog(parent) {
  setObjectName("TForm5");
  setWindowTitle(QString::fromUtf8(dialog_texts::kHistoryCaption));
  setModal(true);
  auto* buttons = new QDialogButtonBox(this);
  auto* ok = buttons->addButton(QString::fromUtf8(dialog_texts::kOk), QDialogButtonBox::AcceptRole);
  ok->setObjectName("Button2");
  auto* cancel = buttons->addButton(QString::fromUtf8(dialog_texts::kCancel), QDialogButtonBox::RejectRole);
  cancel->setObjectName("Button1");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addStretch(1);
  layout->addWidget(buttons);
  setFixedSize(380, 400);
}

}  // namespace kelvane
