#pragma once
// The file system as the program sees it: CP932 paths with "/" between the parts, the entries of
// one folder with Windows-like attribute bits in the order NTFS lists them, whole-file reads, and
// writes that never leave half a file behind.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane::files {

// Attribute bits of an entry.
enum Attribute : unsigned {
  kReadOnly = 0x01,   // a regular file that cannot be written
  kHidden = 0x02,     // a regular file whose name starts with "."
  kDirectory = 0x10,  // a folder (a link to a folder counts as a folder)
  kArchive = 0x20,    // every regular file
};

// A failure of the file layer. what() is CP932 text that names the file and the reason. error() is
// the system's error number behind it (0 when there is none), so a caller can tell a missing file
// from one it may not read.
class FileError : public std::runtime_error {
 public:
  explicit FileError(const std::string& message, int error = 0) : std::runtime_error(message), error_(error) {}
  int error() const { return error_; }
  // Nothing is there: the file, or a folder on its path, does not exist.
  bool notFound() const;

 private:
  int error_;
};

// The reason behind a system error number as CP932 text: our own Japanese for the common ones, the
// system's text (converted) for the rest.
std::string reasonText(int error);

struct Entry {
  std::string name;         // CP932
  unsigned attributes = 0;  // Attribute bits; sockets, fifos and devices carry none
  std::uint64_t size = 0;
};

struct Listing {
  std::vector<Entry> entries;  // without "." and "..", sorted as NTFS lists names
  std::size_t leftOut = 0;     // names with no CP932 form, not listed
  // Of those, the folders, and the native (UTF-8) names of the files, so that a caller can tell what
  // it misses.
  std::size_t leftOutFolders = 0;
  std::vector<std::string> leftOutFiles;
};

// The entries of one folder. Raises FileError when the folder cannot be read.
Listing listFolder(const std::string& folder);

// The same entries with only what a walk needs, at a fraction of the cost: attributes hold
// kDirectory, or kArchive (with kHidden for a name that starts with "."), or nothing, exactly as
// listFolder gives them; kReadOnly is never set and size is always 0. The kind comes with the names,
// so the system is asked about an entry only when the folder does not say (a link, or a file system
// that leaves kinds out). Raises FileError when the folder cannot be read.
Listing listFolderKinds(const std::string& folder);

// NTFS order: ASCII letters compared upper-cased, then bytes.
bool ntfsLess(std::string_view a, std::string_view b);

bool fileExists(const std::string& path);    // a regular file (through links)
bool folderExists(const std::string& path);  // a folder (through links)

// The same device and inode identify a file or folder however it was reached (links, other names
// of a hard-linked file, links that loop): "the same file" is decided by these, never by the name.
struct FileId {
  std::uint64_t device = 0, inode = 0;
  bool operator==(const FileId&) const = default;
};
using FolderId = FileId;
std::optional<FolderId> folderId(const std::string& path);  // a folder (through links), else nullopt
std::optional<FileId> fileId(const std::string& path);      // anything that exists (through links)

// The whole file. Raises FileError.
std::string readFile(const std::string& path);

// Writes the bytes to path (through a link: the file it points to is written) and keeps what the
// file is: owner, group, mode, ACLs and other extended attributes, and every hard link.
//  - Usually the bytes go to an unnamed temporary file in the same folder (a named one, ".kelvane-"
//    with this process's number, where the file system has no unnamed files), which gets the old
//    file's owner, group, extended attributes and mode, is flushed and renamed over path: a reader
//    or a crash sees the old bytes or the new ones. Such names left by a killed process are removed
//    by the next write into that folder.
//  - A file with several links, or one whose owner or extended attributes a new file could not take
//    (another user's file), is written in place so every name sees the new text and nobody loses
//    access: its old bytes are first put into a safe copy beside it (".kelvane-safe-...", named only
//    once complete and flushed), then it is rewritten and flushed, and the safe copy is removed. If
//    the rewrite fails, the old bytes are put back from the safe copy; should that fail too, the
//    message names the safe copy, which then stays.
// A read-only file, a folder or a device is refused. Raises FileError, and then the file holds its
// old bytes.
void writeFile(const std::string& path, std::string_view bytes);

// The bytes on disk were not those the caller had read (or the file is gone): nothing was written.
class FileChangedError : public FileError {
 public:
  using FileError::FileError;
};

// writeFile, but only while path still holds exactly expectedOldBytes; they are compared with what is
// on disk right before the new bytes replace them. Raises FileChangedError naming the file when they
// differ or the file is gone, FileError for the other failures.
void writeFileIfUnchanged(const std::string& path, std::string_view expectedOldBytes, std::string_view newBytes);

// Each returns true on success; on failure false, with the message (naming the path and the
// system's reason) in *error when error is given.
bool deleteFile(const std::string& path, std::string* error = nullptr);
bool createFolder(const std::string& path, std::string* error = nullptr);
bool removeFolder(const std::string& path, std::string* error = nullptr);  // an empty folder
bool copyFile(const std::string& from, const std::string& to, std::string* error = nullptr);

// Creates folder and every missing folder above it. Raises FileError (and then the folders made so
// far stay; they are empty). createFolder and createFolders enter a folder they make below a copy
// root in the ledger, so the close removes it again.
void createFolders(const std::string& folder);

// Writes a backup copy: the bytes to copyPath through a temporary file and a rename, with the given
// permission bits (read, write and execute; set-id and sticky bits are dropped), creating the missing
// folders of copyPath first. Below a copy root (platform/copy_ledger.h) no link is followed, neither
// the root nor a folder below it nor the copy itself (refused with a message naming the link), the
// folders and the copy are entered in the ledger, and an earlier copy there is replaced only when this
// process wrote it (read-only or not); a file it did not write is refused. Raises FileError, and then
// an earlier copy is as it was.
void writeCopy(const std::string& copyPath, std::string_view bytes, unsigned permissions);

// The process's current folder, as CP932.
std::string currentFolder();

// A CP932 path as the native (UTF-8) name the system takes, and back; nullopt when there is no
// such form.
std::optional<std::string> toNative(std::string_view cp932Path);
std::optional<std::string> fromNative(std::string_view nativePath);

// Path helpers on CP932 text, aware of double-byte characters: the folder part ("/a/b" of
// "/a/b/c.txt", without the last "/"), the name part, and the extension with its dot (".txt").
std::string folderPart(std::string_view path);
std::string namePart(std::string_view path);
std::string extensionPart(std::string_view path);

}  // namespace kelvane::files
