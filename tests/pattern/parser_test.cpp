// The parser and its parse tree: table cases from tests/data/pattern/front_parser.txt, the invariants
// every parsed tree must keep (disjoint leaves, every referenced leaf listed, no code the automata
// reserve), and random classes whose code sets are compared with a direct computation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "pattern/re_parser.h"
#include "tests/testing/pattern_case_file.h"

namespace kelvane {
namespace {

std::string hex(unsigned v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%X", v);
  return buf;
}

std::string range(const TRENode* n) {
  return n->LoChar == n->HiChar ? hex(n->LoChar) : hex(n->LoChar) + "-" + hex(n->HiChar);
}

std::string dump(const TRENode* n) {
  switch (n->Op) {
    case op_Char:
      return range(n);
    case op_LineHead:
      return "^";
    case op_LineTail:
      return "$";
    case op_Concat:
      return "(cat " + dump(n->Left) + " " + dump(n->Right) + ")";
    case op_Alt:
      return "(alt " + dump(n->Left) + " " + dump(n->Right) + ")";
    case op_Repeat:
      return "(rep " + dump(n->Left) + ")";
    case op_Empty:
      return "()";
  }
  return "?";
}

std::string dumpLeaves(const TREParseTree& tree) {
  std::string out;
  for (const TRENode* leaf : tree.Leaves) out += (out.empty() ? "" : " ") + range(leaf);
  return out;
}

void collectLeaves(const TRENode* n, std::set<const TRENode*>& out) {
  if (n->Op == op_Char) {
    out.insert(n);
    return;
  }
  if (n->Left != nullptr) collectLeaves(n->Left, out);
  if (n->Right != nullptr) collectLeaves(n->Right, out);
}

// What the automata rely on, checked on every tree that parsed.
void expectSoundTree(const TREParseTree& tree, const std::string& where) {
  for (std::size_t i = 0; i < tree.Leaves.size(); ++i) {
    const TRENode* a = tree.Leaves[i];
    EXPECT_EQ(a->Op, op_Char) << where;
    EXPECT_LE(a->LoChar, a->HiChar) << where;
    EXPECT_LE(a->HiChar, kMaxLeafCode) << where;
    for (std::size_t j = i + 1; j < tree.Leaves.size(); ++j) {
      const TRENode* b = tree.Leaves[j];
      EXPECT_TRUE(a->HiChar < b->LoChar || b->HiChar < a->LoChar) << where << ": " << range(a) << " / " << range(b);
    }
  }
  std::set<const TRENode*> reached;
  collectLeaves(tree.Root, reached);
  for (const TRENode* leaf : reached) {
    EXPECT_NE(std::find(tree.Leaves.begin(), tree.Leaves.end(), leaf), tree.Leaves.end())
        << where << ": leaf " << range(leaf) << " is not listed";
  }
}

TEST(ParserTable, EveryCaseOfTheDataFile) {
  const auto cases = testing::readCaseFile(KELVANE_TEST_DATA "/pattern/front_parser.txt");
  ASSERT_GT(cases.size(), 50u);
  for (const auto& c : cases) {
    ASSERT_GE(c.fields.size(), 2u) << "line " << c.lineNo;
    const std::string where = "line " + std::to_string(c.lineNo);
    TREParser parser(c.fields[0]);
    try {
      parser.Parse();
    } catch (const ERegExpParser& e) {
      EXPECT_EQ("!" + std::string(e.what()) + "@" + std::to_string(e.ErrorPos), c.fields[1]) << where;
      continue;
    }
    EXPECT_EQ(dump(parser.ParseTree->Root), c.fields[1]) << where;
    if (c.fields.size() > 2) {
      EXPECT_EQ(dumpLeaves(*parser.ParseTree), c.fields[2]) << where;
    }
    expectSoundTree(*parser.ParseTree, where);
  }
}

TEST(Parser, PlusRefersTwiceToTheSameSubtree) {
  TREParser parser("(ab)+");
  parser.Parse();
  const TRENode* root = parser.ParseTree->Root;
  ASSERT_EQ(root->Op, op_Concat);
  ASSERT_EQ(root->Right->Op, op_Repeat);
  EXPECT_EQ(root->Left, root->Right->Left);
  EXPECT_EQ(parser.ParseTree->Leaves.size(), 2u);
}

TEST(Parser, OverlappingLeafIsRewrittenInPlaceForEveryReference) {
  // Both uses of [a-c] refer to one leaf; after the split at "b" both see the alternation.
  TREParser parser("[a-c]x[a-c]b");
  parser.Parse();
  const TRENode* root = parser.ParseTree->Root;  // cat(cat(cat(A, x), A), b)
  const TRENode* first = root->Left->Left->Left;
  const TRENode* second = root->Left->Right;
  EXPECT_EQ(first, second);
  EXPECT_EQ(first->Op, op_Alt);
  EXPECT_EQ(dump(first), "(alt (alt 61 62) 63)");
  expectSoundTree(*parser.ParseTree, "shared");
}

TEST(Parser, NestingDepthIsBoundedInsteadOfExhaustingTheStack) {
  const auto nested = [](int depth) { return std::string(depth, '(') + "a" + std::string(depth, ')'); };
  TREParser ok(nested(kMaxGroupDepth));
  EXPECT_NO_THROW(ok.Parse());
  EXPECT_EQ(dump(ok.ParseTree->Root), "61");
  TREParser deep(nested(100000));
  try {
    deep.Parse();
    FAIL() << "no error";
  } catch (const ERegExpParser& e) {
    EXPECT_EQ(e.what(), MessageText(RegExpMessage::TooDeep));
    EXPECT_EQ(e.ErrorPos, static_cast<uint32_t>(kMaxGroupDepth + 2));  // just after the "(" too many
  }
}

// Staggered ranges split into pieces at a cost that grows with the cube of their number: refused, not
// worked on for minutes. Many ranges that do not overlap, or that nest, are fine.
TEST(Parser, ClassesThatWouldSplitEndlesslyAreRefused) {
  const auto cls = [](int n, int step) {
    std::string p = "[";
    char buf[32];
    for (int i = 0; i < n; ++i) {
      std::snprintf(buf, sizeof buf, "\\x%X-\\x%X", 0x100 + i, 0x100 + i + step * n);
      p += buf;
    }
    return p + "]";
  };
  TREParser staggered(cls(3000, 1));
  try {
    staggered.Parse();
    FAIL() << "no error";
  } catch (const ERegExpParser& e) {
    EXPECT_EQ(e.what(), MessageText(RegExpMessage::TooComplex));
  }
  TREParser distinct(cls(3000, 0));
  EXPECT_NO_THROW(distinct.Parse());
  EXPECT_EQ(distinct.ParseTree->Leaves.size(), 3000u);
  TREParser small(cls(100, 1));
  EXPECT_NO_THROW(small.Parse());
  expectSoundTree(*small.ParseTree, "100 staggered ranges");
}

TEST(ParseTree, LeafToAltRefusesAMissingPartAsAGeneralError) {
  TREParseTree tree;
  TRENode* leaf = tree.MakeLeaf('a', 'c');
  try {
    tree.LeafToAlt(leaf, tree.MakeLeaf('a', 'a'), nullptr);
    FAIL() << "no error";
  } catch (const ERegExpParser&) {
    FAIL() << "raised as a syntax error";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(e.what(), MessageText(RegExpMessage::FatalTree));
  }
}

TEST(ParseTree, RangesAtTheEdgesOfTheCodeSpaceDoNotWrap) {
  TREParseTree tree;
  EXPECT_EQ(tree.MakeLeafIfValid(5, 4), nullptr);
  EXPECT_EQ(tree.MakeLeafIfValid(0, -1), nullptr);
  EXPECT_EQ(tree.MakeLeafIfValid(0x10000, 0xFFFF), nullptr);
  TRENode* all = tree.MakeLeaf(0, 0xFFFF);
  tree.MakeLeaf(0, 0);
  tree.MakeLeaf(0xFFFF, 0xFFFF);
  tree.MakeLeavesDisjoint();
  EXPECT_EQ(dumpLeaves(tree), "0 FFFF 1-FFFE");
  EXPECT_EQ(dump(all), "(alt 0 (alt 1-FFFE FFFF))");
}

// Random classes over codes chosen near the interesting edges; the set of codes the parsed tree
// accepts must be exactly the set the class describes.
struct Item {
  uint16_t lo, hi;
};

std::string escape(uint16_t code) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "\\x%X", code);
  return buf;
}

bool treeAccepts(const TRENode* n, uint32_t code) {
  if (n->Op == op_Char) return n->LoChar <= code && code <= n->HiChar;
  if (n->Op == op_Alt) return treeAccepts(n->Left, code) || treeAccepts(n->Right, code);
  ADD_FAILURE() << "a class tree holds only leaves and alternations";
  return false;
}

bool classAccepts(const std::vector<Item>& items, bool negated, uint32_t code) {
  bool in = false;
  for (const Item& it : items) in = in || (it.lo <= code && code <= it.hi);
  if (!negated) return in;
  const bool dot = (code >= 1 && code <= 9) || code == 11 || code == 12 || (code >= 14 && code <= 0xFCFC);
  return dot && !in;
}

TEST(Parser, RandomClassesAcceptExactlyTheirCodes) {
  const uint16_t points[] = {0,    1,    9,    10,   11,   12,     13,     14,     0x24,   0x5E,   0x60,   0x61,
                             0x62, 0x7A, 0x7F, 0x80, 0xB1, 0x8140, 0x82A0, 0x955C, 0xFCFB, 0xFCFC, 0xFCFD, 0xFFFC};
  std::mt19937 rng(2024);
  for (int round = 0; round < 1500; ++round) {
    std::vector<Item> items(1 + rng() % 5);
    std::string pattern = (rng() % 2) ? "[^" : "[";
    const bool negated = pattern.size() == 2;
    for (Item& it : items) {
      uint16_t a = points[rng() % std::size(points)];
      uint16_t b = (rng() % 3 == 0) ? a : points[rng() % std::size(points)];
      if (b < a) std::swap(a, b);
      it = {a, b};
      pattern += escape(a);
      if (b != a) pattern += "-" + escape(b);
    }
    pattern += "]";
    TREParser parser(pattern);
    parser.Parse();
    expectSoundTree(*parser.ParseTree, pattern);
    std::set<uint32_t> probes;
    for (uint16_t p : points) {
      for (int d = -1; d <= 1; ++d) probes.insert(std::clamp<int>(p + d, 0, 0xFCFF));
    }
    for (uint32_t code : probes) {
      const bool expected = classAccepts(items, negated, code);
      ASSERT_EQ(treeAccepts(parser.ParseTree->Root, code), expected) << pattern << " code " << hex(code);
    }
  }
}

}  // namespace
}  // namespace kelvane
