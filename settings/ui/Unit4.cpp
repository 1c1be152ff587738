#include "settings/ui/Unit4.h"

#include <QTabWidget>
#include <QVBoxLayout>

#include "settings/ui/dialog_buttons.h"
#include "settings/ui/dialog_texts.h"

namespace kelvane {

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
  setObjectName("TForm4");
  setWindowTitle(QString::fromUtf8(dialog_texts::kDisplayCaption));
  setModal(true);
  auto* buttons = makeDialogButtons(this, dialog_texts::kUpdate);
  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName("PageControl1");
  PageControl1->setTabPosition(QTabWidget::South);
  for (const char* caption : {dialog_texts::kDisplayTabSearch, dialog_texts::kDisplayTabJoin,
                              dialog_texts::kDisplayTabTarget, dialog_texts::kEditorCaption}) {
    PageControl1->addTab(new QWidget(PageControl1), QString::fromUtf8(caption));
  }
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PageControl1, 1);
  layout->addWidget(buttons);
  setFixedSize(440, 360);
}

void TForm4::selectFirstTab() { selectTab(0); }

void TForm4::selectTab(int index) { PageControl1->setCurrentIndex(index); }

}  // namespace kelvane
