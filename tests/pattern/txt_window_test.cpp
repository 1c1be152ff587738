// Searches in turn share one window storage: what an earlier file left in it never shows in a later
// one, and a search started from a report reads its own file.
#include <gtest/gtest.h>

#include "pattern/grep.h"
#include "pattern/txt_file.h"
#include "tests/testing/reference_grep.h"
#include "tests/testing/temp_dir.h"

namespace kelvane {
namespace {

std::string grepLines(TGrep& grep, const std::string& path, std::size_t blockSize) {
  std::vector<RE_LineInfo_t> found;
  grep.BlockSize = blockSize;
  grep.OnMatch = [&](TGrep&, const RE_LineInfo_t& line) { found.push_back(line); };
  grep.Grep(path);
  return testing::formatLines(found);
}

TEST(TxtWindow, LeftoversOfALongerFileNeverMatch) {
  testing::TempDir dir;
  // The long file leaves "abc" all over the storage; the short ones stop where their text stops.
  std::string big = dir.write("big.txt", std::string(300000, 'c') + "abc" + std::string(1000, 'c'));
  std::string shortOne = dir.write("short.txt", "xab");
  std::string shortLine = dir.write("lines.txt", "ab\r\nc\r\nab");
  for (const char* pattern : {"abc", "ab[^\\n]", "b$", "c"}) {
    TGrep grep;
    grep.SetRegExp(pattern);
    for (std::size_t size : {std::size_t{3}, std::size_t{1000}, TTxtFile::kBlockSize}) {
      std::string wantBig =
          std::string(pattern) == "b$" ? "" : "1:" + std::string(300000, 'c') + "abc" + std::string(1000, 'c') + "\n";
      EXPECT_EQ(grepLines(grep, big, size), wantBig) << pattern << " " << size;
      std::string wantShort = std::string(pattern) == "b$" ? "1:xab\n" : "";
      EXPECT_EQ(grepLines(grep, shortOne, size), wantShort) << pattern << " " << size;
      std::string wantLines = std::string(pattern) == "b$"  ? "1:ab\n3:ab\n"
                              : std::string(pattern) == "c" ? "2:c\n"
                                                            : "";
      EXPECT_EQ(grepLines(grep, shortLine, size), wantLines) << pattern << " " << size;
    }
  }
}

TEST(TxtWindow, ASearchFromAReportReadsItsOwnFile) {
  testing::TempDir dir;
  std::string outer = dir.write("outer.txt", "a1\r\nx\r\na2\r\n");
  std::string inner = dir.write("inner.txt", "zz\r\na9\r\n");
  TGrep grep, other;
  grep.SetRegExp("a");
  other.SetRegExp("a");
  std::vector<std::string> seen;
  other.OnMatch = [&](TGrep&, const RE_LineInfo_t& line) { seen.push_back("inner " + line.Line); };
  grep.OnMatch = [&](TGrep&, const RE_LineInfo_t& line) {
    seen.push_back("outer " + line.Line);
    other.Grep(inner);
  };
  grep.Grep(outer);
  EXPECT_EQ(seen, (std::vector<std::string>{"outer a1", "inner a9", "outer a2", "inner a9"}));
}

}  // namespace
}  // namespace kelvane
