// Character reading, escapes and the scanner: table cases from tests/data/pattern/front_scanner.txt,
// double-byte boundaries, and the positions errors report.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "pattern/re_chars.h"
#include "pattern/re_scanner.h"
#include "tests/testing/pattern_case_file.h"

namespace kelvane {
namespace {

using testing::cp932Case;

const char* const kKindNames[] = {"Char",       "Range",   "Alt",      "GroupOpen", "GroupClose",
                                  "Star",       "Plus",    "Optional", "ClassOpen", "NegClassOpen",
                                  "ClassClose", "AnyChar", "LineHead", "LineTail",  "End"};

std::string hex(unsigned v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%X", v);
  return buf;
}

std::string describe(const TREScanner& s) {
  if (s.Token() == tk_Char) return "Char:" + hex(s.Symbol());
  if (s.Token() == tk_Range) return "Range:" + hex(s.Symbol()) + "-" + hex(s.SymbolEnd());
  return kKindNames[s.Token()];
}

// The tokens of `pattern` as the data file writes them, up to tk_End or an error. Past tk_End the
// scanner must keep returning tk_End.
std::string scanAll(const std::string& pattern) {
  TREScanner scanner(pattern);
  std::string out;
  try {
    for (int guard = 0; guard < 1000; ++guard) {
      const TRETokenKind token = scanner.NextToken();
      out += (out.empty() ? "" : " ") + describe(scanner);
      if (token == tk_End) {
        if (scanner.NextToken() != tk_End) out += " (not End again)";
        break;
      }
    }
  } catch (const ERegExpParser& e) {
    out += (out.empty() ? "!" : " !") + std::string(e.what()) + "@" + std::to_string(e.ErrorPos);
  }
  return out;
}

TEST(ScannerTable, EveryCaseOfTheDataFile) {
  const auto cases = testing::readCaseFile(KELVANE_TEST_DATA "/pattern/front_scanner.txt");
  ASSERT_GT(cases.size(), 40u);
  for (const auto& c : cases) {
    ASSERT_EQ(c.fields.size(), 2u) << "line " << c.lineNo;
    EXPECT_EQ(scanAll(c.fields[0]), c.fields[1]) << "line " << c.lineNo;
  }
}

TEST(Scanner, ResetLeavesAFailedClassBehind) {
  TREScanner scanner(cp932Case("[abc"));
  EXPECT_EQ(scanner.NextToken(), tk_ClassOpen);
  EXPECT_EQ(scanner.NextToken(), tk_Char);
  EXPECT_EQ(scanner.NextToken(), tk_Char);
  EXPECT_THROW(scanner.NextToken(), ERegExpParser);
  EXPECT_TRUE(scanner.InClass());
  scanner.Reset("a]");
  EXPECT_FALSE(scanner.InClass());
  EXPECT_EQ(scanner.Position(), 1);
  EXPECT_EQ(scanner.NextToken(), tk_Char);
  EXPECT_EQ(scanner.Symbol(), 'a');
  EXPECT_EQ(scanner.NextToken(), tk_ClassClose);  // outside a class, "]" is not a character
}

TEST(Scanner, ErrorPositionAboveSixteenBitsIsKept) {
  std::string pattern(70000, 'a');
  pattern += '\x82';
  TREScanner scanner(pattern);
  try {
    while (scanner.NextToken() != tk_End) {
    }
    FAIL() << "no error";
  } catch (const ERegExpParser& e) {
    EXPECT_EQ(e.ErrorPos, 70001u);
    EXPECT_EQ(scanner.Position(), 70001);
  }
}

TEST(PatternChars, ReadStopsAtTheEndsAndStepsBackWholeCharacters) {
  const std::string p = cp932Case("a表ｱ");  // 61 95 5C B1
  int32_t pos = 0;
  EXPECT_EQ(ReadPatternChar(p, pos), 0);
  EXPECT_EQ(pos, 0);
  pos = 5;
  EXPECT_EQ(ReadPatternChar(p, pos), 0);
  EXPECT_EQ(pos, 5);
  pos = 2;
  EXPECT_EQ(ReadPatternChar(p, pos), 0x955C);
  EXPECT_EQ(pos, 4);
  UnreadPatternChar(p, pos);
  EXPECT_EQ(pos, 2);
  pos = 5;
  UnreadPatternChar(p, pos);
  EXPECT_EQ(pos, 4);
  UnreadPatternChar(p, pos);
  EXPECT_EQ(pos, 2);
  UnreadPatternChar(p, pos);
  EXPECT_EQ(pos, 1);
  UnreadPatternChar(p, pos);
  EXPECT_EQ(pos, 1);
}

// Forward reading and backward stepping agree on every character boundary, also where trail bytes carry
// lead-byte values (0x81 0x81) or look like ASCII (0x5C, 0x40).
TEST(PatternChars, UnreadRetracesEveryReadOnRandomText) {
  std::mt19937 rng(12345);
  const unsigned char bytes[] = {'a', '\\', 0x81, 0x95, 0x5C, 0x40, 0xE0, 0xFC, 0xA1, 0xDF, 0x9F, 0x7F};
  for (int round = 0; round < 2000; ++round) {
    std::string p;
    const int n = static_cast<int>(rng() % 12);
    for (int i = 0; i < n; ++i) p += static_cast<char>(bytes[rng() % sizeof bytes]);
    std::vector<int32_t> starts;
    int32_t pos = 1;
    try {
      while (true) {
        starts.push_back(pos);
        if (ReadPatternChar(p, pos) == 0) break;
      }
    } catch (const ERegExpParser&) {
      continue;  // a lone lead byte at the end: nothing to retrace
    }
    for (std::size_t i = starts.size() - 1; i > 0; --i) {
      UnreadPatternChar(p, pos);
      ASSERT_EQ(pos, starts[i - 1]) << "round " << round;
    }
  }
}

TEST(PatternChars, TrailBytesAreFoundByTheParityOfTheLeadRun) {
  const std::string p = cp932Case("表a⟨81⟩⟨81⟩⟨81⟩⟨81⟩");  // 95 5C 61 81 81 81 81
  const char* f = p.data();
  EXPECT_FALSE(IsTrailByteAt(f, f));
  EXPECT_TRUE(IsTrailByteAt(f, f + 1));
  EXPECT_FALSE(IsTrailByteAt(f, f + 2));
  EXPECT_FALSE(IsTrailByteAt(f, f + 3));
  EXPECT_TRUE(IsTrailByteAt(f, f + 4));
  EXPECT_FALSE(IsTrailByteAt(f, f + 5));
  EXPECT_TRUE(IsTrailByteAt(f, f + 6));
}

TEST(TextChars, ReadingNeverPassesTheTerminatingNul) {
  const std::string t = cp932Case("あ表ｱa⟨82⟩");
  const char* p = t.c_str();
  EXPECT_EQ(ReadTextChar(p), 0x82A0);
  EXPECT_EQ(ReadTextChar(p), 0x955C);
  EXPECT_EQ(ReadTextChar(p), 0xB1);
  EXPECT_EQ(ReadTextChar(p), 'a');
  EXPECT_EQ(ReadTextChar(p), 0x82);  // a lone lead byte before the NUL is one character
  EXPECT_EQ(*p, '\0');
  EXPECT_EQ(ReadTextChar(p), 0);
  EXPECT_EQ(*p, '\0');
}

TEST(TextChars, CodeToTextAndQuoteMetaChars) {
  EXPECT_EQ(CodeToText(0x0041), "A");
  EXPECT_EQ(CodeToText(0xFFFD), "\xFD");
  EXPECT_EQ(CodeToText(0x82A0), "\x82\xA0");
  EXPECT_EQ(CodeToText(0x955C), "\x95\x5C");
  EXPECT_EQ(CodeToText(0x0000), std::string(1, '\0'));
  EXPECT_EQ(QuoteMetaChars(cp932Case("^(|)+*?.[]$\\")), "\\^\\(\\|\\)\\+\\*\\?\\.\\[\\]\\$\\\\");
  // 表's trail byte is a backslash value but not a backslash: no quote before it.
  EXPECT_EQ(QuoteMetaChars(cp932Case("表.ｱ{-}")), cp932Case("表\\.ｱ{-}"));
  EXPECT_EQ(QuoteMetaChars(""), "");
  EXPECT_THROW(QuoteMetaChars("a\x82"), ERegExpParser);
}

TEST(TextChars, DigitValues) {
  EXPECT_EQ(HexDigitValue('0'), 0);
  EXPECT_EQ(HexDigitValue('f'), 15);
  EXPECT_EQ(HexDigitValue('F'), 15);
  EXPECT_EQ(HexDigitValue('g'), -1);
  EXPECT_EQ(HexDigitValue(0x8250), -1);  // full-width digits are not digits
  EXPECT_EQ(OctDigitValue('7'), 7);
  EXPECT_EQ(OctDigitValue('8'), -1);
}

}  // namespace
}  // namespace kelvane
