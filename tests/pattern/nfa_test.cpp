// TRE_NFA: where "^" and "$" are anchors, the state sets, and the limits of the construction.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pattern/awk_str.h"
#include "pattern/re_chars.h"
#include "pattern/re_nfa.h"
#include "pattern/re_parser.h"

namespace kelvane {
namespace {

// Where "^" and "$" are anchors, seen in what the patterns match: the flags, and the match of a text
// in which the characters "^" and "$" stand where an anchor could not.
void ExpectAnchors(std::string_view pattern, bool head, bool tail, const std::string& text, int position, int length) {
  TAWKStr awk;
  awk.SetRegExp(pattern);
  EXPECT_EQ(awk.UsesLineHead(), head) << pattern;
  EXPECT_EQ(awk.UsesLineTail(), tail) << pattern;
  int p = -1, l = -1;
  awk.Match(text, p, l);
  EXPECT_EQ(std::to_string(p) + "," + std::to_string(l), std::to_string(position) + "," + std::to_string(length))
      << pattern << " on " << text;
}

TEST(NFA, AnchorsOnlyAtTheEntryAndTheExit) {
  ExpectAnchors("^$", true, true, "a\r\n\r\nb", 4, 0);
  ExpectAnchors("a^b", false, false, "ab a^b", 4, 3);
  ExpectAnchors("$a", false, false, "a$a", 2, 2);
  ExpectAnchors("^a|^b", true, false, "ab\nb", 1, 1);
  ExpectAnchors("(^a|b)c", true, false, "xac bc", 5, 2);
  ExpectAnchors("x(a$|b)", false, true, "xa xb", 4, 2);
  // Under a repetition the anchor no longer leaves the entry state: it is the character.
  ExpectAnchors("^*", false, false, "^^a", 1, 2);
  ExpectAnchors("b^*", false, false, "ab^^", 2, 3);
  ExpectAnchors("(a$)*b", false, false, "a$a$b", 1, 5);
}

TEST(NFA, StateSets) {
  TRE_NFAStateSet eight(8), sixteen(16);
  EXPECT_EQ(eight.ByteCount(), 2u);
  EXPECT_EQ(sixteen.ByteCount(), 3u);
  TRE_NFAStateSet a(16), b(16);
  for (int n : {0, 7, 8, 15, 16}) a.Include(n);
  for (int n : {16, 15, 8, 7, 0}) b.Include(n);
  EXPECT_TRUE(a.SameAs(b));
  EXPECT_EQ(a.Hash(), b.Hash());
  EXPECT_TRUE(a.Contains(16));
  EXPECT_FALSE(a.Contains(9));
  EXPECT_FALSE(a.Contains(1000));
  b.Include(9);
  EXPECT_FALSE(a.SameAs(b));
  std::vector<std::size_t> members;
  b.ForEach([&](std::size_t n) { members.push_back(n); });
  EXPECT_EQ(members, (std::vector<std::size_t>{0, 7, 8, 9, 15, 16}));
}

TEST(NFA, LongPatternsBuildWithoutDeepRecursion) {
  // A concatenation is a chain as deep as the pattern is long.
  const std::string pattern(100000, 'a');
  TREParser parser(pattern);
  parser.Parse();
  TRE_NFA nfa(parser, 0xFFFD, 0xFFFE);
  EXPECT_NO_THROW(nfa.Build());
}

TEST(NFA, NestedPlusIsRefusedAsTooComplex) {
  // Every "+" lays its operand out twice: twenty levels would need millions of states.
  std::string pattern = "a";
  for (int i = 0; i < 20; ++i) pattern = "(" + pattern + ")+";
  TREParser parser(pattern);
  parser.Parse();
  TRE_NFA nfa(parser, 0xFFFD, 0xFFFE);
  try {
    nfa.Build();
    FAIL() << "built " << nfa.StateCount() << " states";
  } catch (const ERegExpParser& e) {
    EXPECT_EQ(std::string(e.what()), TooComplexMessage());
    EXPECT_EQ(e.ErrorPos, pattern.size() + 1);
  }
}

TEST(NFA, UnknownNodeKindIsAnInternalError) {
  TREParser parser("a*");
  parser.Parse();
  parser.ParseTree->Root->Op = static_cast<TREOpKind>(9);
  TRE_NFA nfa(parser, 0xFFFD, 0xFFFE);
  try {
    nfa.Build();
    FAIL();
  } catch (const ERegExpParser&) {
    FAIL() << "raised as a syntax error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "This cannot happen in TRE_NFA.GenerateStateList");
  }
}

}  // namespace
}  // namespace kelvane
