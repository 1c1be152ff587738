// One level of undo. Every undoable operation leaves its UndoRecord (undo_record.h); Undo dispatches
// on the record's type, one function per kind. The hidden list shows the same record in its described
// rows with the marker row last, but nothing reads it back.
#include <algorithm>

#include "platform/files.h"
#include "workspace/texts.h"
#include "workspace/workspace.h"

namespace kelvane {

namespace {

template <class... F>
struct Overloaded : F... {
  using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

std::vector<CheckRow> previewRows(const undo::Preview& p, const std::vector<CheckRow>& results) {
  std::vector<CheckRow> rows;
  rows.reserve(p.other.size() + 1);
  for (std::size_t i = 0; i < p.other.size(); ++i) {
    const bool header = i < results.size() && results[i].header;
    const bool checked = !header && i < results.size() && results[i].checked;
    rows.push_back({p.other[i], header, checked});
  }
  rows.push_back({texts().markerReplace});
  return rows;
}

std::vector<CheckRow> savedRows(const std::vector<undo::SavedFile>& saved, const std::string& marker) {
  std::vector<CheckRow> rows;
  for (const undo::SavedFile& f : saved) rows.push_back({f.path, f.copied, f.written});
  rows.push_back({marker});
  return rows;
}

}  // namespace

std::vector<CheckRow> hiddenRows(const UndoRecord& record, const std::vector<CheckRow>& results) {
  const WorkspaceTexts& t = texts();
  return std::visit(Overloaded{
                        [](const undo::Nothing&) { return std::vector<CheckRow>(); },
                        [](const undo::Unmarked& r) {
                          std::vector<CheckRow> rows;
                          for (const std::string& text : r.rows) rows.push_back({text});
                          return rows;
                        },
                        [&](const undo::Preview& r) { return previewRows(r, results); },
                        [&](const undo::Overwrite& r) {
                          std::vector<CheckRow> rows;
                          for (const undo::OverwrittenFile& f : r.files) rows.push_back({f.copy});
                          rows.push_back({t.markerOverwrite});
                          return rows;
                        },
                        [&](const undo::Narrowing& r) {
                          std::vector<CheckRow> rows = r.rows;
                          rows.push_back({t.markerNarrow});
                          return rows;
                        },
                        [&](const undo::Join& r) { return savedRows({r.file}, t.markerJoin); },
                        [&](const undo::Split& r) { return savedRows(r.pieces, t.markerSplit); },
                    },
                    record);
}

void Workspace::undoBClick() { Undo(); }
void Workspace::Repeat1Click() { Undo(); }

void Workspace::Undo() {
  setEnabled({"undoB", "OverWriteB", "Repeat1", "N12"}, false);
  changed();
  // A preview is undone in place; every other branch works on its own (small) copy, since it ends by
  // replacing the record, or keeps it when the person cancels.
  if (ReplacePending()) {
    UndoReplacePreview();
    return;
  }
  UndoRecord record = undo_;
  std::visit(Overloaded{
                 [&](const undo::Nothing&) { ui_.showMessage(texts().cannotUndo); },
                 [](const undo::Unmarked&) {},
                 [](const undo::Preview&) {},
                 [&](const undo::Overwrite& r) { replace_.undoOverwrite(r); },
                 [&](undo::Narrowing& r) { undoNarrowing(r); },
                 [&](const undo::Join& r) { fileJoin_.undoSave(r); },
                 [&](const undo::Split& r) { fileSplit_.undoSave(r); },
             },
             record);
}

void Workspace::undoNarrowing(undo::Narrowing& record) {
  if (!ui_.confirmOkCancel(texts().askUndoNarrow)) return;
  CheckListBox3.clear();
  CheckListBox2.clear();
  targetPaths_ = std::move(record.paths);
  CheckListBox1.assign(std::move(record.rows));
  setUndo(undo::Nothing{});
}

}  // namespace kelvane
