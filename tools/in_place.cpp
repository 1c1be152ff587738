#include "tools/in_place.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/files.h"
#include "platform/line_list.h"

namespace kelvane::tools {
namespace {

struct Identity {
  std::uint64_t device = 0, inode = 0;
  bool operator==(const Identity&) const = default;
};

std::optional<Identity> identityOf(const std::string& native) {
  struct stat st;
  if (stat(native.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return Identity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

std::pair<std::string, std::string> splitNative(const std::string& native) {
  const std::size_t slash = native.find_last_of('/');
  if (slash == std::string::npos) return {".", native};
  return {slash == 0 ? "/" : native.substr(0, slash), native.substr(slash + 1)};
}

// The native path a link finally leads to, or nullopt when it leads nowhere (the read says why).
std::optional<std::string> resolved(const std::string& native) {
  std::unique_ptr<char, decltype(&free)> real(realpath(native.c_str(), nullptr), &free);
  if (!real) return std::nullopt;
  return std::string(real.get());
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Makes a new file at native holding bytes, never replacing anything there: the bytes go to an
// unnamed file of the same folder (a named one where the file system has no unnamed files), are
// flushed, and only then get their name, by a link that fails when the name is taken. Returns 0 or
// the error number (EEXIST when the name is taken).
int createNewFile(const std::string& native, std::string_view bytes, const struct stat& like) {
  const auto [folder, name] = splitNative(native);
  const mode_t mode = like.st_mode & 0777;
  std::string temp;
  int fd = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
  if (fd < 0) {
    temp = folder + "/." + name + ".kelvane-XXXXXX";
    fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return errno;
  }
  int err = 0;
  if (!writeAll(fd, bytes)) err = errno ? errno : EIO;
  if (!err && geteuid() == 0) (void)fchown(fd, like.st_uid, like.st_gid);  // its owner keeps access
  if (!err && fchmod(fd, mode) != 0) err = errno;
  if (!err && fsync(fd) != 0) err = errno;
  if (!err) {
    const std::string from = temp.empty() ? "/proc/self/fd/" + std::to_string(fd) : temp;
    if (linkat(AT_FDCWD, from.c_str(), AT_FDCWD, native.c_str(), temp.empty() ? AT_SYMLINK_FOLLOW : 0) != 0)
      err = errno;
  }
  close(fd);
  if (!temp.empty()) unlink(temp.c_str());
  if (!err) {
    const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
      (void)fsync(dir);  // the name on disk too; the bytes already are
      close(dir);
    }
  }
  return err;
}

}  // namespace

std::optional<std::pair<std::uint64_t, std::uint64_t>> TargetClaims::FolderOf(const std::string& nativeFolder) {
  if (auto it = folders_.find(nativeFolder); it != folders_.end()) return it->second;
  struct stat st;
  if (stat(nativeFolder.c_str(), &st) != 0) return std::nullopt;
  auto key = std::make_pair(static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino));
  folders_.emplace(nativeFolder, key);
  return key;
}

std::optional<FileTarget> TargetClaims::Claim(const std::string& path) {
  FileTarget target{path, path, false, 0, 0};
  const std::optional<std::string> native = files::toNative(path);
  struct stat st;
  if (!native || lstat(native->c_str(), &st) != 0) return target;
  std::string writeNative = *native;
  if (S_ISLNK(st.st_mode)) {
    std::optional<std::string> real = resolved(*native);
    if (!real) return target;
    writeNative = *real;
    // A name with no CP932 form cannot be written through the file layer; the rewrite says so.
    target.writePath = files::fromNative(writeNative).value_or("");
  }
  const std::optional<Identity> file = identityOf(writeNative);
  const auto [folder, name] = splitNative(writeNative);
  const auto folderKey = FolderOf(folder);
  if (!file || !folderKey) return target;
  const Entry entry{folderKey->first, folderKey->second, name};
  const std::pair<std::uint64_t, std::uint64_t> fileKey{file->device, file->inode};
  if (entries_.count(entry) || files_.count(fileKey)) return std::nullopt;
  entries_.insert(entry);
  files_.insert(fileKey);
  // The backup this run may make beside it is not a file to rewrite, should a later walk list it.
  if (backupSuffix_) entries_.insert({folderKey->first, folderKey->second, name + backupNative_});
  target.located = true;
  target.device = file->device;
  target.inode = file->inode;
  return target;
}

struct InPlaceRewriter::Replaced {
  std::string bytes;
  struct Change {
    std::int64_t lineNo;
    std::size_t begin, end;  // in bytes
  };
  std::vector<Change> changes;
};

InPlaceRewriter::InPlaceRewriter(const std::string& pattern, bool fuzzy, const ReplaceOptions& options)
    : options_(options), searcher_(pattern, {.plain = false, .ignoreCase = false, .fuzzy = fuzzy}) {
  awk_.LineSeparator = mcls_CRLF;
  awk_.SetUseFuzzyCharDic(fuzzy);
  awk_.SetRegExp(pattern);
}

void InPlaceRewriter::Rewrite(const FileTarget& target, JobOutput& out, RunStatus& status) {
  const Texts& t = out.texts();
  auto leftAlone = [&](std::string_view reason) { out.Error(t.cp932(target.path) + t.own("：") + t.own(reason)); };
  if (target.writePath.empty()) return leftAlone(msg::kTargetNotCp932);
  std::string bytes;
  try {
    bytes = files::readFile(target.writePath);
  } catch (const files::FileError& e) {
    return out.Error(t.cp932(e.what()));
  }
  const std::optional<std::string> native = files::toNative(target.writePath);
  // Unlocated but readable, or another file than the one claimed: it changed under our eyes.
  if (!target.located || !native || identityOf(*native) != Identity{target.device, target.inode})
    return leftAlone(msg::kChanged);
  if (AfterRead) AfterRead();
  std::optional<Replaced> replaced = Replace(target, bytes, out);
  if (!replaced) return;
  status.matched = true;
  if (!options_.dryRun) return Commit(target, bytes, replaced->bytes, out);
  for (const Replaced::Change& c : replaced->changes) {
    out.Line(target.path, c.lineNo, std::string_view(replaced->bytes).substr(c.begin, c.end - c.begin));
  }
}

// The file's bytes with the matching lines replaced, or nullopt when nothing is to be written (no
// line changed, or the file was left alone and that is said).
std::optional<InPlaceRewriter::Replaced> InPlaceRewriter::Replace(const FileTarget& target, const std::string& bytes,
                                                                  JobOutput& out) {
  const Texts& t = out.texts();
  bool hasNul = false, differs = false;
  const std::vector<files::LineSpan> spans = files::indexLines(bytes, &hasNul);
  std::vector<std::int64_t> matching;
  try {
    // The search reads the file again; each line it reports must be the line read here.
    searcher_.Search(target.writePath, [&](std::int64_t lineNo, std::string_view line) {
      const auto i = static_cast<std::size_t>(lineNo - 1);
      if (i >= spans.size() || std::string_view(bytes).substr(spans[i].begin, spans[i].end - spans[i].begin) != line)
        differs = true;
      matching.push_back(lineNo);
    });
  } catch (const EInOutError& e) {
    out.Error(t.cp932(e.what()));
    return std::nullopt;
  }
  if (matching.empty()) return std::nullopt;
  auto leftAlone = [&](std::string_view reason) {
    out.Error(t.cp932(target.path) + t.own("：") + t.own(reason));
    return std::nullopt;
  };
  if (hasNul) return leftAlone(msg::kHasNul);
  if (differs) return leftAlone(msg::kChanged);
  Replaced r;
  r.bytes.reserve(bytes.size() + bytes.size() / 8);
  std::size_t copied = 0;
  for (std::int64_t lineNo : matching) {
    const files::LineSpan& span = spans[static_cast<std::size_t>(lineNo - 1)];
    std::string line = bytes.substr(span.begin, span.end - span.begin);
    // A replacement that gives the line back as it was changes nothing to write.
    if (awk_.GSub(options_.replacement, line) == 0 || bytes.compare(span.begin, span.end - span.begin, line) == 0)
      continue;
    if (line.find('\0') != std::string::npos) return leftAlone(msg::kWouldWriteNul);
    r.bytes.append(bytes, copied, span.begin - copied);
    r.changes.push_back({lineNo, r.bytes.size(), r.bytes.size() + line.size()});
    r.bytes += line;
    copied = span.end;
  }
  if (r.changes.empty()) return std::nullopt;
  r.bytes.append(bytes, copied, std::string::npos);
  return r;
}

void InPlaceRewriter::Commit(const FileTarget& target, const std::string& bytes, const std::string& newBytes,
                             JobOutput& out) {
  const Texts& t = out.texts();
  const std::string native = *files::toNative(target.writePath);
  if (BeforeCommit) BeforeCommit();
  std::string backup;  // the native path of the backup this run made, deleted when the file stays
  auto fail = [&](const std::string& message) {
    if (!backup.empty()) unlink(backup.c_str());
    out.Error(message);
  };
  auto leftAlone = [&](const std::string& reason) { fail(t.cp932(target.path) + t.own("：") + reason); };
  if (options_.backupSuffix) {
    const std::string name = target.writePath + *options_.backupSuffix;
    const std::optional<std::string> backupNative = files::toNative(name);
    struct stat like;
    if (!backupNative || stat(native.c_str(), &like) != 0) return leftAlone(t.own(msg::kChanged));
    if (const int err = createNewFile(*backupNative, bytes, like)) {
      return leftAlone(t.own(msg::kBackup) + t.cp932(name) +
                       (err == EEXIST ? t.own(msg::kBackupExists)
                                      : t.own(msg::kBackupFailed) + t.cp932(files::reasonText(err))));
    }
    backup = *backupNative;
  }
  // Still the file that was read; the writer compares it with what was read right before the new
  // bytes replace it, so another program's write in between is never overwritten.
  try {
    if (identityOf(native) != Identity{target.device, target.inode}) return leftAlone(t.own(msg::kChanged));
    files::writeFileIfUnchanged(target.writePath, bytes, newBytes);
  } catch (const files::FileChangedError&) {
    return leftAlone(t.own(msg::kChanged));
  } catch (const files::FileError& e) {
    return fail(t.cp932(e.what()));  // the file layer's text names the file
  }
  out.Text(target.path);
}

}  // namespace kelvane::tools
