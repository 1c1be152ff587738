// The writer keeps what a file is, on real files: hard links, another user's file, extended
// attributes, ACLs, mode; a rewrite that fails part-way; names left by killed writers; the
// replace-only-if-unchanged write.
#include <errno.h>
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>

#include "platform/files.h"
#include "tests/testing/temp_dir.h"

namespace kelvane::files {
namespace {

using testing::slurp;
using testing::TempDir;
namespace stdfs = std::filesystem;

struct stat statOf(const std::string& path) {
  struct stat st {};
  stat(path.c_str(), &st);
  return st;
}

std::vector<std::string> namesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : stdfs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string xattrOf(const std::string& path, const char* name) {
  char buffer[4096];
  ssize_t n = getxattr(path.c_str(), name, buffer, sizeof buffer);
  return n < 0 ? std::string("<none>") : std::string(buffer, static_cast<std::size_t>(n));
}

// Runs body in a child process as uid/gid (no other groups); its exit code, 99 when dropping failed.
int runAs(uid_t uid, gid_t gid, const std::function<int()>& body) {
  pid_t pid = fork();
  if (pid == 0) {
    if (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0) _exit(99);
    _exit(body());
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

// A POSIX ACL as the system.posix_acl_* attributes hold it: version 2, then {tag, perm, id} entries.
struct AclEntry {
  std::uint16_t tag, perm;
  std::uint32_t id;
};
std::string aclBytes(std::initializer_list<AclEntry> entries) {
  std::string bytes("\x02\0\0\0", 4);
  for (const AclEntry& e : entries) bytes.append(reinterpret_cast<const char*>(&e), sizeof e);
  return bytes;
}
constexpr std::uint16_t kUserObj = 0x01, kUser = 0x02, kGroupObj = 0x04, kMask = 0x10, kOther = 0x20;

// A file-size limit that makes writes fail part-way, as a full disk does, for the object's life.
class SizeLimit {
 public:
  explicit SizeLimit(rlim_t bytes) : oldHandler_(signal(SIGXFSZ, SIG_IGN)) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    struct rlimit small = saved_;
    small.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &small);
  }
  ~SizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, oldHandler_);
  }

 private:
  struct rlimit saved_;
  sighandler_t oldHandler_;
};

TEST(Writer, EveryHardLinkSeesTheNewTextAndNothingIsLeftBeside) {
  TempDir dir;
  const std::string a = dir.write("a.txt", "old\r\n");
  const std::string b = dir / "b.txt";
  ASSERT_EQ(link(a.c_str(), b.c_str()), 0);
  const auto before = statOf(a);
  writeFile(a, "new text\r\n");
  EXPECT_EQ(slurp(a), "new text\r\n");
  EXPECT_EQ(slurp(b), "new text\r\n");
  EXPECT_EQ(statOf(b).st_ino, before.st_ino);
  EXPECT_EQ(statOf(a).st_nlink, 2u);
  writeFile(b, "");  // shorter: the rest is cut off
  EXPECT_EQ(slurp(a), "");
  EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"a.txt", "b.txt"}));  // no safe copy left
}

TEST(Writer, AFailedRewriteInPlacePutsTheOldBytesBack) {
  TempDir dir;
  const std::string a = dir.write("a.txt", "old content");
  ASSERT_EQ(link(a.c_str(), (dir / "b.txt").c_str()), 0);
  try {
    SizeLimit limit(4096);
    writeFile(a, std::string(100000, 'n'));
    FAIL() << "the write should fail";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find(a), std::string::npos) << e.what();
  }
  EXPECT_EQ(slurp(a), "old content");
  EXPECT_EQ(slurp(dir / "b.txt"), "old content");
  EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"a.txt", "b.txt"}));
}

// A writer killed mid-write: the file-size limit's signal ends the child in the middle of its write.
int killedMidWrite(const std::string& file, std::size_t size) {
  pid_t pid = fork();
  if (pid == 0) {
    struct rlimit noCore {0, 0}, small {4096, 4096};
    setrlimit(RLIMIT_CORE, &noCore);
    signal(SIGXFSZ, SIG_DFL);
    setrlimit(RLIMIT_FSIZE, &small);
    writeFile(file, std::string(size, 'n'));
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFSIGNALED(status) ? WTERMSIG(status) : -1;
}

TEST(Writer, AKillMidWriteLeavesTheOldFileOrBesideARewriteInPlaceItsCompleteSafeCopy) {
  TempDir dir;
  const std::string file = dir.write("f.txt", "old content");
  ASSERT_EQ(killedMidWrite(file, 100000), SIGXFSZ);
  EXPECT_EQ(slurp(file), "old content");
  EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"f.txt"});  // the unnamed file went with it

  ASSERT_EQ(link(file.c_str(), (dir / "g.txt").c_str()), 0);
  ASSERT_EQ(killedMidWrite(file, 100000), SIGXFSZ);
  const auto names = namesIn(dir.path());
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(names[0].rfind(".kelvane-safe-", 0), 0u);
  EXPECT_EQ(names[0].substr(names[0].size() - 6), "-f.txt");  // says whose it is
  EXPECT_EQ(slurp(dir / names[0]), "old content");
  writeFile(file, "next");  // a safe copy is never cleaned up by itself: it may be all that is left
  EXPECT_EQ(namesIn(dir.path()).size(), 3u);
}

TEST(Writer, AnotherUsersFileKeepsItsOwnerAndItsOwnersAccess) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to make files of two other users";
  TempDir dir;
  const std::string shared = dir.mkdir("shared");
  chmod(dir.path().c_str(), 0755);
  chmod(shared.c_str(), 0777);  // world-writable, no sticky bit: a rename over the file would be allowed
  const uid_t owner = 54321, writer = 54322;
  const gid_t group = 54330;
  const std::string file = dir.write("shared/f.txt", "owner's text\r\n");
  ASSERT_EQ(chown(file.c_str(), owner, group), 0);
  ASSERT_EQ(chmod(file.c_str(), 0660), 0);  // the owner and the group may write, nobody else
  // The writer is in no group of the file's, so give the group write through the writer's own gid.
  const int code = runAs(writer, group, [&] {
    try {
      writeFile(file, "writer's text\r\n");
      return 0;
    } catch (const FileError&) {
      return 1;
    }
  });
  ASSERT_EQ(code, 0);
  EXPECT_EQ(slurp(file), "writer's text\r\n");
  const auto st = statOf(file);
  EXPECT_EQ(st.st_uid, owner);
  EXPECT_EQ(st.st_gid, group);
  EXPECT_EQ(st.st_mode & 07777, 0660u);
  EXPECT_EQ(runAs(owner, 54331, [&] { return access(file.c_str(), W_OK) == 0 ? 0 : 1; }), 0);
  EXPECT_EQ(namesIn(shared), std::vector<std::string>{"f.txt"});
}

TEST(Writer, ModeExtendedAttributesAndAclsAreKept) {
  TempDir dir;
  const std::string file = dir.write("x.txt", "old");
  ASSERT_EQ(chmod(file.c_str(), 0640), 0);
  if (setxattr(file.c_str(), "user.kelvane.note", "keep me", 7, 0) != 0)
    GTEST_SKIP() << "this file system has no user extended attributes: " << strerror(errno);
  // uid 54321 may read and write
  const std::string acl =
      aclBytes({{kUserObj, 6, ~0u}, {kUser, 6, 54321}, {kGroupObj, 4, ~0u}, {kMask, 6, ~0u}, {kOther, 0, ~0u}});
  const bool haveAcl = setxattr(file.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) == 0;
  const std::string aclBefore = xattrOf(file, "system.posix_acl_access");
  const mode_t modeBefore = statOf(file).st_mode & 07777;

  writeFile(file, "new");
  EXPECT_EQ(slurp(file), "new");
  EXPECT_EQ(xattrOf(file, "user.kelvane.note"), "keep me");
  EXPECT_EQ(statOf(file).st_mode & 07777, modeBefore);
  if (!haveAcl) GTEST_SKIP() << "this file system has no ACLs";
  EXPECT_EQ(xattrOf(file, "system.posix_acl_access"), aclBefore);
  EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"x.txt"});
}

TEST(Writer, AFileWithoutAclGetsNoneFromItsFoldersDefault) {
  TempDir dir;
  const std::string sub = dir.mkdir("sub");
  const std::string file = dir.write("sub/x.txt", "old");
  chmod(file.c_str(), 0600);
  // new files in sub would let uid 54321 in
  const std::string def =
      aclBytes({{kUserObj, 7, ~0u}, {kUser, 7, 54321}, {kGroupObj, 7, ~0u}, {kMask, 7, ~0u}, {kOther, 0, ~0u}});
  if (setxattr(sub.c_str(), "system.posix_acl_default", def.data(), def.size(), 0) != 0)
    GTEST_SKIP() << "this file system has no ACLs";
  writeFile(file, "new");
  EXPECT_EQ(xattrOf(file, "system.posix_acl_access"), "<none>");
  EXPECT_EQ(statOf(file).st_mode & 07777, 0600u);  // not opened to others by the folder's default
}

TEST(Writer, NamesLeftByAKilledWriterAreRemovedByTheNextWriteAndNothingElse) {
  TempDir dir;
  pid_t gone = fork();
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  const std::string dead = ".kelvane-" + std::to_string(gone) + "-aB3xYz";
  dir.write(dead, "half a file");
  dir.write(".kelvane-1-aB3xYz", "init still runs");       // a process that lives
  dir.write(".kelvane-" + std::to_string(gone) + "-toolong1", "not our form");
  dir.write(".kelvane-notes", "the user's");
  dir.write(".kelvane-safe-" + std::to_string(gone) + "-aB3xYz-f.txt", "an old text, perhaps the only one");
  writeFile(dir / "f.txt", "new");
  const auto names = namesIn(dir.path());
  EXPECT_EQ(std::count(names.begin(), names.end(), dead), 0);
  EXPECT_EQ(names.size(), 5u);
  EXPECT_EQ(slurp(dir / "f.txt"), "new");
}

TEST(Writer, ReplaceOnlyIfUnchangedComparesWithTheBytesOnDisk) {
  TempDir dir;
  const std::string file = dir.write("f.txt", "as read\r\n");
  writeFileIfUnchanged(file, "as read\r\n", "rewritten\r\n");
  EXPECT_EQ(slurp(file), "rewritten\r\n");
  try {
    writeFileIfUnchanged(file, "as read\r\n", "stale\r\n");  // a second writer got there first
    FAIL();
  } catch (const FileChangedError& e) {
    EXPECT_NE(std::string(e.what()).find(file), std::string::npos);
  }
  EXPECT_EQ(slurp(file), "rewritten\r\n");
  // the same check on the in-place road
  ASSERT_EQ(link(file.c_str(), (dir / "g.txt").c_str()), 0);
  EXPECT_THROW(writeFileIfUnchanged(file, "rewritten\r\nmore", "stale"), FileChangedError);
  writeFileIfUnchanged(dir / "g.txt", "rewritten\r\n", "both\r\n");
  EXPECT_EQ(slurp(file), "both\r\n");
  EXPECT_THROW(writeFileIfUnchanged(dir / "gone.txt", "", "x"), FileChangedError);
  EXPECT_FALSE(fileExists(dir / "gone.txt"));
  EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"f.txt", "g.txt"}));
}

TEST(Writer, FileIdIsTheSameThroughLinksAndHardLinksAndDiffersOtherwise) {
  TempDir dir;
  const std::string a = dir.write("a.txt", "1");
  const std::string b = dir.write("b.txt", "1");
  ASSERT_EQ(link(a.c_str(), (dir / "hard.txt").c_str()), 0);
  ASSERT_EQ(symlink(a.c_str(), (dir / "soft.txt").c_str()), 0);
  ASSERT_TRUE(fileId(a).has_value());
  EXPECT_EQ(fileId(a), fileId(dir / "hard.txt"));
  EXPECT_EQ(fileId(a), fileId(dir / "soft.txt"));
  EXPECT_NE(fileId(a), fileId(b));
  EXPECT_FALSE(fileId(dir / "none.txt").has_value());
  EXPECT_EQ(fileId(dir.path()), folderId(dir.path()));
}

}  // namespace
}  // namespace kelvane::files
