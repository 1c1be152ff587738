// The matching core of re_match_core.h: leftmost-longest matching over the complete DFA.
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
// Some results follow from these rules and look odd; they are kept, because callers (the highlight of
// a result row, the replace) must find what the rules find:
//   - "$" is tested only where the walk stops. a$|a\r\nx on "a" CR LF "y" finds nothing: the walk from
//     the a goes on over the CR LF (the second alternative wants them) and stops at the y, no line end.
//   - "^" is tried first at a line head, and when the walk with the line-head transition finds
//     nothing, nothing is found at that head: x*|^y on an empty text finds nothing, while x* alone
//     finds the empty match. On a text that is not empty the search goes on at the same position
//     without the line head and finds the empty match there.
//
// Each search exists twice: the straightforward walk, for short texts, and the linear search of
// re_match_linear.h for long ones, which gives the same results (the tests compare the two).
#include "pattern/re_match_core.h"

#include <cstring>

#include "pattern/re_chars.h"

namespace kelvane {

// ---- The straightforward walks ----

const char* TMatchCORE::walkFrom(const char* text, const TREDFAState* state, std::size_t& budget) const {
  if (state == nullptr) return nullptr;
  const char* result = nullptr;
  const char* pos = text;
  uint16_t code;
  for (;;) {
    if (budget-- == 0) throw WalkBudgetSpent{};
    if (state->IsAccepting()) result = pos;
    code = ReadTextChar(pos);
    if (code == 0) break;
    const TREDFAState* next = NextState(state, code);
    if (next == nullptr) break;
    state = next;
  }
  if ((code == 0 || IsLineEnd(code)) && NextState(state, GetLineTailCode()) != nullptr)
    return code == 0 ? pos : pos - 1;
  return result;
}

const char* TMatchCORE::walkAtLineHead(const char* text, const TREDFAState* state, std::size_t& budget) const {
  if (!CurrentDFA().LineHeadUsed) return walkFrom(text, state, budget);
  const char* p = walkFrom(text, NextState(state, GetLineHeadCode()), budget);
  if (p == nullptr) return nullptr;
  const char* q = walkFrom(text, state, budget);
  return q != nullptr && q >= p ? q : p;
}

void TMatchCORE::walkPlain(const char* text, const char*& start, const char*& end, std::size_t& budget) const {
  start = end = nullptr;
  const TREDFAState* const initial = CurrentDFA().Start;
  if (*text == 0) {
    if (initial->IsAccepting()) start = end = text;
    return;
  }
  for (const char* pos = text; *pos != 0; pos += CharLengthAt(pos)) {
    const TREDFAState* s = initial;
    const char* cur = pos;
    while (s != nullptr) {
      if (budget-- == 0) throw WalkBudgetSpent{};
      if (s->IsAccepting()) {
        start = pos;
        end = cur;
      }
      const uint16_t code = ReadTextChar(cur);
      if (code == 0) break;
      s = NextState(s, code);
    }
    if (start != nullptr) return;
  }
}

void TMatchCORE::walkAnchored(const char* text, const char*& start, const char*& end, std::size_t& budget) const {
  start = text;
  end = walkAtLineHead(text, CurrentDFA().Start, budget);
  if (end == nullptr) walkScan(text, start, end, budget);
}

void TMatchCORE::walkScan(const char* text, const char*& start, const char*& end, std::size_t& budget) const {
  start = end = nullptr;
  const TRE_DFA& dfa = CurrentDFA();
  const char* pos = text;
  for (; *pos != 0; pos += CharLengthAt(pos)) {
    if (const char* e = walkFrom(pos, dfa.Start, budget)) {
      start = pos;
      end = e;
      return;
    }
    if (*pos == '\n' && dfa.LineHeadUsed) {
      if (const char* e = walkAtLineHead(pos + 1, dfa.Start, budget)) {
        start = pos + 1;
        end = e;
        return;
      }
    }
  }
  if (dfa.LineTailUsed && NextState(dfa.Start, GetLineTailCode()) != nullptr) start = end = pos;
}

// ---- The linear searches: the same steps, each start asked first whether its walk finds anything ----

TRELinearTables& TMatchCORE::linearTables() const {
  if (!linearTables_ || &linearTables_->DFA() != &CurrentDFA())
    linearTables_ = std::make_unique<TRELinearTables>(CurrentDFA(), GetLineHeadCode(), GetLineTailCode());
  return *linearTables_;
}

void TMatchCORE::CompileRegExp(const std::string& text) {
  linearTables_.reset();
  TRegularExpression::CompileRegExp(text);
}

const TRELinearText* TMatchCORE::linearText(Text& text, bool tailTest) const {
  const int kind = tailTest ? 1 : 0;
  if (!text.tried_[kind]) {
    text.tried_[kind] = true;
    TRELinearTables& tables = linearTables();
    TREBackSets& sets = tables.Sets(tailTest, LineSeparator == mcls_CRLF ? 13 : 10);
    if (text.storage_[kind].Prepare(tables, sets, text.base_)) text.linear_[kind] = &text.storage_[kind];
  }
  return text.linear_[kind];
}

namespace {

void SetMatch(const TRELinearText& t, std::size_t from, int64_t to, const char*& start, const char*& end) {
  start = t.At(from);
  end = t.At(static_cast<std::size_t>(to));
}

}  // namespace

int64_t TMatchCORE::linearAtLineHead(const TRELinearText& t, std::size_t k) const {
  const TRELinearTables& tables = *linearTables_;
  if (!CurrentDFA().LineHeadUsed) return t.LongestFrom(k, tables.Start());
  const int64_t p = t.LongestFrom(k, tables.HeadStart());
  if (p < 0) return -1;
  const int64_t q = t.LongestFrom(k, tables.Start());
  return q >= p ? q : p;
}

void TMatchCORE::linearPlain(const TRELinearText& t, std::size_t from, const char*& start, const char*& end) const {
  start = end = nullptr;
  const int32_t initial = linearTables_->Start();
  const std::size_t n = t.Length();
  if (from == n) {
    if (linearTables_->Accepting(initial)) start = end = t.At(n);
    return;
  }
  for (std::size_t k = from; k < n; ++k) {
    if (t.Live(k, initial)) return SetMatch(t, k, t.LongestFrom(k, initial), start, end);
  }
}

void TMatchCORE::linearScan(const TRELinearText& t, std::size_t from, const char*& start, const char*& end) const {
  start = end = nullptr;
  const TRE_DFA& dfa = CurrentDFA();
  const TRELinearTables& tables = *linearTables_;
  const int32_t initial = tables.Start();
  const std::size_t n = t.Length();
  for (std::size_t k = from; k < n; ++k) {
    if (t.Live(k, initial)) return SetMatch(t, k, t.LongestFrom(k, initial), start, end);
    if (t.ByteAt(k) == '\n' && dfa.LineHeadUsed) {
      const int64_t e = linearAtLineHead(t, k + 1);
      if (e >= 0) return SetMatch(t, k + 1, e, start, end);
    }
  }
  if (dfa.LineTailUsed && tables.TailOK(initial)) start = end = t.At(n);
}

// ---- The entry points: the straightforward walk within its budget, else the linear search ----

std::size_t& TMatchCORE::Budget(Text& text) {
  if (!text.budgetSet_) {
    text.budgetSet_ = true;
    const std::size_t length = std::strlen(text.base_);
    const std::size_t most = static_cast<std::size_t>(-1);
    const std::size_t perByte = kWalkStepsPerByte;
    text.budget_ = perByte != 0 && length > (most - kWalkStepsFree) / perByte ? most : length * perByte + kWalkStepsFree;
  }
  return text.budget_;
}

// Runs one straightforward search within text's budget; false when it gave up, and from then on the
// text is searched linearly (a search that gave up once would only give up again).
template <class Walk>
bool TMatchCORE::WithinBudget(Text& text, Walk&& walk) {
  if (text.linearOnly_) return false;
  try {
    walk(Budget(text));
    return true;
  } catch (const WalkBudgetSpent&) {
    text.linearOnly_ = true;
    return false;
  }
}

void TMatchCORE::MatchPlain(Text& text, const char* from, const char*& start, const char*& end) const {
  if (WithinBudget(text, [&](std::size_t& budget) { walkPlain(from, start, end, budget); })) return;
  if (const TRELinearText* t = linearText(text, false)) return linearPlain(*t, t->IndexOf(from), start, end);
  std::size_t unlimited = static_cast<std::size_t>(-1);
  walkPlain(from, start, end, unlimited);
}

void TMatchCORE::MatchAnchored(Text& text, const char* from, const char*& start, const char*& end) const {
  if (WithinBudget(text, [&](std::size_t& budget) { walkAnchored(from, start, end, budget); })) return;
  if (const TRELinearText* t = linearText(text, true)) {
    const std::size_t k = t->IndexOf(from);
    const int64_t e = linearAtLineHead(*t, k);
    if (e >= 0) return SetMatch(*t, k, e, start, end);
    return linearScan(*t, k, start, end);
  }
  std::size_t unlimited = static_cast<std::size_t>(-1);
  walkAnchored(from, start, end, unlimited);
}

void TMatchCORE::ScanAnchored(Text& text, const char* from, const char*& start, const char*& end) const {
  if (WithinBudget(text, [&](std::size_t& budget) { walkScan(from, start, end, budget); })) return;
  if (const TRELinearText* t = linearText(text, true)) return linearScan(*t, t->IndexOf(from), start, end);
  std::size_t unlimited = static_cast<std::size_t>(-1);
  walkScan(from, start, end, unlimited);
}

void TMatchCORE::MatchPlain(const char* text, const char*& start, const char*& end) const {
  Text prepared(text);
  MatchPlain(prepared, text, start, end);
}

void TMatchCORE::MatchAnchored(const char* text, const char*& start, const char*& end) const {
  Text prepared(text);
  MatchAnchored(prepared, text, start, end);
}

void TMatchCORE::ScanAnchored(const char* text, const char*& start, const char*& end) const {
  Text prepared(text);
  ScanAnchored(prepared, text, start, end);
}

// These two take any state, so their walks are not limited to the start state's.
const char* TMatchCORE::LongestAtLineHead(const char* text, const TREDFAState* state) const {
  if (!CurrentDFA().LineHeadUsed) return LongestFrom(text, state);
  const char* p = LongestFrom(text, NextState(state, GetLineHeadCode()));
  if (p == nullptr) return nullptr;
  const char* q = LongestFrom(text, state);
  return q != nullptr && q >= p ? q : p;
}

const char* TMatchCORE::LongestFrom(const char* text, const TREDFAState* state) const {
  if (state == nullptr) return nullptr;
  Text prepared(text);
  const char* end = nullptr;
  if (WithinBudget(prepared, [&](std::size_t& budget) { end = walkFrom(text, state, budget); })) return end;
  if (const TRELinearText* t = linearText(prepared, true)) {
    const int64_t e = t->LongestFrom(0, static_cast<int32_t>(state->Index));
    return e < 0 ? nullptr : t->At(static_cast<std::size_t>(e));
  }
  std::size_t unlimited = static_cast<std::size_t>(-1);
  return walkFrom(text, state, unlimited);
}

}  // namespace kelvane
