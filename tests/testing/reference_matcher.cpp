#include "tests/testing/reference_matcher.h"

#include <algorithm>
#include <map>
#include <memory>

#include "pattern/re_chars.h"
#include "platform/cp932.h"

namespace kelvane::testing {

namespace {

// One character of a NUL-terminated text; a lead byte right before the NUL is a one-byte character.
uint16_t readText(const char*& p) {
  const auto b = static_cast<unsigned char>(*p);
  if (b == 0) return 0;
  if (cp932::isLeadByte(b) && p[1] != 0) {
    const auto trail = static_cast<unsigned char>(p[1]);
    p += 2;
    return static_cast<uint16_t>(b << 8 | trail);
  }
  ++p;
  return b;
}

bool isTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

bool holdsBrokenUnit(const char* p) {
  while (*p != 0) {
    const char* at = p;
    readText(p);
    if (p - at == 2 && !isTrailByte(static_cast<unsigned char>(at[1]))) return true;
  }
  return false;
}

}  // namespace

ReferenceMatcher::ReferenceMatcher(std::string_view pattern, TMatchCORE_LineSeparator separator, uint16_t lineHeadCode,
                                   uint16_t lineTailCode)
    : nfa_(readReferencePattern(pattern, lineHeadCode, lineTailCode)),
      headCode_(lineHeadCode),
      tailCode_(lineTailCode),
      separator_(separator) {
  start_ = {nfa_.entry};
  closeOver(start_);
  for (const auto& moves : nfa_.moves)
    for (const RefMove& m : moves) {
      if (m.empty || m.anchor || m.lo == m.hi) continue;
      for (uint16_t code : {headCode_, tailCode_})
        if (m.lo <= code && code <= m.hi) anchorCodeInClass_ = true;
    }
  anchorCodeInClass_ = anchorCodeInClass_ && (nfa_.lineHeadUsed || nfa_.lineTailUsed);
}

void ReferenceMatcher::closeOver(StateSet& set) const {
  std::vector<bool> in(nfa_.moves.size());
  std::vector<uint32_t> todo = set;
  for (uint32_t n : set) in[n] = true;
  while (!todo.empty()) {
    const uint32_t n = todo.back();
    todo.pop_back();
    for (const RefMove& m : nfa_.moves[n])
      if (m.empty && !in[m.target]) {
        in[m.target] = true;
        set.push_back(m.target);
        todo.push_back(m.target);
      }
  }
  std::sort(set.begin(), set.end());
}

ReferenceMatcher::StateSet ReferenceMatcher::step(const StateSet& set, uint16_t code) const {
  StateSet next;
  for (uint32_t n : set)
    for (const RefMove& m : nfa_.moves[n])
      if (!m.empty && m.lo <= code && code <= m.hi) next.push_back(m.target);
  std::sort(next.begin(), next.end());
  next.erase(std::unique(next.begin(), next.end()), next.end());
  closeOver(next);
  return next;
}

bool ReferenceMatcher::accepting(const StateSet& set) const {
  return std::binary_search(set.begin(), set.end(), nfa_.exit);
}

bool ReferenceMatcher::isLineEnd(uint16_t code) const { return separator_ == mcls_CRLF ? code == 13 : code == 10; }

void ReferenceMatcher::noteDispute(const char* name) const {
  if (dispute_.empty()) dispute_ = name;
}

// The end of the longest match from text in `state`; "$" is tried only in the state where the walk
// stops, when it stops at a line end or at the end of the text.
const char* ReferenceMatcher::longestFrom(const char* text, StateSet state) const {
  if (state.empty()) return nullptr;
  const char* result = nullptr;
  const char* pos = text;
  uint16_t code = 0;
  for (;;) {
    if (accepting(state)) result = pos;
    code = readText(pos);
    if (code == 0) break;
    StateSet next = step(state, code);
    if (next.empty()) break;
    if (isLineEnd(code) && !step(state, tailCode_).empty()) noteDispute("line end passed");
    state = std::move(next);
  }
  if ((code == 0 || isLineEnd(code)) && !step(state, tailCode_).empty()) return code == 0 ? pos : pos - 1;
  return result;
}

// At a line head: the walk after the line-head move, unless the walk without it reaches at least as far.
const char* ReferenceMatcher::longestAtLineHead(const char* text, const StateSet& state) const {
  if (!nfa_.lineHeadUsed) return longestFrom(text, state);
  const char* p = longestFrom(text, step(state, headCode_));
  const char* q = longestFrom(text, state);
  if (p == nullptr) {
    if (q != nullptr && hidden_.first == nullptr) hidden_ = {text, q};
    return nullptr;
  }
  return q != nullptr && q >= p ? q : p;
}

// No anchors: the first start with any match, and from it the last accepting place of the walk.
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
      const uint16_t code = readText(cur);
      if (code == 0) break;
      s = step(s, code);
      if (s.empty()) break;
    }
    if (start != nullptr) return;
    readText(pos);
  }
}

void ReferenceMatcher::matchAnchored(const char* text, const char*& start, const char*& end) const {
  start = text;
  end = longestAtLineHead(text, start_);
  if (end == nullptr) scanAnchored(text, start, end);
}

// A match that a line head hid and that the search did not find all the same.
void ReferenceMatcher::noteHidden(const char* start, const char* end) const {
  if (hidden_.first != nullptr && (start != hidden_.first || end != hidden_.second))
    noteDispute("line head hides a match");
  hidden_ = {};
}

// Each place in turn: the match without a line head, then after a LF the match on the next line that
// starts with the line-head move; at the end of the text an empty match when "$" alone can match.
void ReferenceMatcher::scanAnchored(const char* text, const char*& start, const char*& end) const {
  start = end = nullptr;
  const char* pos = text;
  while (*pos != 0) {
    if (const char* e = longestFrom(pos, start_)) {
      start = pos, end = e;
      return;
    }
    if (*pos == '\n' && nfa_.lineHeadUsed) {
      if (const char* e = longestAtLineHead(pos + 1, start_)) {
        start = pos + 1, end = e;
        return;
      }
    }
    readText(pos);
  }
  if (nfa_.lineTailUsed && !step(start_, tailCode_).empty()) start = end = pos;
}

void ReferenceMatcher::bound(const char* text, const char*& start, const char*& end) const {
  if (nfa_.lineHeadUsed || nfa_.lineTailUsed)
    matchAnchored(text, start, end);
  else
    matchPlain(text, start, end);
  noteHidden(start, end);
}

void ReferenceMatcher::scan(const char* text, const char*& start, const char*& end) const {
  scanAnchored(text, start, end);
  noteHidden(start, end);
}

void ReferenceMatcher::beginCall(const std::string& text) const {
  dispute_.clear();
  if (anchorCodeInClass_) noteDispute("anchor code in a class");
  if (holdsBrokenUnit(text.c_str())) noteDispute("broken unit");
}

std::pair<int, int> ReferenceMatcher::Match(const std::string& text) const {
  beginCall(text);
  const char *start, *end;
  bound(text.c_str(), start, end);
  if (start == nullptr) return {0, 0};
  return {static_cast<int>(start - text.c_str()) + 1, static_cast<int>(end - start)};
}

namespace {

// The escapes of a template resolved, each code written back as its bytes; `noCharacter` is set when
// an escape gives a code that is neither one byte nor a double-byte character (its low byte is written).
std::string resolveEscapes(std::string_view text, bool& noCharacter) {
  std::string out;
  int32_t position = 1;
  while (position <= static_cast<int32_t>(text.size())) {
    uint16_t c = readReferenceChar(text, position);
    if (c == '\\') {
      c = readReferenceEscape(text, position);
      if (c > 0xFF && !cp932::isLeadByte(static_cast<unsigned char>(c >> 8))) noCharacter = true;
    }
    out += referenceCodeText(c);
  }
  return out;
}

}  // namespace

bool ReferenceMatcher::TemplateCodeIsNoCharacter(std::string_view replacement) {
  bool noCharacter = false;
  try {
    ExpandReplacement(replacement, "", &noCharacter);
  } catch (const ERegExpParser&) {
  }
  return noCharacter;
}

std::string ReferenceMatcher::ExpandReplacement(std::string_view replacement, std::string_view matched,
                                                bool* noCharacter) {
  // "\&" is protected by a second backslash, which the resolving of the escapes takes away again.
  std::string guarded;
  for (int32_t position = 1; position <= static_cast<int32_t>(replacement.size());) {
    const uint16_t c = readReferenceChar(replacement, position);
    guarded += referenceCodeText(c);
    if (c != '\\' || position > static_cast<int32_t>(replacement.size())) continue;
    const uint16_t d = readReferenceChar(replacement, position);
    if (d == '&') guarded += '\\';
    guarded += referenceCodeText(d);
  }
  bool codeIsNoCharacter = false;
  const std::string resolved = resolveEscapes(guarded, codeIsNoCharacter);
  if (noCharacter) *noCharacter = codeIsNoCharacter;
  std::string out;
  for (int32_t position = 1; position <= static_cast<int32_t>(resolved.size());) {
    const uint16_t c = readReferenceChar(resolved, position);
    if (c == '&') {
      out += matched;
    } else if (c == '\\' && position <= static_cast<int32_t>(resolved.size()) && resolved[position - 1] == '&') {
      out += '&';
      ++position;
    } else {
      out += referenceCodeText(c);
    }
  }
  return out;
}

int ReferenceMatcher::GSub(std::string_view replacement, std::string& text) const {
  beginCall(text);
  const char* const s = text.c_str();
  const char* const limit = s + text.size();
  const char *start, *end;
  bound(s, start, end);
  if (start == nullptr) return 0;
  if (TemplateCodeIsNoCharacter(replacement)) noteDispute("template code no character");
  if (text.empty()) {
    text = ExpandReplacement(replacement, "");
    return 1;
  }
  std::string out;
  const char* rest = s;
  int count = 0;
  while (start != nullptr) {
    out.append(rest, start);
    out += ExpandReplacement(replacement, std::string_view(start, static_cast<std::size_t>(end - start)));
    if (start == end && *end != 0) {
      // One character on: a double-byte character whole; under CR LF a CR with the character after it.
      const char* from = end;
      if (separator_ == mcls_CRLF && *end == '\r' && end[1] != 0) ++end;
      readText(end);
      out.append(from, end);
    }
    ++count;
    const char last = end[-1];
    rest = end;
    if (*rest == 0) break;  // the end of the text, or of what the matcher sees of it
    if (last == '\n')
      bound(rest, start, end);
    else
      scan(rest, start, end);
  }
  out.append(rest, limit);
  text = std::move(out);
  return count;
}

RefAutomaton ReferenceMatcher::Automaton() const {
  struct Table {
    std::vector<StateSet> sets;
    std::map<StateSet, int> numbers;
    int number(const StateSet& set) {
      if (set.empty()) return -1;
      auto [it, added] = numbers.emplace(set, static_cast<int>(sets.size()));
      if (added) sets.push_back(set);
      return it->second;
    }
  };
  auto table = std::make_shared<Table>();
  RefAutomaton a;
  a.start = table->number(start_);
  a.next = [this, table](int state, std::uint16_t code) {
    return table->number(step(table->sets[static_cast<std::size_t>(state)], code));
  };
  a.accepting = [this, table](int state) { return accepting(table->sets[static_cast<std::size_t>(state)]); };
  return a;
}

RefAutomaton referenceGrepAutomaton(std::string_view pattern) {
  auto matcher = std::make_shared<const ReferenceMatcher>(pattern, mcls_LF, 10, 10);
  RefAutomaton a = matcher->Automaton();
  a.next = [matcher, next = a.next](int state, std::uint16_t code) { return next(state, code); };
  return a;
}

}  // namespace kelvane::testing
