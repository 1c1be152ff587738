#pragma once
// TRE_DFA: the complete deterministic automaton of one pattern, built from its NFA by the subset
// construction when the pattern is compiled, so that matching is one table walk per character.
//
// Each DFA state stands for a set of NFA states (closed under empty transitions). States are created
// in the order the construction meets them and kept in a vector; each knows its index there, so a
// caller may derive a dense table of its own. A state's transitions are sorted by LoChar and pairwise
// disjoint (the parser made the leaf ranges disjoint), so NextState is a search in a sorted array; only
// an anchor on a code that texts contain can overlap a class, and such a state is walked in order.
//
// The complete DFA of a pattern can be exponentially larger than its NFA ((a|b)*a followed by twenty
// (a|b) needs two million states). Build keeps a budget of states, bytes and work and raises
// ERegExpParser("正規表現が複雑すぎます") when the pattern would outgrow it, well within a second and
// far below the memory a desktop can spare; every realistic pattern stays far inside it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "pattern/re_nfa.h"

namespace kelvane {

// The budget of one DFA construction.
inline constexpr std::size_t kMaxDFAStates = 20000;
inline constexpr std::size_t kMaxDFABytes = std::size_t{96} << 20;
inline constexpr std::size_t kMaxDFAWork = 150000000;  // NFA states and transitions visited

struct TREDFAState;

struct TREDFATrans {
  uint16_t LoChar;
  uint16_t HiChar;
  TREDFAState* Target;
};

struct TREDFAState {
  uint32_t Index = 0;                          // position in TRE_DFA::States
  std::unique_ptr<TRE_NFAStateSet> NFAStates;  // the NFA states it stands for
  uint16_t Marked = 0;                         // 0xFFFF once expanded
  uint16_t Accepting = 0;                      // 0xFFFF when NFAStates holds the NFA's exit
  std::vector<TREDFATrans> Trans;              // sorted by LoChar, disjoint unless Overlapping
  // An anchor code that is also a text code (the file grep's LF) may lie inside a class of the same
  // state, [\x01-\x0b] beside "^": then the lookup must take the first class that holds the code.
  bool Overlapping = false;
  bool IsAccepting() const { return Accepting != 0; }
};

class TRE_DFA {
 public:
  // Remembers the NFA (not owned), which must outlive Build.
  explicit TRE_DFA(const TRE_NFA& nfa) : NFA(&nfa) {}
  TRE_DFA(const TRE_DFA&) = delete;
  TRE_DFA& operator=(const TRE_DFA&) = delete;

  // Builds every state, sorts the transitions and finds the plain literal; afterwards NFA and every
  // state's NFAStates are null (a cached pattern keeps only what matching needs).
  // Raises ERegExpParser (TooComplexMessage) past the budget, std::bad_alloc when memory runs out; the
  // DFA is then unusable and is to be freed.
  void Build();

  // The state reached from `state` on `code`, or null (also when state is null). Never raises.
  static const TREDFAState* NextState(const TREDFAState* state, uint16_t code) {
    if (state == nullptr) return nullptr;
    const auto& t = state->Trans;
    if (state->Overlapping) {
      // The first class in LoChar order that holds the code wins, as a walk down the chain finds it.
      for (const TREDFATrans& x : t) {
        if (code < x.LoChar) return nullptr;
        if (code <= x.HiChar) return x.Target;
      }
      return nullptr;
    }
    std::size_t lo = 0, hi = t.size();
    while (lo < hi) {
      const std::size_t mid = (lo + hi) / 2;
      if (t[mid].HiChar < code)
        lo = mid + 1;
      else
        hi = mid;
    }
    return lo < t.size() && t[lo].LoChar <= code ? t[lo].Target : nullptr;
  }

  std::vector<std::unique_ptr<TREDFAState>> States;  // in order of creation; States[i]->Index == i
  TREDFAState* Start = nullptr;
  const TRE_NFA* NFA;
  // True when the pattern matches exactly one fixed text, PlainLiteral; the empty pattern is the empty
  // literal. A pattern is never a literal when a code on its path is not one whole character a text
  // could contain (\0, an anchor code other than LF, a lone lead byte, the parser's never code).
  bool IsPlainLiteral = false;
  std::string PlainLiteral;
  bool LineHeadUsed = false;
  bool LineTailUsed = false;

 private:
  void BuildStates();
  void Closure(TRE_NFAStateSet& set);
  TREDFAState* FindOrAddState(std::unique_ptr<TRE_NFAStateSet>& set);
  TREDFAState* NextUnmarked();
  struct Move {
    uint16_t LoChar;
    uint16_t HiChar;
    std::unique_ptr<TRE_NFAStateSet> Targets;
  };
  // The moves of a state, in the order the construction takes them.
  std::vector<Move> CollectMoves(const TREDFAState& state);
  void SortTransitions();
  void FindLiteral();
  void spend(std::size_t work);
  [[noreturn]] void tooComplex() const;

  std::unordered_multimap<std::size_t, TREDFAState*> byHash_;
  std::size_t nextUnmarked_ = 0;
  std::size_t bytes_ = 0;
  std::size_t work_ = 0;
  uint32_t errorPos_ = 0;
};

}  // namespace kelvane
