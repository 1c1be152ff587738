#pragma once
// The linear search of the matching core (re_match_core.h describes the stage): leftmost-longest
// matching in time linear in the length of the text, for the texts on which the straightforward walk
// from every start (a.*b over a line of "a") would cost the square of their length. The results are
// exactly that walk's; only the work differs:
//
//   1. The text is decoded once into characters, and each code into its class: codes that every DFA
//      state treats alike share a class, so a line of Japanese text has a few dozen classes at most.
//   2. One pass backwards over the characters finds, for every position k, the set Live(k) of DFA
//      states from which a walk starting at k finds something: an accepting state on the way, or a
//      successful line-tail test where it stops. A state is in Live(k) when it accepts, when the
//      character at k leads it into Live(k + 1), or (for walks that make the tail test) when the walk
//      stops at k on a line end or at the end of the text and the state has a line-tail transition.
//      The sets are interned, and the step "set after k, class of k -> set at k" is kept in a table,
//      so the pass costs one lookup per character once the few sets a text needs are known.
//   3. A search tries the start positions in the same order as before, but asks Live(k) whether a
//      walk from there finds anything, at the cost of one bit test; only from the start that does is
//      the walk made, and it stops as soon as its state leaves Live: nothing further lies ahead. So
//      every walk ends right after the match it reports, and GSub, which searches the rest of the same
//      text again and again, does linear work in all: Live(k) depends only on the text from k on, so
//      one backward pass serves every search in the text.
//
// The sets are sets of DFA states, so a pattern whose DFA has thousands of states and a text that
// meets many different sets could need much memory; past kMaxBytes the tables refuse (Overflowed) and
// the caller searches the straightforward way instead.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "pattern/re_dfa.h"

namespace kelvane {

class TRELinearTables;

// The backward sets of one kind of walk: with or without the line-tail test where the walk stops,
// and, with it, which code ends a line (CR or LF).
class TREBackSets {
 public:
  static constexpr int32_t kOverflow = -1;

  TREBackSets(TRELinearTables& tables, bool tailTest, uint16_t lineEndCode);

  // The set at the end of the text (the NUL): the accepting states, and with the tail test the states
  // with a line-tail transition. kOverflow past the memory budget.
  int32_t End();
  // The set at a character of class cls, given the set at the next character. kOverflow past the budget.
  int32_t Step(int32_t after, uint16_t cls) {
    const std::size_t at = static_cast<std::size_t>(after) * classCount_ + cls;
    const int32_t known = steps_[at];
    return known != kUnknown ? known : MakeStep(after, cls);
  }
  bool Contains(int32_t set, int32_t state) const {
    const uint64_t word = bits_[static_cast<std::size_t>(set) * words_ + static_cast<std::size_t>(state) / 64];
    return (word >> (state % 64)) & 1;
  }
  bool TailTest() const { return tailTest_; }
  uint16_t LineEndCode() const { return lineEndCode_; }

 private:
  static constexpr int32_t kUnknown = -2;
  int32_t MakeStep(int32_t after, uint16_t cls);
  // The id of the set in scratch_, adding it when new; kOverflow past the budget.
  int32_t Intern();

  TRELinearTables& tables_;
  bool tailTest_;
  uint16_t lineEndCode_;
  std::size_t words_;
  std::size_t classCount_;
  std::vector<uint64_t> bits_;   // words_ per set
  std::vector<int32_t> steps_;   // classCount_ per set
  std::unordered_multimap<uint64_t, int32_t> byHash_;
  std::vector<uint64_t> scratch_;
  int32_t end_ = kUnknown;
};

// The DFA of one pattern as the linear search reads it: code classes, the state after each class
// (one column per class, made at first use), and the backward sets of each kind of walk. Made for one
// DFA, which must outlive it; the anchor codes are those the DFA was compiled with.
class TRELinearTables {
 public:
  // The most memory the backward sets of one kind may take.
  static constexpr std::size_t kMaxBytes = std::size_t{64} << 20;

  TRELinearTables(const TRE_DFA& dfa, uint16_t headCode, uint16_t tailCode);

  const TRE_DFA& DFA() const { return dfa_; }
  std::size_t StateCount() const { return accepting_.size(); }
  std::size_t ClassCount() const { return representative_.size(); }
  uint16_t ClassOf(uint16_t code) const { return classOf_[code]; }
  int32_t Start() const { return start_; }
  // The state after the line-head transition of the start, or -1.
  int32_t HeadStart() const { return headStart_; }
  bool Accepting(int32_t s) const { return accepting_[static_cast<std::size_t>(s)] != 0; }
  // Whether s has a transition on the line-tail code.
  bool TailOK(int32_t s) const { return tailOK_[static_cast<std::size_t>(s)] != 0; }
  // The state after s on a code of class cls, or -1.
  int32_t Next(int32_t s, uint16_t cls) { return Column(cls)[static_cast<std::size_t>(s)]; }
  const std::vector<int32_t>& Column(uint16_t cls);
  // The backward sets for walks with or without the tail test; lineEndCode (13 or 10) matters with it.
  TREBackSets& Sets(bool tailTest, uint16_t lineEndCode);

 private:
  const TRE_DFA& dfa_;
  std::vector<uint16_t> classOf_;         // 65536 entries
  std::vector<uint16_t> representative_;  // the lowest code of each class
  std::vector<std::vector<int32_t>> columns_;
  std::vector<uint8_t> accepting_, tailOK_;
  int32_t start_ = 0, headStart_ = -1;
  std::unique_ptr<TREBackSets> plain_, tailCR_, tailLF_;
};

// One NUL-terminated text searched with one kind of walk: decoded once, Live made once. Positions are
// character indices 0..n (n is the NUL); the text must not change while this lives.
class TRELinearText {
 public:
  // False (and nothing usable) when the backward sets overflowed; the caller then walks the text the
  // straightforward way.
  bool Prepare(TRELinearTables& tables, TREBackSets& sets, const char* text);

  std::size_t Length() const { return offsets_.size() - 1; }
  const char* At(std::size_t k) const { return base_ + offsets_[k]; }
  // The index of a character that starts at p (p must start a character of the text).
  std::size_t IndexOf(const char* p) const;
  unsigned char ByteAt(std::size_t k) const { return static_cast<unsigned char>(base_[offsets_[k]]); }
  // Whether a walk from k in state s finds something.
  bool Live(std::size_t k, int32_t s) const { return s >= 0 && sets_->Contains(live_[k], s); }

  // The end (a character index) of the longest match from k in state s, or -1; what LongestFrom finds,
  // made with the tail test when the sets were made with it.
  int64_t LongestFrom(std::size_t k, int32_t s) const;

 private:
  TRELinearTables* tables_ = nullptr;
  TREBackSets* sets_ = nullptr;
  const char* base_ = nullptr;
  std::vector<uint32_t> offsets_;  // byte offset of each character, and of the NUL
  std::vector<uint16_t> classes_;  // class of each character
  std::vector<int32_t> live_;      // Live(k) as a set id, k = 0..n
  mutable std::size_t hint_ = 0;   // the last index IndexOf found
};

}  // namespace kelvane
