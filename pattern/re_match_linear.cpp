// The linear search of re_match_linear.h: the backward sets, and the walks that stop where nothing
// lies ahead.
#include "pattern/re_match_linear.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "pattern/re_chars.h"

namespace kelvane {

// ---- TRELinearTables ----

TRELinearTables::TRELinearTables(const TRE_DFA& dfa, uint16_t headCode, uint16_t tailCode) : dfa_(dfa) {
  // A class boundary wherever a transition starts or ends, and around the two line-end codes, so that
  // a class is either wholly a line end or not at all.
  std::vector<uint32_t> cuts = {0, 1, 10, 11, 13, 14};
  for (const auto& state : dfa.States)
    for (const TREDFATrans& t : state->Trans) {
      cuts.push_back(t.LoChar);
      cuts.push_back(uint32_t{t.HiChar} + 1);
    }
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  if (cuts.back() > 0xFFFF) cuts.pop_back();
  classOf_.resize(0x10000);
  for (std::size_t i = 0; i < cuts.size(); ++i) {
    const uint32_t from = cuts[i], to = i + 1 < cuts.size() ? cuts[i + 1] : 0x10000;
    std::fill(classOf_.begin() + from, classOf_.begin() + to, static_cast<uint16_t>(i));
    representative_.push_back(static_cast<uint16_t>(from));
  }
  columns_.resize(representative_.size());
  const std::size_t n = dfa.States.size();
  accepting_.resize(n);
  tailOK_.resize(n);
  for (std::size_t s = 0; s < n; ++s) {
    accepting_[s] = dfa.States[s]->IsAccepting() ? 1 : 0;
    tailOK_[s] = TRE_DFA::NextState(dfa.States[s].get(), tailCode) != nullptr ? 1 : 0;
  }
  start_ = static_cast<int32_t>(dfa.Start->Index);
  if (const TREDFAState* head = TRE_DFA::NextState(dfa.Start, headCode)) headStart_ = static_cast<int32_t>(head->Index);
}

const std::vector<int32_t>& TRELinearTables::Column(uint16_t cls) {
  std::vector<int32_t>& column = columns_[cls];
  if (column.empty()) {
    // Every code of the class leads every state to the same place: its lowest code stands for it.
    const uint16_t code = representative_[cls];
    column.resize(dfa_.States.size());
    for (std::size_t s = 0; s < column.size(); ++s) {
      const TREDFAState* next = TRE_DFA::NextState(dfa_.States[s].get(), code);
      column[s] = next ? static_cast<int32_t>(next->Index) : -1;
    }
  }
  return column;
}

TREBackSets& TRELinearTables::Sets(bool tailTest, uint16_t lineEndCode) {
  std::unique_ptr<TREBackSets>& sets = !tailTest ? plain_ : lineEndCode == 13 ? tailCR_ : tailLF_;
  if (!sets) sets = std::make_unique<TREBackSets>(*this, tailTest, lineEndCode);
  return *sets;
}

// ---- TREBackSets ----

TREBackSets::TREBackSets(TRELinearTables& tables, bool tailTest, uint16_t lineEndCode)
    : tables_(tables),
      tailTest_(tailTest),
      lineEndCode_(lineEndCode),
      words_((tables.StateCount() + 63) / 64),
      classCount_(tables.ClassCount()),
      scratch_(words_) {}

int32_t TREBackSets::Intern() {
  uint64_t hash = 1469598103934665603ull;
  for (uint64_t w : scratch_) hash = (hash ^ w ^ (w >> 29)) * 1099511628211ull;
  auto [first, last] = byHash_.equal_range(hash);
  for (auto it = first; it != last; ++it)
    if (std::equal(scratch_.begin(), scratch_.end(), bits_.begin() + static_cast<std::ptrdiff_t>(it->second * words_)))
      return it->second;
  const std::size_t bytes = (bits_.size() + words_) * sizeof(uint64_t) + (steps_.size() + classCount_) * sizeof(int32_t) +
                            (byHash_.size() + 1) * 4 * sizeof(void*);
  if (bytes > TRELinearTables::kMaxBytes) return kOverflow;
  const auto id = static_cast<int32_t>(bits_.size() / words_);
  bits_.insert(bits_.end(), scratch_.begin(), scratch_.end());
  steps_.resize(steps_.size() + classCount_, kUnknown);
  byHash_.emplace(hash, id);
  return id;
}

int32_t TREBackSets::End() {
  if (end_ != kUnknown) return end_;
  std::fill(scratch_.begin(), scratch_.end(), 0);
  for (std::size_t s = 0; s < tables_.StateCount(); ++s) {
    const auto state = static_cast<int32_t>(s);
    if (tables_.Accepting(state) || (tailTest_ && tables_.TailOK(state))) scratch_[s / 64] |= uint64_t{1} << (s % 64);
  }
  end_ = Intern();
  return end_;
}

int32_t TREBackSets::MakeStep(int32_t after, uint16_t cls) {
  if (after == kOverflow) return kOverflow;
  const std::vector<int32_t>& column = tables_.Column(cls);
  // A walk that stops on a line end makes its tail test there; a walk that goes on does not.
  const bool lineEnd = tailTest_ && tables_.ClassOf(lineEndCode_) == cls;
  std::fill(scratch_.begin(), scratch_.end(), 0);
  for (std::size_t s = 0; s < column.size(); ++s) {
    const auto state = static_cast<int32_t>(s);
    const int32_t next = column[s];
    const bool live = tables_.Accepting(state) ||
                      (next >= 0 ? Contains(after, next) : lineEnd && tables_.TailOK(state));
    if (live) scratch_[s / 64] |= uint64_t{1} << (s % 64);
  }
  const int32_t id = Intern();
  if (id != kOverflow) steps_[static_cast<std::size_t>(after) * classCount_ + cls] = id;
  return id;
}

// ---- TRELinearText ----

bool TRELinearText::Prepare(TRELinearTables& tables, TREBackSets& sets, const char* text) {
  tables_ = &tables;
  sets_ = &sets;
  base_ = text;
  offsets_.clear();
  classes_.clear();
  const std::size_t bytes = std::strlen(text);
  if (bytes >= std::numeric_limits<uint32_t>::max()) return false;
  offsets_.reserve(bytes + 1);
  classes_.reserve(bytes);
  hint_ = 0;
  for (const char* p = text; *p != 0;) {
    offsets_.push_back(static_cast<uint32_t>(p - text));
    classes_.push_back(tables.ClassOf(ReadTextChar(p)));
  }
  offsets_.push_back(static_cast<uint32_t>(bytes));
  const std::size_t n = classes_.size();
  live_.resize(n + 1);
  int32_t set = sets.End();
  live_[n] = set;
  for (std::size_t k = n; k-- > 0;) {
    set = sets.Step(set, classes_[k]);
    if (set == TREBackSets::kOverflow) return false;
    live_[k] = set;
  }
  return set != TREBackSets::kOverflow;
}

std::size_t TRELinearText::IndexOf(const char* p) const {
  const auto offset = static_cast<uint32_t>(p - base_);
  // GSub asks for places further and further on, each just after the last match: look from the last
  // answer first, a few characters on at most.
  std::size_t k = hint_;
  if (offsets_[k] <= offset) {
    for (std::size_t tries = 0; tries < 64 && k < offsets_.size() && offsets_[k] < offset; ++tries) ++k;
    if (k < offsets_.size() && offsets_[k] >= offset && (k == 0 || offsets_[k - 1] < offset)) return hint_ = k;
  }
  k = static_cast<std::size_t>(std::lower_bound(offsets_.begin(), offsets_.end(), offset) - offsets_.begin());
  return hint_ = k;
}

int64_t TRELinearText::LongestFrom(std::size_t k, int32_t s) const {
  const std::size_t n = Length();
  int64_t result = -1;
  for (;;) {
    // Out of Live nothing lies ahead: not an accepting state, nor a tail test where the walk stops.
    if (!Live(k, s)) return result;
    if (tables_->Accepting(s)) result = static_cast<int64_t>(k);
    if (k == n) break;
    const int32_t next = tables_->Next(s, classes_[k]);
    if (next < 0) break;
    s = next;
    ++k;
  }
  // The walk stops at k: the tail test, as the straightforward walk makes it.
  if (sets_->TailTest() && (k == n || ByteAt(k) == sets_->LineEndCode()) && tables_->TailOK(s))
    return static_cast<int64_t>(k);
  return result;
}

}  // namespace kelvane
