#pragma once
// The history cleanup dialog (TForm5, "検索条件削除") without its widgets: two checkable lists
// filled from the tool bar's boxes each time the dialog is shown; the rows left unchecked are taken
// out of the boxes on "Ok".
#include <string>
#include <vector>

namespace kelvane {

// The two histories of the main window's tool bar. Texts are CP932.
class HistoryHost {
 public:
  virtual ~HistoryHost() = default;
  virtual std::vector<std::string> searchHistory() const = 0;  // the pattern box's entries
  virtual std::vector<std::string> folderHistory() const = 0;  // the folder box's, fixed entry included
  // Both boxes get these entries, in order, and show no selected entry.
  virtual void setHistories(std::vector<std::string> search, std::vector<std::string> folders) = 0;
};

struct HistoryRow {
  std::string text;
  bool header = false;  // no check mark; kept whatever its checked flag says
  bool checked = false;
  bool operator==(const HistoryRow&) const = default;
};

class HistoryForm {
 public:
  // The lists: 1 the search strings, 2 the folders.
  std::vector<HistoryRow> CheckListBox1;
  std::vector<HistoryRow> CheckListBox2;
  const std::string& statusText() const { return status_; }
  bool timer1Enabled() const { return timer1_; }

  // The fill-in when the dialog is shown: every row from the boxes, checked; the folder box's fixed
  // entry a header row. Shows the hint in the status bar with the timer.
  void FormActivate(const HistoryHost& host);
  // The person changed a check mark in either list (the row already holds its new state).
  void CheckListBoxAllClickCheck();
  // "全てOn" / "全てOff" of the list's pop-up menu (1 or 2); any other list does nothing.
  void setAllChecks(int list, bool on);
  void Timer1Timer();
  // "Ok": unchecked rows (of the folders, unchecked rows other than the header) removed, and the
  // boxes replaced by what is left.
  void Button1Click(HistoryHost& host);

 private:
  void showHint();

  std::string status_;
  bool timer1_ = false;
};

}  // namespace kelvane
