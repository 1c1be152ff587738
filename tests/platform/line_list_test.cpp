#include "platform/line_list.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files.h"
#include "tests/testing/temp_dir.h"

namespace kelvane::files {
namespace {

using testing::slurp;
using testing::TempDir;
using V = std::vector<std::string>;

unsigned modeOf(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

TEST(LineList, ReadsEveryKindOfLineEndFromDisk) {
  TempDir dir;
  struct Case {
    std::string bytes;
    V lines;
  };
  const Case cases[] = {
      {"", {}},
      {"\r\n", {""}},
      {"\r\n\r\n\r\n", {"", "", ""}},
      {"abc", {"abc"}},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},  // no line end after the last line
      {"a\n\rb\r\r\nc\n", {"a", "", "b", "", "c"}},
      {"\x82\xA0\r\x95\x5C\n", {"\x82\xA0", "\x95\x5C"}},  // 0x5C as a trail byte is no "\"
      {"\r", {""}},
      {"\n\n", {"", ""}},
  };
  for (const Case& c : cases) {
    std::string path = dir.write("t.txt", c.bytes);
    LineFile file = readLines(path);
    EXPECT_EQ(file.lines, c.lines) << c.bytes;
    EXPECT_EQ(file.bytes, c.bytes);
    EXPECT_FALSE(file.cutAtNul);
  }
}

TEST(LineList, AZeroByteEndsTheTextAndSaysSo) {
  TempDir dir;
  const std::string bytes("a\r\nb\0c\r\nd\r\n", 11);
  std::string path = dir.write("nul.txt", bytes);
  chmod(path.c_str(), 0640);
  LineFile file = readLines(path);
  EXPECT_EQ(file.lines, (V{"a", "b"}));
  EXPECT_TRUE(file.cutAtNul);
  EXPECT_EQ(file.bytes, bytes);  // the whole file, past the zero byte
  EXPECT_EQ(file.permissions, 0640u);
  bool cut = false;
  EXPECT_EQ(splitLines(std::string("\0abc", 4), &cut), V{});
  EXPECT_TRUE(cut);
}

TEST(LineList, WritesCrLfAfterEveryLineAndKeepsTheOldFileOnFailure) {
  TempDir dir;
  std::string path = dir.write("w.txt", "x\ny\rz");
  chmod(path.c_str(), 0604);
  writeLines(path, readLines(path).lines);
  EXPECT_EQ(slurp(path), "x\r\ny\r\nz\r\n");
  EXPECT_EQ(modeOf(path), 0604u);
  writeLines(path, V{"", ""});
  EXPECT_EQ(slurp(path), "\r\n\r\n");
  writeLines(path, V{});
  EXPECT_EQ(slurp(path), "");

  std::string ro = dir.write("ro.txt", "old\n");
  chmod(ro.c_str(), 0444);
  EXPECT_THROW(writeLines(ro, V{"new"}), FileError);
  EXPECT_EQ(slurp(ro), "old\n");
  EXPECT_THROW(writeLines(dir / "no/such/folder.txt", V{"a"}), FileError);
  try {
    readLines(dir / "missing.txt");
    FAIL();
  } catch (const FileError& e) {
    EXPECT_TRUE(e.notFound());
  }
}

TEST(TempCopyPath, TheFilesFullPathBelowTheTemporaryFolder) {
  EXPECT_EQ(tempCopyPath("/s/Temp", "/a/b/c.txt"), "/s/Temp/a/b/c.txt");
  EXPECT_EQ(tempCopyPath("/s/Temp/", "/a/b/c.txt"), "/s/Temp/a/b/c.txt");
  EXPECT_EQ(tempCopyPath("/s/Temp", "a//./c.txt"), "/s/Temp/a/c.txt");
  // ".." never climbs out of the temporary folder
  EXPECT_EQ(tempCopyPath("/s/Temp", "/a/../../../etc/passwd"), "/s/Temp/etc/passwd");
  EXPECT_EQ(tempCopyPath("/", "/a/b"), "/a/b");
  // a CP932 name whose trail byte is 0x5C stays whole
  EXPECT_EQ(tempCopyPath("/T", "/\x95\x5C/\x83\x5C.txt"), "/T/\x95\x5C/\x83\x5C.txt");
}

TEST(Copies, ByteExactIntoDeepNewFoldersWithTheFilesBits) {
  TempDir dir;
  const std::string bytes("a\rb\nc\0\xFF\r\n", 9);
  std::string file = dir.write("data/x.txt", bytes);
  chmod(file.c_str(), 0444);
  std::string copy = tempCopyPath(dir / "Temp", file);
  makeCopy(file, copy);
  EXPECT_EQ(slurp(copy), bytes);
  EXPECT_EQ(modeOf(copy), 0444u);
  // a second copy replaces the first, read-only as it is
  chmod(file.c_str(), 0644);
  dir.write("data/x.txt", "second");
  chmod(file.c_str(), 0600);
  makeCopy(readLines(file), copy);
  EXPECT_EQ(slurp(copy), "second");
  EXPECT_EQ(modeOf(copy), 0600u);
  chmod(file.c_str(), 04755);  // a copy never carries set-id bits
  makeCopy(file, copy);
  EXPECT_EQ(modeOf(copy), 0755u);
}

TEST(Copies, FailuresLeaveTheEarlierCopy) {
  TempDir dir;
  std::string copy = dir.write("Temp/c.txt", "earlier");
  EXPECT_THROW(makeCopy(dir / "missing.txt", copy), FileError);
  EXPECT_EQ(slurp(copy), "earlier");
  // a folder on the copy's path that is a file
  std::string file = dir.write("f.txt", "x");
  EXPECT_THROW(makeCopy(file, dir / "Temp/c.txt/inner.txt"), FileError);
  EXPECT_EQ(slurp(copy), "earlier");
  // a link where the copy goes is not written through
  std::string elsewhere = dir.write("elsewhere.txt", "keep");
  ASSERT_EQ(symlink(elsewhere.c_str(), (dir / "Temp/link.txt").c_str()), 0);
  EXPECT_THROW(makeCopy(file, dir / "Temp/link.txt"), FileError);
  EXPECT_EQ(slurp(elsewhere), "keep");
  EXPECT_THROW(createFolders(dir / "f.txt/sub"), FileError);
  createFolders(dir / "p/q/r");
  createFolders(dir / "p/q/r");
  EXPECT_TRUE(folderExists(dir / "p/q/r"));
}

TEST(Copies, RestoreKeepsTheOriginalsBits) {
  TempDir dir;
  std::string file = dir.write("r.txt", "before\r\n");
  chmod(file.c_str(), 0600);
  std::string copy = tempCopyPath(dir / "Temp", file);
  makeCopy(file, copy);
  chmod(copy.c_str(), 0644);
  writeLines(file, V{"after"});
  restoreCopy(copy, file);
  EXPECT_EQ(slurp(file), "before\r\n");
  EXPECT_EQ(modeOf(file), 0600u);
  // a file that is gone comes back with the copy's bits
  unlink(file.c_str());
  restoreCopy(copy, file);
  EXPECT_EQ(slurp(file), "before\r\n");
  EXPECT_EQ(modeOf(file), 0644u);
  // a read-only file, and a copy that is missing, leave the file as it is
  dir.write("r.txt", "now");
  chmod(file.c_str(), 0444);
  EXPECT_THROW(restoreCopy(copy, file), FileError);
  EXPECT_EQ(slurp(file), "now");
  chmod(file.c_str(), 0644);
  try {
    restoreCopy(dir / "Temp/none.txt", file);
    FAIL();
  } catch (const FileError& e) {
    EXPECT_TRUE(e.notFound()) << e.what();
  }
  EXPECT_EQ(slurp(file), "now");
}

}  // namespace
}  // namespace kelvane::files
