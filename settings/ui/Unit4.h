#pragma once
// The display settings dialog: colours and font sizes of the main window's lists, boxes and status bar.
// For now the window exists with its caption and its buttons; its controls come with its own work.
#include <QDialog>

class QTabWidget;

namespace kelvane {

class TForm4 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm4(QWidget* parent = nullptr);

  // Selects the first tab ("検索モード"), as the main window's menu item does after the dialog closed.
  void selectFirstTab();
  // Selects tab index (0..3); the editor's "表示設定" returns the dialog to its "Editer" tab.
  void selectTab(int index);
  QTabWidget* pages() const { return PageControl1; }

 private:
  QTabWidget* PageControl1 = nullptr;
};

}  // namespace kelvane
