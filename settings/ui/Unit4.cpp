#include "settings/ui/Unit4.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "settings/ui/color_field.h"
#include "settings/ui/dialog_buttons.h"
#include "settings/ui/dialog_texts.h"
#include "settings/ui/number_field.h"
#include "settings/ui/qt_dialog_port.h"

namespace kelvane {
namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

constexpr int kTabWidth = 77;

}  // namespace

TForm4::TForm4(DisplayHost& host, QWidget* parent, DialogPort* port)
    : QDialog(parent),
      host_(host),
      ownPort_(port ? nullptr : new QtDialogPort(this)),
      port_(port ? port : ownPort_.get()) {
  setObjectName("TForm4");
  setWindowTitle(u(dialog_texts::kDisplayCaption));
  setModal(true);

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName("PageControl1");
  PageControl1->setTabPosition(QTabWidget::South);
  // Tabs of one fixed width; a smaller font lets the longest caption ("File結合モード") fit in it.
  PageControl1->tabBar()->setStyleSheet(
      QString("QTabBar::tab { width: %1px; padding: 3px 0px; font-size: 11px; }").arg(kTabWidth));
  PageControl1->tabBar()->setElideMode(Qt::ElideNone);
  const char* captions[] = {dialog_texts::kDisplayTabSearch, dialog_texts::kDisplayTabJoin,
                            dialog_texts::kDisplayTabTarget};
  for (int tab = 1; tab <= 3; ++tab) PageControl1->addTab(buildListTab(tab), u(captions[tab - 1]));
  PageControl1->addTab(new QWidget(PageControl1), u(dialog_texts::kEditorCaption));

  auto* below = new QGridLayout;
  SpinEdit[4] = new NumberField(0, std::nullopt, this);
  SpinEdit[5] = new NumberField(0, std::nullopt, this);
  SpinEdit[4]->setObjectName("SpinEdit4");
  SpinEdit[5]->setObjectName("SpinEdit5");
  for (int i = 4; i <= 5; ++i) SpinEdit[i]->setMinimumWidth(64);
  // Each label names its field, for the keyboard and for a screen reader.
  auto* boxSize = new QLabel(u(dialog_texts::kDispBoxSize), this);
  boxSize->setBuddy(SpinEdit[4]);
  auto* statusSize = new QLabel(u(dialog_texts::kDispStatusSize), this);
  statusSize->setBuddy(SpinEdit[5]);
  below->addWidget(boxSize, 0, 0);
  below->addWidget(SpinEdit[4], 0, 1);
  below->addWidget(statusSize, 1, 0);
  below->addWidget(SpinEdit[5], 1, 1);
  CheckBox1 = new QCheckBox(u(dialog_texts::kDispToolBar), this);
  CheckBox1->setObjectName("CheckBox1");
  CheckBox2 = new QCheckBox(u(dialog_texts::kDispStatusBar), this);
  CheckBox2->setObjectName("CheckBox2");
  below->addWidget(CheckBox1, 0, 2);
  below->addWidget(CheckBox2, 1, 2);
  below->setColumnStretch(3, 1);

  QDialogButtonBox* buttons = makeDialogButtons(this, dialog_texts::kUpdate);
  disconnect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::accepted, this, &TForm4::Button2Click);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PageControl1, 1);
  layout->addLayout(below);
  layout->addWidget(buttons);

  form_.FormCreate(Profile(host_.settingsPath()), *port_);
  pushValues(form_.values);
  setFixedSize(sizeHint());
}

TForm4::~TForm4() = default;

QWidget* TForm4::buildListTab(int tab) {
  auto* page = new QWidget(PageControl1);
  auto* layout = new QVBoxLayout(page);
  auto* top = new QFormLayout;
  if (tab == 1) {
    ColorBoxKMoji = new ColorField(page);
    ColorBoxKMoji->setObjectName("ColorBoxKMoji");
    ColorBoxOMoji = new ColorField(page);
    ColorBoxOMoji->setObjectName("ColorBoxOMoji");
    top->addRow(u(dialog_texts::kDispSearchText), ColorBoxKMoji);
    top->addRow(u(dialog_texts::kDispReplaceText), ColorBoxOMoji);
  }
  SpinEdit[tab] = new NumberField(kMinFontSize, kMaxFontSize, page);
  SpinEdit[tab]->setObjectName(QString("SpinEdit%1").arg(tab));
  top->addRow(u(dialog_texts::kDispFontSize), SpinEdit[tab]);
  layout->addLayout(top);

  auto* groups = new QHBoxLayout;
  const char* groupCaptions[] = {dialog_texts::kDispGroupHeader, dialog_texts::kDispGroupNormal};
  for (int g = 0; g < 2; ++g) {
    auto* group = new QGroupBox(u(groupCaptions[g]), page);
    auto* form = new QFormLayout(group);
    for (int k = 0; k < 2; ++k) {
      const int number = (tab - 1) * 4 + g * 2 + k + 1;
      ColorBox[number] = new ColorField(group);
      ColorBox[number]->setObjectName(QString("ColorBox%1").arg(number));
      form->addRow(u(k == 0 ? dialog_texts::kDispBack : dialog_texts::kDispText), ColorBox[number]);
    }
    groups->addWidget(group);
  }
  layout->addLayout(groups);
  layout->addStretch(1);
  return page;
}

void TForm4::pushValues(const DisplaySettings& v) {
  for (int tab = 1; tab <= 3; ++tab) {
    const ListDisplay& d = v.tabs[tab - 1];
    const int first = (tab - 1) * 4 + 1;
    ColorBox[first]->setColor(d.headerBack);
    ColorBox[first + 1]->setColor(d.headerText);
    ColorBox[first + 2]->setColor(d.back);
    ColorBox[first + 3]->setColor(d.text);
    SpinEdit[tab]->setValue(d.fontSize);
  }
  ColorBoxKMoji->setColor(v.searchTextColor);
  ColorBoxOMoji->setColor(v.replaceTextColor);
  SpinEdit[4]->setValue(v.boxFontSize);
  SpinEdit[5]->setValue(v.statusBarFontSize);
  CheckBox1->setChecked(v.toolBarVisible);
  CheckBox2->setChecked(v.statusBarVisible);
}

DisplaySettings TForm4::values() const {
  DisplaySettings v;
  for (int tab = 1; tab <= 3; ++tab) {
    ListDisplay& d = v.tabs[tab - 1];
    const int first = (tab - 1) * 4 + 1;
    d.headerBack = ColorBox[first]->color();
    d.headerText = ColorBox[first + 1]->color();
    d.back = ColorBox[first + 2]->color();
    d.text = ColorBox[first + 3]->color();
    d.fontSize = SpinEdit[tab]->value();
  }
  v.searchTextColor = ColorBoxKMoji->color();
  v.replaceTextColor = ColorBoxOMoji->color();
  v.boxFontSize = SpinEdit[4]->value();
  v.statusBarFontSize = SpinEdit[5]->value();
  v.toolBarVisible = CheckBox1->isChecked();
  v.statusBarVisible = CheckBox2->isChecked();
  return v;
}

void TForm4::selectFirstTab() { selectTab(0); }

void TForm4::selectTab(int index) { PageControl1->setCurrentIndex(index); }

void TForm4::Button2Click() {
  form_.values = values();
  if (form_.Button2Click(host_, *port_)) accept();
}

}  // namespace kelvane
