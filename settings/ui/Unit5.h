#pragma once
// The history cleanup dialog (TForm5, "検索条件削除"): every entry of the tool bar's search string box
// and folder box with a check mark; "Ok" removes the unchecked ones from the boxes. The lists are
// made again each time the dialog is shown (not when it gets the focus back), so a cancelled
// cleanup leaves nothing behind and the person's marks are never reset under them.
#include <QDialog>

#include "settings/history_form.h"

class QListWidget;
class QMenu;
class QSpinBox;
class QStatusBar;
class QTimer;

namespace kelvane {

class TForm5 : public QDialog {
  Q_OBJECT
 public:
  // host must outlive the dialog.
  explicit TForm5(HistoryHost& host, QWidget* parent = nullptr);

  const HistoryForm& form() const { return form_; }
  QListWidget* list(int number) const { return number == 1 ? CheckListBox1 : CheckListBox2; }
  QMenu* popupMenu(int number) const { return number == 1 ? PopupMenu1 : PopupMenu2; }
  QString statusText() const;
  QTimer* timer() const { return Timer1; }

  void Button1Click();  // "Ok"

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QListWidget* buildList(int number, std::uint32_t headerColor);
  void refreshList(int number);
  void refreshStatus();
  void rowChanged(int number, int row, bool checked);

  HistoryHost& host_;
  HistoryForm form_;
  QListWidget* CheckListBox1 = nullptr;
  QListWidget* CheckListBox2 = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QMenu* PopupMenu2 = nullptr;
  QSpinBox* SpinEdit1 = nullptr;
  QSpinBox* SpinEdit2 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QTimer* Timer1 = nullptr;
  QColor headerBack_[3];
};

}  // namespace kelvane
