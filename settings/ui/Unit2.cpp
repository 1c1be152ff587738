#include "settings/ui/Unit2.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "qtcommon/qt_text.h"
#include "settings/ui/dialog_buttons.h"
#include "settings/ui/dialog_texts.h"
#include "settings/ui/qt_dialog_port.h"

namespace kelvane {
namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

template <class W>
W* named(W* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

}  // namespace

TForm2::TForm2(OptionsHost& host, QWidget* parent, DialogPort* port)
    : QDialog(parent),
      host_(host),
      ownPort_(port ? nullptr : new QtDialogPort(this)),
      port_(port ? port : ownPort_.get()) {
  setObjectName("TForm2");
  setWindowTitle(u(dialog_texts::kOptionsCaption));
  setModal(true);

  auto* layout = new QVBoxLayout(this);
  buildExtensions(this);
  layout->addWidget(GroupBox1);
  layout->addWidget(CheckBox[7]);
  buildSearchOptions(this);
  auto* middle = new QHBoxLayout;
  middle->addWidget(GroupBox2);
  middle->addWidget(GroupBox3, 1);
  layout->addLayout(middle);
  layout->addWidget(GroupBox4);
  buildEditor(this);
  layout->addWidget(GroupBox5);

  QDialogButtonBox* buttons = makeDialogButtons(this, dialog_texts::kUpdate);
  // "更新" closes only after its questions and its save.
  disconnect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::accepted, this, &TForm2::Button2Click);
  layout->addWidget(buttons);

  refresh();
  setFixedSize(sizeHint());
}

TForm2::~TForm2() = default;

QCheckBox* TForm2::checkBox(int number, const char* caption, QWidget* parent) {
  auto* box = new QCheckBox(u(caption), parent);
  box->setObjectName(QString("CheckBox%1").arg(number));
  CheckBox[number] = box;
  connect(box, &QCheckBox::toggled, this, [this, number](bool on) {
    form_.setCheckBox(number, on);
    refresh();
  });
  return box;
}

void TForm2::buildExtensions(QWidget* parent) {
  GroupBox1 = named(new QGroupBox(u(dialog_texts::kOptGroupExtensions), parent), "GroupBox1");
  auto* grid = new QGridLayout(GroupBox1);
  // The captions are padded with blanks to line up their colons, which needs a fixed-pitch font.
  QFont fixed("IPAGothic");
  fixed.setStyleHint(QFont::Monospace);
  const std::pair<int, const char*> boxes[] = {{1, dialog_texts::kOptCheckBox1}, {2, dialog_texts::kOptCheckBox2},
                                               {3, dialog_texts::kOptCheckBox3}, {4, dialog_texts::kOptCheckBox4},
                                               {5, dialog_texts::kOptCheckBox5}, {12, dialog_texts::kOptCheckBox12},
                                               {6, dialog_texts::kOptCheckBox6}};
  int row = 0;
  for (const auto& [number, caption] : boxes) {
    QCheckBox* box = checkBox(number, caption, GroupBox1);
    box->setFont(fixed);
    grid->addWidget(box, row++, 0, 1, number == 6 ? 1 : 2);
  }
  CheckBox[12]->setEnabled(false);
  Edit1 = named(new QLineEdit(GroupBox1), "Edit1");
  // The field has no label of its own; the check box in front of it says what it holds.
  Edit1->setAccessibleName(u(dialog_texts::kOptCheckBox6));
  grid->addWidget(Edit1, row - 1, 1);
  connect(Edit1, &QLineEdit::textChanged, this, [this](const QString& text) { form_.setEdit1(toCp932(text)); });
  checkBox(7, dialog_texts::kOptCheckBox7, parent);
}

void TForm2::buildSearchOptions(QWidget* parent) {
  GroupBox2 = named(new QGroupBox(u(dialog_texts::kOptGroupSearch), parent), "GroupBox2");
  auto* search = new QVBoxLayout(GroupBox2);
  search->addWidget(checkBox(10, dialog_texts::kOptCheckBox10, GroupBox2));
  search->addWidget(checkBox(8, dialog_texts::kOptCheckBox8, GroupBox2));
  search->addWidget(checkBox(9, dialog_texts::kOptCheckBox9, GroupBox2));
  // Kept for their settings, which still travel through the dialog, but not offered.
  CheckBox[10]->setVisible(false);
  CheckBox[9]->setVisible(false);

  GroupBox3 = named(new QGroupBox(u(dialog_texts::kOptGroupJoin), parent), "GroupBox3");
  auto* join = new QVBoxLayout(GroupBox3);
  Edit2 = named(new QLineEdit(GroupBox3), "Edit2");
  join->addWidget(Edit2);
  connect(Edit2, &QLineEdit::textChanged, this, [this](const QString& text) { form_.setEdit2(toCp932(text)); });
  join->addWidget(checkBox(11, dialog_texts::kOptCheckBox11, GroupBox3));
  CheckBox[11]->setVisible(false);

  GroupBox4 = named(new QGroupBox(u(dialog_texts::kOptGroupSplit), parent), "GroupBox4");
  auto* split = new QVBoxLayout(GroupBox4);
  auto* group = new QButtonGroup(GroupBox4);
  const char* captions[] = {nullptr, dialog_texts::kOptRadioButton1, dialog_texts::kOptRadioButton2,
                            dialog_texts::kOptRadioButton3};
  for (int i = 1; i <= 3; ++i) {
    RadioButton[i] = new QRadioButton(u(captions[i]), GroupBox4);
    RadioButton[i]->setObjectName(QString("RadioButton%1").arg(i));
    group->addButton(RadioButton[i], i);
    split->addWidget(RadioButton[i]);
  }
  connect(group, &QButtonGroup::idToggled, this, [this](int id, bool on) {
    if (on) form_.setSplitChoice(id);
  });
}

void TForm2::buildEditor(QWidget* parent) {
  GroupBox5 = named(new QGroupBox(u(dialog_texts::kOptGroupEditor), parent), "GroupBox5");
  auto* grid = new QGridLayout(GroupBox5);
  EditC = named(new QCheckBox(u(dialog_texts::kOptEditC), GroupBox5), "EditC");
  connect(EditC, &QCheckBox::toggled, this, [this](bool on) {
    form_.setEditC(on);
    refresh();
  });
  grid->addWidget(EditC, 0, 0, 1, 4);

  Label1 = named(new QLabel(u(dialog_texts::kOptLabel1), GroupBox5), "Label1");
  EditPath = named(new QLineEdit(GroupBox5), "EditPath");
  EditPath->setReadOnly(true);
  EditPath->setMinimumWidth(260);
  ButtonEditPath = named(new QPushButton(u(dialog_texts::kOptButtonEditPath), GroupBox5), "ButtonEditPath");
  ButtonEditPath->setFixedWidth(32);
  connect(ButtonEditPath, &QPushButton::clicked, this, &TForm2::ButtonEditPathClick);
  // A label is what a screen reader names its field by.
  Label1->setBuddy(EditPath);
  grid->addWidget(Label1, 1, 0);
  grid->addWidget(EditPath, 1, 1, 1, 2);
  grid->addWidget(ButtonEditPath, 1, 3);

  EditL1 = named(new QLabel(u(dialog_texts::kOptEditL1), GroupBox5), "EditL1");
  EditE1 = named(new QLineEdit(GroupBox5), "EditE1");
  EditL2 = named(new QLabel(u(dialog_texts::kOptEditL2), GroupBox5), "EditL2");
  connect(EditE1, &QLineEdit::textChanged, this, [this](const QString& text) { form_.setEditE1(toCp932(text)); });
  EditL1->setBuddy(EditE1);
  grid->addWidget(EditL1, 2, 0);
  grid->addWidget(EditE1, 2, 1);
  grid->addWidget(EditL2, 2, 2, 1, 2);

  EditL3 = named(new QLabel(u(dialog_texts::kOptEditL3), GroupBox5), "EditL3");
  EditE2 = named(new QLineEdit(GroupBox5), "EditE2");
  EditL4 = named(new QLabel(u(dialog_texts::kOptEditL4), GroupBox5), "EditL4");
  connect(EditE2, &QLineEdit::textChanged, this, [this](const QString& text) { form_.setEditE2(toCp932(text)); });
  EditL3->setBuddy(EditE2);
  grid->addWidget(EditL3, 3, 0);
  grid->addWidget(EditE2, 3, 1);
  grid->addWidget(EditL4, 3, 2, 1, 2);
  // The search word option is kept in the settings but not offered.
  for (QWidget* w : {static_cast<QWidget*>(EditL3), static_cast<QWidget*>(EditE2), static_cast<QWidget*>(EditL4)})
    w->setVisible(false);
}

void TForm2::refresh() {
  const OptionsControls& c = form_.controls();
  std::vector<std::unique_ptr<QSignalBlocker>> hold;
  auto set = [&hold](QObject* o) { hold.push_back(std::make_unique<QSignalBlocker>(o)); };
  for (int n = 1; n <= 12; ++n) {
    set(CheckBox[n]);
    CheckBox[n]->setChecked(c.CheckBox[n]);
  }
  CheckBox[8]->setEnabled(c.CheckBox8Enabled);
  CheckBox[9]->setEnabled(c.CheckBox9Enabled);
  for (QLineEdit* e : {Edit1, Edit2, EditPath, EditE1, EditE2}) set(e);
  auto text = [](QLineEdit* e, const std::string& value) {
    if (toCp932(e->text()) != value) e->setText(toQ(value));
  };
  text(Edit1, c.Edit1);
  text(Edit2, c.Edit2);
  text(EditPath, c.EditPath);
  text(EditE1, c.EditE1);
  text(EditE2, c.EditE2);
  for (int i = 1; i <= 3; ++i) {
    set(RadioButton[i]);
    if (c.splitChoice == i) RadioButton[i]->setChecked(true);
  }
  set(EditC);
  EditC->setChecked(c.EditC);
  for (QWidget* w : std::initializer_list<QWidget*>{EditL1, EditL2, EditL3, EditL4, EditE1, EditE2, EditPath, Label1})
    w->setEnabled(c.editorControlsEnabled);
}

void TForm2::showEvent(QShowEvent* event) {
  // A window brought back from the task bar is shown again by the system: the fill-in is for the
  // dialog's own showing only.
  if (!event->spontaneous()) {
    const Profile profile(host_.settingsPath());
    form_.FormActivate(host_.settings(), profile);
    refresh();
  }
  QDialog::showEvent(event);
}

void TForm2::Button2Click() {
  for (QLineEdit* e : {Edit1, Edit2, EditE1, EditE2}) {
    if (!toCp932Exact(e->text())) {
      port_->showMessage(toCp932(u(dialog_texts::kTextNotCp932)));
      e->setFocus();
      return;
    }
  }
  const bool close = form_.Button2Click(host_, *port_);
  refresh();
  if (close) accept();
}

void TForm2::ButtonEditPathClick() {
  form_.ButtonEditPathClick(*port_);
  refresh();
}

}  // namespace kelvane
