// TRE_NFA: the shape of the automaton (state numbering, transition order, anchors) and its limits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pattern/re_chars.h"
#include "pattern/re_nfa.h"
#include "pattern/re_parser.h"

namespace kelvane {
namespace {

// Every transition as "from-lo..hi->to" ("e" for empty, "H"/"T" for the anchor codes, a character for
// a one-character class), state by state, each state's transitions in its chain order.
std::vector<std::string> Describe(std::string_view pattern, bool* head = nullptr, bool* tail = nullptr) {
  TREParser parser(pattern);
  parser.Parse();
  TRE_NFA nfa(parser, 0xFFFD, 0xFFFE);
  nfa.Build();
  if (head) *head = nfa.LineHeadUsed;
  if (tail) *tail = nfa.LineTailUsed;
  std::vector<std::string> out;
  for (std::size_t n = 0; n < nfa.StateCount(); ++n) {
    for (const TRENFATrans& t : nfa.States[n]) {
      std::string label;
      if (t.IsEpsilon())
        label = "e";
      else if (t.LoChar == 0xFFFD)
        label = "H";
      else if (t.LoChar == 0xFFFE)
        label = "T";
      else if (t.LoChar == t.HiChar && t.LoChar < 0x80)
        label = std::string(1, static_cast<char>(t.LoChar));
      else
        label = std::to_string(t.LoChar) + ".." + std::to_string(t.HiChar);
      out.push_back(std::to_string(n) + "-" + label + "->" + std::to_string(t.Target));
    }
  }
  return out;
}

using V = std::vector<std::string>;

TEST(NFA, ShapesOfSmallPatterns) {
  EXPECT_EQ(Describe(""), (V{"0-e->1"}));
  EXPECT_EQ(Describe("ab"), (V{"0-a->2", "2-b->1"}));
  // The repetition's loop: its entry state keeps its transitions newest first.
  EXPECT_EQ(Describe("a*"), (V{"0-e->2", "2-e->1", "2-a->3", "3-e->2"}));
  EXPECT_EQ(Describe("a|b"), (V{"0-b->1", "0-a->1"}));
  EXPECT_EQ(Describe("a?"), (V{"0-e->1", "0-a->1"}));
  // The operand of "+" is laid out twice, with states of its own each time.
  EXPECT_EQ(Describe("a+"), (V{"0-a->2", "2-e->3", "3-e->1", "3-a->4", "4-e->3"}));
  // States are numbered depth first: the left operand's middle states before the right one's.
  EXPECT_EQ(Describe("(ab)(cd)"), (V{"0-a->3", "2-c->4", "3-b->2", "4-d->1"}));
}

TEST(NFA, AnchorsOnlyAtTheEntryAndTheExit) {
  bool head = false, tail = false;
  EXPECT_EQ(Describe("^$", &head, &tail), (V{"0-H->2", "2-T->1"}));
  EXPECT_TRUE(head);
  EXPECT_TRUE(tail);
  EXPECT_EQ(Describe("a^b", &head, &tail), (V{"0-a->3", "2-b->1", "3-^->2"}));
  EXPECT_FALSE(head);
  EXPECT_EQ(Describe("$a", &head, &tail), (V{"0-$->2", "2-a->1"}));
  EXPECT_FALSE(tail);
  Describe("^a|^b", &head, &tail);
  EXPECT_TRUE(head);
  Describe("(^a|b)c", &head, &tail);
  EXPECT_TRUE(head);
  Describe("x(a$|b)", &head, &tail);
  EXPECT_TRUE(tail);
  // Under a repetition the anchor no longer leaves the entry state: it is the character.
  EXPECT_EQ(Describe("^*", &head, &tail), (V{"0-e->2", "2-e->1", "2-^->3", "3-e->2"}));
  EXPECT_FALSE(head);
  Describe("(a$)*", &head, &tail);
  EXPECT_FALSE(tail);
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
  nfa.Build();
  EXPECT_EQ(nfa.StateCount(), 100001u);
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
