// The subset construction of re_dfa.h, done completely at compile time.
//
// The construction starts from the closure of the NFA's entry and expands states in order of
// creation: for each state it gathers the moves (one per distinct transition class leaving its NFA
// states, with the set of NFA states each leads to), closes each target set, and finds or creates the
// DFA state for it. The parser made every leaf range disjoint from every other, so moves of different
// classes are disjoint too, with one exception: the file grep's anchor code is LF, a code that texts
// contain and that no leaf was split at, so "^" or "$" may leave a state beside a class that holds LF
// ([\x01-\x0b]). Such moves are not split; SortTransitions marks the state Overlapping, and NextState
// then takes the first class in LoChar order that holds the code, as a walk down a sorted chain does.
//
// The order of everything (members ascending, each NFA state's transitions newest first, moves taken
// newest first and put at the head of the state's list) fixes the numbering of the states; the
// transitions are then sorted by their first code, stably, which is all the matching walk relies on.
// Sets are found again through a hash of their bits rather than by comparing with every state, so a
// DFA of thousands of states builds in milliseconds. Every state, every byte and every NFA transition
// visited is counted against the budget.
#include "pattern/re_dfa.h"

#include <algorithm>
#include <unordered_set>

#include "pattern/re_chars.h"
#include "pattern/re_parser.h"
#include "platform/cp932.h"

namespace kelvane {

void TRE_DFA::Build() {
  errorPos_ = static_cast<uint32_t>(NFA->Parser.Scanner->Position());
  LineHeadUsed = NFA->LineHeadUsed;
  LineTailUsed = NFA->LineTailUsed;
  BuildStates();
  SortTransitions();
  FindLiteral();
  // The sets served only to find states again; a cached DFA keeps just its transitions.
  byHash_.clear();
  for (auto& state : States) state->NFAStates.reset();
  NFA = nullptr;
}

void TRE_DFA::tooComplex() const { throw ERegExpParser(TooComplexMessage(), errorPos_); }

void TRE_DFA::spend(std::size_t work) {
  work_ += work;
  if (work_ > kMaxDFAWork) tooComplex();
}

void TRE_DFA::BuildStates() {
  auto start = std::make_unique<TRE_NFAStateSet>(NFA->StateCount());
  start->Include(NFA->Entry);
  Closure(*start);
  Start = FindOrAddState(start);
  for (TREDFAState* p = NextUnmarked(); p != nullptr; p = NextUnmarked()) {
    p->Marked = 0xFFFF;
    std::vector<Move> moves = CollectMoves(*p);
    // The moves form a chain built by putting each new one at its head: walk it from the newest.
    for (auto m = moves.rbegin(); m != moves.rend(); ++m) {
      Closure(*m->Targets);
      TREDFAState* target = FindOrAddState(m->Targets);
      p->Trans.push_back({m->LoChar, m->HiChar, target});
    }
    // Each transition went in at the head of the chain, so the chain is the reverse of this order.
    std::reverse(p->Trans.begin(), p->Trans.end());
    bytes_ += p->Trans.size() * sizeof(TREDFATrans);
    if (bytes_ > kMaxDFABytes) tooComplex();
  }
}

void TRE_DFA::Closure(TRE_NFAStateSet& set) {
  // Depth first from every member, with an explicit stack; the resulting set is what the recursive
  // AddClosure over the members in ascending order gives.
  std::vector<uint32_t> stack;
  set.ForEach([&](std::size_t n) { stack.push_back(static_cast<uint32_t>(n)); });
  spend(set.ByteCount() / 8 + stack.size());
  while (!stack.empty()) {
    const uint32_t n = stack.back();
    stack.pop_back();
    const auto& chain = NFA->States[n];
    spend(chain.size());
    for (const TRENFATrans& t : chain) {
      if (t.IsEpsilon() && !set.Contains(t.Target)) {
        set.Include(t.Target);
        stack.push_back(t.Target);
      }
    }
  }
}

TREDFAState* TRE_DFA::FindOrAddState(std::unique_ptr<TRE_NFAStateSet>& set) {
  const std::size_t hash = set->Hash();
  spend(set->ByteCount() / 8 + 1);
  auto [first, last] = byHash_.equal_range(hash);
  for (auto it = first; it != last; ++it)
    if (it->second->NFAStates->SameAs(*set)) return it->second;
  if (States.size() >= kMaxDFAStates) tooComplex();
  bytes_ += sizeof(TREDFAState) + set->ByteCount() + 4 * sizeof(void*);
  if (bytes_ > kMaxDFABytes) tooComplex();
  auto state = std::make_unique<TREDFAState>();
  state->Index = static_cast<uint32_t>(States.size());
  state->Accepting = set->Contains(NFA->Exit) ? 0xFFFF : 0;
  state->NFAStates = std::move(set);
  byHash_.emplace(hash, state.get());
  States.push_back(std::move(state));
  return States.back().get();
}

TREDFAState* TRE_DFA::NextUnmarked() {
  // States are expanded strictly in order of creation, so the first unmarked one is the next index.
  while (nextUnmarked_ < States.size() && States[nextUnmarked_]->Marked != 0) ++nextUnmarked_;
  return nextUnmarked_ < States.size() ? States[nextUnmarked_].get() : nullptr;
}

std::vector<TRE_DFA::Move> TRE_DFA::CollectMoves(const TREDFAState& state) {
  std::vector<Move> moves;
  std::unordered_map<uint32_t, std::size_t> byClass;  // (LoChar << 16 | HiChar) -> index in moves
  const std::size_t capacity = NFA->StateCount();
  state.NFAStates->ForEach([&](std::size_t n) {
    const auto& chain = NFA->States[n];
    spend(chain.size());
    for (const TRENFATrans& t : chain) {
      if (t.IsEpsilon()) continue;
      const uint32_t key = uint32_t{t.LoChar} << 16 | t.HiChar;
      auto [it, added] = byClass.emplace(key, moves.size());
      if (added) {
        spend(capacity / 64 + 1);
        bytes_ += capacity / 8;  // counted while the move lives; given back below
        if (bytes_ > kMaxDFABytes) tooComplex();
        moves.push_back({t.LoChar, t.HiChar, std::make_unique<TRE_NFAStateSet>(capacity)});
      }
      moves[it->second].Targets->Include(t.Target);
    }
  });
  bytes_ -= moves.size() * (capacity / 8);
  return moves;
}

void TRE_DFA::SortTransitions() {
  for (auto& s : States) {
    std::stable_sort(s->Trans.begin(), s->Trans.end(),
                     [](const TREDFATrans& a, const TREDFATrans& b) { return a.LoChar < b.LoChar; });
    for (std::size_t i = 1; i < s->Trans.size() && !s->Overlapping; ++i)
      s->Overlapping = s->Trans[i].LoChar <= s->Trans[i - 1].HiChar;
  }
}

namespace {

// Whether `code` is one whole character that a NUL-terminated text can yield, so that searching for
// its bytes finds exactly that character.
bool IsTextCharacter(uint16_t code) {
  const unsigned hi = code >> 8, lo = code & 0xFF;
  if (hi == 0) return lo != 0 && !cp932::isLeadByte(static_cast<unsigned char>(lo));
  return cp932::isLeadByte(static_cast<unsigned char>(hi)) && lo != 0;
}

}  // namespace

void TRE_DFA::FindLiteral() {
  IsPlainLiteral = false;
  PlainLiteral.clear();
  std::unordered_set<const TREDFAState*> seen;
  for (const TREDFAState* s = Start; seen.insert(s).second;) {
    if (s->Trans.empty()) {
      // A dead end that does not accept (a class that matches nothing) is no literal either.
      IsPlainLiteral = s->IsAccepting();
      break;
    }
    const TREDFATrans& t = s->Trans.front();
    if (s->Trans.size() > 1 || t.LoChar != t.HiChar || s->IsAccepting() || !IsTextCharacter(t.LoChar)) break;
    PlainLiteral += CodeToText(t.LoChar);
    s = t.Target;
  }
  if (!IsPlainLiteral) PlainLiteral.clear();
}

}  // namespace kelvane
