// The folder walk and the file listing on real folders.
#include "filescan/file_access.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/testing/scripted_ui.h"
#include "tests/testing/temp_dir.h"

namespace kelvane {
namespace {

using testing::cp932Of;
using testing::TempDir;

std::string marks(const char* pattern) {
  // "x" for a filled mark, "o" for an empty one.
  std::string out;
  for (const char* p = pattern; *p; ++p) out += cp932Of(*p == 'x' ? "■" : "□");
  return out + cp932Of("フォルダチェック中");
}

TEST(ScanFolderTree, WalksLevelByLevelInNameOrderAndShowsTenMarkProgressOnly) {
  TempDir dir;
  dir.mkdir("b");
  dir.mkdir("a/y");
  dir.mkdir("a/x");
  dir.mkdir("C/z");
  dir.write("a/file.txt", "x");  // files are not folders
  std::vector<std::string> progress;
  const FolderScan scan = ScanFolderTree(dir.path() + "/", [&](const std::string& t) { progress.push_back(t); });
  const std::string r = dir.path();
  EXPECT_EQ(scan.folders,
            (std::vector<std::string>{r, r + "/a", r + "/b", r + "/C", r + "/a/x", r + "/a/y", r + "/C/z"}));
  // Root level (one folder), then two levels of three: the third text of each would have 11 marks.
  EXPECT_EQ(progress, (std::vector<std::string>{marks("oooooooooo"), marks("xooooooooo"), marks("oooooxoooo"),
                                                marks("xooooooooo"), marks("oooooxoooo")}));
  for (const std::string& t : progress) EXPECT_EQ(t.size(), 38u);
  EXPECT_TRUE(scan.unreadable.empty());
}

TEST(ScanFolderTree, ProgressTextsOfALevelOfElevenFolders) {
  for (int f = 0; f < 10; ++f) EXPECT_EQ(folderProgressText(f, 11).size(), 38u) << f;
  EXPECT_EQ(folderProgressText(10, 11), "");
  EXPECT_EQ(folderProgressText(9, 11), marks("ooooooooox"));
  EXPECT_EQ(folderProgressText(0, 1), marks("oooooooooo"));
}

TEST(ScanFolderTree, EntersAFolderReachedThroughLinksOnlyOnce) {
  TempDir dir;
  dir.mkdir("a/deep");
  dir.mkdir("b");
  std::filesystem::create_directory_symlink(dir.path(), dir / "a/loop");  // back to the root
  std::filesystem::create_directory_symlink(dir / "b", dir / "a/toB");    // to a folder listed already
  const FolderScan scan = ScanFolderTree(dir.path());
  const std::string r = dir.path();
  EXPECT_EQ(scan.folders, (std::vector<std::string>{r, r + "/a", r + "/b", r + "/a/deep"}));
}

TEST(ScanFolderTree, LinksAreReportedNotEnteredWhenNotFollowed) {
  TempDir dir;
  TempDir outside;
  outside.mkdir("sub");
  std::filesystem::create_directory_symlink(outside.path(), dir / "link");
  const FolderScan scan = ScanFolderTree(dir.path(), {}, false);
  EXPECT_EQ(scan.folders, std::vector<std::string>{dir.path()});
  EXPECT_EQ(scan.folderLinks, std::vector<std::string>{dir / "link"});
}

TEST(ScanFolderTree, AMissingRootIsListedAndReportedNotThrown) {
  TempDir dir;
  const FolderScan scan = ScanFolderTree(dir / "gone");
  EXPECT_EQ(scan.folders, std::vector<std::string>{dir / "gone"});
  ASSERT_EQ(scan.unreadable.size(), 1u);
  EXPECT_EQ(scan.unreadable[0].folder, dir / "gone");
  EXPECT_FALSE(scan.unreadable[0].message.empty());
}

TEST(ListFolderFiles, ListsRegularAndHiddenFilesButNoFoldersOrSpecialEntries) {
  TempDir dir;
  dir.write("b.txt", "1");
  dir.write("A.csv", "2");
  dir.write(".hidden", "3");
  dir.mkdir("folder.txt");
  ASSERT_EQ(mkfifo((dir / "pipe.txt").c_str(), 0600), 0);
  const FileList list = ListFolderFiles(dir.path() + "/");
  EXPECT_TRUE(list.readable);
  const std::string r = dir.path();
  EXPECT_EQ(list.paths, (std::vector<std::string>{r + "/.hidden", r + "/A.csv", r + "/b.txt"}));
}

TEST(ListFolderFiles, CountsNamesWithNoShiftJisFormAndReportsAMissingFolder) {
  TempDir dir;
  dir.write("ok.txt", "1");
  dir.write("\xF0\x9F\x98\x80.txt", "emoji");  // U+1F600 has no CP932 form
  const FileList list = ListFolderFiles(dir.path());
  EXPECT_EQ(list.paths, std::vector<std::string>{dir / "ok.txt"});
  EXPECT_EQ(list.leftOut, 1u);

  const FileList missing = ListFolderFiles(dir / "nope");
  EXPECT_FALSE(missing.readable);
  EXPECT_TRUE(missing.paths.empty());
  EXPECT_FALSE(missing.error.empty());
}

TEST(WalkFolderFiles, HandsOutEveryFolderOfTheScanWithItsListedFilesInTheSameOrder) {
  TempDir dir;
  dir.write("t/b.txt", "1");
  dir.write("t/A.csv", "2");
  dir.write("t/sub/c.txt", "3");
  dir.write("t/a/deeper/d.txt", "4");
  dir.write("t/\xF0\x9F\x98\x80.txt", "emoji");
  std::filesystem::create_directory_symlink(dir / "t", dir / "t/a/loop");
  dir.mkdir("t/locked");
  ::chmod((dir / "t/locked").c_str(), 0);
  std::vector<std::string> folders;
  std::vector<FileList> lists;
  WalkFolderFiles(dir / "t/", [&](const std::string& folder, const FileList& files) {
    folders.push_back(folder);
    lists.push_back(files);
  });
  EXPECT_EQ(folders, ScanFolderTree(dir / "t").folders);
  for (std::size_t i = 0; i < folders.size(); ++i) {
    const FileList alone = ListFolderFiles(folders[i]);
    EXPECT_EQ(lists[i].paths, alone.paths) << folders[i];
    EXPECT_EQ(lists[i].leftOut, alone.leftOut) << folders[i];
    EXPECT_EQ(lists[i].readable, alone.readable) << folders[i];
    EXPECT_EQ(lists[i].error, alone.error) << folders[i];
  }
  EXPECT_EQ(lists[0].leftOut, 1u);
  ::chmod((dir / "t/locked").c_str(), 0700);
}

TEST(JoinPath, AddsOneSlashOnly) {
  EXPECT_EQ(joinPath("/a", "b"), "/a/b");
  EXPECT_EQ(joinPath("/", "b"), "/b");
}

}  // namespace
}  // namespace kelvane
