#include "settings/ui/Unit2.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/ui/dialog_texts.h"

namespace kelvane {

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
  setObjectName("TForm2");
  setWindowTitle(QString::fromUtf8(dialog_texts::kOptionsCaption));
  setModal(true);
  auto* buttons = new QDialogButtonBox(this);
  auto* ok = buttons->addButton(QString::fromUtf8(dialog_texts::kUpdate), QDialogButtonBox::AcceptRole);
  ok->setObjectName("Button2");
  auto* cancel = buttons->addButton(QString::fromUtf8(dialog_texts::kCancel), QDialogButtonBox::RejectRole);
  cancel->setObjectName("Button1");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addStretch(1);
  layout->addWidget(buttons);
  setFixedSize(420, 460);
}

}  // namespace kelvane
