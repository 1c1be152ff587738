// kelvane-grep --in-place: only the matches change, byte for byte, whatever the line ends; files that
// cannot be rewritten safely (a NUL, a second writer, a file reached twice, a backup in the way, no
// permission) are left as they were and named; --backup and --dry-run.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/files.h"
#include "tests/testing/temp_dir.h"
#include "tests/tools/cli_runner.h"
#include "tools/in_place.h"

namespace kelvane {
namespace {

// Every ファイル of a CP932 text replaced by ファイル２, found on character boundaries only.
std::string replaced(std::string text) {
  const std::string from = sjis("ファイル"), to = sjis("ファイル２");
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (text.compare(i, from.size(), from) == 0) {
      out += to;
      i += from.size();
    } else {
      const std::size_t n = cp932::isLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
      out += text.substr(i, n);
      i += n;
    }
  }
  return out;
}

struct stat statOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st;
}

class InPlace : public Cli {
 protected:
  Result rewrite(std::vector<std::string> paths, std::vector<std::string> options = {}) {
    std::vector<std::string> args = {"--in-place", "--gsub=ファイル２"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back("ファイル");
    args.insert(args.end(), paths.begin(), paths.end());
    return run(args);
  }
};

TEST_F(InPlace, OnlyTheMatchesChangeWhateverTheLineEnds) {
  // X = 0x88 0x83 ends in the byte that begins ファイル: "X" "t" "ァイル" holds ファイル's bytes from
  // X's trail byte on, which a byte-blind replace breaks.
  const std::string falseHit = "\x88\x83" + sjis("tァイル");
  const std::vector<std::pair<std::string, std::string>> files = {
      {"crlf.txt", sjis("ファイル\r\nabc\r\nファイルとファイル\r\n")},
      {"lf.txt", sjis("ファイル\nabc\n")},
      {"cr.txt", sjis("ファイル\rabc\rファイル")},
      {"mixed.txt", sjis("a\r\nファイル\nb\rファイル\r\n\r\n\n") + falseHit + "\r\n" + sjis("表ファイル\r")},
      {"nofinal.txt", sjis("abc\r\nファイル")},
  };
  std::vector<std::string> paths;
  for (const auto& [name, bytes] : files) paths.push_back(dir_.write(name, bytes));
  const std::string untouched = dir_.write("none.txt", falseHit + "\r\nabc\n");
  const struct stat before = statOf(untouched);
  paths.push_back(untouched);
  const Result r = rewrite(paths);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  std::string listed;
  for (std::size_t i = 0; i + 1 < paths.size(); ++i) listed += paths[i] + "\n";
  EXPECT_EQ(r.out, listed);  // the files rewritten, in argument order; none.txt is not among them
  for (std::size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(testing::slurp(paths[i]), replaced(files[i].second)) << files[i].first;
  }
  EXPECT_NE(replaced(files[3].second).find(falseHit), std::string::npos);
  // A file without a match is not written at all.
  const struct stat after = statOf(untouched);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_EQ(run({"--in-place", "--gsub=x", "zzz", untouched}).status, 1);
}

TEST_F(InPlace, ABackslashIsNeverFoundInsideADoubleByteCharacter) {
  // 表 is 0x95 0x5C: its trail byte is a backslash, and so is the byte after 示.
  const std::string path = dir_.write("a.txt", sjis("表示\\表\r\n表\r\n"));
  const Result r = run({"--in-place", "--gsub=/", "\\\\", path});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(testing::slurp(path), sjis("表示/表\r\n表\r\n"));
  // The template's own escapes and & work as on standard input.
  EXPECT_EQ(run({"--in-place", "--gsub=[&]\\t", "示", path}).status, 0);
  EXPECT_EQ(testing::slurp(path), sjis("表[示]\t/表\r\n表\r\n"));
}

TEST_F(InPlace, AFileWithANulOrAReplacementThatWritesOneIsLeftAloneAndNamed) {
  const std::string withNul = std::string("x\r\n", 3) + std::string("\0", 1) + sjis("ファイル\r\n");
  const std::string nul = dir_.write("nul.txt", withNul);
  const std::string nulNoMatch = dir_.write("quiet.txt", std::string("abc\0\r\n", 6));
  const std::string ok = dir_.write("ok.txt", sjis("ファイル\r\n"));
  Result r = rewrite({nul, nulNoMatch, ok});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, ok + "\n");  // the file after the one left alone is still rewritten
  EXPECT_EQ(r.err, "kelvane-grep: " + nul + "：NUL バイトを含むので書き換えません\n");
  EXPECT_EQ(testing::slurp(nul), withNul);
  EXPECT_EQ(testing::slurp(nulNoMatch), std::string("abc\0\r\n", 6));
  for (const char* nulTemplate : {"--gsub=\\x00", "--gsub=a\\0"}) {
    const std::string path = dir_.write("b.txt", "abc\r\n");
    r = run({"--in-place", nulTemplate, "b", path});
    EXPECT_EQ(r.status, 2) << nulTemplate;
    EXPECT_EQ(r.err, "kelvane-grep: " + path + "：置換すると NUL バイトが入るので書き換えません\n");
    EXPECT_EQ(testing::slurp(path), "abc\r\n");
  }
}

TEST_F(InPlace, AFileReachedTwiceIsRewrittenOnce) {
  dir_.write("t/a.txt", sjis("ファイル\r\n"));
  ASSERT_EQ(symlink("a.txt", (dir_ / "t/b.txt").c_str()), 0);
  ASSERT_EQ(symlink("../t", (dir_ / "t/sub").c_str()), 0);  // the folder again, entered once
  dir_.write("u/c.txt", sjis("ファイル\r\n"));
  ASSERT_EQ(symlink("../u", (dir_ / "t/u").c_str()), 0);
  for (const char* threads : {"-j1", "-j4"}) {
    dir_.write("t/a.txt", sjis("ファイル\r\n"));
    dir_.write("u/c.txt", sjis("ファイル\r\n"));
    // Through a link to the file, a folder link, the path given twice and the folder given again.
    const Result r = rewrite({"t", "t/a.txt", "t/b.txt", "u", "u/c.txt"}, {threads});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "t/a.txt\nt/u/c.txt\n") << threads;
    EXPECT_EQ(testing::slurp(dir_ / "t/a.txt"), sjis("ファイル２\r\n"));
    EXPECT_EQ(testing::slurp(dir_ / "u/c.txt"), sjis("ファイル２\r\n"));
    // The link was written through and is still a link.
    EXPECT_TRUE(S_ISLNK(statOf(dir_ / "t/b.txt").st_mode));
  }
  // Reached through the link first, the file is written through it.
  dir_.write("t/a.txt", sjis("ファイル\r\n"));
  const Result r = rewrite({"t/b.txt", "t/a.txt"});
  EXPECT_EQ(r.out, "t/b.txt\n");
  EXPECT_TRUE(S_ISLNK(statOf(dir_ / "t/b.txt").st_mode));
  EXPECT_EQ(testing::slurp(dir_ / "t/a.txt"), sjis("ファイル２\r\n"));
}

// The writer rewrites a file of several names in place, so every name sees the new text.
TEST_F(InPlace, AHardLinkedFileIsRewrittenOnceAndKeepsItsLinks) {
  const std::string a = dir_.write("t/a.txt", sjis("ファイル\r\n"));
  ASSERT_EQ(link(a.c_str(), (dir_ / "t/z.txt").c_str()), 0);
  const Result r = rewrite({"t"});
  EXPECT_EQ(r.out, "t/a.txt\n");
  EXPECT_EQ(testing::slurp(a), sjis("ファイル２\r\n"));
  EXPECT_EQ(testing::slurp(dir_ / "t/z.txt"), sjis("ファイル２\r\n"));
  EXPECT_EQ(statOf(a).st_nlink, 2u);
}

TEST_F(InPlace, AFileOfAnotherOwnerKeepsItsOwnerAndMode) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can give a file away";
  const std::string path = dir_.write("a.txt", sjis("ファイル\r\n"));
  ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  EXPECT_EQ(rewrite({path}).status, 0);
  EXPECT_EQ(testing::slurp(path), sjis("ファイル２\r\n"));
  const struct stat st = statOf(path);
  EXPECT_EQ(st.st_uid, 65534u);
  EXPECT_EQ(st.st_gid, 65534u);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(InPlace, AFileTheUserMayNotWriteIsLeftAloneAndNamed) {
  const std::optional<std::string> other = asOtherUser();
  if (!other) GTEST_SKIP() << "no way to drop root";
  const std::string locked = dir_.write("w/locked.txt", sjis("ファイル\r\n"));
  const std::string open = dir_.write("w/open.txt", sjis("ファイル\r\n"));
  ::chmod((dir_ / "w").c_str(), 0777);
  ::chmod(locked.c_str(), 0444);
  ::chmod(open.c_str(), 0666);
  const Result r = shell(*other + tool({"--in-place", "--gsub=ファイル２", "ファイル", locked, open}));
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, open + "\n");
  EXPECT_NE(r.err.find(locked), std::string::npos) << r.err;
  EXPECT_EQ(testing::slurp(locked), sjis("ファイル\r\n"));
  EXPECT_EQ(testing::slurp(open), sjis("ファイル２\r\n"));
}

TEST_F(InPlace, ABackupKeepsTheOldBytesAndIsNeverReplaced) {
  const std::string old = sjis("ファイル\nabc");
  const std::string path = dir_.write("a.txt", old);
  ::chmod(path.c_str(), 0604);
  Result r = rewrite({path}, {"--backup"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(testing::slurp(path + ".orig"), old);
  EXPECT_EQ(statOf(path + ".orig").st_mode & 0777, 0604u);
  // A second run finds the backup there: the file stays as the first run left it.
  const std::string once = testing::slurp(path);
  r = rewrite({path}, {"--backup"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "kelvane-grep: " + path + "：バックアップ " + path + ".orig が既にあるので書き換えません\n");
  EXPECT_EQ(testing::slurp(path), once);
  EXPECT_EQ(testing::slurp(path + ".orig"), old);
  // Another suffix, a hostile name, and a walk that would list the backups it makes.
  const std::string hostile = dir_.write("t/it's, \"q\"\r\n.txt", old);
  r = rewrite({dir_ / "t"}, {"--backup=.txt", "--ext=.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, hostile + "\n");
  EXPECT_EQ(testing::slurp(hostile + ".txt"), old);
  EXPECT_EQ(testing::slurp(hostile), replaced(old));
  for (const char* bad : {"--backup=", "--backup=/x", "--backup=a/b"}) {
    EXPECT_EQ(rewrite({path}, {bad}).status, 2) << bad;
  }
  EXPECT_EQ(run({"--backup", "a", path}).status, 2);  // only with --in-place
}

TEST_F(InPlace, ADryRunPrintsTheNewLinesAndWritesNothing) {
  const std::string old = sjis("abc\r\nファイルとファイル\rx\nファイル");
  const std::string path = dir_.write("a.txt", old);
  const struct stat before = statOf(path);
  const Result r = rewrite({path}, {"--dry-run", "--backup"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, path + ":2:ファイル２とファイル２\n" + path + ":4:ファイル２\n");
  EXPECT_EQ(testing::slurp(path), old);
  EXPECT_EQ(statOf(path).st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_FALSE(files::fileExists(path + ".orig"));
  EXPECT_EQ(run({"--in-place", "--dry-run", "--gsub=x", "zzz", path}).status, 1);
  EXPECT_EQ(run({"--dry-run", "--gsub=x", "a", path}).status, 2);  // only with --in-place
}

TEST_F(InPlace, FilesHandledBeforeAnErrorStayHandledAndAreListed) {
  const std::string a = dir_.write("a.txt", sjis("ファイル\r\n"));
  const std::string b = dir_.write("b.txt", sjis("ファイル\r\n"));
  Result r = rewrite({a, dir_ / "missing.txt", b});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, a + "\n" + b + "\n");
  EXPECT_NE(r.err.find("missing.txt"), std::string::npos);
  EXPECT_EQ(testing::slurp(b), sjis("ファイル２\r\n"));
  // The options that do not go with --in-place, and a bad template before any file is touched.
  dir_.write("c.txt", sjis("ファイル\r\n"));
  EXPECT_EQ(run({"--in-place", "ファイル", "c.txt"}).status, 2);                 // no --gsub
  EXPECT_EQ(run({"--in-place", "--gsub=x", "ファイル"}).status, 2);              // no path
  EXPECT_EQ(run({"--in-place", "--gsub=x", "-F", "ファイル", "c.txt"}).status, 2);
  EXPECT_EQ(run({"--in-place", "--gsub=x", "--match", "ファイル", "c.txt"}).status, 2);
  EXPECT_EQ(run({"--in-place", "--gsub=x", "--lf", "ファイル", "c.txt"}).status, 2);
  r = run({"--in-place", "--gsub=x\\", "ファイル", "c.txt"});
  EXPECT_EQ(r.err.rfind("kelvane-grep: 置換文字列: ", 0), 0u) << r.err;
  r = run({"--in-place", "--gsub=x\\", "(ファイル", "c.txt"});
  EXPECT_EQ(r.err.find("置換文字列"), std::string::npos) << r.err;  // the pattern's error comes first
  EXPECT_EQ(testing::slurp(dir_ / "c.txt"), sjis("ファイル\r\n"));
  // -z applies to the search and to the replace alike.
  EXPECT_EQ(run({"--in-place", "-z", "--gsub=[&]", "ﾌｧｲﾙ", "c.txt"}).status, 0);
  EXPECT_EQ(testing::slurp(dir_ / "c.txt"), sjis("[ファイル]\r\n"));
}

TEST_F(InPlace, ManyThreadsRewriteWhatOneRewrites) {
  auto makeTree = [&](const std::string& root) {
    for (int f = 0; f < 24; ++f) {
      std::string text;
      for (int i = 0; i < 50 * f; ++i) text += sjis(i % 3 ? "表示\n" : "ファイル\r\n");
      dir_.write(root + "/" + std::to_string(f % 4) + "/f" + std::to_string(f) + ".txt", text);
    }
    dir_.write(root + "/0/nul.txt", std::string("\0", 1) + sjis("ファイル"));
  };
  makeTree("one");
  makeTree("many");
  const Result one = rewrite({"one"}, {"-j1", "--backup"});
  const Result many = rewrite({"many"}, {"-j4", "--backup"});
  EXPECT_EQ(one.status, 2);
  EXPECT_EQ(many.status, one.status);
  auto rooted = [](std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
      text.replace(at, from.size(), to);
    return text;
  };
  EXPECT_EQ(rooted(many.out, "many/", "one/"), one.out);
  EXPECT_EQ(rooted(many.err, "many/", "one/"), one.err);
  for (int f = 0; f < 24; ++f) {
    const std::string name = "/" + std::to_string(f % 4) + "/f" + std::to_string(f) + ".txt";
    EXPECT_EQ(testing::slurp(dir_ / ("many" + name)), testing::slurp(dir_ / ("one" + name)));
    EXPECT_EQ(testing::slurp(dir_ / ("many" + name + ".orig")), testing::slurp(dir_ / ("one" + name + ".orig")));
  }
}

// A second writer between the reads of one rewrite, through the rewriter's seams.
class SecondWriter : public ::testing::Test {
 protected:
  struct Run {
    std::string out, err;
    bool matched, failed;
  };
  Run rewrite(const std::string& path, tools::InPlaceRewriter& rewriter, tools::TargetClaims& claims) {
    Run r;
    tools::OrderedOutput output(
        [&](tools::Stream s, const std::string& text) { (s == tools::Stream::kOut ? r.out : r.err) += text; }, 1 << 20,
        1 << 20);
    tools::RunStatus status;
    std::optional<tools::FileTarget> target = claims.Claim(path);
    EXPECT_TRUE(target && target->located);
    {
      tools::JobOutput job(output, output.Open(), texts_, status);
      rewriter.Rewrite(*target, job, status);
      job.Close();
    }
    r.matched = status.matched;
    r.failed = status.failed;
    return r;
  }
  tools::ReplaceOptions options_{sjis("ファイル２"), false, sjis(".orig")};
  tools::Texts texts_{false};
  testing::TempDir dir_;
};

TEST_F(SecondWriter, AFileChangedAfterItWasReadIsLeftWithTheOtherWritersBytes) {
  const std::string path = dir_.write("a.txt", sjis("ファイル\r\nabc\r\n"));
  const std::string theirs = sjis("ファイルだ\r\nxyz\r\n");
  for (int seam = 0; seam < 2; ++seam) {
    dir_.write("a.txt", sjis("ファイル\r\nabc\r\n"));
    tools::TargetClaims claims(options_.backupSuffix);
    tools::InPlaceRewriter rewriter(sjis("ファイル"), false, options_);
    (seam == 0 ? rewriter.AfterRead : rewriter.BeforeCommit) = [&] { dir_.write("a.txt", theirs); };
    const Run r = rewrite(path, rewriter, claims);
    EXPECT_TRUE(r.failed) << seam;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "kelvane-grep: " + path + "：読んだ後で変更されたので書き換えません\n") << seam;
    EXPECT_EQ(testing::slurp(path), theirs);
    EXPECT_FALSE(files::fileExists(path + ".orig")) << "the backup this run made is gone again";
  }
}

TEST_F(SecondWriter, AFileReplacedByAnotherWithTheSameBytesIsLeftAlone) {
  const std::string bytes = sjis("ファイル\r\n");
  const std::string path = dir_.write("a.txt", bytes);
  tools::TargetClaims claims(std::nullopt);
  tools::InPlaceRewriter rewriter(sjis("ファイル"), false, options_);
  rewriter.BeforeCommit = [&] {
    dir_.write("other.txt", bytes);
    ASSERT_EQ(std::rename((dir_ / "other.txt").c_str(), path.c_str()), 0);
  };
  const Run r = rewrite(path, rewriter, claims);
  EXPECT_TRUE(r.failed);
  EXPECT_EQ(testing::slurp(path), bytes);
  // Without a second writer the same rewrite goes through.
  tools::TargetClaims fresh(std::nullopt);
  tools::InPlaceRewriter plain(sjis("ファイル"), false, options_);
  const Run ok = rewrite(path, plain, fresh);
  EXPECT_FALSE(ok.failed) << ok.err;
  EXPECT_TRUE(ok.matched);
  EXPECT_EQ(ok.out, path + "\n");
  EXPECT_EQ(testing::slurp(path), sjis("ファイル２\r\n"));
  EXPECT_EQ(testing::slurp(path + ".orig"), bytes);
}

}  // namespace
}  // namespace kelvane
