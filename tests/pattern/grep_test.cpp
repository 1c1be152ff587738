// TGrep against the whole-file reference, at every block size, on fixed and random cases; the reader's
// window read a character at a time (the reference reader) must agree as well.
#include "pattern/grep.h"

#include <gtest/gtest.h>

#include <random>

#include "pattern/re_chars.h"
#include "platform/cp932.h"
#include "tests/testing/reference_grep.h"
#include "tests/testing/reference_matcher.h"
#include "tests/testing/reference_reader.h"
#include "tests/testing/temp_dir.h"

namespace kelvane {
namespace {

const std::size_t kBlockSizes[] = {1, 2, 3, 7, 102400};

std::string sjis(std::string_view utf8) { return cp932::fromUtf8(utf8).text; }

// The pattern the grep compiled (after the preprocessor), read by the reference on its own.
testing::RefAutomaton automatonOf(const TGrep& grep) {
  return testing::referenceGrepAutomaton(grep.PatternCache()[grep.CacheIndex()].Text);
}

std::string grepLines(TGrep& grep, const std::string& path, std::size_t blockSize) {
  std::vector<RE_LineInfo_t> found;
  grep.BlockSize = blockSize;
  grep.OnMatch = [&](TGrep& sender, const RE_LineInfo_t& line) {
    EXPECT_EQ(&sender, &grep);
    found.push_back(line);
  };
  grep.Grep(path);
  return testing::formatLines(found);
}

// Greps content for pattern at every block size; all must agree with the reference (and expected,
// when given).
void expectGrep(const std::string& pattern, const std::string& content, const char* expected = nullptr,
                bool fuzzy = false) {
  testing::TempDir dir;
  std::string path = dir.write("g.txt", content);
  TGrep grep;
  grep.SetRegExp(pattern);
  if (fuzzy) grep.SetUseFuzzyCharDic(true);
  const testing::RefAutomaton automaton = automatonOf(grep);
  std::string reference = testing::formatLines(testing::referenceGrep(content, automaton));
  if (expected) {
    EXPECT_EQ(reference, expected) << "reference, pattern " << pattern;
  }
  for (std::size_t size : kBlockSizes) {
    EXPECT_EQ(grepLines(grep, path, size), reference) << "pattern " << pattern << ", block size " << size;
    EXPECT_EQ(testing::formatLines(testing::readerGrep(path, automaton, size)), reference)
        << "reference reader, pattern " << pattern << ", block size " << size;
  }
}

TEST(Grep, OneReportPerLineInFileOrder) {
  expectGrep("ab", "ab ab ab\r\nx\r\nxab\r\n", "1:ab ab ab\n3:xab\n");
  expectGrep("ab", "aab", "1:aab\n");
  expectGrep("a+b", "aaab\r\nb\r\n", "1:aaab\n");
  expectGrep("x*", "abc\r\nx\r\n", "2:x\n");  // the empty match at the start never counts
  expectGrep("b", "a\rb\rc\rb", "2:b\n4:b\n");
}

TEST(Grep, AnchorsMatchEveryLineIncludingFirstAndLast) {
  expectGrep("^abc", "abc\r\nxabc\r\nabcd", "1:abc\n3:abcd\n");
  expectGrep("abc$", "abc\r\nabcx\r\nxabc", "1:abc\n3:xabc\n");
  expectGrep("^", "a\r\n\r\nb\r\n", "1:a\n2:\n3:b\n");
  expectGrep("$", "a\r\n\r\nb", "1:a\n2:\n3:b\n");
  expectGrep("^$", "a\r\n\r\nb\r\n", "2:\n");
  expectGrep("^a|b$", "xa\r\nab\r\nb\r\n", "2:ab\n3:b\n");
}

TEST(Grep, DoubleByteCharactersAreWholeCharacters) {
  // 表 ends in 0x5C, the backslash; ソ (0x83 0x5C) too; ア is 0x83 0x41.
  expectGrep("\\\\", sjis("表示\r\nソ\r\na\\b\r\n"), "3:a\\b\n");
  expectGrep("A", sjis("ア\r\nAア\r\n"), sjis("2:Aア\n").c_str());
  expectGrep(sjis("表示"), sjis("表示する\r\n表\r\n示表示\r\n"), sjis("1:表示する\n3:示表示\n").c_str());
  expectGrep(sjis("ファイル.*設定"), sjis("ファイルの設定\r\n設定ファイル\r\nファイル\r\n設定\r\n"),
             sjis("1:ファイルの設定\n").c_str());
  expectGrep(sjis("[あ-ん]+"), sjis("カナ\r\nかな\r\nｶﾅ\r\n"), sjis("2:かな\n").c_str());
}

TEST(Grep, MatchesThatReadAcrossLineEnds) {
  // A negated class never holds LF; an escaped LF or a class with one does.
  expectGrep("a[^x]b", "xa\r\nbx\r\na\r\nb", "");
  expectGrep("a\\nb", "xa\r\nbx\r\na\r\nb", "1:xa\n3:a\n");
  expectGrep("a\\nb", "a\r\nb\r\nab", "1:a\n");
  expectGrep("c[\\nq]*z", "c\r\n\r\n\r\nz", "1:c\n");
}

// A walk that reached the end of the file once read code 0 there for ever, and a class that holds
// code 0 made it go round for ever. The walk stops at the end instead.
TEST(Grep, AWalkStopsAtTheEndOfTheFile) {
  expectGrep("a[\\0-z]*q", "xa\r\nbc", "");
  expectGrep("a[\\0-z]*q", "xa\r\nbq", "1:xa\n");
}

// The reference is as slow as the walk it checks, so long lines are compared with known results.
void expectGrepLong(const std::string& pattern, const std::string& content, const std::string& expected) {
  testing::TempDir dir;
  std::string path = dir.write("g.txt", content);
  TGrep grep;
  grep.SetRegExp(pattern);
  for (std::size_t size : {std::size_t{7}, std::size_t{102400}}) {
    EXPECT_EQ(grepLines(grep, path, size), expected) << "pattern " << pattern << ", block size " << size;
  }
}

// From every start of a long line [^a]*z walks to the line end; without remembering where walks
// failed that is the square of the line length (minutes for these lines).
TEST(Grep, LongWalksOnLongLinesStayLinear) {
  std::string line(300000, 'x');
  expectGrepLong("[^a]*z", "b\r\n" + line + "\r\nc", "");
  expectGrepLong("[^a]*z", "b\r\n" + line + "z\r\nc", "2:" + line + "z\n");
  // A walk that succeeds after marking leaves no wrong marks behind: the second line needs them.
  expectGrepLong("[^a]*z", line + "z\r\n" + line + "z", "1:" + line + "z\n2:" + line + "z\n");
  expectGrepLong("x[^a]*(z|q)", line + "a\r\n" + line + "q", "2:" + line + "q\n");
  // The same walks in short lines, against the reference.
  expectGrep("[^a]*z", std::string(100, 'x') + "\r\n" + std::string(100, 'x') + "z");
  expectGrep("x[^a]*(z|q)", std::string(100, 'x') + "a\r\n" + std::string(50, 'x') + "qxz");
}

TEST(Grep, FuzzyCharacters) {
  expectGrep(sjis("ファイル"), sjis("ﾌｧｲﾙ\r\nファイル\r\nふぁいる\r\n"), nullptr, true);
  expectGrep("ab", sjis("ＡＢ\r\nab\r\nAb\r\n"), nullptr, true);
}

TEST(Grep, LongLinesAndDoubleBytesAcrossBlocks) {
  std::string line;
  for (int i = 0; i < 3000; ++i) line += sjis("あ表ｱa");
  expectGrep(sjis("表ｱ") + "a" + sjis("あ"), line + "\r\n" + line);
  expectGrep("a$", line + "\r\nb\r\n" + line);
  expectGrep(sjis("あ") + "$", line + sjis("あ"), nullptr);
}

// Each assignment decides how the next search goes: a plain text, a walk, anchors, the fuzzy
// dictionary switched on after a plain text; after a failed compilation the empty pattern is current
// and a search reports nothing.
TEST(Grep, EachAssignmentSearchesWithItsOwnPattern) {
  TGrep grep;
  EXPECT_THROW(grep.Grep("/nonexistent"), std::logic_error);
  testing::TempDir dir;
  const std::string path = dir.write("a.txt", sjis("abc\r\naxc\r\nxabc\r\nＡＢＣ\r\n"));
  grep.SetRegExp("abc");
  EXPECT_EQ(grepLines(grep, path, 7), "1:abc\n3:xabc\n");
  grep.SetRegExp("a.c");
  EXPECT_EQ(grepLines(grep, path, 7), "1:abc\n2:axc\n3:xabc\n");
  grep.SetRegExp("^abc$");
  EXPECT_EQ(grepLines(grep, path, 7), "1:abc\n");
  grep.SetRegExp("abc");
  grep.SetUseFuzzyCharDic(true);
  EXPECT_EQ(grepLines(grep, path, 7), sjis("1:abc\n3:xabc\n4:ＡＢＣ\n"));
  EXPECT_THROW(grep.SetRegExp("(ab"), ERegExpParser);
  EXPECT_EQ(grepLines(grep, path, 7), "");
}

TEST(Grep, FailuresAndTheUnassignedEvent) {
  testing::TempDir dir;
  TGrep grep;
  grep.SetRegExp("a");
  grep.Grep(dir / "missing.txt");  // no OnMatch: the file is not even opened
  grep.OnMatch = [](TGrep&, const RE_LineInfo_t&) {};
  EXPECT_THROW(grep.Grep(dir / "missing.txt"), EFileNotFound);
  EXPECT_NO_THROW(grep.Grep(dir.write("empty.txt", "")));
  // An exception from the handler passes out; the next search starts afresh.
  std::string path = dir.write("b.txt", "a\r\na\r\n");
  grep.OnMatch = [](TGrep&, const RE_LineInfo_t&) { throw std::runtime_error("stop"); };
  EXPECT_THROW(grep.Grep(path), std::runtime_error);
  // Cancel set from the message pump stops the search; Cancel is reset by the next search.
  int reports = 0;
  grep.OnMatch = [&](TGrep&, const RE_LineInfo_t&) { ++reports; };
  grep.ProcessMessages = [&] {
    if (reports == 1) grep.Cancel = true;
  };
  EXPECT_THROW(grep.Grep(path), EGrepCancel);
  EXPECT_EQ(reports, 1);
  grep.ProcessMessages = nullptr;
  reports = 0;
  grep.Grep(path);
  EXPECT_EQ(reports, 2);
}

// Random patterns over characters that stress the reader: a, b, LF, CR, ｱ, あ, 表 (trail 0x5C), ア
// (trail "A"), a lead byte alone, NUL.
TEST(Grep, RandomPatternsAndFilesMatchTheReference) {
  std::mt19937 rng(7);
  const std::vector<std::string> atoms = {"a",    "b", "A", "\\\\", sjis("あ"), sjis("表"), sjis("ア"),      sjis("ｱ"),
                                          "^",    "$", ".", "[ab]", "[^a]",     "\\n",      sjis("[あ-ア]"), "(a|b)",
                                          "(^|b)"};
  const std::vector<std::string> ops = {"", "", "", "*", "+", "?"};
  const std::vector<std::string> pieces = {
      "a",        "b",        "A",        "\\",      "\r",  "\n", "\r\n", std::string(1, '\0'),
      sjis("あ"), sjis("表"), sjis("ア"), sjis("ｱ"), "\x82"};
  testing::TempDir dir;
  int compared = 0;
  int byPrefix = 0, byFirstSet = 0, byTable = 0;  // which walk the scan took
  for (int round = 0; round < 400; ++round) {
    std::string pattern;
    int atomCount = 1 + static_cast<int>(rng() % 4);
    for (int i = 0; i < atomCount; ++i) pattern += atoms[rng() % atoms.size()] + ops[rng() % ops.size()];
    if (rng() % 5 == 0) pattern += "|" + atoms[rng() % atoms.size()];
    TGrep grep;
    try {
      grep.SetRegExp(pattern);
      if (rng() % 4 == 0) grep.SetUseFuzzyCharDic(true);
    } catch (const ERegExpParser&) {
      continue;
    }
    std::string content;
    int n = static_cast<int>(rng() % 30);
    for (int i = 0; i < n; ++i) content += pieces[rng() % pieces.size()];
    std::string path = dir.write("r.txt", content);
    const testing::RefAutomaton automaton = automatonOf(grep);
    std::string reference = testing::formatLines(testing::referenceGrep(content, automaton));
    for (std::size_t size : kBlockSizes) {
      ASSERT_EQ(grepLines(grep, path, size), reference) << "round " << round << " pattern " << pattern;
      ASSERT_EQ(testing::formatLines(testing::readerGrep(path, automaton, size)), reference)
          << "reference reader, round " << round << " pattern " << pattern;
    }
    ++compared;
    GrepTables tables(grep.CurrentDFA());
    (!tables.Prefix().empty() ? byPrefix : !tables.FirstCodes().empty() ? byFirstSet : byTable)++;
  }
  EXPECT_GT(compared, 300);
  EXPECT_GT(byPrefix, 30);
  EXPECT_GT(byFirstSet, 30);
  EXPECT_GT(byTable, 30);
}

}  // namespace
}  // namespace kelvane
