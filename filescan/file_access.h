#pragma once
// The folder walk and the file listing that the target list is built from, and that the close of
// the main window uses to empty the temporary folder. Paths are CP932 with "/" between the parts.
//
// A name that has no CP932 form cannot be a target: it is left out and counted. A folder that cannot
// be read contributes nothing and is reported to the caller, which decides whether to tell the user.
// A folder reached again through a link (same device and inode) is not entered a second time, so a
// link that loops cannot make the walk endless.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kelvane {

// A folder that could not be read, with the file layer's message (naming it and the reason).
struct UnreadableFolder {
  std::string folder;
  std::string message;
};

struct FolderScan {
  std::vector<std::string> folders;          // the root first, then level by level
  std::size_t leftOut = 0;                   // folder entries whose names have no CP932 form
  std::vector<UnreadableFolder> unreadable;  // folders whose entries could not be listed
  std::vector<std::string> folderLinks;      // links to folders, when links are not followed
};

// Called with each progress text the walk shows ("□"/"■" marks and "フォルダチェック中").
using ProgressFn = std::function<void(const std::string&)>;

// Walks root breadth first: the root (without one trailing "/", unless it is "/" itself), all its
// subfolders in enumeration order, then theirs grouped by parent. Hidden folders are included. Never
// raises for a folder that cannot be read. With followLinks false a link to a folder is not entered
// but reported in folderLinks (the cleanup of the program's own temporary folder uses that).
FolderScan ScanFolderTree(const std::string& root, const ProgressFn& progress = {}, bool followLinks = true);

// The progress text for folder f (from 0) of a level of n folders, or empty when it is not shown (the
// last folder of a level of more than one, whose text would have eleven marks).
std::string folderProgressText(int f, int n);

struct FileList {
  std::vector<std::string> paths;  // files of the folder, enumeration order, full paths
  std::size_t leftOut = 0;         // entries whose names have no CP932 form
  std::size_t leftOutFolders = 0;  // of those, the folders
  std::vector<std::string> leftOutFiles;  // of those, the files' native (UTF-8) names
  bool readable = true;
  std::string error;  // the file layer's message when the folder could not be read
};

// The files of one folder, not descending: entries with a file attribute bit (read-only, hidden,
// system, volume, archive) and no directory bit. Never raises.
FileList ListFolderFiles(const std::string& folder);

// The files of a whole tree, for a search that starts on the first folder's files before the walk
// ends: the folders of ScanFolderTree (links followed), in its order, each listed once and handed to
// onFolder with its files exactly as ListFolderFiles gives them. Never raises for a folder that cannot
// be read (its FileList says so); what onFolder raises ends the walk.
using FolderFilesFn = std::function<void(const std::string& folder, const FileList& files)>;
void WalkFolderFiles(const std::string& root, const FolderFilesFn& onFolder);

// folder + "/" + name, without a second "/" when folder already ends with one.
std::string joinPath(const std::string& folder, const std::string& name);

}  // namespace kelvane
