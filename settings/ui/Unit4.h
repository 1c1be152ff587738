#pragma once
// The display settings dialog (TForm4, "表示の設定"): colours and font sizes of the main window's
// three lists, the two highlight colours, the font sizes of the tool bar's boxes and of the status
// bar, and whether the status bar and the upper tool bar are shown. Filled from the settings file
// once, when it is made; after that its controls keep what the person leaves in them, "Cancel"
// included, and the next "更新" writes that.
#include <QDialog>
#include <memory>

#include "settings/display_form.h"

class QCheckBox;
class QTabWidget;

namespace kelvane {

class ColorField;
class NumberField;

class TForm4 : public QDialog {
  Q_OBJECT
 public:
  // host must outlive the dialog. port answers the dialog's questions; nullptr for Qt's boxes.
  explicit TForm4(DisplayHost& host, QWidget* parent = nullptr, DialogPort* port = nullptr);
  ~TForm4() override;

  // Selects the first tab ("検索モード"), as the main window's menu item does after the dialog closed.
  void selectFirstTab();
  // Selects tab index (0..3); the editor's "表示設定" returns the dialog to its "Editer" tab.
  void selectTab(int index);
  QTabWidget* pages() const { return PageControl1; }
  // The values the controls hold now.
  DisplaySettings values() const;

  void Button2Click();  // "更新"

 private:
  QWidget* buildListTab(int tab);
  void pushValues(const DisplaySettings& values);

  DisplayHost& host_;
  std::unique_ptr<DialogPort> ownPort_;
  DialogPort* port_;
  DisplayForm form_;

  QTabWidget* PageControl1 = nullptr;
  ColorField* ColorBoxKMoji = nullptr;
  ColorField* ColorBoxOMoji = nullptr;
  ColorField* ColorBox[13] = {};  // ColorBox1 .. ColorBox12: per list header back, header text, back, text
  NumberField* SpinEdit[6] = {};  // SpinEdit1 .. SpinEdit5
  QCheckBox* CheckBox1 = nullptr;
  QCheckBox* CheckBox2 = nullptr;
};

}  // namespace kelvane
