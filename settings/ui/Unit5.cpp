#include "settings/ui/Unit5.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "qtcommon/qt_colors.h"
#include "qtcommon/qt_text.h"
#include "settings/colors.h"
#include "settings/ui/dialog_buttons.h"
#include "settings/ui/dialog_texts.h"

namespace kelvane {
namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

constexpr std::uint32_t kClMedGray = 0xA4A0A0;
constexpr std::uint32_t kClGradientInactiveCaption = kSystemColorBase + 28;

}  // namespace

TForm5::TForm5(HistoryHost& host, QWidget* parent) : QDialog(parent), host_(host) {
  setObjectName("TForm5");
  setWindowTitle(u(dialog_texts::kHistoryCaption));
  setModal(true);
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  auto* lists = new QHBoxLayout;
  const char* captions[] = {dialog_texts::kHistGroupSearch, dialog_texts::kHistGroupFolders};
  const std::uint32_t headerColors[] = {kClMedGray, kClGradientInactiveCaption};
  for (int number = 1; number <= 2; ++number) {
    auto* group = new QGroupBox(u(captions[number - 1]), this);
    group->setObjectName(QString("GroupBox%1").arg(number));
    auto* layout = new QVBoxLayout(group);
    QListWidget* list = buildList(number, headerColors[number - 1]);
    // A screen reader names the list by its group and the count field by its label.
    list->setAccessibleName(u(captions[number - 1]));
    layout->addWidget(list, 1);
    // The count of entries to keep is shown as it always was; nothing reads it.
    auto* count = new QHBoxLayout;
    auto* label = new QLabel(u(dialog_texts::kHistSaveCount), group);
    label->setObjectName(QString("Label%1").arg(number));
    auto* spin = new QSpinBox(group);
    spin->setObjectName(QString("SpinEdit%1").arg(number));
    spin->setRange(0, 20);
    spin->setValue(0);
    label->setBuddy(spin);
    (number == 1 ? SpinEdit1 : SpinEdit2) = spin;
    count->addWidget(label);
    count->addWidget(spin);
    count->addStretch(1);
    layout->addLayout(count);
    lists->addWidget(group, 1);
  }

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(5000);
  connect(Timer1, &QTimer::timeout, this, [this] {
    form_.Timer1Timer();
    refreshStatus();
  });

  QDialogButtonBox* buttons = makeDialogButtons(this, dialog_texts::kOk);
  // Here "Ok" is Button1 and "Cancel" Button2.
  for (QAbstractButton* b : buttons->buttons())
    b->setObjectName(buttons->buttonRole(b) == QDialogButtonBox::AcceptRole ? "Button1" : "Button2");
  disconnect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::accepted, this, &TForm5::Button1Click);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(lists, 1);
  layout->addWidget(buttons);
  layout->addWidget(StatusBar1);
  setFixedSize(520, 400);
}

QListWidget* TForm5::buildList(int number, std::uint32_t headerColor) {
  auto* list = new QListWidget(this);
  list->setObjectName(QString("CheckListBox%1").arg(number));
  headerBack_[number] = toQColor(headerColor, list->palette(), list->palette().color(QPalette::Button));
  (number == 1 ? CheckListBox1 : CheckListBox2) = list;
  connect(list, &QListWidget::itemChanged, this, [this, number, list](QListWidgetItem* item) {
    rowChanged(number, list->row(item), item->checkState() == Qt::Checked);
  });

  QMenu* menu = new QMenu(list);
  menu->setObjectName(QString("PopupMenu%1").arg(number));
  QAction* on = menu->addAction(u(dialog_texts::kHistAllOn));
  QAction* off = menu->addAction(u(dialog_texts::kHistAllOff));
  on->setObjectName(number == 1 ? "N1" : "MenuItem1");
  off->setObjectName(number == 1 ? "Off1" : "MenuItem2");
  auto all = [this, number](bool checked) {
    form_.setAllChecks(number, checked);
    refreshList(number);
  };
  connect(on, &QAction::triggered, this, [all] { all(true); });
  connect(off, &QAction::triggered, this, [all] { all(false); });
  (number == 1 ? PopupMenu1 : PopupMenu2) = menu;
  list->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list, &QWidget::customContextMenuRequested, this,
          [list, menu](const QPoint& pos) { menu->popup(list->viewport()->mapToGlobal(pos)); });
  return list;
}

void TForm5::refreshList(int number) {
  QListWidget* list = this->list(number);
  const std::vector<HistoryRow>& rows = number == 1 ? form_.CheckListBox1 : form_.CheckListBox2;
  const QSignalBlocker hold(list);
  if (list->count() != static_cast<int>(rows.size())) {
    list->clear();
    for (std::size_t i = 0; i < rows.size(); ++i) list->addItem(new QListWidgetItem);
  }
  for (int i = 0; i < list->count(); ++i) {
    const HistoryRow& row = rows[static_cast<std::size_t>(i)];
    QListWidgetItem* item = list->item(i);
    item->setText(toQ(row.text));
    if (row.header) {
      // A header row has no check mark at all.
      item->setFlags(Qt::ItemIsEnabled);
      item->setData(Qt::CheckStateRole, QVariant());
      item->setBackground(headerBack_[number]);
    } else {
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
      item->setCheckState(row.checked ? Qt::Checked : Qt::Unchecked);
      item->setBackground(QBrush());
    }
  }
  list->viewport()->update();
}

void TForm5::refreshStatus() {
  StatusBar1->showMessage(toQ(form_.statusText()));
  // Enabling a running timer does not start its 5 seconds again.
  if (form_.timer1Enabled() && !Timer1->isActive()) Timer1->start();
  if (!form_.timer1Enabled()) Timer1->stop();
}

QString TForm5::statusText() const { return StatusBar1->currentMessage(); }

void TForm5::rowChanged(int number, int row, bool checked) {
  std::vector<HistoryRow>& rows = number == 1 ? form_.CheckListBox1 : form_.CheckListBox2;
  if (row < 0 || row >= static_cast<int>(rows.size()) || rows[static_cast<std::size_t>(row)].header) return;
  rows[static_cast<std::size_t>(row)].checked = checked;
  form_.CheckListBoxAllClickCheck();
  refreshStatus();
}

void TForm5::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    form_.FormActivate(host_);
    refreshList(1);
    refreshList(2);
    refreshStatus();
  }
  QDialog::showEvent(event);
}

void TForm5::Button1Click() {
  form_.Button1Click(host_);
  accept();
}

}  // namespace kelvane
