// One level of undo. Every undoable operation leaves in the hidden list what its undo needs and a last
// marker row naming the operation; Undo dispatches on that row. Each branch is its own function, so
// that the join and split branches can grow without touching the others.
#include <algorithm>

#include "platform/files.h"
#include "platform/line_list.h"
#include "workspace/texts.h"
#include "workspace/workspace.h"

namespace kelvane {

namespace {

// The rows before the marker row.
std::vector<std::string> rowsBeforeMarker(const CheckList& hidden) {
  std::vector<std::string> texts;
  for (int i = 0; i + 1 < hidden.count(); ++i) texts.push_back(hidden.text(i));
  return texts;
}

}  // namespace

void Workspace::undoBClick() { Undo(); }
void Workspace::Repeat1Click() { Undo(); }

void Workspace::Undo() {
  const WorkspaceTexts& t = texts();
  setEnabled({"undoB", "OverWriteB", "Repeat1", "N12"}, false);
  changed();
  if (CheckListBoxUNDO.empty()) {
    ui_.showMessage(t.cannotUndo);
    return;
  }
  const std::string marker = CheckListBoxUNDO.text(CheckListBoxUNDO.count() - 1);
  if (marker == t.markerNarrow) {
    undoNarrowing();
  } else if (marker == t.markerReplace) {
    UndoReplacePreview();
  } else if (marker == t.markerJoin) {
    undoJoin();
  } else if (marker == t.markerSplit) {
    undoSplit();
  } else if (marker == t.markerOverwrite) {
    undoOverwrite();
  }
}

void Workspace::UndoReplacePreview() {
  setEnabled({"undoB", "OverWriteB", "Repeat1", "N12"}, false);
  ReplacePending = false;
  ReplaceText.clear();
  unreplaced_.clear();
  CheckList::Batch batch(CheckListBox3);
  // The hidden list holds, at the index of each result row, the text the row does not show.
  const int rows = std::min(CheckListBox3.count(), CheckListBoxUNDO.count() - 1);
  for (int i = 0; i < rows; ++i) {
    const CheckRow& hidden = CheckListBoxUNDO.row(i);
    if (CheckListBox3.isChecked(i)) {
      CheckListBox3.setText(i, hidden.text);
      CheckListBox3.setChecked(i, false);
    }
    if (!CheckListBox3.isHeader(i)) CheckListBox3.setChecked(i, hidden.checked);
  }
  CheckListBoxUNDO.clear();
  changed();
}

void Workspace::undoNarrowing() {
  if (!ui_.confirmOkCancel(texts().askUndoNarrow)) return;
  CheckListBox3.clear();
  CheckListBox2.clear();
  std::vector<CheckRow> rows(CheckListBoxUNDO.rows().begin(), CheckListBoxUNDO.rows().end() - 1);
  CheckListBox1.assign(std::move(rows));
  CheckListBoxUNDO.clear();
}

// The file the join saved is deleted; a file it replaced comes back from its copy instead.
void Workspace::undoJoin() {
  const WorkspaceTexts& t = texts();
  if (!ui_.confirmOkCancel(t.askUndoJoin)) return;
  for (int i = 0; i + 1 < CheckListBoxUNDO.count(); ++i) {
    const std::string path = CheckListBoxUNDO.text(i);
    if (CheckListBoxUNDO.isHeader(i)) {
      restoreReplaced(path);
      continue;
    }
    const std::string named = t.newFile + "\"" + path + "\"";
    if (!files::fileExists(path)) {
      ui_.showMessage(named + t.notFound);
      continue;
    }
    ui_.showMessage(named + (files::deleteFile(path) ? t.deleteOk : t.deleteNg));
  }
  CheckListBoxUNDO.clear();
}

// The pieces the split wrote are deleted, each announced first; a file a piece replaced comes back
// from its copy, and a file of a piece's name that the split did not write stays.
void Workspace::undoSplit() {
  const WorkspaceTexts& t = texts();
  if (!ui_.confirmOkCancel(t.askUndoSplit)) return;
  for (int i = 0; i + 1 < CheckListBoxUNDO.count(); ++i) {
    const std::string path = CheckListBoxUNDO.text(i);
    const std::string named = t.newFile + "\"" + path + "\"";
    if (!files::fileExists(path)) {
      ui_.showMessage(named + t.notFound);
      continue;
    }
    if (!CheckListBoxUNDO.isChecked(i)) {
      ui_.showMessage(named + t.pieceLeftAlone);
      continue;
    }
    if (CheckListBoxUNDO.isHeader(i)) {
      restoreReplaced(path);
      continue;
    }
    ui_.showMessage(named + t.willDelete);
    ui_.showMessage(named + (files::deleteFile(path) ? t.deleteOk : t.deleteNg));
  }
  CheckListBoxUNDO.clear();
}

// Each file the overwrite wrote is put back from its copy, but only while it still holds exactly what
// the overwrite wrote: an edit made since is never thrown away. Files the overwrite did not write
// (cancelled, without checked rows, left alone) need nothing.
void Workspace::undoOverwrite() {
  const WorkspaceTexts& t = texts();
  if (!ui_.confirmOkCancel(t.askUndoOverwrite)) return;
  for (const std::string& copy : rowsBeforeMarker(CheckListBoxUNDO)) {
    const auto record = std::find_if(overwritten_.begin(), overwritten_.end(),
                                     [&](const OverwriteRecord& r) { return r.copy == copy; });
    if (record == overwritten_.end() || !record->written) continue;
    const std::string named = t.overwrittenFile + "\"" + record->file + "\"";
    std::string now;
    try {
      now = files::readFile(record->file);
    } catch (const files::FileError& error) {
      ui_.showMessage(named + t.restoreNg + "\r\n" + error.what());
      continue;
    }
    if (now.size() != record->size || writtenHash(now) != record->hash) {
      ui_.showMessage(named + t.restoreNg + "\r\n" + t.changedSinceWrite);
      continue;
    }
    try {
      files::restoreCopy(copy, record->file);
      ui_.showMessage(named + t.restoreOk);
    } catch (const files::FileError& error) {
      ui_.showMessage(named + t.restoreNg + "\r\n" + error.what());
    }
  }
  overwritten_.clear();
  CheckListBoxUNDO.clear();
}

}  // namespace kelvane
