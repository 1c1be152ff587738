// kelvane-grep on several threads prints what it prints on one: the same bytes in the same order,
// the messages in the same places among them, the same exit status, on trees with errors, links,
// names without a Shift-JIS form, unreadable entries and files whose output outgrows the buffers.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/tools/cli_runner.h"

namespace kelvane {
namespace {

class Threads : public Cli {
 protected:
  // The tree: files of every size in several levels, one whose output is larger than a job may
  // keep before its turn (1 MB), files without matches, and things that cannot be read.
  void MakeTree() {
    for (int f = 0; f < 40; ++f) {
      std::string text;
      for (int i = 0; i < 20 + 37 * f; ++i) text += sjis(i % (f % 5 + 2) == 0 ? "ファイルの設定\r\n" : "表示する\n");
      dir_.write("t/" + folderOf(f) + "/f" + std::to_string(f) + ".txt", text);
    }
    std::string big;
    for (int i = 0; i < 60000; ++i) big += sjis("大きなファイルの行 ") + std::to_string(i) + "\r\n";  // ~1.8 MB of output
    dir_.write("t/a/big.txt", big);
    dir_.write("t/a/none.txt", "nothing here\r\n");
    dir_.write("t/b/\xF0\x9F\x98\x80.txt", "ファイル\r\n");  // no Shift-JIS form: left out and counted
    ASSERT_EQ(symlink("..", (dir_ / "t/b/up").c_str()), 0);              // a folder entered once
    ASSERT_EQ(symlink("missing.txt", (dir_ / "t/b/dangling.txt").c_str()), 0);
    ASSERT_EQ(symlink("loop.txt", (dir_ / "t/c/loop.txt").c_str()), 0);
    ASSERT_EQ(link((dir_ / "t/f0.txt").c_str(), (dir_ / "t/c/hard.txt").c_str()), 0);
    ASSERT_EQ(symlink("../a/f1.txt", (dir_ / "t/c/soft.txt").c_str()), 0);
    ASSERT_EQ(mkfifo((dir_ / "t/c/fifo.txt").c_str(), 0600), 0);
    socket_ = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(socket_, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, (dir_ / "t/c/socket.txt").c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  }
  void TearDown() override {
    if (socket_ >= 0) close(socket_);
  }
  static std::string folderOf(int f) {
    static const char* const kFolders[] = {"", "a", "b", "c", "a/deep", "b/x,y \"q\"", "c/d/e"};
    return kFolders[f % 7];
  }
  // The tool's output with both streams in one, as a terminal shows it.
  Result merged(const std::string& prefix, const std::vector<std::string>& args) {
    return shell(prefix + tool(args) + " 2>&1");
  }
  // Runs args with -j1 and with more threads (each several times, to give a race its chance) and
  // expects the same bytes, separately and merged, and the same status.
  void ExpectSameAsOneThread(std::vector<std::string> args, const std::string& prefix = "") {
    std::vector<std::string> one = args;
    one.insert(one.begin(), "-j1");
    const Result single = shell(prefix + tool(one));
    const Result singleMerged = merged(prefix, one);
    for (const char* threads : {"-j2", "-j3", "--threads=8", ""}) {
      for (int repeat = 0; repeat < 3; ++repeat) {
        std::vector<std::string> many = args;
        if (*threads) many.insert(many.begin(), threads);
        const Result r = shell(prefix + tool(many));
        EXPECT_EQ(r.status, single.status) << threads;
        EXPECT_TRUE(r.out == single.out) << threads << ": output differs (" << r.out.size() << " bytes, -j1 "
                                         << single.out.size() << ")";
        EXPECT_EQ(r.err, single.err) << threads;
        EXPECT_TRUE(merged(prefix, many).out == singleMerged.out) << threads << ": merged streams differ";
      }
    }
  }
  int socket_ = -1;
};

TEST_F(Threads, ATreeWithErrorsAndLinksGivesTheOutputOfOneThread) {
  MakeTree();
  // A walk passes over what is no file; named on the command line, each is an error in its place.
  const std::vector<std::string> unreadable = {"t/c/fifo.txt", "t/c/loop.txt", "t/c/socket.txt", "t/b/dangling.txt"};
  std::vector<std::string> args = {"ファイル", "t"};
  args.insert(args.end(), unreadable.begin(), unreadable.end());
  args.push_back("t/a");
  const Result single = run({"-j1", "ファイル", "t"});
  ASSERT_EQ(single.status, 0);
  // The tree holds what it should: the big file's lines, a left-out name and unreadable entries.
  EXPECT_GT(single.out.size(), 2u << 20);
  EXPECT_NE(single.err.find("Shift-JIS で表せない名前を飛ばしました: 1"), std::string::npos) << single.err;
  EXPECT_NE(single.out.find("t/c/hard.txt:1:"), std::string::npos);
  EXPECT_NE(single.out.find("t/c/soft.txt:1:"), std::string::npos);
  const Result withErrors = run({"-j1", "ファイル", "t/c/fifo.txt", "t/a/none.txt", "t/c/loop.txt"});
  EXPECT_EQ(withErrors.status, 2);
  EXPECT_NE(withErrors.err.find("fifo.txt"), std::string::npos);
  EXPECT_NE(withErrors.err.find("loop.txt"), std::string::npos);
  ExpectSameAsOneThread(args);
  ExpectSameAsOneThread({"-z", "ﾌｧｲﾙ.*設定", "t", "missing.txt", "t/a"});
  ExpectSameAsOneThread({"-F", "-i", "ﾌｧｲﾙ", "t"});  // nothing matches: status 2 from the errors
  ExpectSameAsOneThread({"--raw", "--ext=.txt,", sjis("設定"), "t"});
}

TEST_F(Threads, UnreadableFilesAndFoldersAreReportedInTheirPlace) {
  const std::optional<std::string> other = asOtherUser();
  if (!other) GTEST_SKIP() << "no way to drop root";
  for (int f = 0; f < 30; ++f) dir_.write("t/" + std::string(f % 2 ? "p/" : "") + "f" + std::to_string(f) + ".txt", "hit\r\n");
  dir_.write("t/locked/x.txt", "hit\r\n");
  dir_.write("t/p/secret.txt", "hit\r\n");
  ASSERT_EQ(::chmod((dir_ / "t/p/secret.txt").c_str(), 0), 0);
  ASSERT_EQ(::chmod((dir_ / "t/locked").c_str(), 0), 0);
  const Result single = shell(*other + tool({"-j1", "hit", "t"}));
  EXPECT_EQ(single.status, 0);
  EXPECT_NE(single.err.find("secret.txt"), std::string::npos) << single.err;
  EXPECT_NE(single.err.find("locked"), std::string::npos) << single.err;
  ExpectSameAsOneThread({"hit", "t"}, *other);
}

TEST_F(Threads, StandardInputModesAndBadThreadCounts) {
  EXPECT_EQ(run({"-j4", "--match", "示"}, "表示").out, "3 2\n");
  EXPECT_EQ(run({"--threads=3", "--gsub=[&]", "b"}, "abc").out, "a[b]c");
  for (const char* bad : {"-j0", "-jx", "--threads=", "--threads=1025", "-j-1"}) {
    const Result r = run({bad, "a", "."});
    EXPECT_EQ(r.status, 2) << bad;
    EXPECT_NE(r.err.find("-j / --threads には 1 から 1024 までの数を指定してください"), std::string::npos) << r.err;
  }
  EXPECT_EQ(run({"-j"}).status, 2);
  dir_.write("a.txt", "a\r\n");
  EXPECT_EQ(run({"-j", "2", "a", "a.txt"}).out, "a.txt:1:a\n");
  EXPECT_EQ(run({"--threads=1024", "a", "a.txt"}).out, "a.txt:1:a\n");
}

}  // namespace
}  // namespace kelvane
