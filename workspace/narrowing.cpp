// Narrowing carries the user's choices in the result list back into the target list, so that the next
// search (or a join) works only on the files the user kept. Files that did not take part in the search
// go; of the others, a file is checked again when the first match row of its results is checked.
#include <unordered_map>

#include "platform/cp932.h"
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
  // A pending preview is ended first, as entering the join tab ends it: after the narrowing no row may
  // still show a replaced text that no overwrite would write.
  if (ReplacePending()) replace_.undoPreview();
  setEnabled({"undoB", "Repeat1"}, true);
  setUndo(undo::Narrowing{CheckListBox1.rows(), targetPaths_});
  CheckList::Batch batch(CheckListBox1);
  // Unchecked file rows go, checked ones are unchecked; folder header rows stay for now.
  std::vector<CheckRow> kept;
  for (const CheckRow& row : CheckListBox1.rows()) {
    if (row.header) {
      kept.push_back(row);
    } else if (row.checked) {
      kept.push_back({row.text, false, false, row.record});
    }
  }
  // The same file may stand in the list under two letter cases; a header names every one of them.
  std::unordered_map<std::string, std::vector<std::size_t>> byPath;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    const std::string* path = kept[i].header ? nullptr : targetPaths_.find(kept[i]);
    if (path) byPath[cp932::upper(*path)].push_back(i);
  }
  // Walking upwards, keep holds at each header the check state of the match row right below it.
  const std::vector<CheckRow>& results = CheckListBox3.rows();
  bool keep = false;
  for (std::size_t i = results.size(); i-- > 0;) {
    if (!results[i].header) {
      keep = results[i].checked;
      continue;
    }
    const ResultRecord* record = results_.find(results[i]);
    if (keep && record) {
      const auto found = byPath.find(cp932::upper(results_.path(*record)));
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
