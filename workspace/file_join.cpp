// The file join: the checked target files listed with a short preview between separator rows,
// reordered, checked and edited by the person, then written one after another into a new file.
//
// The list keeps no file contents, only the path in each content row: the save reads every checked
// file again, so it writes what the files hold at that moment. A file a zero byte cuts short would be
// joined without its tail; such a file stops the save before anything is written. The new file is
// never one of the files joined (decided by device and inode, so a link to one counts); an existing
// file is replaced only after its own question, is first copied to the temporary folder, so the undo
// can put it back, and is compared right before the write with the bytes the copy was made from. A
// save that fails leaves the list and the save commands as they were, for another try.
#include "workspace/file_join.h"

#include <algorithm>

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

void FileJoin::returnToJoinMode() {
  // The save of a list built here must be the join's, never a split of a list the split did not make.
  ws_.ProcessingMode = pmJoin;
  ws_.tabCaptions_[kTabJoin] = texts().tabJoin;
  ws_.joinDrag_ = true;
  ws_.fileSplit_.forget();
}

bool FileJoin::addContentRow(const std::string& path, const std::string& separator) {
  files::LineFile file;
  try {
    file = files::readLines(path);
  } catch (const files::FileError& error) {
    ws_.ui().showError(error.what());
    return false;
  }
  CheckList& list = ws_.CheckListBox2;
  ws_.NextRowSingleLine = true;
  if (!separator.empty()) list.add(separator, true);
  std::string text = "\"" + path + "\"" + texts().contentSuffix + previewText(file.lines, ws_.settings.IgnoreBlankLines);
  ws_.NextRowSingleLine = false;
  list.add(CheckRow{std::move(text), false, true, paths_.add(path)});
  return true;
}

void FileJoin::BuildJoinList() {
  const WorkspaceTexts& t = texts();
  if (ws_.ProcessingMode == pmSplit || ws_.ProcessingMode == pmSearchAfterSplit) returnToJoinMode();
  ws_.DisableSearchMenus();
  int files = 0;
  CheckList& list = ws_.CheckListBox2;
  CheckList::Batch batch(list);
  list.clear();
  paths_.clear();
  ws_.fileSplit_.forget();  // the list no longer shows a split
  const std::string separator = readJoinSeparator(Profile(ws_.settingsPath()));
  if (separator.empty()) ws_.ui().showMessage(t.noSeparator);
  bool stopped = false;
  for (int i = 0; i < ws_.CheckListBox1.count() && !stopped; ++i) {
    const CheckRow& row = ws_.CheckListBox1.row(i);
    if (row.header || !row.checked) continue;
    const std::optional<std::string> path = ws_.TargetPath(i);
    if (!path || !files::fileExists(*path)) continue;
    ++files;
    stopped = !addContentRow(*path, separator);
    if (files % kFilesPerPump == 0) ws_.ui().processMessages();
  }
  if (stopped) return;
  ws_.NextRowSingleLine = true;
  if (!separator.empty()) list.add(separator, true);
  if (files == 0) {
    ws_.showTransientStatus(t.noJoinFiles);
    list.clear();
  } else {
    ws_.setEnabled({"NewFileB", "SaveAs1"}, true);
    ws_.DisableSearchMenus();
  }
  if (list.count() > 1) list.setSelectedIndex(0);
  list.setHorizontalExtent(0);
  ws_.changed();
}

void Workspace::BuildJoinList() { fileJoin_.BuildJoinList(); }
void Workspace::N7Click() { BuildJoinList(); }
void Workspace::FairuKetugouBClick() { BuildJoinList(); }

void Workspace::SaveToNewFile() {
  saves::SaveEnd end = saves::SaveEnd::kNotAsked;
  if (ProcessingMode == pmJoin) {
    if (!ui_.confirmOkCancel(texts().askJoin)) return;
    end = fileJoin_.JoinSave();
  } else if (ProcessingMode == pmSplit) {
    end = fileSplit_.SplitSave();  // its question names the files it would replace
    if (end == saves::SaveEnd::kNotAsked) return;
  }
  // A save that failed or left a file alone stays on: the person fixes the cause and saves again.
  if (end != saves::SaveEnd::kRetry) setEnabled({"NewFileB", "SaveAs1"}, false);
  enableTimer1();
}

void Workspace::SaveAs1Click() { SaveToNewFile(); }
void Workspace::NewFileBClick() { SaveToNewFile(); }
void Workspace::JoinSave() { fileJoin_.JoinSave(); }

std::optional<std::string> FileJoin::path(int index) const {
  const CheckList& list = ws_.CheckListBox2;
  if (index < 0 || index >= list.count()) return std::nullopt;
  const CheckRow& row = list.row(index);
  const std::string* found = row.header ? nullptr : paths_.find(row);
  return found ? std::optional<std::string>(*found) : std::nullopt;
}

std::optional<std::string> Workspace::JoinPath(int index) const { return fileJoin_.path(index); }

std::optional<std::string> FileJoin::joinedBytes(std::vector<files::FileId>& sources) {
  std::string bytes;
  std::vector<std::string> cut;
  for (const CheckRow& row : ws_.CheckListBox2.rows()) {
    if (row.header) {
      bytes += row.text;
      bytes += "\r\n";
      continue;
    }
    const std::string* joined = paths_.find(row);
    if (!row.checked || !joined) continue;
    const std::string& path = *joined;
    if (const std::optional<files::FileId> id = files::fileId(path)) sources.push_back(*id);
    files::LineFile file;
    try {
      file = files::readLines(path);
    } catch (const files::FileError& error) {
      ws_.ui().showError(error.what());
      return std::nullopt;
    }
    if (file.cutAtNul) cut.push_back(path);
    bytes += files::joinLines(file.lines);
  }
  if (!cut.empty()) {
    std::string message;
    for (const std::string& path : cut) message += (message.empty() ? "" : "\r\n") + path + texts().joinNulRefused;
    ws_.ui().showMessage(message);
    return std::nullopt;
  }
  return bytes;
}

std::string FileJoin::initialFolder() const {
  for (const CheckRow& row : ws_.CheckListBox2.rows()) {
    if (const std::string* path = row.header ? nullptr : paths_.find(row)) return files::folderPart(*path);
  }
  return {};
}

std::optional<bool> FileJoin::mayWrite(const std::string& target, const std::vector<files::FileId>& sources) {
  const WorkspaceTexts& t = texts();
  const std::optional<files::FileId> id = files::fileId(target);
  if (!id) return false;
  // The same file under another name (a link, a hard link) is still a file being joined.
  if (std::find(sources.begin(), sources.end(), *id) != sources.end()) {
    ws_.ui().showMessage(listedEntriesText(t.notSaved, {target + t.reasonJoinSource}));
    return std::nullopt;
  }
  if (!files::fileExists(target)) {
    ws_.ui().showMessage(listedEntriesText(t.notSaved, {target + t.reasonNotAFile}));
    return std::nullopt;
  }
  if (!ws_.ui().confirmOkCancel(target + "\r\n" + t.askReplaceExisting)) return std::nullopt;
  return true;
}

saves::SaveEnd FileJoin::JoinSave() {
  const WorkspaceTexts& t = texts();
  ws_.setStatusText(t.askJoin);
  // The chooser asks nothing of its own about an existing file: the question below is the only one.
  const std::optional<std::string> target =
      ws_.ui().chooseSaveFile(t.saveTitle, {{t.textFiles, "*.txt"}, {t.allFiles, "*"}}, initialFolder(), "txt");
  if (!target) return saves::SaveEnd::kOver;
  std::vector<files::FileId> sources;
  std::optional<std::string> bytes = joinedBytes(sources);
  if (!bytes) return saves::SaveEnd::kRetry;
  const std::optional<bool> existed = mayWrite(*target, sources);
  if (!existed) return saves::SaveEnd::kRetry;
  saves::WriteResult done;
  try {
    done = saves::writeSaved(*target, *existed, *bytes, ws_.tempFolder());
  } catch (const files::FileError& error) {
    ws_.ui().showError(std::string(error.what()) + "\r\n" + t.retrySave);
    return saves::SaveEnd::kRetry;
  }
  if (!done.written) {
    ws_.ui().showMessage(listedEntriesText(t.notSaved, {*target + done.reason}) + "\r\n" + t.retrySave);
    return saves::SaveEnd::kRetry;
  }
  ws_.setUndo(undo::Join{{*target, done.copied, true, bytes->size(), saves::bytesHash(*bytes)}});
  ws_.setStatusText(*target + t.saved);
  ws_.setEnabled({"undoB", "Repeat1"}, true);
  return saves::SaveEnd::kOver;
}

void FileJoin::undoSave(const undo::Join& record) {
  const WorkspaceTexts& t = texts();
  if (!ws_.ui().confirmOkCancel(t.askUndoJoin)) return;
  const std::string& path = record.file.path;
  if (files::fileExists(path) && !saves::stillHolds(path, record.file.size, record.file.hash)) {
    ws_.ui().showMessage(t.newFile + "\"" + path + "\"" + t.changedSinceSave);
  } else if (record.file.copied) {
    saves::restoreReplaced(ws_.ui(), ws_.tempFolder(), path, record.file.size, record.file.hash);
  } else if (!files::fileExists(path)) {
    ws_.ui().showMessage(t.newFile + "\"" + path + "\"" + t.notFound);
  } else {
    ws_.ui().showMessage(t.newFile + "\"" + path + "\"" + (files::deleteFile(path) ? t.deleteOk : t.deleteNg));
  }
  ws_.setUndo(undo::Nothing{});
}

void FileJoin::N10Click() {
  CheckList& list = ws_.CheckListBox2;
  const int selected = list.selectedIndex();
  if (selected < 0) {
    ws_.showTransientStatus(texts().choosePlace);
    return;
  }
  const std::string separator = readJoinSeparator(Profile(ws_.settingsPath()));
  ws_.NextRowSingleLine = true;
  list.insert(selected, CheckRow{separator, true, false});
  list.setSelectedIndex(selected + 1);
}

void FileJoin::N11Click() {
  CheckList& list = ws_.CheckListBox2;
  const int selected = list.selectedIndex();
  if (selected >= 0 && list.isHeader(selected)) list.remove(selected);
}

void FileJoin::N8Click() {
  CheckList& list = ws_.CheckListBox2;
  const int selected = list.selectedIndex();
  if (selected < 0 || !list.isHeader(selected)) return;
  ws_.NextRowSingleLine = true;
  const WorkspaceTexts& t = texts();
  if (auto text = ws_.ui().inputBox(t.separatorCaption, t.separatorPrompt, list.text(selected))) {
    list.setText(selected, std::move(*text));
  }
}

void FileJoin::N9Click() {
  CheckList& list = ws_.CheckListBox2;
  const int selected = list.selectedIndex();
  if (selected < 0 || !list.isHeader(selected)) return;
  ws_.NextRowSingleLine = true;
  const WorkspaceTexts& t = texts();
  const std::optional<std::string> text = ws_.ui().inputBox(t.separatorCaption, t.separatorPrompt, list.text(selected));
  if (!text) return;
  for (int i = selected; i < list.count(); ++i) {
    if (list.isHeader(i)) list.setText(i, *text);
  }
}

void Workspace::N10Click() { fileJoin_.N10Click(); }
void Workspace::N11Click() { fileJoin_.N11Click(); }
void Workspace::N8Click() { fileJoin_.N8Click(); }
void Workspace::N9Click() { fileJoin_.N9Click(); }

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
    fileSplit_.showPiece(selected);
    return;
  }
  if (const std::optional<std::string> path = JoinPath(selected)) OpenInEditor(*path, std::nullopt, -1);
}

}  // namespace kelvane
