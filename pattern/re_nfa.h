#pragma once
// TRE_NFA: the parse tree of one pattern as a nondeterministic automaton with empty transitions, and
// TRE_NFAStateSet, the set of NFA states that the DFA construction works with.
//
// Every tree node is laid between a "from" and a "to" state (the classic construction): a leaf is one
// transition per range, a concatenation gets a middle state, a repetition a small loop of two states
// tied in with empty transitions. The anchors are decided here and nowhere else: a "^" whose
// transition leaves the entry state becomes a transition on the line-head code, a "$" whose
// transition enters the exit state one on the line-tail code; anywhere else they are the characters
// "^" and "$". The two codes come from the component that compiles the pattern (0xFFFD / 0xFFFE for
// in-memory matching, LF for the file grep).
//
// The parser never makes a leaf above 0xFFFC, so 0xFFFF (an empty transition) and 0xFFFD / 0xFFFE (the
// in-memory anchor codes) cannot be mistaken for a character.
//
// A subtree that the tree shares (the operand of "+") is laid out once per reference, so nested "+"
// doubles the automaton at every level, and a long concatenation is a chain as deep as the pattern is
// long. The walk therefore keeps its own stack instead of recursing, and Build refuses automata past
// kMaxNFAStates states or kMaxNFATransitions transitions with ERegExpParser("正規表現が複雑すぎます")
// instead of exhausting memory.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kelvane {

class TREParser;
struct TRENode;

// An empty transition has LoChar = HiChar = 0xFFFF; the DFA recognises it by LoChar alone.
inline constexpr uint16_t kEpsilonChar = 0xFFFF;
// The most states and transitions one pattern's NFA may have (about 10 MB together).
inline constexpr std::size_t kMaxNFAStates = 200000;
inline constexpr std::size_t kMaxNFATransitions = 1000000;

// The CP932 text "正規表現が複雑すぎます" (RegExpMessage::TooComplex) raised when a pattern's automaton
// would outgrow its budget.
const std::string& TooComplexMessage();

struct TRENFATrans {
  uint16_t LoChar;
  uint16_t HiChar;
  uint32_t Target;
  bool IsEpsilon() const { return LoChar == kEpsilonChar; }
};

// A bit set over the states of one automaton: state n is bit n % 8 of byte n / 8, lowest bit first.
class TRE_NFAStateSet {
 public:
  // An empty set for `capacity` states; ByteCount = capacity / 8 + 1.
  explicit TRE_NFAStateSet(std::size_t capacity) : Bits(capacity / 8 + 1, 0) {}

  std::size_t ByteCount() const { return Bits.size(); }
  // Out-of-range states are never contained; Include of one is a programming error (not checked).
  bool Contains(std::size_t n) const { return n / 8 < Bits.size() && (Bits[n / 8] >> (n % 8)) & 1; }
  void Include(std::size_t n) { Bits[n / 8] |= static_cast<uint8_t>(1u << (n % 8)); }
  // Byte-for-byte equality; both sets belong to one automaton and so have the same size.
  bool SameAs(const TRE_NFAStateSet& other) const { return Bits == other.Bits; }
  // A hash of the bytes, for finding equal sets without comparing against every one.
  std::size_t Hash() const;
  // Calls f(n) for every member, ascending.
  template <class F>
  void ForEach(F&& f) const {
    for (std::size_t i = 0; i < Bits.size(); ++i)
      for (unsigned b = Bits[i], k = 0; b != 0; b >>= 1, ++k)
        if (b & 1) f(i * 8 + k);
  }

  std::vector<uint8_t> Bits;
};

class TRE_NFA {
 public:
  // Translates parser's tree (which must outlive Build); anchors become transitions on the two codes.
  TRE_NFA(const TREParser& parser, uint16_t lineHeadCode, uint16_t lineTailCode);

  // Lays out the tree between Entry (0) and Exit (1). Raises ERegExpParser (TooComplexMessage) past
  // kMaxNFAStates, std::runtime_error("This cannot happen in TRE_NFA.GenerateStateList") on a node
  // kind the parser never makes, std::bad_alloc when memory runs out.
  void Build();

  // Appends a state without transitions; returns its number.
  uint32_t NewState();
  // Adds a transition at the front of from's list, so each state keeps its transitions newest first.
  void AddTransition(uint32_t from, uint32_t to, uint16_t lo, uint16_t hi);
  // The translation of one node between two existing states (depth first, as a recursive walk would
  // number the states). Raises as Build.
  void GenerateStateList(const TRENode* node, uint32_t from, uint32_t to);
  // Drops every state and transition.
  void FreeStates() {
    States.clear();
    transitionCount_ = 0;
  }

  std::size_t StateCount() const { return States.size(); }

  // States[n]: the transitions leaving state n, newest first.
  std::vector<std::vector<TRENFATrans>> States;
  uint32_t Entry = 0;
  uint32_t Exit = 1;
  const TREParser& Parser;
  bool LineHeadUsed = false;
  bool LineTailUsed = false;
  uint16_t LineHeadCode;
  uint16_t LineTailCode;

 private:
  [[noreturn]] void tooComplex() const;
  std::size_t transitionCount_ = 0;
};

}  // namespace kelvane
