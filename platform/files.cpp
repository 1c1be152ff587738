// The file system behind CP932 paths. Every call converts the path to its native (UTF-8) name once,
// talks to POSIX, and turns a failure into CP932 text that names the file and the system's reason.
// The writes themselves are in file_writer.cpp, the record of the copies in copy_ledger.cpp.
#include "platform/files.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "platform/copy_ledger.h"
#include "platform/cp932.h"
#include "platform/file_internal.h"
#include "platform/line_list.h"
#include "platform/read_handle.h"

namespace kelvane::files {

namespace internal {

bool isReadOnly(int dirFd, const char* name, const struct stat& st) {
  return (st.st_mode & 0222) == 0 || faccessat(dirFd, name, W_OK, AT_EACCESS) != 0;
}

}  // namespace internal

using namespace internal;

namespace {

constexpr const char* kCannotDelete = "ファイルを削除できません";
constexpr const char* kCannotRemoveFolder = "フォルダを削除できません";
constexpr const char* kCannotListFolder = "フォルダを読めません";
std::string message(const char* head, std::string_view path, int err) { return failure(head, path, err); }

std::string messageWithReason(const char* head, std::string_view path, const char* reason) {
  return failureWithReason(head, path, reason);
}

// EILSEQ's reason is the text for a name with no native form.
std::string messageNoNative(const char* head, std::string_view path) { return message(head, path, EILSEQ); }

// A regular file that exists and carries the read-only attribute: writes and deletes leave it
// alone, as they do on the desktop, although the folder would let a rename replace it.
bool existingReadOnly(const std::string& native) {
  struct stat st;
  return stat(native.c_str(), &st) == 0 && S_ISREG(st.st_mode) && isReadOnly(AT_FDCWD, native.c_str(), st);
}

bool fail(std::string* error, std::string text) {
  if (error) *error = std::move(text);
  return false;
}

unsigned attributesOf(int dirFd, const char* name, const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return kDirectory;
  if (!S_ISREG(st.st_mode)) return 0;
  unsigned a = kArchive;
  if (isReadOnly(dirFd, name, st)) a |= kReadOnly;
  if (name[0] == '.') a |= kHidden;
  return a;
}

struct DirCloser {
  void operator()(DIR* d) const { closedir(d); }
};

// The byte length of the character at i: two for a lead byte with a byte after it.
std::size_t charLength(std::string_view s, std::size_t i) {
  return cp932::isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

// The position of the last "/" that is a character of its own, or npos.
std::size_t lastSlash(std::string_view path) {
  std::size_t found = std::string_view::npos;
  for (std::size_t i = 0; i < path.size(); i += charLength(path, i))
    if (path[i] == '/') found = i;
  return found;
}

unsigned char foldAscii(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c; }

}  // namespace

bool ntfsLess(std::string_view a, std::string_view b) {
  // Upper-case only bytes that stand as characters, never the trail byte of a double-byte one.
  std::size_t i = 0;
  bool trailA = false, trailB = false;
  for (; i < a.size() && i < b.size(); ++i) {
    unsigned char ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
    unsigned char fa = trailA ? ca : foldAscii(ca), fb = trailB ? cb : foldAscii(cb);
    if (fa != fb) return fa < fb;
    trailA = !trailA && cp932::isLeadByte(ca);
    trailB = !trailB && cp932::isLeadByte(cb);
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

namespace {

// The names of one folder, without "." and "..", in NTFS order; `describe(dirFd, dirent, entry)`
// fills in what the caller wants to know about each entry.
template <typename Describe>
Listing readFolder(const std::string& folder, Describe describe) {
  std::string native = nativeOrThrow(folder, kCannotListFolder);
  std::unique_ptr<DIR, DirCloser> dir(opendir(native.empty() ? "." : native.c_str()));
  if (!dir) throw FileError(message(kCannotListFolder, folder, errno));
  Listing listing;
  int dirFd = dirfd(dir.get());
  for (;;) {
    errno = 0;
    struct dirent* d = readdir(dir.get());
    if (!d) {
      if (errno != 0) throw FileError(message(kCannotListFolder, folder, errno));
      break;
    }
    if (strcmp(d->d_name, ".") == 0 || strcmp(d->d_name, "..") == 0) continue;
    auto name = fromNative(d->d_name);
    if (!name) {
      ++listing.leftOut;
      Entry kind;
      describe(dirFd, *d, kind);
      if (kind.attributes & kDirectory) {
        ++listing.leftOutFolders;
      } else if (kind.attributes != 0) {
        listing.leftOutFiles.emplace_back(d->d_name);
      }
      continue;
    }
    Entry entry;
    entry.name = std::move(*name);
    describe(dirFd, *d, entry);
    listing.entries.push_back(std::move(entry));
  }
  std::sort(listing.entries.begin(), listing.entries.end(),
            [](const Entry& x, const Entry& y) { return ntfsLess(x.name, y.name); });
  return listing;
}

unsigned kindOf(const struct stat& st, const char* name) {
  if (S_ISDIR(st.st_mode)) return kDirectory;
  if (!S_ISREG(st.st_mode)) return 0;
  return name[0] == '.' ? kArchive | kHidden : kArchive;
}

}  // namespace

Listing listFolder(const std::string& folder) {
  return readFolder(folder, [](int dirFd, const struct dirent& d, Entry& entry) {
    struct stat st;
    // Links are followed; a link to nothing is listed with no attribute bits.
    if (fstatat(dirFd, d.d_name, &st, 0) == 0) {
      entry.attributes = attributesOf(dirFd, d.d_name, st);
      if (S_ISREG(st.st_mode)) entry.size = static_cast<std::uint64_t>(st.st_size);
    }
  });
}

Listing listFolderKinds(const std::string& folder) {
  return readFolder(folder, [](int dirFd, const struct dirent& d, Entry& entry) {
    switch (d.d_type) {
      case DT_DIR:
        entry.attributes = kDirectory;
        return;
      case DT_REG:
        entry.attributes = d.d_name[0] == '.' ? kArchive | kHidden : kArchive;
        return;
      case DT_LNK:
      case DT_UNKNOWN:
        break;  // a link is what it points to; some file systems leave the kind to stat
      default:
        return;  // fifos, sockets, devices
    }
    struct stat st;
    if (fstatat(dirFd, d.d_name, &st, 0) == 0) entry.attributes = kindOf(st, d.d_name);
  });
}

bool fileExists(const std::string& path) {
  auto native = toNative(path);
  struct stat st;
  return native && !native->empty() && stat(native->c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool folderExists(const std::string& path) {
  auto native = toNative(path);
  struct stat st;
  return native && !native->empty() && stat(native->c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<FolderId> folderId(const std::string& path) {
  auto native = toNative(path);
  struct stat st;
  if (!native || native->empty() || stat(native->c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
  return FolderId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

std::optional<FileId> fileId(const std::string& path) {
  auto native = toNative(path);
  struct stat st;
  if (!native || native->empty() || stat(native->c_str(), &st) != 0) return std::nullopt;
  return FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

std::string readFile(const std::string& path) { return openForReading(path).readRest(); }

namespace {

// A folder just made below a copy root is this process's, for the close to remove again.
void recordIfBelowCopyRoot(const std::string& path, const std::string& native) {
  if (!ledger::rootOf(native).empty()) ledger::record(path, native, true, AT_FDCWD, native.c_str());
}

}  // namespace

bool deleteFile(const std::string& path, std::string* error) {
  auto native = toNative(path);
  if (!native) return fail(error, messageNoNative(kCannotDelete, path));
  if (existingReadOnly(*native)) return fail(error, messageWithReason(kCannotDelete, path, kReadOnlyFile));
  if (unlink(native->c_str()) != 0) return fail(error, message(kCannotDelete, path, errno));
  return true;
}

bool createFolder(const std::string& path, std::string* error) {
  auto native = toNative(path);
  if (!native) return fail(error, messageNoNative(kCannotCreateFolder, path));
  if (mkdir(native->c_str(), 0777) != 0) return fail(error, message(kCannotCreateFolder, path, errno));
  recordIfBelowCopyRoot(path, *native);
  return true;
}

bool removeFolder(const std::string& path, std::string* error) {
  auto native = toNative(path);
  if (!native) return fail(error, messageNoNative(kCannotRemoveFolder, path));
  if (rmdir(native->c_str()) != 0) return fail(error, message(kCannotRemoveFolder, path, errno));
  return true;
}

namespace {

// copyFile's work; raises FileError carrying the system's error number, so restoreCopy can pass on
// whether the copy was missing.
void copyOrThrow(const std::string& from, const std::string& to) {
  std::string nativeFrom = nativeOrThrow(from, kCannotCopy);
  std::string nativeTo = nativeOrThrow(to, kCannotCopy);
  struct stat target;
  bool targetExists = stat(nativeTo.c_str(), &target) == 0;
  if (targetExists && S_ISDIR(target.st_mode)) throw FileError(message(kCannotCopy, to, EISDIR), EISDIR);
  if (existingReadOnly(nativeTo)) throw FileError(messageWithReason(kCannotCopy, to, kReadOnlyFile), EACCES);
  std::string bytes;
  try {
    bytes = openForReading(from).readRest();
  } catch (const FileError& e) {
    throw FileError(text(kCannotCopy) + ": " + e.what(), e.error());
  }
  struct stat like;
  if (stat(nativeFrom.c_str(), &like) != 0) {
    const int err = errno;
    throw FileError(message(kCannotCopy, from, err), err);
  }
  // A new file takes the source's permission bits; a file copied over keeps what it is (bits, owner,
  // attributes, links), so restoring a private file never opens it to others. Either way it gets the
  // source's times.
  ReplaceOptions options;
  options.head = kCannotCopy;
  options.newMode = like.st_mode & 07777;
  options.atime = like.st_atim;
  options.mtime = like.st_mtim;
  replaceFile(to, bytes, options);
}

}  // namespace

bool copyFile(const std::string& from, const std::string& to, std::string* error) {
  try {
    copyOrThrow(from, to);
  } catch (const FileError& e) {
    return fail(error, e.what());
  }
  return true;
}

void restoreCopy(const std::string& copyPath, const std::string& file) { copyOrThrow(copyPath, file); }

void createFolders(const std::string& folder) {
  std::string native = nativeOrThrow(folder, kCannotCreateFolder);
  // Each "/" of the native name ends a folder to make; a CP932 "/" is never a trail byte, and UTF-8
  // has no "/" inside a character.
  for (std::size_t slash = native.find('/', 1);; slash = native.find('/', slash + 1)) {
    std::string part = native.substr(0, slash);
    struct stat st;
    if (!part.empty() && stat(part.c_str(), &st) != 0) {
      if (mkdir(part.c_str(), 0777) == 0) {
        recordIfBelowCopyRoot(fromNative(part).value_or(part), part);
      } else if (errno != EEXIST) {
        const int err = errno;
        throw FileError(message(kCannotCreateFolder, folder, err), err);
      }
    } else if (!part.empty() && !S_ISDIR(st.st_mode)) {
      throw FileError(message(kCannotCreateFolder, folder, ENOTDIR), ENOTDIR);
    }
    if (slash == std::string::npos) break;
  }
}

std::string currentFolder() {
  std::unique_ptr<char, decltype(&free)> cwd(getcwd(nullptr, 0), &free);
  if (!cwd) return ".";
  // A folder with no CP932 name cannot be given exactly; the nearest form is better than nothing.
  return cp932::fromUtf8(cwd.get()).text;
}

std::optional<std::string> toNative(std::string_view cp932Path) {
  auto converted = cp932::toUtf8(cp932Path);
  if (!converted.ok()) return std::nullopt;
  return std::move(converted.text);
}

std::optional<std::string> fromNative(std::string_view nativePath) {
  auto converted = cp932::fromUtf8(nativePath);
  if (!converted.ok()) return std::nullopt;
  // Several native characters share one CP932 code (¥ and \, 〜 and ～); only a name that comes
  // back as itself can be opened again through the CP932 form.
  auto back = cp932::toUtf8(converted.text);
  if (!back.ok() || back.text != nativePath) return std::nullopt;
  return std::move(converted.text);
}

std::string folderPart(std::string_view path) {
  std::size_t slash = lastSlash(path);
  if (slash == std::string_view::npos) return {};
  if (slash == 0) return "/";  // a name right under the root keeps the root as its folder
  return std::string(path.substr(0, slash));
}

std::string namePart(std::string_view path) {
  std::size_t slash = lastSlash(path);
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string extensionPart(std::string_view path) {
  std::string name = namePart(path);
  std::size_t dot = std::string::npos;
  for (std::size_t i = 0; i < name.size(); i += charLength(name, i))
    if (name[i] == '.') dot = i;
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

}  // namespace kelvane::files
