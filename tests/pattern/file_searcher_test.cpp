// The one searcher of the window and kelvane-grep: that each mode reports what its face of the
// engine reports (TGrep, PlainLineMatch over the line list), on bytes on disk with every kind of line
// end, trail bytes that look like ASCII and a NUL; how it fails; and that searchers on several
// threads find what one finds.
#include "pattern/file_searcher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>
#include <utility>
#include <vector>

#include "pattern/grep.h"
#include "pattern/plain_text.h"
#include "platform/cp932.h"
#include "platform/line_list.h"
#include "tests/testing/temp_dir.h"

namespace kelvane {
namespace {

using Lines = std::vector<std::pair<std::int64_t, std::string>>;

std::string sjis(std::string_view utf8) { return cp932::fromUtf8(utf8).text; }

Lines search(FileSearcher& searcher, const std::string& path) {
  Lines lines;
  const std::int64_t n = searcher.Search(path, [&](std::int64_t no, std::string_view line) {
    lines.emplace_back(no, std::string(line));
  });
  EXPECT_EQ(n, static_cast<std::int64_t>(lines.size()));
  return lines;
}

Lines byGrep(const std::string& pattern, bool fuzzy, const std::string& path) {
  TGrep grep;
  grep.SetUseFuzzyCharDic(fuzzy);
  grep.SetRegExp(pattern);
  Lines lines;
  grep.OnMatch = [&](TGrep&, const RE_LineInfo_t& info) { lines.emplace_back(info.LineNo, info.Line); };
  grep.Grep(path);
  return lines;
}

Lines byLineList(const std::string& pattern, bool caseSensitive, const std::string& path) {
  Lines lines;
  const std::vector<std::string> all = files::readLines(path).lines;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (PlainLineMatch(all[i], pattern, caseSensitive)) lines.emplace_back(static_cast<std::int64_t>(i + 1), all[i]);
  }
  return lines;
}

// Every kind of line end, no final one, 表 (0x95 0x5C) and ア (0x83 0x41) whose trail bytes are ASCII.
const std::string kMixed = sjis("表示\r\nabc\nファイル\rCR only\r\n\r\nａｂｃ ABC\nアA\r\nfile ﾌｧｲﾙ end");

class FileSearcherTest : public ::testing::Test {
 protected:
  testing::TempDir dir_;
};

TEST_F(FileSearcherTest, EachModeReportsWhatItsFaceOfTheEngineReports) {
  const std::string path = dir_.write("mixed.txt", kMixed);
  const std::vector<std::string> patterns = {"abc", "A", "\\\\", sjis("表"), sjis("示"), "^", "$", "e$",
                                             sjis("ファイル|ABC"), "^$", "d"};
  for (const std::string& p : patterns) {
    for (bool fuzzy : {false, true}) {
      FileSearcher searcher(p, {.plain = false, .ignoreCase = false, .fuzzy = fuzzy});
      EXPECT_EQ(search(searcher, path), byGrep(p, fuzzy, path)) << p << " fuzzy " << fuzzy;
    }
    for (bool ignoreCase : {false, true}) {
      FileSearcher searcher(p, {.plain = true, .ignoreCase = ignoreCase, .fuzzy = false});
      EXPECT_EQ(search(searcher, path), byLineList(p, !ignoreCase, path)) << p << " ignoreCase " << ignoreCase;
    }
  }
  // The trail byte of 表 is a backslash and that of ア an "A": neither is found inside them.
  FileSearcher backslash("\\", {.plain = true});
  EXPECT_EQ(search(backslash, path), Lines{});
  FileSearcher letter("A", {.plain = true});
  EXPECT_EQ(search(letter, path), (Lines{{6, sjis("ａｂｃ ABC")}, {7, sjis("アA")}}));
}

TEST_F(FileSearcherTest, FuzzyAndIgnoreCaseApplyOnlyToTheirOwnMode) {
  const std::string path = dir_.write("mixed.txt", kMixed);
  FileSearcher fuzzy(sjis("ﾌｧｲﾙ"), {.fuzzy = true});
  EXPECT_EQ(search(fuzzy, path), (Lines{{3, sjis("ファイル")}, {8, sjis("file ﾌｧｲﾙ end")}}));
  FileSearcher exact(sjis("ﾌｧｲﾙ"), {});
  EXPECT_EQ(search(exact, path), (Lines{{8, sjis("file ﾌｧｲﾙ end")}}));
  // Full-width letters are upper-cased too; pattern mode has no case folding.
  FileSearcher folded(sjis("ＡＢＣ"), {.plain = true, .ignoreCase = true});
  EXPECT_EQ(search(folded, path), (Lines{{6, sjis("ａｂｃ ABC")}}));
  FileSearcher regex("ABC", {.ignoreCase = true});
  EXPECT_EQ(search(regex, path), (Lines{{6, sjis("ａｂｃ ABC")}}));
  // Switching a searcher between modes and patterns leaves nothing of the last setting behind.
  regex.SetPattern("abc", {.plain = true});
  EXPECT_EQ(search(regex, path), (Lines{{2, "abc"}}));
  regex.SetPattern(sjis("ﾌｧｲﾙ"), {.fuzzy = true});
  EXPECT_EQ(search(regex, path).size(), 2u);
  regex.SetPattern(sjis("ﾌｧｲﾙ"), {});
  EXPECT_EQ(search(regex, path).size(), 1u);
}

TEST_F(FileSearcherTest, ANulIsABlankInPatternModeAndEndsTheTextInPlainMode) {
  const std::string path = dir_.write("nul.txt", std::string("a b\r\na\0b\r\nab\r\n", 14));
  FileSearcher pattern("a b", {});
  EXPECT_EQ(search(pattern, path), (Lines{{1, "a b"}, {2, "a b"}}));
  FileSearcher plain("b", {.plain = true});
  EXPECT_EQ(search(plain, path), (Lines{{1, "a b"}}));
}

TEST_F(FileSearcherTest, FailuresRaiseTheirDocumentedExceptions) {
  FileSearcher none;
  EXPECT_FALSE(none.HasPattern());
  EXPECT_THROW(none.Search(dir_ / "x", [](std::int64_t, std::string_view) {}), std::logic_error);
  EXPECT_THROW(FileSearcher("(ab", {}), ERegExpParser);
  FileSearcher searcher("a", {});
  EXPECT_THROW(searcher.SetPattern("a[z-a]", {}), ERegExpParser);
  EXPECT_FALSE(searcher.HasPattern());
  // A syntax error is no error in plain mode: the text is searched as it stands.
  searcher.SetPattern("(ab", {.plain = true});
  EXPECT_TRUE(searcher.HasPattern());

  dir_.mkdir("folder");
  ASSERT_EQ(mkfifo((dir_ / "fifo.txt").c_str(), 0600), 0);
  ASSERT_EQ(symlink("loop.txt", (dir_ / "loop.txt").c_str()), 0);
  for (const char* name : {"missing.txt", "folder", "fifo.txt", "loop.txt"}) {
    for (bool plain : {false, true}) {
      FileSearcher s("a", {.plain = plain});
      try {
        s.Search(dir_ / name, [](std::int64_t, std::string_view) {});
        ADD_FAILURE() << name << " searched";
      } catch (const EInOutError& e) {
        EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
      }
    }
  }
  FileSearcher pattern("a", {});
  EXPECT_THROW(pattern.Search(dir_ / "missing.txt", [](std::int64_t, std::string_view) {}), EFileNotFound);
  // An empty file reports nothing and is no error.
  const std::string empty = dir_.write("empty.txt", "");
  EXPECT_EQ(search(pattern, empty), Lines{});
}

TEST_F(FileSearcherTest, CancelStopsTheSearchAtTheNextCheckPointInBothModes) {
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "hit\r\n";
  const std::string path = dir_.write("many.txt", text);
  for (bool plain : {false, true}) {
    FileSearcher searcher("hit", {.plain = plain});
    int reports = 0, pumps = 0;
    searcher.ProcessMessages = [&] { ++pumps; };
    EXPECT_THROW(searcher.Search(path,
                                 [&](std::int64_t, std::string_view) {
                                   if (++reports == 10) searcher.Cancel = true;
                                 }),
                 EGrepCancel);
    EXPECT_GE(reports, 10);
    EXPECT_LT(reports, 10 + FileSearcher::kPlainCheckLines) << plain;
    EXPECT_GT(pumps, 0);
    // Set from the event pump, the flag stops the search before anything is reported.
    reports = 0;
    searcher.ProcessMessages = [&] { searcher.Cancel = true; };
    EXPECT_THROW(searcher.Search(path, [&](std::int64_t, std::string_view) { ++reports; }), EGrepCancel);
    EXPECT_EQ(reports, 0) << plain;
    // Each search starts with the flag down.
    searcher.ProcessMessages = {};
    EXPECT_EQ(search(searcher, path).size(), 20000u);
  }
}

// Run under ThreadSanitizer too: searchers of both modes and the fuzzy dictionary on four threads,
// each with its own searcher, find what one thread finds.
TEST_F(FileSearcherTest, SearchersOnSeveralThreadsFindWhatOneFinds) {
  std::vector<std::string> paths;
  for (int f = 0; f < 8; ++f) {
    std::string text;
    for (int i = 0; i < 3000; ++i) text += sjis(i % (f + 3) == 0 ? "ﾌｧｲﾙの設定\r\n" : "表示する\n");
    paths.push_back(dir_.write("f" + std::to_string(f) + ".txt", text));
  }
  const std::vector<std::pair<std::string, SearchOptions>> cases = {
      {sjis("ファイル.*設定"), {.fuzzy = true}}, {sjis("設定"), {.plain = true}}, {sjis("表示"), {}}};
  // The threads go first, so that they are the ones that make the shared tables.
  std::vector<std::vector<std::vector<Lines>>> found(4);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < found.size(); ++t) {
    threads.emplace_back([&, t] {
      for (const auto& [pattern, options] : cases) {
        FileSearcher mine(pattern, options);
        found[t].emplace_back();
        for (const std::string& path : paths) found[t].back().push_back(search(mine, path));
      }
    });
  }
  for (std::thread& t : threads) t.join();
  std::vector<std::vector<Lines>> expected;
  for (const auto& [pattern, options] : cases) {
    FileSearcher one(pattern, options);
    expected.emplace_back();
    for (const std::string& path : paths) expected.back().push_back(search(one, path));
  }
  for (const auto& f : found) EXPECT_EQ(f, expected);
}

}  // namespace
}  // namespace kelvane
