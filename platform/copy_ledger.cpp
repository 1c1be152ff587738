// The copy ledger. Entries are kept by native path with the device and inode they had when made; the
// removal walks from the root one folder at a time with O_NOFOLLOW, so a folder swapped for a link
// since cannot lead it elsewhere, and checks each entry's identity right before it unlinks it.
#include "platform/copy_ledger.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <utility>

#include "platform/files.h"
#include "platform/unique_fd.h"

namespace kelvane::files {
namespace {

// What tells the entry from whatever may later take its name, or its inode number.
struct Identity {
  unsigned long long device = 0, inode = 0;
  bool hasBirth = false;
  long long seconds = 0;  // birth time, or a file's change time
  unsigned nanoseconds = 0;
  bool operator==(const Identity&) const = default;
};

struct Made {
  std::string path;    // CP932, for the messages
  std::string native;  // below a root, or a root
  bool folder = false;
  Identity id;
};

// name in dirFd without following it (dirFd itself for an empty name).
std::optional<Identity> identityOf(int dirFd, const char* name, bool folder) {
  struct statx sx;
  const int flags = AT_SYMLINK_NOFOLLOW | (name[0] == '\0' ? AT_EMPTY_PATH : 0);
  if (statx(dirFd, name, flags, STATX_TYPE | STATX_INO | STATX_CTIME | STATX_BTIME, &sx) != 0) return std::nullopt;
  const bool isFolder = S_ISDIR(sx.stx_mode), isFile = S_ISREG(sx.stx_mode);
  if (folder ? !isFolder : !isFile) return std::nullopt;
  Identity id;
  id.device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
  id.inode = sx.stx_ino;
  if (sx.stx_mask & STATX_BTIME) {
    id.hasBirth = true;
    id.seconds = sx.stx_btime.tv_sec;
    id.nanoseconds = sx.stx_btime.tv_nsec;
  } else if (!folder) {
    // A folder's change time moves with every entry made or removed in it; a copy's does not.
    id.seconds = sx.stx_ctime.tv_sec;
    id.nanoseconds = sx.stx_ctime.tv_nsec;
  }
  return id;
}

struct Ledger {
  std::mutex mutex;
  std::vector<std::string> roots;  // native, without a trailing "/"
  std::vector<Made> entries;      // in the order they were made
  // Where each native path stands in entries: an overwrite of thousands of files looks its copies up
  // once each.
  std::unordered_map<std::string, std::size_t> index;

  void reindex() {
    index.clear();
    for (std::size_t i = 0; i < entries.size(); ++i) index.emplace(entries[i].native, i);
  }
};

Ledger& theLedger() {
  static Ledger ledger;
  return ledger;
}

std::string trimmed(std::string native) {
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  return native;
}

bool isBelowOrAt(const std::string& native, const std::string& root) {
  if (native.size() == root.size()) return native == root;
  return native.size() > root.size() && native.compare(0, root.size(), root) == 0 &&
         (native[root.size()] == '/' || root == "/");
}

// Opens the folder that holds the entry, reached from rootFd through real folders only.
UniqueFd openParentNoLinks(int rootFd, const std::vector<std::string>& parts) {
  UniqueFd fd(fcntl(rootFd, F_DUPFD_CLOEXEC, 0));
  for (std::size_t i = 0; fd && i + 1 < parts.size(); ++i)
    fd = UniqueFd(openat(fd.get(), parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  return fd;
}

enum class Outcome { kRemoved, kFailed, kNotOurs };

// Unlinks name in folderFd when it still is the entry. errno tells why on kFailed.
Outcome removeIfSame(int folderFd, const std::string& name, const Made& e) {
  if (identityOf(folderFd, name.c_str(), e.folder) != e.id) return Outcome::kNotOurs;
  // A copy of a read-only file is read-only too; unlinking needs only the folder's permission, and
  // the copy is ours, so its read-only bits do not protect it from us.
  return unlinkat(folderFd, name.c_str(), e.folder ? AT_REMOVEDIR : 0) == 0 ? Outcome::kRemoved : Outcome::kFailed;
}

Outcome removeBelow(int rootFd, const std::string& root, const Made& e) {
  const std::vector<std::string> parts = ledger::partsBelow(root, e.native);
  if (parts.empty()) return Outcome::kNotOurs;
  UniqueFd parent = openParentNoLinks(rootFd, parts);
  if (!parent) return Outcome::kNotOurs;
  return removeIfSame(parent.get(), parts.back(), e);
}

// The root itself, through its parent: the parent may be reached through links (the start-up folder
// may be), the root's own name is not followed.
Outcome removeRoot(const std::string& root, const Made& e) {
  const std::size_t slash = root.rfind('/');
  if (slash == std::string::npos || root == "/") return Outcome::kNotOurs;
  const std::string parentPath = slash == 0 ? "/" : root.substr(0, slash);
  UniqueFd parent(open(parentPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!parent) return Outcome::kNotOurs;
  return removeIfSame(parent.get(), root.substr(slash + 1), e);
}

// Copies in the order written, then folders deepest first (a folder is made before what it holds, so
// the reverse order of making is deepest first), the root last.
std::vector<Made> removalOrder(const std::vector<Made>& below) {
  std::vector<Made> order;
  std::copy_if(below.begin(), below.end(), std::back_inserter(order), [](const Made& e) { return !e.folder; });
  std::copy_if(below.rbegin(), below.rend(), std::back_inserter(order), [](const Made& e) { return e.folder; });
  return order;
}

// Takes the root's entries out of the ledger.
std::vector<Made> takeEntries(const std::string& root) {
  Ledger& l = theLedger();
  std::lock_guard lock(l.mutex);
  std::vector<Made> taken;
  auto keep = std::stable_partition(l.entries.begin(), l.entries.end(),
                                    [&](const Made& e) { return !isBelowOrAt(e.native, root); });
  std::move(keep, l.entries.end(), std::back_inserter(taken));
  l.entries.erase(keep, l.entries.end());
  l.reindex();
  return taken;
}

}  // namespace

void addCopyRoot(const std::string& root) {
  auto native = toNative(root);
  if (!native || native->empty()) return;
  Ledger& l = theLedger();
  std::lock_guard lock(l.mutex);
  std::string r = trimmed(*native);
  if (std::find(l.roots.begin(), l.roots.end(), r) == l.roots.end()) l.roots.push_back(std::move(r));
}

CopyRootKind copyRootKind(const std::string& root) {
  auto native = toNative(root);
  struct stat st;
  if (!native || native->empty() || lstat(trimmed(*native).c_str(), &st) != 0) return CopyRootKind::kMissing;
  if (S_ISLNK(st.st_mode)) return CopyRootKind::kLink;
  return S_ISDIR(st.st_mode) ? CopyRootKind::kFolder : CopyRootKind::kNotFolder;
}

std::vector<Removal> removeCreated(const std::string& root) {
  auto native = toNative(root);
  if (!native || native->empty() || copyRootKind(root) != CopyRootKind::kFolder) return {};
  const std::string r = trimmed(*native);
  UniqueFd rootFd(open(r.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!rootFd) return {};
  std::vector<Removal> done;
  for (const Made& e : removalOrder(takeEntries(r))) {
    const Outcome outcome = e.native == r ? removeRoot(r, e) : removeBelow(rootFd.get(), r, e);
    const int err = errno;
    if (outcome == Outcome::kNotOurs) continue;
    Removal removal{e.path, e.folder, outcome == Outcome::kRemoved, {}};
    if (!removal.removed) removal.error = e.path + " (" + reasonText(err) + ")";
    done.push_back(std::move(removal));
  }
  return done;
}

namespace ledger {

std::vector<std::string> partsBelow(const std::string& root, const std::string& native) {
  std::vector<std::string> parts;
  std::size_t at = root == "/" ? 1 : root.size() + 1;
  while (at < native.size()) {
    std::size_t slash = native.find('/', at);
    if (slash == std::string::npos) slash = native.size();
    if (slash > at) parts.push_back(native.substr(at, slash - at));
    at = slash + 1;
  }
  return parts;
}


std::string rootOf(const std::string& native) {
  Ledger& l = theLedger();
  std::lock_guard lock(l.mutex);
  const std::string* best = nullptr;
  for (const std::string& r : l.roots)
    if (isBelowOrAt(native, r) && (!best || r.size() > best->size())) best = &r;
  return best ? *best : std::string();
}

void record(const std::string& cp932Path, const std::string& native, bool folder, int dirFd, const char* name) {
  const std::optional<Identity> id = identityOf(dirFd, name, folder);
  if (!id) return;
  Ledger& l = theLedger();
  std::lock_guard lock(l.mutex);
  const std::string n = trimmed(native);
  Made entry{cp932Path, n, folder, *id};
  if (auto same = l.index.find(n); same != l.index.end()) {
    l.entries[same->second] = std::move(entry);  // a copy written again: its new inode, its old place
  } else {
    l.index.emplace(n, l.entries.size());
    l.entries.push_back(std::move(entry));
  }
}

bool isOurs(const std::string& native, int dirFd, const char* name) {
  const std::optional<Identity> id = identityOf(dirFd, name, false);
  if (!id) return false;
  Ledger& l = theLedger();
  std::lock_guard lock(l.mutex);
  const std::string n = trimmed(native);
  auto at = l.index.find(n);
  return at != l.index.end() && !l.entries[at->second].folder && l.entries[at->second].id == *id;
}

}  // namespace ledger
}  // namespace kelvane::files
