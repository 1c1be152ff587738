#pragma once
// The parser and its parse tree.
//
// TREParser reads the tokens of one pattern by recursive descent and builds a tree of TRENode records
// in a TREParseTree: leaves are ranges of character codes (op_Char), inner nodes are concatenation,
// alternation, repetition (zero or more) and the empty string; "^" and "$" become op_LineHead /
// op_LineTail nodes whose range is the character itself. Groups make no node; a+ is Concat(a, Repeat(a))
// with both a the same subtree, and a? is Alt(a, Empty). So the tree can be a DAG: walk it, never free
// through it; the tree owns every record and frees them all together.
//
// Before handing the tree on, the parser makes all leaf ranges pairwise disjoint: an overlapping leaf
// is turned in place into an alternation of smaller leaves (LeafToAlt), so every reference to it sees
// the pieces. The automata can then label transitions with ranges that never overlap.
//
// Agreements with the NFA and DFA builders (read these before walking the tree):
//  * Literal "^" and "$". MakeLineHead / MakeLineTail also register the leaf of their own character
//    (0x5E or 0x24) in Leaves, without referring to it from the tree. That leaf takes part in the
//    disjoint partition, so a class such as [!-~] is split at "^" and "$", and a "^"/"$" node that the
//    NFA does not make an anchor can use the node's own range (LoChar = HiChar = the character) as a
//    transition class that overlaps no other. A single-code leaf is never split, so that range always
//    stays one of the disjoint ranges.
//  * Codes 0xFFFD-0xFFFF never appear in a leaf: 0xFFFD / 0xFFFE are the anchor codes of the matching
//    core and 0xFFFF marks an empty transition. A range written past 0xFFFC (\xffff, [\x01-\xffff]) is
//    cut at 0xFFFC; no text ever yields a code above 0xFCFF, so no match is lost by the cut.
//  * A class that can match nothing (a negated class that excludes every code, or a range lying wholly
//    above 0xFFFC) becomes the leaf kNeverCode-kNeverCode. It is an ordinary leaf, disjoint from the
//    rest, whose code no text ever yields; the NFA needs nothing special for it.
//  * Codes that no text yields still appear as leaves (\0, \x0141, kNeverCode). A literal fast path
//    that turns codes back into bytes must check that CodeToText(code) read back gives code again.
//  * Groups may nest at most kMaxGroupDepth deep (ERegExpParser TooDeep beyond), so the parse cannot
//    exhaust the stack. Splitting many overlapping ranges ([\x100-\x200\x101-\x201...]) costs the cube
//    of their number; past kMaxSplitRecords new records or kMaxSplitWork comparisons the split raises
//    ERegExpParser TooComplex instead of running for minutes. A long concatenation (aaaa...) is a left-leaning chain as
//    deep as it is long, and a nested a+ repeats subtrees; walkers of the tree should budget for both.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "pattern/re_scanner.h"

namespace kelvane {

enum TREOpKind : uint8_t {
  op_Char = 0,      // leaf: the codes LoChar..HiChar
  op_LineHead = 1,  // ^ (LoChar = HiChar = the character "^")
  op_LineTail = 2,  // $ (LoChar = HiChar = the character "$")
  op_Concat = 3,    // Left then Right
  op_Alt = 4,       // Left or Right
  op_Repeat = 5,    // Left zero or more times
  op_Empty = 6,     // the empty string
};

// The code of the leaf that matches nothing: text reading never yields it.
inline constexpr uint16_t kNeverCode = 0xFFFC;
// The highest code a leaf may hold (see the agreements above).
inline constexpr uint16_t kMaxLeafCode = 0xFFFC;
// How deep groups may nest.
inline constexpr int kMaxGroupDepth = 1000;
// How many records one MakeLeavesDisjoint may create (realistic patterns need a few thousand).
inline constexpr std::size_t kMaxSplitRecords = 100000;
// How many pairs of leaves one MakeLeavesDisjoint may compare (a fraction of a second).
inline constexpr std::size_t kMaxSplitWork = 20000000;

// One record shape for every node. Left/Right are used by op_Concat and op_Alt (op_Repeat: Left only);
// LoChar/HiChar by op_Char, op_LineHead and op_LineTail, with LoChar <= HiChar.
struct TRENode {
  TREOpKind Op = op_Empty;
  TRENode* Left = nullptr;
  TRENode* Right = nullptr;
  uint16_t LoChar = 0;
  uint16_t HiChar = 0;
};

class TREParseTree {
 public:
  TREParseTree() = default;
  virtual ~TREParseTree() = default;
  TREParseTree(const TREParseTree&) = delete;
  TREParseTree& operator=(const TREParseTree&) = delete;

  // A new record appended to Nodes.
  TRENode* MakeNode(TREOpKind op, TRENode* left, TRENode* right);
  // The leaf in Leaves with exactly lo..hi (first found, in list order), or a new one appended.
  TRENode* MakeLeaf(uint16_t lo, uint16_t hi);
  // nullptr when hi < lo, else MakeLeaf(lo, hi). Takes wide values so that "lo - 1" at code 0 or
  // "hi + 1" at 0xFFFF gives none instead of wrapping.
  TRENode* MakeLeafIfValid(int32_t lo, int32_t hi);
  // An op_LineHead / op_LineTail node with LoChar = HiChar = c; also registers the leaf c-c (see above).
  TRENode* MakeLineHead(uint16_t c);
  TRENode* MakeLineTail(uint16_t c);
  // ".": Alt(Alt(1-9, 11-12), 14-0xFCFC), the leaves created in the order 11-12, 1-9, 14-0xFCFC.
  virtual TRENode* MakeAnyChar();
  // Turns `leaf` into Alt(a, b) in place, moving it from Leaves to Nodes. Raises std::runtime_error
  // (FatalTree) when a or b is null.
  void LeafToAlt(TRENode* leaf, TRENode* a, TRENode* b);
  // Splits two overlapping leaves into disjoint pieces; false when they do not overlap or are equal.
  bool SplitOverlap(TRENode* x, TRENode* y);
  // Splits until every range in Leaves is disjoint from every other. Raises ERegExpParser (TooComplex,
  // ErrorPos = errorPos) past kMaxSplitRecords new records or kMaxSplitWork comparisons.
  void MakeLeavesDisjoint(int32_t errorPos = 0);
  // Takes `leaf` out of Leaves (its record lives until Clear).
  void RemoveLeaf(TRENode* leaf);
  // Frees every record, empties both lists, Root := nullptr.
  void Clear();

  TRENode* Root = nullptr;
  std::vector<TRENode*> Nodes;   // every inner and anchor node
  std::vector<TRENode*> Leaves;  // every op_Char leaf, at most one per range

 private:
  TRENode* newRecord();
  static uint32_t rangeKey(uint16_t lo, uint16_t hi) { return static_cast<uint32_t>(lo) << 16 | hi; }
  bool leavesOverlap() const;

  std::vector<std::unique_ptr<TRENode>> records_;
  std::unordered_map<uint32_t, TRENode*> leafByRange_;  // Leaves by range: ranges in Leaves are unique
};

class TREParser {
 public:
  // A scanner on `pattern` and an empty tree.
  explicit TREParser(std::string_view pattern);
  virtual ~TREParser() = default;
  TREParser(const TREParser&) = delete;
  TREParser& operator=(const TREParser&) = delete;

  // Parses the whole pattern: afterwards ParseTree->Root is its tree and ParseTree->Leaves are disjoint.
  // Raises ERegExpParser (ErrorPos = the scanner's position) on a syntax error: the scanner's messages,
  // ExtraChars, RightParen, CharOrLeftParen, RightBracket, InvalidClass, TooDeep.
  void Parse();

  std::unique_ptr<TREParseTree> ParseTree;
  std::unique_ptr<TREScanner> Scanner;

 private:
  TRENode* ParseAlternation();
  TRENode* ParseSequence();
  TRENode* ParseRepeat();
  TRENode* ParseAtom();
  TRENode* ParseClassBody(TREParseTree& tree);
  TRENode* ParseNegatedClass();
  TRENode* ClassItemLeaf(TREParseTree& tree);
  static void SubtractRange(const TRENode& range, TREParseTree& tree);
  TRETokenKind advance() { return Scanner->NextToken(); }

  int depth_ = 0;
};

// The leaf for lo..hi as the parser makes it: cut at kMaxLeafCode, the never leaf when nothing is left.
TRENode* MakeClampedLeaf(TREParseTree& tree, uint16_t lo, uint16_t hi);

}  // namespace kelvane
