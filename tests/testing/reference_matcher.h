#pragma once
// The reference for the matching core and the AWK-style operations: the NFA simulated directly, a set
// of NFA states at a time, with no DFA, no sorted transitions and no shortcuts. Each procedure follows
// the algorithm text step by step, so its results are what Match and GSub must report. Slow; tests only.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "pattern/re_match_core.h"
#include "pattern/re_nfa.h"

namespace kelvane::testing {

class ReferenceMatcher {
 public:
  // Parses `pattern` (no preprocessing) and builds its NFA with the given anchor codes. Raises the
  // parser's ERegExpParser.
  ReferenceMatcher(std::string_view pattern, TMatchCORE_LineSeparator separator, uint16_t lineHeadCode = 0xFFFD,
                   uint16_t lineTailCode = 0xFFFE);

  bool UsesLineHead() const { return lineHeadUsed_; }
  bool UsesLineTail() const { return lineTailUsed_; }

  // Match of TAWKStr: {1-based position, length}, {0, 0} when there is none.
  std::pair<int, int> Match(const std::string& text) const;
  // GSub of TAWKStr for a template without backslashes: every "&" is the matched text.
  int GSub(std::string_view replacement, std::string& text) const;

 private:
  using StateSet = std::set<uint32_t>;  // empty: no state ("none")
  StateSet closure(StateSet set) const;
  StateSet step(const StateSet& set, uint16_t code) const;
  bool accepting(const StateSet& set) const { return set.count(exit_) != 0; }
  bool isLineEnd(uint16_t code) const;
  const char* longestFrom(const char* text, StateSet state) const;
  const char* longestAtLineHead(const char* text, const StateSet& state) const;
  void matchPlain(const char* text, const char*& start, const char*& end) const;
  void matchAnchored(const char* text, const char*& start, const char*& end) const;
  void scanAnchored(const char* text, const char*& start, const char*& end) const;
  void bound(const char* text, const char*& start, const char*& end) const;

  std::vector<std::vector<TRENFATrans>> states_;
  uint32_t entry_ = 0, exit_ = 1;
  bool lineHeadUsed_ = false, lineTailUsed_ = false;
  uint16_t headCode_, tailCode_;
  TMatchCORE_LineSeparator separator_;
  StateSet start_;
};

}  // namespace kelvane::testing
