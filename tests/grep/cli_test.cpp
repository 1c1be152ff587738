// The kelvane-grep contract, through the built tool: output lines, exit codes, UTF-8 and --raw,
// errors and their positions, the folder walk, --match and --gsub.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/cp932.h"
#include "tests/testing/temp_dir.h"

namespace kelvane {
namespace {

struct Result {
  int status;
  std::string out, err;
};

std::string quote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string sjis(std::string_view utf8) { return cp932::fromUtf8(utf8).text; }

class Cli : public ::testing::Test {
 protected:
  Result run(const std::vector<std::string>& args, const std::string& input = "") {
    std::string command = "cd " + quote(dir_.path()) + " && " + quote(std::string(KELVANE_BIN_DIR) + "/kelvane-grep");
    for (const auto& a : args) command += " " + quote(a);
    std::string in = dir_.write("_in", input);
    command += " <" + quote(in) + " >" + quote(dir_ / "_out") + " 2>" + quote(dir_ / "_err");
    int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, testing::slurp(dir_ / "_out"), testing::slurp(dir_ / "_err")};
  }
  testing::TempDir dir_;
};

TEST_F(Cli, PrintsPathLineNumberAndLineAndExitsByWhatMatched) {
  dir_.write("a.txt", sjis("表示する\r\nファイルの設定\r\nabc\r\nabc abc"));
  dir_.write("b.txt", "x\nabc\n");
  Result r = run({"abc", "b.txt", "a.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "b.txt:2:abc\na.txt:3:abc\na.txt:4:abc abc\n");
  EXPECT_EQ(run({"zzz", "a.txt"}).status, 1);
  EXPECT_EQ(run({"zzz", "a.txt"}).out, "");
  // UTF-8 in and out; the backslash is not found inside 表 (0x95 0x5C).
  EXPECT_EQ(run({"ファイル.*設定", "a.txt"}).out, "a.txt:2:ファイルの設定\n");
  EXPECT_EQ(run({"\\\\", "a.txt"}).status, 1);
  EXPECT_EQ(run({"-z", "ﾌｧｲﾙ", "a.txt"}).out, "a.txt:2:ファイルの設定\n");
  EXPECT_EQ(run({"-F", "-i", "ABC", "--", "b.txt"}).out, "b.txt:2:abc\n");
  EXPECT_EQ(run({"-F", "ABC", "b.txt"}).status, 1);
}

TEST_F(Cli, RawModeTakesAndGivesCp932Bytes) {
  dir_.write("a.txt", sjis("表示\r\n"));
  Result r = run({"--raw", sjis("示"), "a.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "a.txt:1:" + sjis("表示") + "\n");
  // Without --raw an argument must be UTF-8 with a CP932 form.
  Result bad = run({"\xF0\x9F\x98\x80", "a.txt"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err, "");
}

TEST_F(Cli, ErrorsGoToStandardErrorWithExitStatusTwo) {
  Result syntax = run({"(ab", "."});
  EXPECT_EQ(syntax.status, 2);
  EXPECT_NE(syntax.err.find("右(閉じ)括弧が必要です (位置 4)"), std::string::npos) << syntax.err;
  EXPECT_EQ(std::count(syntax.err.begin(), syntax.err.end(), '\n'), 1);
  EXPECT_EQ(run({"a[z-a]"}).status, 2);
  EXPECT_EQ(run({}).status, 2);
  EXPECT_EQ(run({"--bogus", "a"}).status, 2);
  EXPECT_EQ(run({"-i", "a"}).status, 2);   // -i needs -F
  EXPECT_EQ(run({"-Fz", "a"}).status, 2);  // the plain search has no fuzzy form
  // A missing file is reported and the search goes on: 0 when something matched, else 2.
  dir_.write("a.txt", "abc\r\n");
  Result partial = run({"abc", "missing.txt", "a.txt"});
  EXPECT_EQ(partial.status, 0);
  EXPECT_EQ(partial.out, "a.txt:1:abc\n");
  EXPECT_NE(partial.err.find("missing.txt"), std::string::npos);
  EXPECT_EQ(run({"zzz", "missing.txt", "a.txt"}).status, 2);
  // Output that cannot be written is an error, not a success.
  std::string command =
      std::string(KELVANE_BIN_DIR) + "/kelvane-grep abc " + quote(dir_ / "a.txt") + " >/dev/full 2>/dev/null";
  int raw = std::system(command.c_str());
  EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 2);
}

TEST_F(Cli, WalksFoldersBreadthFirstFilteredByExtension) {
  dir_.write("t/z.txt", "hit\r\n");
  dir_.write("t/A.TXT", "hit\r\n");
  dir_.write("t/b.csv", "hit\r\n");
  dir_.write("t/c.txt.bak", "hit\r\n");
  dir_.write("t/sub/d.txt", "hit\r\n");
  dir_.write("t/a/deeper/e.txt", "hit\r\n");
  dir_.write("t/a/f.txt", "hit\r\n");
  ASSERT_EQ(symlink("..", (dir_ / "t/sub/loop").c_str()), 0);
  Result r = run({"hit", "t"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "t/A.TXT:1:hit\nt/z.txt:1:hit\nt/a/f.txt:1:hit\nt/sub/d.txt:1:hit\nt/a/deeper/e.txt:1:hit\n");
  EXPECT_EQ(run({"--ext=.csv", "hit", "t/"}).out, "t/b.csv:1:hit\n");
  EXPECT_EQ(run({"--ext=.csv,.bak", "hit", "t"}).out, "t/b.csv:1:hit\nt/c.txt.bak:1:hit\n");
}

TEST_F(Cli, MatchAndGsubWorkOnStandardInput) {
  EXPECT_EQ(run({"--match", "示"}, "表示").out, "3 2\n");
  Result none = run({"--match", "x"}, "abc");
  EXPECT_EQ(none.out, "0 0\n");
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(run({"--match", "--raw", sjis("示")}, sjis("表示")).out, "3 2\n");
  // "$" ends a line before CR under the default separator, before LF with --lf.
  EXPECT_EQ(run({"--match", "b$"}, "ab\r\nc").out, "2 1\n");
  EXPECT_EQ(run({"--match", "--lf", "b$"}, "ab\r\nc").out, "0 0\n");
  EXPECT_EQ(run({"--match", "--lf", "b$"}, "ab\nc").out, "2 1\n");
  Result g = run({"--gsub=[&]", "示|b"}, "表示\r\nabc");
  EXPECT_EQ(g.status, 0);
  EXPECT_EQ(g.out, "表[示]\r\na[b]c");
  EXPECT_EQ(run({"--gsub=x", "q"}, "abc").status, 1);
  EXPECT_EQ(run({"--gsub=x", "q"}, "abc").out, "abc");
  EXPECT_EQ(run({"--gsub=x", "a", "file.txt"}, "abc").status, 2);
}

}  // namespace
}  // namespace kelvane
