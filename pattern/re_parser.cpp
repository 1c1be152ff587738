// The parser of re_parser.h: recursive descent over the scanner's tokens, then the disjoint
// partition of the leaves.
//
// The grammar is alternation > sequence > repeat > atom. Leaves are shared: MakeLeaf hands out the
// existing leaf for a range already seen, so "aa" has one leaf referred to twice, and the partition
// never has to compare equal ranges. The partition works on the list of leaves, not on the tree: when
// two leaves overlap, the leaf records themselves become alternations of the pieces (LeafToAlt), and
// every place in the tree that referred to them follows along without being visited.
//
// A negated class is built from the complement of its items within ".", the codes 1-9, 11-12 and
// 14-0xFCFC: the items are made disjoint in a scratch tree, subtracted from the pieces of "." in a
// second scratch tree, and what is left is copied into the parser's tree as an alternation.
#include "pattern/re_parser.h"

#include <algorithm>

namespace kelvane {

// ---- TREParseTree ----

TRENode* TREParseTree::newRecord() { return records_.emplace_back(std::make_unique<TRENode>()).get(); }

TRENode* TREParseTree::MakeNode(TREOpKind op, TRENode* left, TRENode* right) {
  TRENode* node = newRecord();
  node->Op = op;
  node->Left = left;
  node->Right = right;
  Nodes.push_back(node);
  return node;
}

TRENode* TREParseTree::MakeLeaf(uint16_t lo, uint16_t hi) {
  // Leaves only ever grow through here, so no two of them share a range and the index finds the one
  // a search in list order would find.
  auto [it, added] = leafByRange_.try_emplace(rangeKey(lo, hi), nullptr);
  if (!added) return it->second;
  TRENode* leaf = newRecord();
  leaf->Op = op_Char;
  leaf->LoChar = lo;
  leaf->HiChar = hi;
  Leaves.push_back(leaf);
  it->second = leaf;
  return leaf;
}

TRENode* TREParseTree::MakeLeafIfValid(int32_t lo, int32_t hi) {
  if (hi < lo || lo < 0 || hi > 0xFFFF) return nullptr;
  return MakeLeaf(static_cast<uint16_t>(lo), static_cast<uint16_t>(hi));
}

TRENode* TREParseTree::MakeLineHead(uint16_t c) {
  MakeLeaf(c, c);  // a partition point for the literal use of the character
  TRENode* node = MakeNode(op_LineHead, nullptr, nullptr);
  node->LoChar = node->HiChar = c;
  return node;
}

TRENode* TREParseTree::MakeLineTail(uint16_t c) {
  MakeLeaf(c, c);
  TRENode* node = MakeNode(op_LineTail, nullptr, nullptr);
  node->LoChar = node->HiChar = c;
  return node;
}

TRENode* TREParseTree::MakeAnyChar() {
  TRENode* crLf = MakeLeaf(11, 12);
  TRENode* controls = MakeLeaf(1, 9);
  TRENode* low = MakeNode(op_Alt, controls, crLf);
  return MakeNode(op_Alt, low, MakeLeaf(14, 0xFCFC));
}

void TREParseTree::RemoveLeaf(TRENode* leaf) {
  auto it = std::find(Leaves.begin(), Leaves.end(), leaf);
  if (it == Leaves.end()) return;
  Leaves.erase(it);
  leafByRange_.erase(rangeKey(leaf->LoChar, leaf->HiChar));
}

void TREParseTree::LeafToAlt(TRENode* leaf, TRENode* a, TRENode* b) {
  if (a == nullptr || b == nullptr) throw std::runtime_error(MessageText(RegExpMessage::FatalTree));
  leaf->Op = op_Alt;
  leaf->Left = a;
  leaf->Right = b;
  RemoveLeaf(leaf);
  Nodes.push_back(leaf);
}

bool TREParseTree::SplitOverlap(TRENode* x, TRENode* y) {
  TRENode* l = y->LoChar < x->LoChar ? y : x;
  TRENode* r = l == x ? y : x;
  if (r->LoChar > l->HiChar) return false;
  if (l->LoChar == r->LoChar && l->HiChar == r->HiChar) return false;
  const int32_t low = std::min(l->HiChar, r->HiChar);
  const int32_t high = std::max(l->HiChar, r->HiChar);
  TRENode* lo = MakeLeafIfValid(l->LoChar, r->LoChar - 1);
  TRENode* mid = MakeLeafIfValid(r->LoChar, low);
  TRENode* hi = MakeLeafIfValid(low + 1, high);
  const bool lEndsAtMax = l->HiChar >= r->HiChar;
  if (lo == nullptr) {
    LeafToAlt(lEndsAtMax ? l : r, mid, hi);
  } else if (hi == nullptr) {
    LeafToAlt(l, lo, mid);
  } else if (lEndsAtMax) {
    LeafToAlt(l, MakeNode(op_Alt, lo, mid), hi);
  } else {
    LeafToAlt(l, lo, mid);
    LeafToAlt(r, mid, hi);
  }
  return true;
}

bool TREParseTree::leavesOverlap() const {
  std::vector<std::pair<uint16_t, uint16_t>> ranges;
  ranges.reserve(Leaves.size());
  for (const TRENode* leaf : Leaves) ranges.emplace_back(leaf->LoChar, leaf->HiChar);
  std::sort(ranges.begin(), ranges.end());
  for (std::size_t k = 1; k < ranges.size(); ++k) {
    if (ranges[k].first <= ranges[k - 1].second) return true;
  }
  return false;
}

void TREParseTree::MakeLeavesDisjoint(int32_t errorPos) {
  // The pairwise loop below costs the square of the leaves even when nothing overlaps, which is the
  // common case (a long literal, a fuzzy-expanded word); a sort settles that case at once.
  if (!leavesOverlap()) return;
  const std::size_t budget = records_.size() + kMaxSplitRecords;
  std::size_t work = 0;
  std::size_t i = 0;
  while (i < Leaves.size()) {
    bool split = false;
    for (std::size_t j = i + 1; j < Leaves.size(); ++j) {
      if (++work > kMaxSplitWork) RaiseSyntaxError(RegExpMessage::TooComplex, errorPos);
      if (SplitOverlap(Leaves[j], Leaves[i])) {
        split = true;
        break;
      }
    }
    if (records_.size() > budget) RaiseSyntaxError(RegExpMessage::TooComplex, errorPos);
    if (!split) ++i;
  }
}

void TREParseTree::Clear() {
  Root = nullptr;
  Nodes.clear();
  Leaves.clear();
  leafByRange_.clear();
  records_.clear();
}

TRENode* MakeClampedLeaf(TREParseTree& tree, uint16_t lo, uint16_t hi) {
  if (lo > kMaxLeafCode) return tree.MakeLeaf(kNeverCode, kNeverCode);
  return tree.MakeLeaf(lo, std::min(hi, kMaxLeafCode));
}

// ---- TREParser ----

TREParser::TREParser(std::string_view pattern)
    : ParseTree(std::make_unique<TREParseTree>()), Scanner(std::make_unique<TREScanner>(pattern)) {}

void TREParser::Parse() {
  ParseTree->Clear();
  depth_ = 0;
  advance();
  ParseTree->Root = ParseAlternation();
  if (Scanner->Token() != tk_End) RaiseSyntaxError(RegExpMessage::ExtraChars, Scanner->Position());
  ParseTree->MakeLeavesDisjoint(Scanner->Position());
}

TRENode* TREParser::ParseAlternation() {
  TRENode* p = ParseSequence();
  while (Scanner->Token() == tk_Alt) {
    advance();
    p = ParseTree->MakeNode(op_Alt, p, ParseSequence());
  }
  return p;
}

TRENode* TREParser::ParseSequence() {
  const auto endsSequence = [](TRETokenKind t) { return t == tk_Alt || t == tk_GroupClose || t == tk_End; };
  if (endsSequence(Scanner->Token())) return ParseTree->MakeNode(op_Empty, nullptr, nullptr);
  TRENode* p = ParseRepeat();
  while (!endsSequence(Scanner->Token())) p = ParseTree->MakeNode(op_Concat, p, ParseRepeat());
  return p;
}

TRENode* TREParser::ParseRepeat() {
  TRENode* a = ParseAtom();
  switch (Scanner->Token()) {
    case tk_Star:
      advance();
      return ParseTree->MakeNode(op_Repeat, a, nullptr);
    case tk_Plus:
      advance();
      return ParseTree->MakeNode(op_Concat, a, ParseTree->MakeNode(op_Repeat, a, nullptr));
    case tk_Optional:
      advance();
      return ParseTree->MakeNode(op_Alt, a, ParseTree->MakeNode(op_Empty, nullptr, nullptr));
    default:
      return a;
  }
}

TRENode* TREParser::ParseAtom() {
  TRENode* p = nullptr;
  switch (Scanner->Token()) {
    case tk_Char:
      p = MakeClampedLeaf(*ParseTree, Scanner->Symbol(), Scanner->Symbol());
      advance();
      return p;
    case tk_GroupOpen:
      if (++depth_ > kMaxGroupDepth) RaiseSyntaxError(RegExpMessage::TooDeep, Scanner->Position());
      advance();
      p = ParseAlternation();
      if (Scanner->Token() != tk_GroupClose) RaiseSyntaxError(RegExpMessage::RightParen, Scanner->Position());
      --depth_;
      advance();
      return p;
    case tk_ClassOpen:
      p = ParseClassBody(*ParseTree);
      break;
    case tk_NegClassOpen:
      p = ParseNegatedClass();
      break;
    case tk_AnyChar:
      p = ParseTree->MakeAnyChar();
      advance();
      return p;
    case tk_LineHead:
      p = ParseTree->MakeLineHead(Scanner->Symbol());
      advance();
      return p;
    case tk_LineTail:
      p = ParseTree->MakeLineTail(Scanner->Symbol());
      advance();
      return p;
    default:
      RaiseSyntaxError(RegExpMessage::CharOrLeftParen, Scanner->Position());
  }
  if (Scanner->Token() != tk_ClassClose) RaiseSyntaxError(RegExpMessage::RightBracket, Scanner->Position());
  advance();
  return p;
}

TRENode* TREParser::ParseClassBody(TREParseTree& tree) {
  if (advance() == tk_ClassClose) RaiseSyntaxError(RegExpMessage::InvalidClass, Scanner->Position());
  TRENode* p = ClassItemLeaf(tree);
  while (advance() != tk_ClassClose) p = tree.MakeNode(op_Alt, p, ClassItemLeaf(tree));
  return p;
}

TRENode* TREParser::ClassItemLeaf(TREParseTree& tree) {
  const uint16_t hi = Scanner->Token() == tk_Range ? Scanner->SymbolEnd() : Scanner->Symbol();
  return MakeClampedLeaf(tree, Scanner->Symbol(), hi);
}

TRENode* TREParser::ParseNegatedClass() {
  TREParseTree items;
  TREParseTree rest;
  items.Root = ParseClassBody(items);
  items.MakeLeavesDisjoint(Scanner->Position());
  rest.MakeAnyChar();
  for (const TRENode* x : items.Leaves) SubtractRange(*x, rest);
  if (rest.Leaves.empty()) return ParseTree->MakeLeaf(kNeverCode, kNeverCode);
  TRENode* p = nullptr;
  for (const TRENode* q : rest.Leaves) {
    TRENode* leaf = ParseTree->MakeLeaf(q->LoChar, q->HiChar);
    p = p == nullptr ? leaf : ParseTree->MakeNode(op_Alt, p, leaf);
  }
  return p;
}

void TREParser::SubtractRange(const TRENode& x, TREParseTree& tree) {
  std::size_t i = 0;
  while (i < tree.Leaves.size()) {
    TRENode* q = tree.Leaves[i];
    if (x.HiChar < q->LoChar || q->HiChar < x.LoChar) {
      ++i;
      continue;
    }
    tree.MakeLeafIfValid(q->LoChar, static_cast<int32_t>(x.LoChar) - 1);
    tree.MakeLeafIfValid(static_cast<int32_t>(x.HiChar) + 1, q->HiChar);
    tree.RemoveLeaf(q);
  }
}

}  // namespace kelvane
