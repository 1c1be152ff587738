// Copies below a copy root: written without following links, entered in the ledger, and taken back
// exactly, on real folders with the user's own files and links in them.
#include "platform/copy_ledger.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/line_list.h"
#include "tests/testing/temp_dir.h"

namespace kelvane::files {
namespace {

using testing::slurp;
using testing::TempDir;
namespace stdfs = std::filesystem;

std::string sj(const char* utf8) { return cp932::fromUtf8(utf8).text; }

// A start-up folder whose "Temp" is a copy root.
struct CopyRoot {
  CopyRoot() { addCopyRoot(temp); }
  TempDir dir;
  std::string temp = dir / "Temp";
};

std::vector<std::string> removedPaths(const std::vector<Removal>& removals) {
  std::vector<std::string> paths;
  for (const Removal& r : removals)
    if (r.removed) paths.push_back(r.path);
  return paths;
}

TEST(CopyLedger, TakesBackOnlyWhatThisProcessMadeReadOnlyCopiesIncluded) {
  CopyRoot root;
  root.dir.write("Temp/user/notes.txt", "the user's own");  // Temp was there before, with a file
  const std::string native = root.dir.write("data/表/x.txt", "x\r\n");
  chmod(native.c_str(), 0444);
  const std::string file = sj(native.c_str());
  const std::string copy = tempCopyPath(root.temp, file);
  const std::string nativeCopy = tempCopyPath(root.temp, native);
  makeCopy(file, copy);
  makeCopy(file, copy);  // written again: still one copy of ours
  ASSERT_EQ(slurp(nativeCopy), "x\r\n");
  writeCopy(root.temp + "/user/mine.txt", "m", 0444);  // a copy into a folder that was there

  const std::vector<Removal> removals = removeCreated(root.temp);
  for (const Removal& r : removals) EXPECT_TRUE(r.removed) << r.error;
  ASSERT_FALSE(removals.empty());
  EXPECT_EQ(removals.front().path, copy);
  EXPECT_FALSE(stdfs::exists(nativeCopy));
  EXPECT_FALSE(stdfs::exists(root.temp + "/user/mine.txt"));
  // the folders made for the copy went with it
  std::vector<std::string> left;
  for (const auto& e : stdfs::directory_iterator(root.temp)) left.push_back(e.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{"user"});
  EXPECT_EQ(slurp(root.temp + "/user/notes.txt"), "the user's own");
  EXPECT_TRUE(stdfs::is_directory(root.temp));  // not made by us: stays
  EXPECT_TRUE(removeCreated(root.temp).empty());  // taken back once
}

TEST(CopyLedger, AnEntryReplacedSinceOrAFolderStillHoldingSomethingStays) {
  CopyRoot root;
  writeCopy(root.temp + "/a/copy.txt", "ours", 0644);
  writeCopy(root.temp + "/b/copy.txt", "ours", 0644);
  // someone replaced one copy with a file of their own, and put a file into the other's folder
  unlink((root.temp + "/a/copy.txt").c_str());
  root.dir.write("Temp/a/copy.txt", "theirs");
  root.dir.write("Temp/b/theirs.txt", "theirs");
  const std::vector<Removal> removals = removeCreated(root.temp);
  EXPECT_EQ(slurp(root.temp + "/a/copy.txt"), "theirs");
  EXPECT_EQ(slurp(root.temp + "/b/theirs.txt"), "theirs");
  EXPECT_FALSE(stdfs::exists(root.temp + "/b/copy.txt"));
  EXPECT_EQ(removedPaths(removals), std::vector<std::string>{root.temp + "/b/copy.txt"});
  // the folders and Temp itself could not go, and say so with their reason
  ASSERT_EQ(removals.size(), 4u);
  EXPECT_EQ(removals.back().path, root.temp);
  EXPECT_FALSE(removals.back().removed);
  EXPECT_NE(removals.back().error.find(root.temp), std::string::npos);
}

TEST(CopyLedger, NoCopyIsWrittenThroughALinkAndNoForeignFileIsReplaced) {
  CopyRoot root;
  TempDir elsewhere;
  // Temp itself a link into another folder
  ASSERT_EQ(symlink(elsewhere.path().c_str(), root.temp.c_str()), 0);
  try {
    writeCopy(root.temp + "/a/c.txt", "x", 0644);
    FAIL();
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find(root.temp), std::string::npos) << e.what();
  }
  EXPECT_TRUE(stdfs::is_empty(elsewhere.path()));
  EXPECT_EQ(copyRootKind(root.temp), CopyRootKind::kLink);
  EXPECT_TRUE(removeCreated(root.temp).empty());

  // a folder below Temp a link
  unlink(root.temp.c_str());
  root.dir.mkdir("Temp");
  ASSERT_EQ(symlink(elsewhere.path().c_str(), (root.temp + "/a").c_str()), 0);
  EXPECT_THROW(writeCopy(root.temp + "/a/b/c.txt", "x", 0644), FileError);
  EXPECT_TRUE(stdfs::is_empty(elsewhere.path()));
  // the copy's own name a link
  const std::string target = elsewhere.write("t.txt", "keep");
  ASSERT_EQ(symlink(target.c_str(), (root.temp + "/c.txt").c_str()), 0);
  EXPECT_THROW(writeCopy(root.temp + "/c.txt", "x", 0644), FileError);
  EXPECT_EQ(slurp(target), "keep");
  // a file this process did not write, where a copy would go
  root.dir.write("Temp/d/c.txt", "an earlier run's copy");
  EXPECT_THROW(writeCopy(root.temp + "/d/c.txt", "x", 0644), FileError);
  EXPECT_EQ(slurp(root.temp + "/d/c.txt"), "an earlier run's copy");
  // nor climbs out of Temp by ".."
  EXPECT_THROW(writeCopy(root.temp + "/../escaped.txt", "x", 0644), FileError);
  EXPECT_FALSE(stdfs::exists(root.dir / "escaped.txt"));
  EXPECT_TRUE(removeCreated(root.temp).empty());
}

TEST(CopyLedger, TempMadeHereGoesLastAndAFolderSwappedForALinkIsNotFollowed) {
  CopyRoot root;
  ASSERT_TRUE(createFolder(root.temp));  // the overwrite makes Temp first
  writeCopy(root.temp + "/a/b/c.txt", "x", 0644);
  writeCopy(root.temp + "/z.txt", "z", 0644);
  TempDir elsewhere;
  const std::string bait = elsewhere.write("b/c.txt", "not ours");
  // a folder of ours moved away and replaced by a link to a look-alike
  ASSERT_EQ(rename((root.temp + "/a").c_str(), (root.dir / "moved").c_str()), 0);
  ASSERT_EQ(symlink(elsewhere.path().c_str(), (root.temp + "/a").c_str()), 0);
  const std::vector<Removal> removals = removeCreated(root.temp);
  EXPECT_EQ(slurp(bait), "not ours");
  EXPECT_EQ(slurp(root.dir / "moved/b/c.txt"), "x");
  EXPECT_FALSE(stdfs::exists(root.temp + "/z.txt"));
  ASSERT_FALSE(removals.empty());
  EXPECT_EQ(removals.back().path, root.temp);  // holds the link, so it stays
  EXPECT_FALSE(removals.back().removed);

  // with nothing in the way, Temp goes too
  CopyRoot clean;
  writeCopy(clean.temp + "/q/r.txt", "r", 0400);
  EXPECT_EQ(removedPaths(removeCreated(clean.temp)),
            (std::vector<std::string>{clean.temp + "/q/r.txt", clean.temp + "/q", clean.temp}));
  EXPECT_FALSE(stdfs::exists(clean.temp));
}

}  // namespace
}  // namespace kelvane::files
