#include "settings/ui/Unit2.h"

#include <QVBoxLayout>

#include "settings/ui/dialog_buttons.h"
#include "settings/ui/dialog_texts.h"

namespace kelvane {

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
  setObjectName("TForm2");
  setWindowTitle(QString::fromUtf8(dialog_texts::kOptionsCaption));
  setModal(true);
  auto* buttons = makeDialogButtons(this, dialog_texts::kUpdate);
  auto* layout = new QVBoxLayout(this);
  layout->addStretch(1);
  layout->addWidget(buttons);
  setFixedSize(420, 460);
}

}  // namespace kelvane
