#pragma once
// The options dialog (TForm2, "設定画面"): extension groups, subfolders, search options, the join
// separator, the split mode and the external editor. The logic is OptionsForm's; this window shows
// its state and forwards the person's changes and clicks. Filled each time it is shown (not when it
// gets the focus back from its own message boxes, which would throw away the person's edits).
#include <QDialog>
#include <memory>

#include "settings/options_form.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kelvane {

class TForm2 : public QDialog {
  Q_OBJECT
 public:
  // host must outlive the dialog. port answers the dialog's questions; nullptr for Qt's boxes.
  explicit TForm2(OptionsHost& host, QWidget* parent = nullptr, DialogPort* port = nullptr);
  ~TForm2() override;

  const OptionsForm& form() const { return form_; }

  void Button2Click();         // "更新"
  void ButtonEditPathClick();  // "..."

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void buildExtensions(QWidget* parent);
  void buildSearchOptions(QWidget* parent);
  void buildEditor(QWidget* parent);
  QCheckBox* checkBox(int number, const char* caption, QWidget* parent);
  // The controls from the form's state; widget signals are held meanwhile.
  void refresh();

  OptionsHost& host_;
  std::unique_ptr<DialogPort> ownPort_;
  DialogPort* port_;
  OptionsForm form_;

  QGroupBox* GroupBox1 = nullptr;
  QGroupBox* GroupBox2 = nullptr;
  QGroupBox* GroupBox3 = nullptr;
  QGroupBox* GroupBox4 = nullptr;
  QGroupBox* GroupBox5 = nullptr;
  QCheckBox* CheckBox[13] = {};  // CheckBox1 .. CheckBox12
  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QRadioButton* RadioButton[4] = {};  // RadioButton1 .. RadioButton3
  QCheckBox* EditC = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* EditPath = nullptr;
  QPushButton* ButtonEditPath = nullptr;
  QLabel* EditL1 = nullptr;
  QLineEdit* EditE1 = nullptr;
  QLabel* EditL2 = nullptr;
  QLabel* EditL3 = nullptr;
  QLineEdit* EditE2 = nullptr;
  QLabel* EditL4 = nullptr;
};

}  // namespace kelvane
