#include "settings/ui/dialog_buttons.h"

#include <QPushButton>

#include "settings/ui/dialog_texts.h"

namespace kelvane {

QDialogButtonBox* makeDialogButtons(QDialog* dialog, const char* okCaption) {
  auto* buttons = new QDialogButtonBox(dialog);
  auto* ok = buttons->addButton(QString::fromUtf8(okCaption), QDialogButtonBox::AcceptRole);
  ok->setObjectName("Button2");
  auto* cancel = buttons->addButton(QString::fromUtf8(dialog_texts::kCancel), QDialogButtonBox::RejectRole);
  cancel->setObjectName("Button1");
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

}  // namespace kelvane
