// The file join: the checked target files listed with a short preview between separator rows,
// reordered, checked and edited by the person, then written one after another into a new file.
//
// The list keeps no file contents, only the path in each content row: the save reads every checked
// file again, so it writes what the files hold at that moment. It reads them all before it writes
// anything, so the new file may even be one of the files joined. A file a zero byte cuts short would
// be joined without its tail; such a file stops the save before anything is written. A file the save
// replaces is first copied to the temporary folder, so the undo can put it back.
#include "platform/files.h"
#include "platform/line_list.h"
#include "workspace/texts.h"
#include "workspace/workspace.h"

namespace kelvane {

namespace {

// How many files the build reads between two looks at the window's events.
constexpr int kFilesPerPump = 64;

// The preview of a file's lines: all of them below five, else the first two, "～～中略～～" and the
// last two; each line preceded by CR LF. With ignoreBlank the empty lines at both ends are left out
// (a file of empty lines only shows none).
std::string previewText(const std::vector<std::string>& lines, bool ignoreBlank) {
  std::size_t first = 0, last = lines.size();
  if (ignoreBlank) {
    while (last > 0 && lines[last - 1].empty()) --last;
    while (first < last && lines[first].empty()) ++first;
  }
  std::string text;
  auto add = [&text](const std::string& line) {
    text += "\r\n";
    text += line;
  };
  if (last - first >= 5) {
    add(lines[first]);
    add(lines[first + 1]);
    add(texts().omitted);
    add(lines[last - 2]);
    add(lines[last - 1]);
  } else {
    for (std::size_t i = first; i < last; ++i) add(lines[i]);
  }
  return text;
}

}  // namespace

void Workspace::DisableSearchMenus() {
  setEnabled({"N2", "Repeat1", "Find1", "Replace1", "N3", "N7"}, false);
  changed();
}

void Workspace::returnToJoinMode() {
  // The save of a list built here must be the join's, never a split of a list the split did not make.
  ProcessingMode = pmJoin;
  tabCaptions_[kTabJoin] = texts().tabJoin;
  joinDrag_ = true;
  splitPlan_.reset();
}

bool Workspace::addJoinContentRow(const std::string& path, const std::string& separator) {
  files::LineFile file;
  try {
    file = files::readLines(path);
  } catch (const files::FileError& error) {
    ui_.showError(error.what());
    return false;
  }
  NextRowSingleLine = true;
  if (!separator.empty()) CheckListBox2.add(separator, true);
  std::string text = "\"" + path + "\"" + texts().contentSuffix + previewText(file.lines, settings.IgnoreBlankLines);
  NextRowSingleLine = false;
  CheckListBox2.add(CheckRow{std::move(text), false, true, joinPaths_.add(path)});
  return true;
}

void Workspace::BuildJoinList() {
  const WorkspaceTexts& t = texts();
  if (ProcessingMode == pmSplit || ProcessingMode == pmSearchAfterSplit) returnToJoinMode();
  DisableSearchMenus();
  int files = 0;
  CheckList::Batch batch(CheckListBox2);
  CheckListBox2.clear();
  joinPaths_.clear();
  splitPlan_.reset();  // the list no longer shows a split
  const std::string separator = readJoinSeparator(Profile(settingsPath()));
  if (separator.empty()) ui_.showMessage(t.noSeparator);
  bool stopped = false;
  for (int i = 0; i < CheckListBox1.count() && !stopped; ++i) {
    const CheckRow& row = CheckListBox1.row(i);
    const std::string* path = targetPaths_.find(row);
    if (row.header || !row.checked || !path || !files::fileExists(*path)) continue;
    ++files;
    stopped = !addJoinContentRow(*path, separator);
    if (files % kFilesPerPump == 0) ui_.processMessages();
  }
  if (stopped) return;
  NextRowSingleLine = true;
  if (!separator.empty()) CheckListBox2.add(separator, true);
  if (files == 0) {
    showTransientStatus(t.noJoinFiles);
    CheckListBox2.clear();
  } else {
    setEnabled({"NewFileB", "SaveAs1"}, true);
    DisableSearchMenus();
  }
  if (CheckListBox2.count() > 1) CheckListBox2.setSelectedIndex(0);
  CheckListBox2.setHorizontalExtent(0);
  changed();
}

void Workspace::N7Click() { BuildJoinList(); }
void Workspace::FairuKetugouBClick() { BuildJoinList(); }

void Workspace::SaveToNewFile() {
  const WorkspaceTexts& t = texts();
  if (ProcessingMode == pmJoin) {
    if (!ui_.confirmOkCancel(t.askJoin)) return;
    JoinSave();
  } else if (ProcessingMode == pmSplit) {
    if (!ui_.confirmOkCancel(t.askSplit)) return;
    SplitSave();
  }
  setEnabled({"NewFileB", "SaveAs1"}, false);
  enableTimer1();
}

void Workspace::SaveAs1Click() { SaveToNewFile(); }
void Workspace::NewFileBClick() { SaveToNewFile(); }

std::optional<std::string> Workspace::joinedBytes() {
  std::string bytes;
  std::vector<std::string> cut;
  for (const CheckRow& row : CheckListBox2.rows()) {
    if (row.header) {
      bytes += row.text;
      bytes += "\r\n";
      continue;
    }
    const std::string* joined = joinPaths_.find(row);
    if (!row.checked || !joined) continue;
    const std::string& path = *joined;
    files::LineFile file;
    try {
      file = files::readLines(path);
    } catch (const files::FileError& error) {
      ui_.showError(error.what());
      return std::nullopt;
    }
    if (file.cutAtNul) cut.push_back(path);
    bytes += files::joinLines(file.lines);
  }
  if (!cut.empty()) {
    std::string message;
    for (const std::string& path : cut) message += (message.empty() ? "" : "\r\n") + path + texts().joinNulRefused;
    ui_.showMessage(message);
    return std::nullopt;
  }
  return bytes;
}

bool Workspace::keepCopyBeforeReplacing(const std::string& path) {
  if (!files::fileExists(path)) return false;
  files::makeCopy(path, files::tempCopyPath(tempFolder(), path));
  return true;
}

void Workspace::restoreReplaced(const std::string& path) {
  const WorkspaceTexts& t = texts();
  const std::string named = t.overwrittenFile + "\"" + path + "\"";
  try {
    files::restoreCopy(files::tempCopyPath(tempFolder(), path), path);
    ui_.showMessage(named + t.restoreOk);
  } catch (const files::FileError& error) {
    ui_.showMessage(named + t.restoreNg + "\r\n" + error.what());
  }
}

void Workspace::JoinSave() {
  const WorkspaceTexts& t = texts();
  setStatusText(t.askJoin);
  std::string initialFolder;
  for (const CheckRow& row : CheckListBox2.rows()) {
    if (const std::string* path = row.header ? nullptr : joinPaths_.find(row)) {
      initialFolder = files::folderPart(*path);
      break;
    }
  }
  const std::optional<std::string> target =
      ui_.chooseSaveFile(t.saveTitle, {{t.textFiles, "*.txt"}, {t.allFiles, "*"}}, initialFolder, "txt");
  if (target) {
    if (const std::optional<std::string> bytes = joinedBytes()) {
      try {
        const bool copied = keepCopyBeforeReplacing(*target);
        files::writeFile(*target, *bytes);
        setUndo(undo::Join{{*target, copied, true}});
        setStatusText(*target + t.saved);
      } catch (const files::FileError& error) {
        ui_.showError(error.what());
      }
    }
  }
  setEnabled({"NewFileB", "SaveAs1"}, false);
  setEnabled({"undoB", "Repeat1"}, true);
  enableTimer1();
}

void Workspace::N10Click() {
  const int selected = CheckListBox2.selectedIndex();
  if (selected < 0) {
    showTransientStatus(texts().choosePlace);
    return;
  }
  const std::string separator = readJoinSeparator(Profile(settingsPath()));
  NextRowSingleLine = true;
  CheckListBox2.insert(selected, CheckRow{separator, true, false});
  CheckListBox2.setSelectedIndex(selected + 1);
}

void Workspace::N11Click() {
  const int selected = CheckListBox2.selectedIndex();
  if (selected >= 0 && CheckListBox2.isHeader(selected)) CheckListBox2.remove(selected);
}

void Workspace::N8Click() {
  const int selected = CheckListBox2.selectedIndex();
  if (selected < 0 || !CheckListBox2.isHeader(selected)) return;
  NextRowSingleLine = true;
  const WorkspaceTexts& t = texts();
  if (auto text = ui_.inputBox(t.separatorCaption, t.separatorPrompt, CheckListBox2.text(selected))) {
    CheckListBox2.setText(selected, std::move(*text));
  }
}

void Workspace::N9Click() {
  const int selected = CheckListBox2.selectedIndex();
  if (selected < 0 || !CheckListBox2.isHeader(selected)) return;
  NextRowSingleLine = true;
  const WorkspaceTexts& t = texts();
  const std::optional<std::string> text =
      ui_.inputBox(t.separatorCaption, t.separatorPrompt, CheckListBox2.text(selected));
  if (!text) return;
  for (int i = selected; i < CheckListBox2.count(); ++i) {
    if (CheckListBox2.isHeader(i)) CheckListBox2.setText(i, *text);
  }
}

void Workspace::CheckListBox2DragOver(int pointerY) {
  draggedRow_ = CheckListBox2.selectedIndex();
  recordDragOver(pointerY);
}

void Workspace::CheckListBox2DragDrop(int target) {
  const int dragged = draggedRow_ >= 0 ? draggedRow_ : CheckListBox2.selectedIndex();
  draggedRow_ = -1;
  endDrag();
  if (!joinDrag_ || CheckListBox2.selectedIndex() < 0) return;
  if (dragged < 0 || dragged >= CheckListBox2.count() || target < 0 || target >= CheckListBox2.count()) return;
  NextRowSingleLine = CheckListBox2.isHeader(dragged);
  CheckListBox2.move(dragged, target);
  CheckListBox2.setSelectedIndex(target);
}

void Workspace::CheckListBox2DblClick() {
  const int selected = CheckListBox2.selectedIndex();
  if (selected < 0) return;
  if (ProcessingMode == pmSplit) {
    showSplitPiece(selected);
    return;
  }
  if (const std::optional<std::string> path = JoinPath(selected)) OpenInEditor(*path, std::nullopt, -1);
}

}  // namespace kelvane
