#pragma once
// TMatchCORE: the leftmost-longest match of the current pattern in a NUL-terminated Shift-JIS text
// held in memory, with the line anchors "^" and "$".
//
// MatchPlain tries each character position in turn and walks the DFA from it, remembering the last
// accepting position; the first position with any match wins. It never reads an anchor code, so a
// pattern with anchors is matched with MatchAnchored instead (UsesLineHead / UsesLineTail tell), which
// feeds the line-head code at the start of the text and after each LF, and tests the line-tail code
// where a walk stops at a line end (CR under mcls_CRLF, LF under mcls_LF) or at the end of the text.
//
// Nothing here reads past the NUL: a lead byte right before it is a one-byte character. Matching
// never raises.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "pattern/re_regexp.h"

namespace kelvane {

enum TMatchCORE_LineSeparator : uint8_t { mcls_CRLF = 0, mcls_LF = 1 };

// Places in one text from which a walk in a given state is known to find nothing: no accepting state
// later and no line tail where it stops. Trying every start position would make a long line without a
// match cost the square of its length (a.*b over a long line of a); a walk is deterministic, so once a
// walk found nothing, a later walk that reaches the same state at the same place can stop there. For a
// DFA of up to 64 states each place keeps the set of its dead states, and no (place, state) is walked
// twice; for larger DFAs it keeps the latest one only. Nothing is recorded until one walk has gone
// kDeadEndAfter characters, so short lines never pay for it; the slots (8 bytes per byte of text) are
// allocated then, and not at all for texts over kMaxText bytes.
class DeadEnds {
 public:
  // Walks of at least this many characters are recorded (tests lower it to record every walk).
  static inline int kDeadEndAfter = 256;
  static constexpr std::size_t kMaxText = std::size_t{4} << 20;
  // DFAs of at most this many states (and never more than 64) keep a set per place; tests lower it.
  static inline std::size_t kMaxSetStates = 64;

  // For walks over the text at `base` (and its suffixes), which must stay unchanged while this lives,
  // in a DFA of `stateCount` states.
  DeadEnds(const char* base, std::size_t stateCount)
      : base_(base), sets_(stateCount <= 64 && stateCount <= kMaxSetStates) {}

  bool Known(const char* p, const TREDFAState* s) const {
    if (slots_.empty()) return false;
    const uint64_t slot = slots_[static_cast<std::size_t>(p - base_)];
    return sets_ ? (slot >> s->Index) & 1 : slot == s->Index + uint64_t{1};
  }
  void BeginWalk(const char* start, const TREDFAState* s) {
    steps_ = 0;
    walkStart_ = start;
    walkState_ = s;
    firstRecorded_ = nullptr;
  }
  // The walk stands at p in state s; recorded once it is long enough.
  void Visit(const char* p, const TREDFAState* s);
  // (p, s) is no dead end after all (the walk that recorded it found a match).
  void Forget(const char* p, const TREDFAState* s);

  const char* WalkStart() const { return walkStart_; }
  const TREDFAState* WalkState() const { return walkState_; }
  const char* FirstRecorded() const { return firstRecorded_; }

 private:
  const char* base_;
  bool sets_;
  bool disabled_ = false;
  std::vector<uint64_t> slots_;
  int steps_ = 0;
  const char* walkStart_ = nullptr;
  const TREDFAState* walkState_ = nullptr;
  const char* firstRecorded_ = nullptr;
};

class TMatchCORE : public TRegularExpression {
 public:
  TMatchCORE() = default;

  // Which character ends a line for "$": CR under mcls_CRLF, LF under mcls_LF.
  TMatchCORE_LineSeparator LineSeparator = mcls_CRLF;

  // The first match in `text` without anchors: start and end (just past the last matched byte) point
  // into text, start == end for an empty match, both null for none.
  void MatchPlain(const char* text, const char*& start, const char*& end) const;
  // As MatchPlain with the anchors: the start of the text is a line head.
  void MatchAnchored(const char* text, const char*& start, const char*& end) const;
  // As MatchAnchored, except that the start of the text is not a line head (the text continues a line).
  void ScanAnchored(const char* text, const char*& start, const char*& end) const;
  // The end of the longest match starting at text in `state`, trying the line-head transition first
  // when the pattern uses one; null for none.
  const char* LongestAtLineHead(const char* text, const TREDFAState* state) const;
  // The end of the longest match starting at text in `state` (null state: none); the line-tail
  // transition is tried only where the walk stops. Null for none.
  const char* LongestFrom(const char* text, const TREDFAState* state) const;
  bool IsLineEnd(uint16_t code) const {
    return (LineSeparator == mcls_CRLF && code == 13) || (LineSeparator == mcls_LF && code == 10);
  }

 protected:
  // The same, sharing the dead ends of one text across calls (GSub searches one string many times).
  void MatchPlain(const char* text, const char*& start, const char*& end, DeadEnds& dead) const;
  void MatchAnchored(const char* text, const char*& start, const char*& end, DeadEnds& dead) const;
  void ScanAnchored(const char* text, const char*& start, const char*& end, DeadEnds& dead) const;
  const char* LongestAtLineHead(const char* text, const TREDFAState* state, DeadEnds& dead) const;
  const char* LongestFrom(const char* text, const TREDFAState* state, DeadEnds& dead) const;
  // Dead ends for the current DFA over `text`.
  DeadEnds NewDeadEnds(const char* text) const { return DeadEnds(text, CurrentDFA().States.size()); }

 private:
  // The walk just made found a match: what it recorded before `upto` (null: all of it) was no dead end.
  void forgetWalk(DeadEnds& dead, const char* upto) const;
};

// The byte length of the character at p: 2 at a lead byte unless the NUL follows it, else 1.
inline int CharLengthAt(const char* p) {
  const auto b = static_cast<unsigned char>(p[0]);
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC) ? (p[1] != 0 ? 2 : 1) : 1;
}

}  // namespace kelvane
