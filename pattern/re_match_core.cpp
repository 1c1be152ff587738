// Leftmost-longest matching over the complete DFA.
//
// The DFA answers "which state after this character" in one lookup, so a match attempt is a plain walk:
// remember the last position where the state accepted, stop when no transition leads on or the text
// ends. The first start position with any match wins, and from it the longest match.
//
// The anchors are transitions on two codes that no text contains. "^" is fed at the start of the text
// and after each LF: LongestAtLineHead tries the walk that begins with the line-head transition and the
// one that does not, and keeps the longer. "$" is tested only where a walk stops, in the last state it
// reached: when the walk stopped at a line end or at the end of the text and that state has a line-tail
// transition, the match ends before the line end. A line head is the start of the text or the position
// after a LF under both separators; a line end is CR under mcls_CRLF (so a$ matches in "a" CR LF and
// ends before the CR) and LF under mcls_LF.
//
// A walk is deterministic: from the same state at the same place it always goes the same way. So when
// a walk from one start found nothing, every (place, state) it passed is a dead end, and a later walk
// that arrives at one of them can stop there with what it has found so far (DeadEnds).
#include "pattern/re_match_core.h"

#include <cstring>

#include "pattern/re_chars.h"

namespace kelvane {

void DeadEnds::Visit(const char* p, const TREDFAState* s) {
  if (slots_.empty()) {
    // Nothing is recorded until one walk has gone far; from then on every walk is.
    if (disabled_ || ++steps_ < kDeadEndAfter) return;
    const std::size_t size = std::strlen(base_) + 1;
    if (size > kMaxText) {
      disabled_ = true;
      return;
    }
    slots_.assign(size, 0);
  }
  uint64_t& slot = slots_[static_cast<std::size_t>(p - base_)];
  slot = sets_ ? slot | uint64_t{1} << s->Index : s->Index + uint64_t{1};
  if (firstRecorded_ == nullptr) firstRecorded_ = p;
}

void DeadEnds::Forget(const char* p, const TREDFAState* s) {
  uint64_t& slot = slots_[static_cast<std::size_t>(p - base_)];
  if (sets_)
    slot &= ~(uint64_t{1} << s->Index);
  else if (slot == s->Index + uint64_t{1})
    slot = 0;
}

void TMatchCORE::forgetWalk(DeadEnds& dead, const char* upto) const {
  const char* first = dead.FirstRecorded();
  if (first == nullptr) return;
  // Walk the same way again: the walk is deterministic, so this meets exactly the pairs it recorded.
  const char* p = dead.WalkStart();
  for (const TREDFAState* s = dead.WalkState(); s != nullptr && (upto == nullptr || p < upto);) {
    if (p >= first) dead.Forget(p, s);
    const uint16_t code = ReadTextChar(p);
    if (code == 0) break;
    s = NextState(s, code);
  }
}

const char* TMatchCORE::LongestFrom(const char* text, const TREDFAState* state, DeadEnds& dead) const {
  if (state == nullptr) return nullptr;
  dead.BeginWalk(text, state);
  const char* result = nullptr;
  const char* pos = text;
  uint16_t code;
  for (;;) {
    if (state->IsAccepting()) result = pos;
    if (dead.Known(pos, state)) {
      // An earlier walk went on from here and found nothing more, its line-tail test included.
      if (result != nullptr) forgetWalk(dead, result);
      return result;
    }
    dead.Visit(pos, state);
    code = ReadTextChar(pos);
    if (code == 0) break;
    const TREDFAState* next = NextState(state, code);
    if (next == nullptr) break;
    state = next;
  }
  if ((code == 0 || IsLineEnd(code)) && NextState(state, GetLineTailCode()) != nullptr) {
    forgetWalk(dead, nullptr);  // found by the test where the walk stopped: nothing on the way was dead
    return code == 0 ? pos : pos - 1;
  }
  if (result != nullptr) forgetWalk(dead, result);
  return result;
}

const char* TMatchCORE::LongestAtLineHead(const char* text, const TREDFAState* state, DeadEnds& dead) const {
  if (!CurrentDFA().LineHeadUsed) return LongestFrom(text, state, dead);
  const char* p = LongestFrom(text, NextState(state, GetLineHeadCode()), dead);
  if (p == nullptr) return nullptr;
  const char* q = LongestFrom(text, state, dead);
  return q != nullptr && q >= p ? q : p;
}

void TMatchCORE::MatchPlain(const char* text, const char*& start, const char*& end, DeadEnds& dead) const {
  start = end = nullptr;
  const TREDFAState* const initial = CurrentDFA().Start;
  if (*text == 0) {
    if (initial->IsAccepting()) start = end = text;
    return;
  }
  for (const char* pos = text; *pos != 0; pos += CharLengthAt(pos)) {
    dead.BeginWalk(pos, initial);
    const TREDFAState* s = initial;
    const char* cur = pos;
    while (s != nullptr) {
      if (s->IsAccepting()) {
        start = pos;
        end = cur;
      }
      if (dead.Known(cur, s)) break;
      dead.Visit(cur, s);
      const uint16_t code = ReadTextChar(cur);
      if (code == 0) break;
      s = NextState(s, code);
    }
    if (start != nullptr) {
      forgetWalk(dead, end);
      return;
    }
  }
}

void TMatchCORE::MatchAnchored(const char* text, const char*& start, const char*& end, DeadEnds& dead) const {
  start = text;
  end = LongestAtLineHead(text, CurrentDFA().Start, dead);
  if (end == nullptr) ScanAnchored(text, start, end, dead);
}

void TMatchCORE::ScanAnchored(const char* text, const char*& start, const char*& end, DeadEnds& dead) const {
  start = end = nullptr;
  const TRE_DFA& dfa = CurrentDFA();
  const char* pos = text;
  for (; *pos != 0; pos += CharLengthAt(pos)) {
    if (const char* e = LongestFrom(pos, dfa.Start, dead)) {
      start = pos;
      end = e;
      return;
    }
    if (*pos == '\n' && dfa.LineHeadUsed) {
      if (const char* e = LongestAtLineHead(pos + 1, dfa.Start, dead)) {
        start = pos + 1;
        end = e;
        return;
      }
    }
  }
  if (dfa.LineTailUsed && NextState(dfa.Start, GetLineTailCode()) != nullptr) start = end = pos;
}

void TMatchCORE::MatchPlain(const char* text, const char*& start, const char*& end) const {
  DeadEnds dead = NewDeadEnds(text);
  MatchPlain(text, start, end, dead);
}

void TMatchCORE::MatchAnchored(const char* text, const char*& start, const char*& end) const {
  DeadEnds dead = NewDeadEnds(text);
  MatchAnchored(text, start, end, dead);
}

void TMatchCORE::ScanAnchored(const char* text, const char*& start, const char*& end) const {
  DeadEnds dead = NewDeadEnds(text);
  ScanAnchored(text, start, end, dead);
}

const char* TMatchCORE::LongestAtLineHead(const char* text, const TREDFAState* state) const {
  DeadEnds dead = NewDeadEnds(text);
  return LongestAtLineHead(text, state, dead);
}

const char* TMatchCORE::LongestFrom(const char* text, const TREDFAState* state) const {
  DeadEnds dead = NewDeadEnds(text);
  return LongestFrom(text, state, dead);
}

}  // namespace kelvane
