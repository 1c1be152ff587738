#include "settings/ui/Unit4.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "settings/ui/dialog_texts.h"

namespace kelvane {

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
  setObjectName("TForm4");
  setWindowTitle(QString::fromUtf8(dialog_texts::kDisplayCaption));
  setModal(true);
  auto* buttons = new QDialogButtonBox(this);
  auto* ok = buttons->addButton(QString::fromUtf8(dialog_texts::kUpdate), QDialogButtonBox::AcceptRole);
  ok->setObjectName("Button2");
  auto* cancel = buttons->addButton(QString::fromUtf8(dialog_texts::kCancel), QDialogButtonBox::RejectRole);
  cancel->setObjectName("Button1");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
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
