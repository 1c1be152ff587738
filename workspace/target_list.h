#pragma once
// The target list: choosing the folder, building the list of folder header rows and file rows from
// the folder walk, and switching its check marks. A build also counts what it could not take (names
// without a CP932 form, folders it could not read) and says so when it ends.
#include <cstddef>
#include <string>
#include <vector>

namespace kelvane {

class ExtensionFilter;
class Workspace;

class TargetListBuild {
 public:
  explicit TargetListBuild(Workspace& ws) : ws_(ws) {}
  TargetListBuild(const TargetListBuild&) = delete;
  TargetListBuild& operator=(const TargetListBuild&) = delete;

  void ChooseFolder();
  void ComboBox2Select(int index);
  // Builds the target list from the selected folder of the folder box; false, after a message box,
  // when no folder is selected or it does not exist (the lists are then left as they were).
  bool BuildTargetList();
  // Appends one folder header row and the wanted files of folder; returns the number of file rows.
  int AddFolderFiles(const std::string& folder);
  void RemoveEmptyFolders();
  void CheckListBox1ClickCheck();
  // The check marks of the rows after the selected folder header row, up to the next header row.
  void setFolderCheck(bool on);
  void setAllFileChecks(bool on);
  void PopupMenu2Popup();

 private:
  // The folder, or with subfolders on every folder of its tree, into the list.
  void addTree(const std::string& folder);
  int addFolderFiles(const std::string& folder, const ExtensionFilter& filter);
  void reportUnreadable();

  Workspace& ws_;
  int widestRow_ = 0;               // widest text of the target list measured so far in a build
  std::size_t leftOut_ = 0;         // wanted files a build left out: their names have no CP932 form
  std::size_t leftOutFolders_ = 0;  // folders it left out, with everything in them, for the same reason
  std::vector<std::string> unreadable_;
  std::string builtFolder_;  // the folder the current target list was built from
};

}  // namespace kelvane
