// Narrowing carries the user's choices in the result list back into the target list, so that the next
// search (or a join) works only on the files the user kept. Files that did not take part in the search
// go; of the others, a file is checked again when the first match row of its results is checked.
#include <unordered_map>

#include "platform/cp932.h"
#include "workspace/row_text.h"
#include "workspace/texts.h"
#include "workspace/workspace.h"

namespace kelvane {

void Workspace::N3Click() { NarrowTargets(); }
void Workspace::ToolButton11Click() { NarrowTargets(); }

void Workspace::File3Click() {
  NarrowTargets();
  EnterJoinMode();
  BuildJoinList();
}

void Workspace::NarrowTargets() {
  setEnabled({"undoB", "Repeat1"}, true);
  {
    CheckList::Batch batch(CheckListBoxUNDO);
    std::vector<CheckRow> saved = CheckListBox1.rows();
    saved.push_back({texts().markerNarrow, false, false});
    CheckListBoxUNDO.assign(std::move(saved));
  }
  CheckList::Batch batch(CheckListBox1);
  // Unchecked file rows go, checked ones are unchecked; folder header rows stay for now.
  std::vector<CheckRow> kept;
  for (const CheckRow& row : CheckListBox1.rows()) {
    if (row.header) {
      kept.push_back(row);
    } else if (row.checked) {
      kept.push_back({row.text, false, false});
    }
  }
  // The same file may stand in the list under two letter cases; a header names every one of them.
  std::unordered_map<std::string, std::vector<std::size_t>> byPath;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (!kept[i].header) byPath[cp932::upper(kept[i].text)].push_back(i);
  }
  // Walking upwards, keep holds at each header the check state of the match row right below it.
  const std::vector<CheckRow>& results = CheckListBox3.rows();
  bool keep = false;
  for (std::size_t i = results.size(); i-- > 0;) {
    if (!results[i].header) {
      keep = results[i].checked;
      continue;
    }
    if (keep) {
      const auto found = byPath.find(cp932::upper(headerRowPath(results[i].text)));
      if (found != byPath.end()) {
        for (std::size_t k : found->second) kept[k].checked = true;
      }
    }
    keep = true;
  }
  CheckListBox1.assign(std::move(kept));
  RemoveEmptyFolders();
  changed();
}

}  // namespace kelvane
