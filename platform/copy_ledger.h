#pragma once
// The copy ledger: what this process created below a copy root (the start-up folder's "Temp"), so
// that the close removes exactly that and nothing else.
//
// A "Temp" may have been there before the program started, holding the user's own files, or be a link
// into another folder; copies of read-only files are read-only themselves. So the close does not
// empty a folder: it takes back, one by one, the copies and folders the file layer entered here when
// it made them (writeCopy, createFolder, createFolders), each only while it is still the file or
// folder that was made (same device and inode, same kind), reached from the root without following
// any link. Whatever else is there stays.
#include <string>
#include <vector>

namespace kelvane::files {

// Makes root (CP932) a copy root of this process: copies below it are written without following
// links and entered in the ledger. Adding a root twice is harmless.
void addCopyRoot(const std::string& root);

// What a copy root is on disk right now, without following a link at its own name.
enum class CopyRootKind { kMissing, kFolder, kLink, kNotFolder };
CopyRootKind copyRootKind(const std::string& root);

// One entry the close took back, or tried to.
struct Removal {
  std::string path;  // CP932
  bool folder = false;
  bool removed = false;
  std::string error;  // why not, when !removed (CP932, names the path)
};

// Removes what this process created below root (root included when it was made here): the copies in
// the order they were written, then the folders deepest first, root last. An entry that is gone, or is
// no longer what was made, or can be reached only through a link, is left alone and not listed; a
// folder that still holds something is listed as not removed. The listed entries leave the ledger.
// Nothing is done when root itself is a link or no folder.
std::vector<Removal> removeCreated(const std::string& root);

}  // namespace kelvane::files

namespace kelvane::files::ledger {

// For the file layer. The native copy root that holds native (a path below it, or the root itself),
// or an empty string.
std::string rootOf(const std::string& native);
// The parts of native below root: "a/b/c.txt" below root gives a, b and c.txt (empty parts skipped).
std::vector<std::string> partsBelow(const std::string& root, const std::string& native);
// Enters (or, for a path already entered, updates) something this process has just created: name in
// dirFd, or dirFd itself when name is empty. It is known again by its device and inode and, since a
// freed inode number is handed out again at once, by its birth time where the file system keeps one
// (a file's change time otherwise).
void record(const std::string& cp932Path, const std::string& native, bool folder, int dirFd, const char* name);
// Whether name in dirFd (not followed) is the file this process wrote at native.
bool isOurs(const std::string& native, int dirFd, const char* name);

}  // namespace kelvane::files::ledger
