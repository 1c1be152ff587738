// The target list: choosing the folder, building the list of folder header rows and file rows from
// the folder walk, and switching check marks.
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

void Workspace::ToolButton2Click() { ChooseFolder(); }
void Workspace::N2Click() { ChooseFolder(); }

void Workspace::ChooseFolder() {
  if (running_) return;
  const std::optional<std::string> folder = ui_.browseFolder(texts().chooseFolder);
  if (!folder) return;
  ComboBox2.pushFront(*folder);
  if (ComboBox2.selectedIndex() < 0) {
    ui_.showMessage(texts().noFolderSelected);
    return;
  }
  BuildTargetList();
}

void Workspace::ComboBox2Select(int index) {
  if (running_) return;
  ComboBox2.setSelectedIndex(index);
  if (ComboBox2.selectedIndex() < 0) return;
  const bool isFolder = files::folderExists(ComboBox2.item(index));
  if (!CheckListBox1.empty() && isFolder) {
    if (ui_.confirmOkCancel(texts().changeTargets)) {
      BuildTargetList();
    } else {
      // The box goes back to the folder the target list still belongs to.
      const int current = builtFolder_.empty() ? -1 : ComboBox2.indexOf(builtFolder_);
      if (current >= 0) ComboBox2.setSelectedIndex(current);
    }
  } else if (isFolder) {
    BuildTargetList();
  } else {
    ChooseFolder();
  }
  ComboBox2.moveToFront(ComboBox2.selectedIndex());
}

void Workspace::ComboBox2KeyPress(char key) {
  if (key == 13) BuildTargetList();
}

bool Workspace::BuildTargetList() {
  if (running_) return false;
  const int selected = ComboBox2.selectedIndex();
  if (selected < 0) {
    ui_.showMessage(texts().noFolderSelected);
    return false;
  }
  const std::string folder = ComboBox2.item(selected);
  if (!files::folderExists(folder)) {
    ui_.showMessage(folder + texts().folderMissing);
    return false;
  }
  CheckListBox3.clear();
  CheckListBox2.clear();
  // A preview without its result rows has nothing left to overwrite or put back.
  if (ReplacePending()) setUndo(undo::Nothing{});
  CheckList::Batch batch(CheckListBox1);
  CheckListBox1.clear();
  targetPaths_.clear();
  widestRow_ = 0;
  leftOut_ = 0;
  leftOutFolders_ = 0;
  unreadable_.clear();
  const ExtensionFilter filter(ExtensionList);
  if (settings.Subfolders) {
    const FolderScan scan = ScanFolderTree(folder, [this](const std::string& text) { setStatusText(text); });
    setUndo(undo::Unmarked{scan.folders});
    const int c = static_cast<int>(scan.folders.size());
    for (int a = 0; a < c; ++a) {
      if (c > 1) setStatusText(searchProgressText(static_cast<int>(10.0 * a / (c - 1))));
      addFolderFiles(scan.folders[a], filter);
    }
  } else {
    setStatusText(searchProgressText(5));
    addFolderFiles(folder, filter);
    setStatusText(searchProgressText(8));
  }
  RemoveEmptyFolders();
  builtFolder_ = folder;
  const int files = CheckListBox1.count() - CheckListBox1.headerCount();
  std::string status = std::to_string(files) + texts().filesTargeted;
  status += leftOutText(leftOut_, leftOutFolders_);
  showTransientStatus(std::move(status));
  CheckedFileCount = files;
  reportUnreadable();
  return true;
}

int Workspace::AddFolderFiles(const std::string& folder) {
  return addFolderFiles(folder, ExtensionFilter(ExtensionList));
}

int Workspace::addFolderFiles(const std::string& folder, const ExtensionFilter& filter) {
  CheckRow headerRow{folder, true, false};
  headerRow.record = targetPaths_.add(folder);
  const int header = CheckListBox1.add(std::move(headerRow));
  const FileList list = ListFolderFiles(folder);
  leftOut_ += wantedCount(list.leftOutFiles, filter);
  // Without subfolders nothing below the folder is a target, so a folder left out misses nothing.
  if (settings.Subfolders) leftOutFolders_ += list.leftOutFolders;
  if (!list.readable) unreadable_.push_back(list.error);
  int added = 0;
  for (const std::string& path : list.paths) {
    for (int n = filter.wantedCount(path); n > 0; --n) {
      CheckListBox1.add(CheckRow{path, false, true, targetPaths_.add(path)});
      ++added;
    }
  }
  CheckListBox1.setText(header, "\"" + folder + "\"" + texts().folderCount + std::to_string(added));
  // Only the rows of this folder are new, so the widest row so far is kept instead of measuring the
  // whole list again after every folder.
  for (int i = header; i < CheckListBox1.count(); ++i) {
    widestRow_ = std::max(widestRow_, ui_.textWidth(ListId::kTarget, CheckListBox1.text(i)));
  }
  CheckListBox1.setHorizontalExtent(ui_.rowHeight(ListId::kTarget) + widestRow_);
  return added;
}

void Workspace::reportUnreadable() {
  if (unreadable_.empty()) return;
  const std::string message = listedEntriesText(texts().unreadableFolders, unreadable_);
  unreadable_.clear();
  ui_.showMessage(message);
}

void Workspace::RemoveEmptyFolders() {
  // Walking up from the last row, a header row with no file row below it (before the next header)
  // goes. The kept rows are gathered into a new list in one pass, so a tree with thousands of empty
  // folders costs no more than one with none.
  const std::vector<CheckRow>& rows = CheckListBox1.rows();
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
  CheckListBox1.assign(std::move(kept));
}

void Workspace::CheckListBox1ClickCheck() {
  CheckedFileCount = CheckListBox1.checkedNonHeaderCount();
  changed();
}

void Workspace::setFolderCheck(bool on) {
  const int selected = CheckListBox1.selectedIndex();
  if (selected < 0 || selected >= CheckListBox1.count() - 1) return;
  CheckList::Batch batch(CheckListBox1);
  for (int i = selected + 1; i < CheckListBox1.count(); ++i) {
    CheckListBox1.setChecked(i, on);
    if (CheckListBox1.isHeader(i)) break;
  }
}

void Workspace::setAllFileChecks(bool on) {
  CheckList::Batch batch(CheckListBox1);
  for (int i = 0; i < CheckListBox1.count(); ++i) {
    if (!CheckListBox1.isHeader(i)) CheckListBox1.setChecked(i, on);
  }
}

void Workspace::CheckOFFFolder1Click() { setFolderCheck(true); }
void Workspace::CheckOFFFile2Click() { setFolderCheck(false); }
void Workspace::ON1Click() { setAllFileChecks(true); }
void Workspace::Folder1Click() { setAllFileChecks(false); }

void Workspace::PopupMenu2Popup() {
  const int selected = CheckListBox1.selectedIndex();
  const bool onHeader = selected >= 0 && CheckListBox1.isHeader(selected);
  setEnabled("CheckOFFFolder1", onHeader);
  setEnabled("CheckOFFFile2", onHeader);
  setEnabled("N13", !onHeader);
  setEnabled("ON1", true);
  setEnabled("Folder1", true);
  changed();
}

}  // namespace kelvane
