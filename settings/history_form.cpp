// The history cleanup dialog's logic. The lists are made again from the boxes at every showing, so a
// cancelled cleanup leaves no marks behind.
#include "settings/history_form.h"

#include <algorithm>

#include "settings/form_texts.h"
#include "settings/settings.h"

namespace kelvane {

void HistoryForm::FormActivate(const HistoryHost& host) {
  CheckListBox1.clear();
  for (std::string& s : host.searchHistory()) CheckListBox1.push_back({std::move(s), false, true});
  CheckListBox2.clear();
  for (std::string& f : host.folderHistory()) {
    const bool fixed = f == fixedFolderEntry();
    CheckListBox2.push_back({std::move(f), fixed, !fixed});
  }
  showHint();
}

void HistoryForm::CheckListBoxAllClickCheck() { showHint(); }

void HistoryForm::showHint() {
  status_ = formTexts().uncheckedRemoved;
  timer1_ = true;
}

void HistoryForm::setAllChecks(int list, bool on) {
  std::vector<HistoryRow>* rows = list == 1 ? &CheckListBox1 : list == 2 ? &CheckListBox2 : nullptr;
  if (!rows) return;
  for (HistoryRow& row : *rows) row.checked = on;
}

void HistoryForm::Timer1Timer() {
  status_.clear();
  timer1_ = false;
}

void HistoryForm::Button1Click(HistoryHost& host) {
  std::erase_if(CheckListBox1, [](const HistoryRow& r) { return !r.checked; });
  std::erase_if(CheckListBox2, [](const HistoryRow& r) { return !r.checked && !r.header; });
  std::vector<std::string> search, folders;
  for (const HistoryRow& r : CheckListBox1) search.push_back(r.text);
  for (const HistoryRow& r : CheckListBox2) folders.push_back(r.text);
  host.setHistories(std::move(search), std::move(folders));
}

}  // namespace kelvane
