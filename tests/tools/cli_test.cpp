// The kelvane-grep contract, through the built tool: output lines, exit codes, UTF-8 and --raw,
// errors and their positions, the folder walk, --match and --gsub, --help and --version.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "filescan/file_access.h"
#include "filescan/kyoutuu.h"
#include "kelvane_version.h"
#include "pattern/grep.h"
#include "platform/cp932.h"
#include "tests/testing/temp_dir.h"
#include "tests/tools/cli_runner.h"

// Sanitized builds reserve far more address space than a memory limit for the tool can leave.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define KELVANE_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define KELVANE_SANITIZED 1
#endif
#endif

namespace kelvane {
namespace {

// The display width of UTF-8 text on a terminal: a character of three or more bytes (the Japanese
// of the help) takes two columns.
int columns(std::string_view utf8) {
  int width = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    width += length >= 3 ? 2 : 1;
    i += length;
  }
  return width;
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

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
  // An extension with no Shift-JIS form cannot be wanted: an error, not a list of "?".
  EXPECT_EQ(run({"--ext=.\xF0\x9F\x98\x80", "hit", "t"}).status, 2);
}

// The files of a folder are the files the window's target list holds: its walk, its listing and its
// extension filter (a file wanted twice is still searched once).
TEST_F(Cli, AFolderYieldsTheFilesOfTheTargetListInItsOrder) {
  for (const char* name : {"t/b.TXT", "t/.hidden.txt", "t/A.csv", "t/noext", "t/x.txt.bak", "t/sub/c.txt",
                           "t/_under.txt", "t/a/deeper/d.txt", "t/a/e.txt", "t/Z/f.csv"}) {
    dir_.write(name, "hit\r\n");
  }
  dir_.write("t/\xF0\x9F\x98\x80.txt", "hit\r\n");  // no Shift-JIS form: left out and counted
  ASSERT_EQ(symlink("..", (dir_ / "t/sub/loop").c_str()), 0);
  ASSERT_EQ(mkfifo((dir_ / "t/pipe.txt").c_str(), 0600), 0);  // not a file: never opened
  const std::string extensions = ".txt,.csv,,.TXT";
  std::string expected;
  const ExtensionFilter filter(extensions);
  for (const std::string& folder : ScanFolderTree(dir_ / "t").folders) {
    for (const std::string& path : ListFolderFiles(folder).paths) {
      if (filter.wantedCount(path) > 0) expected += path + ":1:hit\n";
    }
  }
  Result r = run({"--ext=" + extensions, "hit", dir_ / "t"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, expected);
  EXPECT_NE(r.out.find("/t/noext:"), std::string::npos);
  EXPECT_EQ(r.err, "kelvane-grep: " + (dir_ / "t") + ": Shift-JIS で表せない名前を飛ばしました: 1\n");
}

// What the file layer says about a path it cannot read, as the tool's own search would hear it.
std::string fileLayerMessage(const std::string& path) {
  TGrep grep;
  grep.SetRegExp("x");
  grep.OnMatch = [](TGrep&, const RE_LineInfo_t&) {};
  try {
    grep.Grep(path);
  } catch (const std::exception& e) {
    return cp932::toUtf8(e.what()).text;
  }
  return {};
}

TEST_F(Cli, TheFileLayersMessageAboutAnUnreadablePathIsPassedOn) {
  ASSERT_EQ(mkfifo((dir_ / "fifo.txt").c_str(), 0600), 0);
  ASSERT_EQ(symlink("loop.txt", (dir_ / "loop.txt").c_str()), 0);
  const int s = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(s, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, (dir_ / "socket.txt").c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  std::vector<std::string> paths = {"fifo.txt", "loop.txt", "socket.txt", "missing.txt"};
  if (geteuid() != 0) {  // root reads anything
    dir_.write("locked.txt", "x\r\n");
    ::chmod((dir_ / "locked.txt").c_str(), 0);
    paths.push_back("locked.txt");
  }
  for (const std::string& path : paths) {
    const std::string message = fileLayerMessage(dir_ / path);
    ASSERT_NE(message, "") << path;
    Result r = run({"x", dir_ / path});
    EXPECT_EQ(r.status, 2) << path;
    EXPECT_EQ(r.err, "kelvane-grep: " + message + "\n") << path;
    EXPECT_EQ(run({"-F", "x", dir_ / path}).status, 2) << path;
  }
  close(s);
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

TEST_F(Cli, ABadTemplateIsReportedAsTheTemplateBeforeAnyInputIsRead) {
  for (const char* bad : {"\\", "x\\", "\\x", "ab\\x4142"}) {
    Result r = run({std::string("--gsub=") + bad, "zzz"}, "ab");  // nothing would match
    EXPECT_EQ(r.status, 2) << bad;
    EXPECT_EQ(r.out, "") << bad;
    EXPECT_EQ(r.err.rfind("kelvane-grep: 置換文字列: ", 0), 0u) << r.err;
  }
  // The position is the template's own: a value that does not fit a byte, at the end of its escape.
  EXPECT_EQ(run({"--gsub=ab\\x4142", "a"}, "a").err,
            "kelvane-grep: 置換文字列: 置換文字列の文字コードが１バイトに収まりません。 (位置 9)\n");
  // Input that cannot be converted is not even looked at: the template comes first.
  EXPECT_NE(run({"--gsub=\\", "a"}, "\xFF").err.find("置換文字列"), std::string::npos);
  // A bad pattern is still the pattern's error.
  Result pattern = run({"--gsub=\\", "(a"}, "ab");
  EXPECT_EQ(pattern.status, 2);
  EXPECT_EQ(pattern.err.find("置換文字列"), std::string::npos) << pattern.err;
  EXPECT_NE(pattern.err.find("(位置 3)"), std::string::npos) << pattern.err;
}

TEST_F(Cli, RawModeWritesItsMessagesInShiftJisToo) {
  Result option = run({"--raw", "--bogus", "a"});
  EXPECT_EQ(option.status, 2);
  EXPECT_EQ(option.err, "kelvane-grep: " + sjis("不明なオプションです: ") + "--bogus\n");
  // --raw after the error still decides the encoding.
  EXPECT_EQ(run({"-i", "a", "--raw"}).err, "kelvane-grep: " + sjis("-i は -F と一緒に指定してください") + "\n");
  EXPECT_NE(run({"--raw", "(ab", "."}).err.find(sjis("右(閉じ)括弧が必要です (位置 4)")), std::string::npos);
  // A path and the file layer's message about it come out as they stand.
  Result missing = run({"--raw", "x", sjis("表.txt")});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err.rfind("kelvane-grep: " + sjis("表.txt") + sjis("："), 0), 0u) << missing.err;
  EXPECT_EQ(run({"--raw", "--gsub=\\", "a"}, "a").err.rfind("kelvane-grep: " + sjis("置換文字列: "), 0), 0u);
  // Without --raw the same messages are UTF-8.
  EXPECT_EQ(run({"--bogus", "a"}).err, "kelvane-grep: 不明なオプションです: --bogus\n");
}

TEST_F(Cli, RunningOutOfMemoryIsSaidInJapaneseWithStatusTwo) {
#ifdef KELVANE_SANITIZED
  GTEST_SKIP() << "sanitized build";
#endif
  // Standard input is read whole: more of it than the address space allows.
  Result r = shell("ulimit -v 32768 && head -c 100000000 /dev/zero | " + tool({"--match", "x"}));
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "kelvane-grep: メモリが足りません\n");
}

TEST_F(Cli, AnErrorPositionPastTheSixteenBitRangeIsPrintedAsItIs) {
  const std::string pattern = std::string(70000, 'a') + "(b";
  Result r = run({pattern, "."});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("右(閉じ)括弧が必要です (位置 70003)"), std::string::npos) << r.err.substr(0, 200);
}

TEST_F(Cli, HelpAndVersionAnswerOnStandardOutputWithStatusZero) {
  Result help = run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  EXPECT_EQ(help.out.rfind("使い方: kelvane-grep [オプション] パターン [パス...]\n", 0), 0u);
  const std::vector<std::string> lines = linesOf(help.out);
  EXPECT_LE(lines.size(), 24u);  // one screen
  for (const std::string& line : lines) EXPECT_LE(columns(line), 80) << line;
  for (const char* option : {"-F, --plain", "-i, --ignore-case", "-z, --fuzzy", "--ext=LIST", "--raw", "--match",
                             "--gsub=TEMPLATE", "--lf", "--help", "--version", "--  ", "-j, --threads=N", "--in-place",
                             "--backup[=SUFFIX]", "--dry-run"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(run({"-z", "--help", "pattern", "missing.txt"}).out, help.out);  // --help answers alone
  EXPECT_EQ(run({"--raw", "--help"}).out, sjis(help.out));

  Result version = run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "kelvane-grep " + std::string(kKelvaneVersion) + "\n");
  EXPECT_STREQ(kKelvaneVersion, "1.1.2");
  // After "--" they are a pattern and a path like any other.
  EXPECT_EQ(run({"--", "--version"}).status, 1);
}

}  // namespace
}  // namespace kelvane
