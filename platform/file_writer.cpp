// The writer: how a file is replaced without losing what it is, and how a backup copy is written.
//
// A rename over the target is the only way a crash can never leave half a file, so it is the usual
// road: the new bytes go to an unnamed file in the target's folder (O_TMPFILE; it vanishes with the
// process if anything goes wrong), which first takes the old file's owner, group and extended
// attributes (ACLs are the system.posix_acl_* ones) and then its mode; it is flushed, given a name
// ".kelvane-<pid>-XXXXXX" for the instant before the rename, renamed over the target, and the folder
// is flushed. On a file system without unnamed files the name is there from the start; a process
// killed mid-write leaves it, and the next write of any Kelvane into that folder removes such names
// whose process is gone (only names of that exact form, only regular files).
//
// A rename gives the target a new inode, and that is wrong in two cases: a file with several hard
// links (the other names would keep the old text, silently) and a file whose owner or attributes the
// new inode cannot take (another user's file: it would become ours and its owner could lose access).
// Those are rewritten in place instead. Before the first byte of the file changes, its old bytes are
// copied into a safe copy in the same folder, flushed, and only then given the name
// ".kelvane-safe-<pid>-XXXXXX-<name>", so after a crash mid-rewrite a complete copy of the old text
// sits beside the file under a name that says whose it is. The safe copies are never cleaned up
// automatically: one left behind may be the only good copy. After a failed rewrite the old bytes are
// put back from the safe copy and the copy is removed; if even that fails, the message names it.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <string.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <random>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/copy_ledger.h"
#include "platform/file_internal.h"
#include "platform/files.h"
#include "platform/unique_fd.h"

namespace kelvane::files {
using namespace internal;
namespace {

constexpr const char* kChanged = "読み込んだ後にファイルが変更されています";
constexpr const char* kGone = "読み込んだ後にファイルが削除されています";
constexpr const char* kPutBack = "。元の内容に戻しました";
constexpr const char* kSafeCopyKept = "。元の内容は次のファイルに残っています: ";
constexpr const char* kThroughLink = "リンクです。リンクの先にはコピーを書き込みません";
constexpr const char* kNotOurCopy = "このプログラムが書いたのではないファイルが既にあります";
constexpr const char* kTempPrefix = ".kelvane-";
constexpr const char* kSafePrefix = ".kelvane-safe-";
constexpr std::size_t kNameMax = 255;

mode_t currentUmask() {
  static const mode_t mask = [] {
    mode_t m = umask(022);
    umask(m);
    return m;
  }();
  return mask;
}

bool writeAllAt(int fd, std::string_view bytes, off_t at) {
  while (!bytes.empty()) {
    ssize_t n = pwrite(fd, bytes.data(), bytes.size(), at);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
    at += n;
  }
  return true;
}

std::string randomSuffix() {
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  static std::mt19937_64 generator(std::random_device{}() ^ static_cast<unsigned long>(getpid()));
  std::string s(6, 'x');
  for (char& c : s) c = kChars[generator() % (sizeof kChars - 1)];
  return s;
}

std::string ownName(const char* prefix) { return prefix + std::to_string(getpid()) + "-" + randomSuffix(); }

// ".kelvane-<pid>-XXXXXX" of a process that no longer runs.
bool isStaleTemp(const char* name) {
  const std::size_t prefix = strlen(kTempPrefix);
  if (strncmp(name, kTempPrefix, prefix) != 0) return false;
  const char* p = name + prefix;
  char* end = nullptr;
  errno = 0;
  const long pid = strtol(p, &end, 10);
  if (end == p || *p == '-' || *p == '+' || errno != 0 || *end != '-' || strlen(end + 1) != 6) return false;
  for (const char* c = end + 1; *c; ++c)
    if (!isalnum(static_cast<unsigned char>(*c))) return false;
  return pid > 0 && pid != getpid() && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// Removes what killed writers left in this folder, once per folder and process: a folder of 10,000
// pieces is read once, not once per piece. Known by its path, which costs no call to the system.
void removeStaleTemps(int dirFd, const std::string& folder) {
  static std::mutex mutex;
  static std::unordered_set<std::string> seen;
  {
    std::lock_guard lock(mutex);
    if (!seen.insert(folder).second) return;
  }
  int copy = fcntl(dirFd, F_DUPFD_CLOEXEC, 0);
  std::unique_ptr<DIR, int (*)(DIR*)> dir(copy >= 0 ? fdopendir(copy) : nullptr, &closedir);
  if (!dir) {
    if (copy >= 0) close(copy);
    return;
  }
  while (struct dirent* d = readdir(dir.get())) {
    struct stat entry;
    if (isStaleTemp(d->d_name) && fstatat(dirFd, d->d_name, &entry, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(entry.st_mode))
      unlinkat(dirFd, d->d_name, 0);
  }
}

// A new file in a folder, unnamed where the file system allows. Unless published or kept, a named one
// is removed again when the object goes.
class TempFile {
 public:
  TempFile() = default;
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() {
    if (!name_.empty() && !keep_) unlinkat(dirFd_, name_.c_str(), 0);
  }

  // 0 or the errno of the failure. prefix is the start of the name a named one gets.
  int create(int dirFd, const char* prefix) {
    dirFd_ = dirFd;
    prefix_ = prefix;
    fd_ = UniqueFd(openat(dirFd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    if (fd_) return 0;
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return errno;
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string name = ownName(prefix);
      fd_ = UniqueFd(openat(dirFd, name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600));
      if (fd_) {
        name_ = std::move(name);
        return 0;
      }
      if (errno != EEXIST) return errno;
    }
    return EEXIST;
  }

  int fd() const { return fd_.get(); }
  const std::string& name() const { return name_; }

  // Gives an unnamed file its name (a named one has it already); suffix, when it fits, follows the
  // random part. 0 or the errno.
  int giveName(const std::string& suffix = {}) {
    if (!name_.empty()) return 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string name = ownName(prefix_);
      if (!suffix.empty() && name.size() + 1 + suffix.size() <= kNameMax) name += "-" + suffix;
      if (linkUnnamed(name.c_str()) == 0) {
        name_ = std::move(name);
        return 0;
      }
      if (errno != EEXIST) return errno;
    }
    return EEXIST;
  }

  // Names the file and renames it over target in the same folder. 0 or the errno.
  int renameOver(const std::string& target) {
    if (int err = giveName()) return err;
    if (renameat(dirFd_, name_.c_str(), dirFd_, target.c_str()) != 0) return errno;
    name_.clear();
    return 0;
  }

  void keep() { keep_ = true; }

 private:
  // Linking by the descriptor itself needs a privilege (CAP_DAC_READ_SEARCH); through /proc it needs
  // /proc. Whichever worked is tried first next time, so a write costs one call, not a failed one too.
  int linkUnnamed(const char* name) {
    // Written by whichever writer thread learns it (kelvane-grep writes on several threads).
    static std::atomic<bool> byDescriptorFirst{true};
    auto byDescriptor = [&] { return linkat(fd_.get(), "", dirFd_, name, AT_EMPTY_PATH); };
    auto byProc = [&] {
      const std::string procPath = "/proc/self/fd/" + std::to_string(fd_.get());
      return linkat(AT_FDCWD, procPath.c_str(), dirFd_, name, AT_SYMLINK_FOLLOW);
    };
    if ((byDescriptorFirst ? byDescriptor() : byProc()) == 0) return 0;
    if (errno == EEXIST) return -1;
    if ((byDescriptorFirst ? byProc() : byDescriptor()) != 0) return -1;
    byDescriptorFirst = !byDescriptorFirst.load();
    return 0;
  }

  UniqueFd fd_;
  int dirFd_ = -1;
  const char* prefix_ = kTempPrefix;
  std::string name_;
  bool keep_ = false;
};

// The names in a list as listxattr hands it out: each ends with a zero byte.
std::vector<std::string> namesIn(const std::string& list) {
  std::vector<std::string> names;
  for (std::size_t at = 0; at < list.size(); at += names.back().size() + 1) names.emplace_back(list.c_str() + at);
  return names;
}

// Reads a list or a value whose size the system tells first, asking again when it grew in between.
// nullopt when the system refuses.
template <typename Get>
std::optional<std::string> sized(Get get) {
  for (;;) {
    ssize_t size = get(nullptr, 0);
    if (size < 0) return std::nullopt;
    std::string buffer(static_cast<std::size_t>(size), '\0');
    size = get(buffer.data(), buffer.size());
    if (size < 0 && errno == ERANGE) continue;
    if (size < 0) return std::nullopt;
    buffer.resize(static_cast<std::size_t>(size));
    return buffer;
  }
}

std::vector<std::string> xattrNamesOf(const std::string& path) {
  auto list = sized([&](char* to, size_t n) { return llistxattr(path.c_str(), to, n); });
  return list ? namesIn(*list) : std::vector<std::string>();  // none, or a file system without them
}

std::vector<std::string> xattrNamesOf(int fd) {
  auto list = sized([&](char* to, size_t n) { return flistxattr(fd, to, n); });
  return list ? namesIn(*list) : std::vector<std::string>();
}

// Gives the new file exactly the old one's extended attributes: the old ones are set, and those the
// new file got from its folder (an inherited default ACL) but the old one lacked are removed. False
// when one cannot be carried over.
bool takeXattrs(const std::string& oldPath, int fd) {
  const std::vector<std::string> old = xattrNamesOf(oldPath);
  for (const std::string& name : xattrNamesOf(fd))
    if (std::find(old.begin(), old.end(), name) == old.end() && fremovexattr(fd, name.c_str()) != 0) return false;
  for (const std::string& name : old) {
    const char* n = name.c_str();
    auto value = sized([&](char* to, size_t size) { return lgetxattr(oldPath.c_str(), n, to, size); });
    if (!value) return false;
    if (fsetxattr(fd, n, value->data(), value->size(), 0) == 0) continue;
    // A label the new file was given already the same (an SELinux context) is no loss.
    auto now = sized([&](char* to, size_t size) { return fgetxattr(fd, n, to, size); });
    if (!now || *now != *value) return false;
  }
  return true;
}

bool takeOwner(int fd, const struct stat& old) {
  if (old.st_uid == geteuid() && old.st_gid == getegid()) return true;
  return fchown(fd, old.st_uid, old.st_gid) == 0;
}

// Whether the open file holds exactly these bytes.
bool holds(int fd, std::string_view expected) {
  struct stat st;
  if (fstat(fd, &st) != 0 || static_cast<std::uint64_t>(st.st_size) != expected.size()) return false;
  char buffer[65536];
  off_t at = 0;
  while (static_cast<std::size_t>(at) < expected.size()) {
    ssize_t n = pread(fd, buffer, sizeof buffer, at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || memcmp(buffer, expected.data() + at, static_cast<std::size_t>(n)) != 0) return false;
    at += n;
  }
  return true;
}

// Copies the whole of from into to (from offset 0 each), to then having exactly that size. 0 or errno.
int copyContent(int from, int to, off_t size) {
  off_t in = 0, out = 0;
  while (in < size) {
    ssize_t n = copy_file_range(from, &in, to, &out, static_cast<std::size_t>(size - in), 0);
    if (n > 0) continue;
    if (n == 0) break;
    if (errno == EINTR) continue;
    if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return errno;
    char buffer[65536];  // the kernel cannot copy between these two: by hand
    for (;;) {
      ssize_t r = pread(from, buffer, sizeof buffer, in);
      if (r < 0 && errno == EINTR) continue;
      if (r < 0) return errno;
      if (r == 0) break;
      if (!writeAllAt(to, std::string_view(buffer, static_cast<std::size_t>(r)), out)) return errno;
      in += r;
      out += r;
    }
    break;
  }
  return ftruncate(to, out) == 0 ? 0 : errno;
}

// Writes bytes over the file from its start; fresh is a new empty file, which has nothing to cut off.
int rewrite(int fd, std::string_view bytes, const ReplaceOptions& o, bool fresh = false) {
  if (!writeAllAt(fd, bytes, 0)) return errno;
  if (!fresh && ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) return errno;
  if (o.mtime) {
    struct timespec times[2] = {*o.atime, *o.mtime};
    futimens(fd, times);
  }
  return fsync(fd) == 0 ? 0 : errno;
}

std::string cp932OrNative(const std::string& native) { return fromNative(native).value_or(native); }

std::string nativeFolderOf(const std::string& native) {
  auto slash = native.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : native.substr(0, slash);
}

std::string nativeNameOf(const std::string& native) {
  auto slash = native.rfind('/');
  return slash == std::string::npos ? native : native.substr(slash + 1);
}

// A link is written through: the file it points to gets the new bytes and the link stays a link.
std::string resolveLink(const std::string& native) {
  struct stat st;
  if (lstat(native.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return native;
  std::unique_ptr<char, decltype(&free)> real(realpath(native.c_str(), nullptr), &free);
  return real ? std::string(real.get()) : native;
}

[[noreturn]] void fail(const char* head, const std::string& path, int err) {
  throw FileError(failure(head, path, err), err);
}

[[noreturn]] void changed(const std::string& path, int err) {
  throw FileChangedError(failureWithReason(kCannotWrite, path, err == ENOENT ? kGone : kChanged), err);
}

// The target in its open folder.
struct Target {
  std::string path;    // CP932, for messages
  std::string native;  // the file itself, links resolved
  UniqueFd folder;
  std::string name;
  bool exists = false;
  struct stat st {};
};

Target openTarget(const std::string& path, const ReplaceOptions& o) {
  Target t;
  t.path = path;
  t.native = resolveLink(nativeOrThrow(path, o.head));
  t.folder = UniqueFd(open(nativeFolderOf(t.native).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!t.folder) fail(o.head, path, errno);
  t.name = nativeNameOf(t.native);
  t.exists = fstatat(t.folder.get(), t.name.c_str(), &t.st, AT_SYMLINK_NOFOLLOW) == 0;
  if (!t.exists && errno != ENOENT) fail(o.head, path, errno);
  if (!t.exists && o.expected) changed(path, ENOENT);
  if (t.exists && S_ISDIR(t.st.st_mode)) fail(o.head, path, EISDIR);
  if (t.exists && !S_ISREG(t.st.st_mode)) fail(o.head, path, EINVAL);
  if (t.exists && isReadOnly(t.folder.get(), t.name.c_str(), t.st))
    throw FileError(failureWithReason(o.head, path, kReadOnlyFile), EACCES);
  return t;
}

// Right before a rename replaces it: the name still leads to the file that was looked at, and that
// file still holds the expected bytes.
void checkUnchanged(const Target& t, std::string_view expected) {
  UniqueFd now(openat(t.folder.get(), t.name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!now) {
    if (errno == ENOENT) changed(t.path, ENOENT);
    fail(kCannotWrite, t.path, errno);
  }
  struct stat st;
  if (fstat(now.get(), &st) != 0 || st.st_dev != t.st.st_dev || st.st_ino != t.st.st_ino ||
      !holds(now.get(), expected))
    changed(t.path, 0);
}

void writeInPlace(const Target& t, std::string_view bytes, const ReplaceOptions& o) {
  UniqueFd file(openat(t.folder.get(), t.name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!file) fail(o.head, t.path, errno);
  struct stat st;
  if (fstat(file.get(), &st) != 0 || st.st_dev != t.st.st_dev || st.st_ino != t.st.st_ino) changed(t.path, 0);
  if (o.expected && !holds(file.get(), *o.expected)) changed(t.path, 0);
  TempFile safe;
  int err = safe.create(t.folder.get(), kSafePrefix);
  if (!err) err = copyContent(file.get(), safe.fd(), st.st_size);
  if (!err && fsync(safe.fd()) != 0) err = errno;
  if (!err) err = safe.giveName(t.name);
  if (!err && fsync(t.folder.get()) != 0) err = errno;
  if (err) fail(o.head, t.path, err);  // the file has not been touched
  err = rewrite(file.get(), bytes, o);
  if (!err) return;  // the safe copy goes with `safe`
  const std::string reason = failure(o.head, t.path, err);
  if (copyContent(safe.fd(), file.get(), st.st_size) == 0 && fsync(file.get()) == 0)
    throw FileError(reason + text(kPutBack), err);
  safe.keep();
  throw FileError(reason + text(kSafeCopyKept) + cp932OrNative(nativeFolderOf(t.native) + "/" + safe.name()), err);
}

}  // namespace

namespace internal {

void replaceFile(const std::string& path, std::string_view bytes, const ReplaceOptions& o) {
  const Target t = openTarget(path, o);
  removeStaleTemps(t.folder.get(), nativeFolderOf(t.native));
  if (t.exists && t.st.st_nlink > 1) return writeInPlace(t, bytes, o);
  TempFile temp;
  if (int err = temp.create(t.folder.get(), kTempPrefix)) fail(o.head, path, err);
  if (t.exists && !(takeOwner(temp.fd(), t.st) && takeXattrs(t.native, temp.fd()))) return writeInPlace(t, bytes, o);
  // The mode after fchown, which clears set-id bits, and after the ACL, whose mask it sets again.
  const mode_t mode = t.exists ? (t.st.st_mode & 07777) : static_cast<mode_t>(o.newMode.value_or(0666 & ~currentUmask()));
  int err = rewrite(temp.fd(), bytes, o, /*fresh=*/true);
  if (!err && fchmod(temp.fd(), mode) != 0) err = errno;
  if (err) fail(o.head, path, err);
  if (o.expected) checkUnchanged(t, *o.expected);
  if (int err2 = temp.renameOver(t.name)) fail(o.head, path, err2);
  fsync(t.folder.get());  // best effort: the rename is done, a failure here loses nothing
}

}  // namespace internal

void writeFile(const std::string& path, std::string_view bytes) { replaceFile(path, bytes, ReplaceOptions{}); }

void writeFileIfUnchanged(const std::string& path, std::string_view expectedOldBytes, std::string_view newBytes) {
  ReplaceOptions o;
  o.expected = expectedOldBytes;
  replaceFile(path, newBytes, o);
}

namespace {

[[noreturn]] void throughLink(const std::string& native) {
  throw FileError(failureWithReason(kCannotCopy, cp932OrNative(native), kThroughLink), ELOOP);
}

// Opens root without following a link at its name, making it when it is missing.
UniqueFd openCopyRoot(const std::string& root) {
  UniqueFd fd(open(root.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!fd && errno == ENOENT && mkdir(root.c_str(), 0777) == 0) {
    fd = UniqueFd(open(root.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (fd) ledger::record(cp932OrNative(root), root, true, fd.get(), "");
  }
  if (fd) return fd;
  const int err = errno;
  struct stat st;
  if (lstat(root.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) throughLink(root);
  fail(kCannotCreateFolder, cp932OrNative(root), err);
}

// The folder at parts below rootFd when it exists and no link is on the way, in one call (openat2);
// otherwise nothing, and the caller walks, making what is missing and naming a link it meets.
UniqueFd openBeneathNoLinks(int rootFd, const std::vector<std::string>& parts) {
  if (parts.empty()) return UniqueFd();
  std::string relative;
  for (const std::string& part : parts) relative += (relative.empty() ? "" : "/") + part;
  struct open_how how {};
  how.flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
  how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
  return UniqueFd(static_cast<int>(syscall(SYS_openat2, rootFd, relative.c_str(), &how, sizeof how)));
}

// The folder of a copy below root, each folder on the way entered (or made and entered in the
// ledger) without following a link.
UniqueFd openCopyFolder(const std::string& native, const std::string& root) {
  UniqueFd fd = openCopyRoot(root);
  std::vector<std::string> parts = ledger::partsBelow(root, native);
  if (!parts.empty()) parts.pop_back();
  if (UniqueFd existing = openBeneathNoLinks(fd.get(), parts)) return existing;
  std::string at = root;
  for (const std::string& part : parts) {
    // tempCopyPath never makes these; a path that has them would lead the walk out of the root.
    if (part == "." || part == "..") fail(kCannotCopy, cp932OrNative(native), EINVAL);
    at += (at == "/" ? "" : "/") + part;
    const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    UniqueFd next(openat(fd.get(), part.c_str(), flags));
    if (!next && errno == ENOENT && mkdirat(fd.get(), part.c_str(), 0777) == 0) {
      next = UniqueFd(openat(fd.get(), part.c_str(), flags));
      if (next) ledger::record(cp932OrNative(at), at, true, next.get(), "");
    }
    if (!next) {
      const int err = errno;
      struct stat st;
      if (fstatat(fd.get(), part.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)) throughLink(at);
      fail(kCannotCreateFolder, cp932OrNative(at), err);
    }
    fd = std::move(next);
  }
  return fd;
}

UniqueFd openFolderOf(const std::string& copyPath, const std::string& native) {
  const std::string folder = folderPart(copyPath);
  if (!folder.empty()) createFolders(folder);
  UniqueFd fd(open(nativeFolderOf(native).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd) fail(kCannotCopy, copyPath, errno);
  return fd;
}

}  // namespace

void writeCopy(const std::string& copyPath, std::string_view bytes, unsigned permissions) {
  const std::string native = nativeOrThrow(copyPath, kCannotCopy);
  const std::string root = ledger::rootOf(native);
  if (!root.empty() && native == root) fail(kCannotCopy, copyPath, EISDIR);
  const UniqueFd folder = root.empty() ? openFolderOf(copyPath, native) : openCopyFolder(native, root);
  const std::string name = nativeNameOf(native);
  struct stat old;
  if (fstatat(folder.get(), name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0) {
    if (S_ISLNK(old.st_mode)) throughLink(native);
    if (!S_ISREG(old.st_mode)) fail(kCannotCopy, copyPath, S_ISDIR(old.st_mode) ? EISDIR : EINVAL);
    if (!root.empty() && !ledger::isOurs(native, folder.get(), name.c_str()))
      throw FileError(failureWithReason(kCannotCopy, copyPath, kNotOurCopy), EEXIST);
  }
  TempFile temp;
  int err = temp.create(folder.get(), kTempPrefix);
  ReplaceOptions plain;
  // Read, write and execute bits only: a copy kept for undo never runs with its owner's rights.
  if (!err) err = rewrite(temp.fd(), bytes, plain, /*fresh=*/true);
  if (!err && fchmod(temp.fd(), static_cast<mode_t>(permissions & 0777)) != 0) err = errno;
  if (!err) err = temp.renameOver(name);
  if (err) fail(kCannotCopy, copyPath, err);
  fsync(folder.get());
  // Known by the inode as renamed (a rename moves its change time), through the still open file.
  if (!root.empty()) ledger::record(copyPath, native, false, temp.fd(), "");
}

}  // namespace kelvane::files
