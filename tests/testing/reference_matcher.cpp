// The slow reference matcher: sets of NFA states instead of DFA states. A transition is taken whenever
// its class contains the code, whatever other transitions overlap it, so a fault in the partition of
// the ranges or in the DFA construction shows up as a difference.
#include "tests/testing/reference_matcher.h"

#include "pattern/re_chars.h"
#include "pattern/re_parser.h"

namespace kelvane::testing {

ReferenceMatcher::ReferenceMatcher(std::string_view pattern, TMatchCORE_LineSeparator separator, uint16_t lineHeadCode,
                                   uint16_t lineTailCode)
    : headCode_(lineHeadCode), tailCode_(lineTailCode), separator_(separator) {
  TREParser parser(pattern);
  parser.Parse();
  TRE_NFA nfa(parser, lineHeadCode, lineTailCode);
  nfa.Build();
  states_ = nfa.States;
  entry_ = nfa.Entry;
  exit_ = nfa.Exit;
  lineHeadUsed_ = nfa.LineHeadUsed;
  lineTailUsed_ = nfa.LineTailUsed;
  start_ = closure({entry_});
}

ReferenceMatcher::StateSet ReferenceMatcher::closure(StateSet set) const {
  for (bool grew = true; grew;) {
    grew = false;
    for (uint32_t n : StateSet(set))
      for (const TRENFATrans& t : states_[n])
        if (t.LoChar == 0xFFFF && set.insert(t.Target).second) grew = true;
  }
  return set;
}

ReferenceMatcher::StateSet ReferenceMatcher::step(const StateSet& set, uint16_t code) const {
  StateSet next;
  for (uint32_t n : set)
    for (const TRENFATrans& t : states_[n])
      if (t.LoChar != 0xFFFF && t.LoChar <= code && code <= t.HiChar) next.insert(t.Target);
  return closure(next);
}

bool ReferenceMatcher::isLineEnd(uint16_t code) const { return separator_ == mcls_CRLF ? code == 13 : code == 10; }

const char* ReferenceMatcher::longestFrom(const char* text, StateSet state) const {
  if (state.empty()) return nullptr;
  const char* result = nullptr;
  const char* pos = text;
  uint16_t code = 0;
  for (;;) {
    if (accepting(state)) result = pos;
    code = ReadTextChar(pos);
    if (code == 0) break;
    StateSet next = step(state, code);
    if (next.empty()) break;
    state = std::move(next);
  }
  if ((code == 0 || isLineEnd(code)) && !step(state, tailCode_).empty()) return code == 0 ? pos : pos - 1;
  return result;
}

const char* ReferenceMatcher::longestAtLineHead(const char* text, const StateSet& state) const {
  if (!lineHeadUsed_) return longestFrom(text, state);
  const char* p = longestFrom(text, step(state, headCode_));
  if (p == nullptr) return nullptr;
  const char* q = longestFrom(text, state);
  return q != nullptr && q >= p ? q : p;
}

void ReferenceMatcher::matchPlain(const char* text, const char*& start, const char*& end) const {
  start = end = nullptr;
  if (*text == 0 && accepting(start_)) {
    start = end = text;
    return;
  }
  for (const char* pos = text; *pos != 0;) {
    StateSet s = start_;
    const char* cur = pos;
    for (;;) {
      if (accepting(s)) start = pos, end = cur;
      const uint16_t code = ReadTextChar(cur);
      if (code == 0) break;
      s = step(s, code);
      if (s.empty()) break;
    }
    if (start != nullptr) return;
    const char* next = pos;
    ReadTextChar(next);  // one character on
    pos = next;
  }
}

void ReferenceMatcher::matchAnchored(const char* text, const char*& start, const char*& end) const {
  start = text;
  end = longestAtLineHead(text, start_);
  if (end == nullptr) scanAnchored(text, start, end);
}

void ReferenceMatcher::scanAnchored(const char* text, const char*& start, const char*& end) const {
  start = end = nullptr;
  const char* pos = text;
  while (*pos != 0) {
    if (const char* e = longestFrom(pos, start_)) {
      start = pos, end = e;
      return;
    }
    if (*pos == '\n' && lineHeadUsed_) {
      if (const char* e = longestAtLineHead(pos + 1, start_)) {
        start = pos + 1, end = e;
        return;
      }
    }
    ReadTextChar(pos);
  }
  if (lineTailUsed_ && !step(start_, tailCode_).empty()) start = end = pos;
}

void ReferenceMatcher::bound(const char* text, const char*& start, const char*& end) const {
  if (lineHeadUsed_ || lineTailUsed_)
    matchAnchored(text, start, end);
  else
    matchPlain(text, start, end);
}

std::pair<int, int> ReferenceMatcher::Match(const std::string& text) const {
  const char *start, *end;
  bound(text.c_str(), start, end);
  if (start == nullptr) return {0, 0};
  return {static_cast<int>(start - text.c_str()) + 1, static_cast<int>(end - start)};
}

namespace {

std::string expand(std::string_view replacement, std::string_view matched) {
  std::string out;
  for (char c : replacement) {
    if (c == '&')
      out += matched;
    else
      out += c;
  }
  return out;
}

bool isLead(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

}  // namespace

int ReferenceMatcher::GSub(std::string_view replacement, std::string& text) const {
  const char* s = text.c_str();
  const char *start, *end;
  bound(s, start, end);
  if (start == nullptr) return 0;
  if (text.empty()) {
    text = expand(replacement, "");
    return 1;
  }
  std::string out;
  const char* rest = s;
  int count = 0;
  while (start != nullptr) {
    out.append(rest, start);
    out += expand(replacement, std::string(start, end));
    if (start == end && *end != 0) {
      // One character on: a double-byte character whole; under CR LF a CR with the next character.
      const char* from = end;
      const bool crUnit = separator_ == mcls_CRLF && *end == '\r' && end[1] != 0;
      if (crUnit) ++end;
      if (isLead(*end) && end[1] != 0) ++end;
      ++end;
      out.append(from, end);
    }
    ++count;
    const char b = end[-1];
    rest = end;
    if (*rest == 0) break;
    if (b == '\n')
      bound(rest, start, end);
    else
      scanAnchored(rest, start, end);
  }
  out += rest;
  text = out;
  return count;
}

}  // namespace kelvane::testing
