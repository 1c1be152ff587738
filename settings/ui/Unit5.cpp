#include "settings/ui/Unit5.h"

#include <QVBoxLayout>

#include "settings/ui/dialog_buttons.h"
#include "settings/ui/dialog_texts.h"

namespace kelvane {

TForm5::TForm5(QWidget* parent) : QDialog(parent) {
  setObjectName("TForm5");
  setWindowTitle(QString::fromUtf8(dialog_texts::kHistoryCaption));
  setModal(true);
  auto* buttons = makeDialogButtons(this, dialog_texts::kOk);
  auto* layout = new QVBoxLayout(this);
  layout->addStretch(1);
  layout->addWidget(buttons);
  setFixedSize(380, 400);
}

}  // namespace kelvane
