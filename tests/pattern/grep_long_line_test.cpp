// The file grep on long lines and on patterns that read across line ends: the searches that froze
// when every start was walked on its own, the stop in the middle of one long line, and the results
// that follow from "^" and "$" being transitions on LF.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pattern/grep.h"
#include "tests/testing/reference_grep.h"
#include "tests/testing/temp_dir.h"

namespace kelvane {
namespace {

testing::RefAutomaton automatonOf(const TRE_DFA& dfa) {
  testing::RefAutomaton a;
  a.start = static_cast<int>(dfa.Start->Index);
  a.next = [&dfa](int s, std::uint16_t code) {
    const TREDFAState* n = TRE_DFA::NextState(dfa.States[static_cast<std::size_t>(s)].get(), code);
    return n ? static_cast<int>(n->Index) : -1;
  };
  a.accepting = [&dfa](int s) { return dfa.States[static_cast<std::size_t>(s)]->IsAccepting(); };
  return a;
}

std::string grepLines(const std::string& pattern, const std::string& content, std::size_t blockSize,
                      bool compareWithReference = false) {
  testing::TempDir dir;
  const std::string path = dir.write("g.txt", content);
  TGrep grep;
  grep.SetRegExp(pattern);
  grep.BlockSize = blockSize;
  std::vector<RE_LineInfo_t> found;
  grep.OnMatch = [&](TGrep&, const RE_LineInfo_t& line) { found.push_back(line); };
  grep.Grep(path);
  const std::string got = testing::formatLines(found);
  if (compareWithReference) {
    EXPECT_EQ(got, testing::formatLines(testing::referenceGrep(content, automatonOf(grep.CurrentDFA()))))
        << "pattern " << pattern;
  }
  return got;
}

// Each of these took seconds to minutes on the line, or did not end.
TEST(GrepLongLine, SearchesThatUsedToFreeze) {
  const std::string line(300000, 'a');
  const std::string many = "(aa)*b|cdefghijklmnopqrstuvwxyzcdefghijklmnopqrstuvwxyzcdefghijklmnopqrstuvwxyz";
  for (std::size_t block : {std::size_t{4096}, TTxtFile::kBlockSize}) {
    EXPECT_EQ(grepLines("(aa)*b", line, block), "");
    EXPECT_EQ(grepLines(many, "x\r\n" + line + "\r\ny", block), "");
    EXPECT_EQ(grepLines("a.*b", line + line + line, block), "");
    EXPECT_EQ(grepLines("(aa)*b", "c\r\n" + line + "b", block), "2:" + line + "b\n");
    EXPECT_EQ(grepLines("a[^x]*(z|q)", line + "\r\n" + line + "q", block), "2:" + line + "q\n");
  }
}

// A walk that reads an LF goes on into the next line and still reports the line it started in. Many
// lines whose walks all run to the end of the file cost the file's length once, not once per line.
TEST(GrepLongLine, WalksAcrossLineEndsOverManyLines) {
  std::string lines;
  for (int i = 0; i < 40000; ++i) lines += "a\r\n";
  EXPECT_EQ(grepLines("a[\\x01-\\x7f]*z", lines, TTxtFile::kBlockSize), "");
  std::string expected;
  for (int i = 1; i <= 40000; ++i) expected += std::to_string(i) + ":a\n";
  EXPECT_TRUE(grepLines("a[\\x01-\\x7f]*z", lines + "z", TTxtFile::kBlockSize) == expected);
  // The same on short files, against the reference, at a tiny block size.
  for (const char* pattern : {"a\\nb", "a[\\x01-\\x7f]*z", "(a\\n)*b$", "b\\n\\n|^$", "(aa)*\\nb"}) {
    for (const std::string content : {"a\r\nb\r\na\r\na\r\nb", "aa\r\n\r\nb\r\na\r\nz", "b\r\n\r\n\r\na"}) {
      grepLines(pattern, content, 3, true);
    }
  }
}

// The stop button sets Cancel from the window's message processing; inside one long line that the
// reader holds whole (one block) the scan must still let the window process its messages.
TEST(GrepLongLine, StopTakesEffectInTheMiddleOfOneLongLine) {
  testing::TempDir dir;
  const std::string path = dir.write("long.txt", std::string(3 << 20, 'a'));
  TGrep grep;
  grep.SetRegExp("(aa)*b");
  grep.BlockSize = 8 << 20;
  grep.OnMatch = [](TGrep&, const RE_LineInfo_t&) {};
  int calls = 0;
  grep.ProcessMessages = [&] { ++calls; };
  grep.Grep(path);
  EXPECT_GE(calls, 10);  // a check every 256 K characters, and the reader's own
  calls = 0;
  grep.ProcessMessages = [&] {
    if (++calls == 3) grep.Cancel = true;
  };
  EXPECT_THROW(grep.Grep(path), EGrepCancel);
  EXPECT_EQ(calls, 3);
}

// In a file search "^" and "$" are transitions on LF, the same code as a class that holds LF reads. A
// state that has both takes the class, which comes first: the anchor's alternative is never reached
// there. So ^a|[\x01-\x0b]q finds nothing in "abc" (the LF before the line goes to the class), and
// c$|c[\x01-\x0b]q nothing either. Codes of the class that are not LF are found all the same.
TEST(GrepLongLine, AnAnchorBesideAClassThatHoldsLF) {
  EXPECT_EQ(grepLines("^a|[\\x01-\\x0b]q", "abc\n", 7, true), "");
  EXPECT_EQ(grepLines("c$|c[\\x01-\\x0b]q", "abc\n", 7, true), "");
  EXPECT_EQ(grepLines("^a|[\\x01-\\x0b]q|z", "x\x0bq\r\nabc\r\n\r\nq", 7, true), "1:x\x0bq\n4:q\n");
  EXPECT_EQ(grepLines("c$|c[\\x01-\\x0b]q|z", "c\x0bq\r\nabc\r\nc\r\nq", 7, true), "1:c\x0bq\n3:c\n");
}

}  // namespace
}  // namespace kelvane
