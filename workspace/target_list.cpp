// The target list: choosing the folder, building the list of folder header rows and file rows from
// the folder walk, and switching check marks.
#include "workspace/target_list.h"

#include <algorithm>

#include "filescan/file_access.h"
#include "filescan/kyoutuu.h"
#include "platform/files.h"
#include "workspace/texts.h"
#include "workspace/workspace.h"

namespace kelvane {

namespace {

// How many of the files left out (by their native names) the extension filter would have wanted.
std::size_t wantedCount(const std::vector<std::string>& nativeNames, const ExtensionFilter& filter) {
  std::size_t wanted = 0;
  for (const std::string& name : nativeNames) {
    const std::optional<std::string> extension = files::fromNative(fileExtension(name));
    if (extension && filter.wantedCount(*extension) > 0) ++wanted;
  }
  return wanted;
}

// What the status adds for names a build could not take: nothing when there were none.
std::string leftOutText(std::size_t files, std::size_t folders) {
  const WorkspaceTexts& t = texts();
  if (files == 0 && folders == 0) return {};
  if (folders == 0) return t.leftOutBefore + std::to_string(files) + t.leftOutAfter;
  std::string text = t.leftOutBefore;
  text += files > 0 ? std::to_string(files) + t.leftOutFilesThenFolders : t.leftOutFoldersOnly;
  return text + std::to_string(folders) + t.leftOutFoldersAfter;
}

}  // namespace

void TargetListBuild::ChooseFolder() {
  if (ws_.SearchRunning()) return;
  const std::optional<std::string> folder = ws_.ui().browseFolder(texts().chooseFolder);
  if (!folder) return;
  ws_.ComboBox2.pushFront(*folder);
  if (ws_.ComboBox2.selectedIndex() < 0) {
    ws_.ui().showMessage(texts().noFolderSelected);
    return;
  }
  BuildTargetList();
}

void TargetListBuild::ComboBox2Select(int index) {
  if (ws_.SearchRunning()) return;
  ws_.ComboBox2.setSelectedIndex(index);
  if (ws_.ComboBox2.selectedIndex() < 0) return;
  const bool isFolder = files::folderExists(ws_.ComboBox2.item(index));
  if (!ws_.CheckListBox1.empty() && isFolder) {
    if (ws_.ui().confirmOkCancel(texts().changeTargets)) {
      BuildTargetList();
    } else {
      // The box goes back to the folder the target list still belongs to.
      const int current = builtFolder_.empty() ? -1 : ws_.ComboBox2.indexOf(builtFolder_);
      if (current >= 0) ws_.ComboBox2.setSelectedIndex(current);
    }
  } else if (isFolder) {
    BuildTargetList();
  } else {
    ChooseFolder();
  }
  ws_.ComboBox2.moveToFront(ws_.ComboBox2.selectedIndex());
}

bool TargetListBuild::BuildTargetList() {
  if (ws_.SearchRunning()) return false;
  const int selected = ws_.ComboBox2.selectedIndex();
  if (selected < 0) {
    ws_.ui().showMessage(texts().noFolderSelected);
    return false;
  }
  const std::string folder = ws_.ComboBox2.item(selected);
  if (!files::folderExists(folder)) {
    ws_.ui().showMessage(folder + texts().folderMissing);
    return false;
  }
  ws_.CheckListBox3.clear();
  ws_.CheckListBox2.clear();
  // A preview without its result rows has nothing left to overwrite or put back.
  if (ws_.ReplacePending()) ws_.setUndo(undo::Nothing{});
  CheckList::Batch batch(ws_.CheckListBox1);
  ws_.CheckListBox1.clear();
  ws_.targetPaths_.clear();
  widestRow_ = 0;
  leftOut_ = 0;
  leftOutFolders_ = 0;
  unreadable_.clear();
  addTree(folder);
  RemoveEmptyFolders();
  builtFolder_ = folder;
  const int files = ws_.CheckListBox1.count() - ws_.CheckListBox1.headerCount();
  std::string status = std::to_string(files) + texts().filesTargeted;
  status += leftOutText(leftOut_, leftOutFolders_);
  ws_.showTransientStatus(std::move(status));
  ws_.CheckedFileCount = files;
  reportUnreadable();
  return true;
}

void TargetListBuild::addTree(const std::string& folder) {
  const ExtensionFilter filter(ws_.ExtensionList);
  if (!ws_.settings.Subfolders) {
    ws_.setStatusText(searchProgressText(5));
    addFolderFiles(folder, filter);
    ws_.setStatusText(searchProgressText(8));
    return;
  }
  const FolderScan scan = ScanFolderTree(folder, [this](const std::string& text) { ws_.setStatusText(text); });
  ws_.setUndo(undo::Unmarked{scan.folders});
  const int c = static_cast<int>(scan.folders.size());
  for (int a = 0; a < c; ++a) {
    if (c > 1) ws_.setStatusText(searchProgressText(static_cast<int>(10.0 * a / (c - 1))));
    addFolderFiles(scan.folders[a], filter);
  }
}

int TargetListBuild::AddFolderFiles(const std::string& folder) {
  return addFolderFiles(folder, ExtensionFilter(ws_.ExtensionList));
}

int TargetListBuild::addFolderFiles(const std::string& folder, const ExtensionFilter& filter) {
  CheckList& targets = ws_.CheckListBox1;
  PathRecords& paths = ws_.targetPaths_;
  CheckRow headerRow{folder, true, false};
  headerRow.record = paths.add(folder);
  const int header = targets.add(std::move(headerRow));
  const FileList list = ListFolderFiles(folder);
  leftOut_ += wantedCount(list.leftOutFiles, filter);
  // Without subfolders nothing below the folder is a target, so a folder left out misses nothing.
  if (ws_.settings.Subfolders) leftOutFolders_ += list.leftOutFolders;
  if (!list.readable) unreadable_.push_back(list.error);
  int added = 0;
  for (const std::string& path : list.paths) {
    for (int n = filter.wantedCount(path); n > 0; --n) {
      targets.add(CheckRow{path, false, true, paths.add(path)});
      ++added;
    }
  }
  targets.setText(header, "\"" + folder + "\"" + texts().folderCount + std::to_string(added));
  // Only the rows of this folder are new, so the widest row so far is kept instead of measuring the
  // whole list again after every folder.
  for (int i = header; i < targets.count(); ++i) {
    widestRow_ = std::max(widestRow_, ws_.ui().textWidth(ListId::kTarget, targets.text(i)));
  }
  targets.setHorizontalExtent(ws_.ui().rowHeight(ListId::kTarget) + widestRow_);
  return added;
}

void TargetListBuild::reportUnreadable() {
  if (unreadable_.empty()) return;
  const std::string message = listedEntriesText(texts().unreadableFolders, unreadable_);
  unreadable_.clear();
  ws_.ui().showMessage(message);
}

void TargetListBuild::RemoveEmptyFolders() {
  // Walking up from the last row, a header row with no file row below it (before the next header)
  // goes. The kept rows are gathered into a new list in one pass, so a tree with thousands of empty
  // folders costs no more than one with none.
  CheckList& targets = ws_.CheckListBox1;
  const std::vector<CheckRow>& rows = targets.rows();
  std::vector<bool> keep(rows.size(), true);
  int files = 0;
  bool removed = false;
  for (int i = static_cast<int>(rows.size()) - 1; i >= 0; --i) {
    if (!rows[i].header) {
      ++files;
      continue;
    }
    if (files == 0) {
      keep[i] = false;
      removed = true;
    }
    files = 0;
  }
  if (!removed) return;
  std::vector<CheckRow> kept;
  kept.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (keep[i]) kept.push_back(rows[i]);
  }
  targets.assign(std::move(kept));
}

void TargetListBuild::CheckListBox1ClickCheck() {
  ws_.CheckedFileCount = ws_.CheckListBox1.checkedNonHeaderCount();
  ws_.changed();
}

void TargetListBuild::setFolderCheck(bool on) {
  CheckList& targets = ws_.CheckListBox1;
  const int selected = targets.selectedIndex();
  if (selected < 0 || selected >= targets.count() - 1) return;
  CheckList::Batch batch(targets);
  for (int i = selected + 1; i < targets.count(); ++i) {
    targets.setChecked(i, on);
    if (targets.isHeader(i)) break;
  }
}

void TargetListBuild::setAllFileChecks(bool on) {
  CheckList& targets = ws_.CheckListBox1;
  CheckList::Batch batch(targets);
  for (int i = 0; i < targets.count(); ++i) {
    if (!targets.isHeader(i)) targets.setChecked(i, on);
  }
}

void TargetListBuild::PopupMenu2Popup() {
  CheckList& targets = ws_.CheckListBox1;
  const int selected = targets.selectedIndex();
  const bool onHeader = selected >= 0 && targets.isHeader(selected);
  ws_.setEnabled("CheckOFFFolder1", onHeader);
  ws_.setEnabled("CheckOFFFile2", onHeader);
  ws_.setEnabled("N13", !onHeader);
  ws_.setEnabled("ON1", true);
  ws_.setEnabled("Folder1", true);
  ws_.changed();
}

// ---- the window's handlers ----

void Workspace::ToolButton2Click() { ChooseFolder(); }
void Workspace::N2Click() { ChooseFolder(); }
void Workspace::ChooseFolder() { targetList_.ChooseFolder(); }
void Workspace::ComboBox2Select(int index) { targetList_.ComboBox2Select(index); }
void Workspace::ComboBox2KeyPress(char key) {
  if (key == 13) BuildTargetList();
}
bool Workspace::BuildTargetList() { return targetList_.BuildTargetList(); }
int Workspace::AddFolderFiles(const std::string& folder) { return targetList_.AddFolderFiles(folder); }
void Workspace::RemoveEmptyFolders() { targetList_.RemoveEmptyFolders(); }
void Workspace::CheckListBox1ClickCheck() { targetList_.CheckListBox1ClickCheck(); }
void Workspace::CheckOFFFolder1Click() { targetList_.setFolderCheck(true); }
void Workspace::CheckOFFFile2Click() { targetList_.setFolderCheck(false); }
void Workspace::ON1Click() { targetList_.setAllFileChecks(true); }
void Workspace::Folder1Click() { targetList_.setAllFileChecks(false); }
void Workspace::PopupMenu2Popup() { targetList_.PopupMenu2Popup(); }

}  // namespace kelvane
