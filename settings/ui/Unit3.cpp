#include "settings/ui/Unit3.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "kelvane_version.h"
#include "settings/ui/dialog_texts.h"

namespace kelvane {

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
  setObjectName("TForm3");
  setWindowTitle(QString::fromUtf8(dialog_texts::kAboutCaption));
  setModal(true);

  auto* icon = new QLabel(this);
  icon->setObjectName("ProgramIcon");
  icon->setPixmap(QIcon(":/kelvane/icons/kelvane.png").pixmap(48, 48));

  productLabel_ =
      new QLabel(QString::fromUtf8(dialog_texts::kAboutProduct) + QString::fromLatin1(kKelvaneVersion), this);
  productLabel_->setObjectName("ProductName");
  productLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* close = new QPushButton(QString::fromUtf8(dialog_texts::kAboutClose), this);
  close->setObjectName("OKButton");
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  auto* top = new QHBoxLayout;
  top->addWidget(icon);
  top->addSpacing(12);
  top->addWidget(productLabel_, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(close);
  bottom->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(20, 20, 20, 14);
  layout->addLayout(top);
  layout->addSpacing(16);
  layout->addLayout(bottom);
  setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
}

QString TForm3::productText() const { return productLabel_->text(); }

}  // namespace kelvane
