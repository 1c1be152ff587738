#include "platform/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/cp932.h"
#include "tests/testing/temp_dir.h"

namespace kelvane::files {
namespace {

using testing::TempDir;
namespace stdfs = std::filesystem;

std::string sj(const char* utf8) { return cp932::fromUtf8(utf8).text; }

mode_t modeOf(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

std::size_t entriesIn(const std::string& folder) {
  return static_cast<std::size_t>(std::distance(stdfs::directory_iterator(folder), stdfs::directory_iterator()));
}

TEST(ListFolder, NtfsOrderAttributesAndLeftOutNames) {
  TempDir dir;
  dir.write("b.txt", "12345");
  dir.write("A.txt", "");
  dir.write("a2.txt", "");
  dir.write("_x", "");
  dir.write(".hidden", "");
  dir.write("表.txt", "");
  dir.write("😀.txt", "");  // no CP932 form
  dir.write("ro.txt", "");
  chmod((dir / "ro.txt").c_str(), 0444);
  dir.mkdir("sub");
  dir.mkdir(".git");
  symlink((dir / "sub").c_str(), (dir / "lnk").c_str());
  symlink((dir / "nowhere").c_str(), (dir / "dangling").c_str());
  mkfifo((dir / "fifo").c_str(), 0600);

  Listing listing = listFolder(dir.path());
  EXPECT_EQ(listing.leftOut, 1u);
  std::vector<std::string> names;
  for (const auto& e : listing.entries) names.push_back(e.name);
  // letters fold to upper case, so "_" (0x5F) sorts after every letter
  std::vector<std::string> expected = {".git", ".hidden", "A.txt",  "a2.txt", "b.txt", "dangling",
                                       "fifo", "lnk",     "ro.txt", "sub",    "_x",    sj("表.txt")};
  EXPECT_EQ(names, expected);
  auto attr = [&](const std::string& name) {
    for (const auto& e : listing.entries)
      if (e.name == name) return e.attributes;
    return 0xFFFFu;
  };
  EXPECT_EQ(attr("b.txt"), kArchive);
  EXPECT_EQ(attr(".hidden"), kArchive | kHidden);
  EXPECT_EQ(attr(".git"), kDirectory);  // folders carry no hidden bit
  EXPECT_EQ(attr("ro.txt"), kArchive | kReadOnly);
  EXPECT_EQ(attr("sub"), kDirectory);
  EXPECT_EQ(attr("lnk"), kDirectory);
  EXPECT_EQ(attr("fifo"), 0u);
  EXPECT_EQ(attr("dangling"), 0u);
  EXPECT_EQ(listing.entries[4].size, 5u);
}

TEST(ListFolder, KindsListingAgreesWithTheFullOneSaveReadOnlyAndSize) {
  TempDir dir;
  dir.write("a.txt", "12345");
  dir.write(".hidden", "x");
  dir.write("ro.txt", "x");
  chmod((dir / "ro.txt").c_str(), 0444);
  dir.write("😀.txt", "");
  dir.mkdir("sub");
  dir.mkdir(".git");
  symlink((dir / "sub").c_str(), (dir / "to_sub").c_str());
  symlink((dir / "to_sub").c_str(), (dir / "to_to_sub").c_str());
  symlink((dir / "a.txt").c_str(), (dir / "to_file").c_str());
  symlink((dir / ".hidden").c_str(), (dir / ".to_hidden").c_str());
  symlink((dir / "nowhere").c_str(), (dir / "dangling").c_str());
  symlink((dir / "loop2").c_str(), (dir / "loop1").c_str());
  symlink((dir / "loop1").c_str(), (dir / "loop2").c_str());
  mkfifo((dir / "fifo").c_str(), 0600);

  Listing full = listFolder(dir.path());
  Listing kinds = listFolderKinds(dir.path());
  EXPECT_EQ(kinds.leftOut, 1u);
  ASSERT_EQ(kinds.entries.size(), full.entries.size());
  for (std::size_t i = 0; i < full.entries.size(); ++i) {
    EXPECT_EQ(kinds.entries[i].name, full.entries[i].name);
    EXPECT_EQ(kinds.entries[i].attributes, full.entries[i].attributes & ~kReadOnly) << full.entries[i].name;
    EXPECT_EQ(kinds.entries[i].size, 0u);
  }
  auto attr = [&](const std::string& name) {
    for (const auto& e : kinds.entries)
      if (e.name == name) return e.attributes;
    return 0xFFFFu;
  };
  EXPECT_EQ(attr("to_to_sub"), kDirectory);
  EXPECT_EQ(attr("to_file"), kArchive);
  EXPECT_EQ(attr(".to_hidden"), kArchive | kHidden);
  EXPECT_EQ(attr("loop1"), 0u);
  EXPECT_THROW(listFolderKinds(dir / "gone"), FileError);
  EXPECT_THROW(listFolderKinds(dir / "a.txt"), FileError);
}

TEST(ListFolder, MissingFolderRaisesWithItsName) {
  TempDir dir;
  try {
    listFolder(dir / "gone");
    FAIL();
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find(dir / "gone"), std::string::npos);
  }
}

TEST(NtfsOrder, TrailBytesAreNotFolded) {
  // ャ is 0x83 0x61; folding its trail byte to 0x41 would put it before 0x83 0x5A
  EXPECT_TRUE(ntfsLess("\x83\x5A", "\x83\x61"));
  EXPECT_FALSE(ntfsLess("\x83\x61", "\x83\x5A"));
  EXPECT_TRUE(ntfsLess("abc", "ABD"));
  EXPECT_TRUE(ntfsLess("ABC", "abc"));  // equal when folded: bytes decide
  EXPECT_FALSE(ntfsLess("abc", "ABC"));
  EXPECT_TRUE(ntfsLess("ab", "abc"));
}

TEST(Existence, FilesFoldersLinksAndIds) {
  TempDir dir;
  std::string file = dir.write("f.txt", "x");
  std::string sub = dir.mkdir("sub");
  symlink(sub.c_str(), (dir / "lnk").c_str());
  EXPECT_TRUE(fileExists(file));
  EXPECT_FALSE(folderExists(file));
  EXPECT_TRUE(folderExists(sub));
  EXPECT_FALSE(fileExists(sub));
  EXPECT_TRUE(folderExists(dir / "lnk"));
  EXPECT_FALSE(fileExists(dir / "none"));
  EXPECT_FALSE(folderExists(""));
  ASSERT_TRUE(folderId(sub).has_value());
  EXPECT_EQ(*folderId(sub), *folderId(dir / "lnk"));
  EXPECT_FALSE(*folderId(sub) == *folderId(dir.path()));
  EXPECT_FALSE(folderId(file).has_value());
}

TEST(ReadFile, WholeBytesAndFailures) {
  TempDir dir;
  std::string bytes("a\0\x82\r\n", 5);
  std::string file = dir.write(cp932::toUtf8(sj("表.txt")).text, bytes);
  EXPECT_EQ(readFile(dir / sj("表.txt")), bytes);
  EXPECT_THROW(readFile(dir.path()), FileError);
  try {
    readFile(dir / "missing.txt");
    FAIL();
  } catch (const FileError& e) {
    std::string m = e.what();
    EXPECT_EQ(m, dir / "missing.txt" + sj("：ファイルまたはフォルダがありません"));
    EXPECT_TRUE(e.notFound());
  }
}

TEST(WriteFile, CreatesReplacesAndKeepsPermissionBits) {
  TempDir dir;
  std::string file = dir / "new.txt";
  writeFile(file, "one");
  EXPECT_EQ(testing::slurp(file), "one");
  mode_t mask = umask(022);
  umask(mask);
  EXPECT_EQ(modeOf(file), 0666 & ~mask);
  chmod(file.c_str(), 0640);
  writeFile(file, std::string(100000, 'z'));
  EXPECT_EQ(testing::slurp(file).size(), 100000u);
  EXPECT_EQ(modeOf(file), 0640u);
  EXPECT_EQ(entriesIn(dir.path()), 1u);  // no temporary file left behind
}

TEST(WriteFile, ThroughALinkTheLinkStays) {
  TempDir dir;
  std::string target = dir.write("real.txt", "old");
  symlink(target.c_str(), (dir / "link.txt").c_str());
  writeFile(dir / "link.txt", "new");
  EXPECT_TRUE(stdfs::is_symlink(dir / "link.txt"));
  EXPECT_EQ(testing::slurp(target), "new");
}

TEST(WriteFile, FailureRaisesAndLeavesTheOldFileAsItWas) {
  TempDir dir;
  EXPECT_THROW(writeFile(dir / "no/such/folder.txt", "x"), FileError);
  dir.mkdir("folder.txt");
  EXPECT_THROW(writeFile(dir / "folder.txt", "x"), FileError);
  EXPECT_TRUE(stdfs::is_directory(dir / "folder.txt"));

  // A disk that fills up part-way: the file-size limit makes the write fail after it began.
  std::string file = dir.write("keep.txt", "old content");
  struct rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 4096;
  setrlimit(RLIMIT_FSIZE, &small);
  EXPECT_THROW(writeFile(file, std::string(100000, 'n')), FileError);
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(testing::slurp(file), "old content");
  EXPECT_EQ(entriesIn(dir.path()), 2u);  // keep.txt and folder.txt, no temporary file
}

TEST(WriteFile, ReadOnlyFolderRefusesAndTheOldFileStays) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  TempDir dir;
  std::string sub = dir.mkdir("ro");
  std::string file = dir.write("ro/keep.txt", "old content");
  chmod(sub.c_str(), 0555);
  try {
    writeFile(file, "new");
    FAIL();
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find(file), std::string::npos);
  }
  EXPECT_EQ(testing::slurp(file), "old content");
  EXPECT_EQ(entriesIn(sub), 1u);
}

TEST(FileOperations, ReadOnlyFilesAreNeitherRewrittenNorDeleted) {
  // The read-only attribute binds root too, as it does on the desktop.
  TempDir dir;
  std::string file = dir.write("ro.txt", "keep");
  chmod(file.c_str(), 0444);
  std::string error;
  try {
    writeFile(file, "new");
    FAIL();
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find(sj("読み取り専用")), std::string::npos);
  }
  EXPECT_FALSE(deleteFile(file, &error));
  EXPECT_NE(error.find(file), std::string::npos);
  EXPECT_FALSE(copyFile(dir.write("other.txt", "x"), file, &error));
  EXPECT_EQ(testing::slurp(file), "keep");
  // a read-only source copies fine, and the copy is read-only like it
  ASSERT_TRUE(copyFile(file, dir / "copy.txt", &error)) << error;
  EXPECT_EQ(modeOf(dir / "copy.txt"), 0444u);
}

TEST(FileOperations, DeleteCreateRemoveCopy) {
  TempDir dir;
  std::string error;
  std::string src = dir.write("src.txt", "data");
  chmod(src.c_str(), 0604);
  struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
  utimensat(AT_FDCWD, src.c_str(), old, 0);
  ASSERT_TRUE(copyFile(src, dir / "copy.txt", &error)) << error;
  EXPECT_EQ(testing::slurp(dir / "copy.txt"), "data");
  EXPECT_EQ(modeOf(dir / "copy.txt"), 0604u);
  EXPECT_EQ(stdfs::last_write_time(dir / "copy.txt"), stdfs::last_write_time(src));
  std::string priv = dir.write("private.txt", "secret");
  chmod(priv.c_str(), 0600);
  ASSERT_TRUE(copyFile(src, priv, &error)) << error;  // copied over: its own bits stay
  EXPECT_EQ(modeOf(priv), 0600u);
  EXPECT_EQ(testing::slurp(priv), "data");
  EXPECT_FALSE(copyFile(dir / "none.txt", dir / "c2.txt", &error));
  EXPECT_NE(error.find(dir / "none.txt"), std::string::npos);
  EXPECT_FALSE(copyFile(src, dir.path(), &error));

  EXPECT_TRUE(createFolder(dir / "f"));
  EXPECT_FALSE(createFolder(dir / "f", &error));
  EXPECT_NE(error.find(dir / "f"), std::string::npos);
  dir.write("f/x", "");
  EXPECT_FALSE(removeFolder(dir / "f", &error));  // not empty
  EXPECT_TRUE(deleteFile(dir / "f/x"));
  EXPECT_FALSE(deleteFile(dir / "f/x", &error));
  EXPECT_TRUE(removeFolder(dir / "f"));
  EXPECT_FALSE(folderExists(dir / "f"));
}

TEST(NativeNames, OnlyNamesThatComeBackAsThemselves) {
  EXPECT_EQ(toNative(sj("/表/①.txt")), std::optional<std::string>("/表/①.txt"));
  EXPECT_EQ(fromNative("/表/①.txt"), std::optional<std::string>(sj("/表/①.txt")));
  EXPECT_FALSE(toNative("/a\x82").has_value());
  EXPECT_FALSE(fromNative("/😀").has_value());
  // ¥ would become 0x5C, which names "\" again, not "¥"; 〜 likewise becomes ～
  EXPECT_FALSE(fromNative("/a¥b").has_value());
  EXPECT_FALSE(fromNative("〜.txt").has_value());
  EXPECT_FALSE(fromNative("bad\xFF").has_value());
  EXPECT_FALSE(currentFolder().empty());
}

TEST(PathParts, FolderNameAndExtension) {
  std::string p = sj("/data/表示/報告.書.txt");
  EXPECT_EQ(folderPart(p), sj("/data/表示"));
  EXPECT_EQ(namePart(p), sj("報告.書.txt"));
  EXPECT_EQ(extensionPart(p), ".txt");
  EXPECT_EQ(folderPart("/x.txt"), "/");
  EXPECT_EQ(folderPart("x.txt"), "");
  EXPECT_EQ(namePart("x.txt"), "x.txt");
  EXPECT_EQ(extensionPart("/a.b/c"), "");
  EXPECT_EQ(extensionPart("/a/.bashrc"), ".bashrc");
  EXPECT_EQ(namePart("/a/b/"), "");
}

}  // namespace
}  // namespace kelvane::files
