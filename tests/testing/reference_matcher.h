#pragma once
// The reference for the matching core and the AWK-style operations. The pattern is read by the
// reference reader (reference_pattern.h), not by the engine, and its automaton is simulated directly, a
// set of states at a time, with no DFA, no sorted transitions and no shortcuts. Each procedure follows
// the matching rules step by step (leftmost, then longest; "$" tested where a walk stops; the line-head
// move tried at the start of a text and after each LF), so its results are what Match and GSub must
// report. Slow; tests only.
//
// A few answers of the engine are known to be disputed (see Dispute()); a comparison may let the
// engine differ there, and only there.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "pattern/re_match_core.h"
#include "tests/testing/reference_grep.h"
#include "tests/testing/reference_pattern.h"

namespace kelvane::testing {

class ReferenceMatcher {
 public:
  // Reads `pattern` (no preprocessing) into its automaton with the given anchor codes. Raises
  // ERegExpParser with the engine's message and position.
  ReferenceMatcher(std::string_view pattern, TMatchCORE_LineSeparator separator, uint16_t lineHeadCode = 0xFFFD,
                   uint16_t lineTailCode = 0xFFFE);

  bool UsesLineHead() const { return nfa_.lineHeadUsed; }
  bool UsesLineTail() const { return nfa_.lineTailUsed; }

  // Match of TAWKStr: {1-based position, length}, {0, 0} when there is none. The text is seen up to its
  // first NUL.
  std::pair<int, int> Match(const std::string& text) const;
  // GSub of TAWKStr: "&" in the template is the matched text, "\&" an ampersand, and the escapes of
  // patterns are resolved. Raises ERegExpParser for a broken template when something matches (the text
  // is then unchanged). Bytes from a NUL of the text on are kept as they are.
  int GSub(std::string_view replacement, std::string& text) const;
  // The replacement for one match; `noCharacter` (when given) tells whether an escape gave a code that
  // is no character.
  static std::string ExpandReplacement(std::string_view replacement, std::string_view matched,
                                       bool* noCharacter = nullptr);
  static bool TemplateCodeIsNoCharacter(std::string_view replacement);

  // The known disputed case the last Match or GSub met, or empty: where the engine may answer
  // otherwise than this reference, which keeps to the rules as written.
  //  "line end passed": a walk went on over a line end in a state that had the line-tail move; "$" is
  //    tested only where a walk stops (a$|a\r\nx on a CR LF y finds nothing).
  //  "line head hides a match": at a line head the anchored walk found nothing, and the result is none
  //    even though the walk without the anchor matched (x*|^y on the empty text finds nothing).
  //  "anchor code in a class": an anchor's code also lies in a wider class of the pattern (LF codes and
  //    [\x01-\x0b]); here both moves are taken (^a|[\x01-\x0b]q finds the a of abc LF).
  //  "broken unit": the text holds a lead byte with a byte that is no trail byte (FC FD, 81 7F), read as
  //    one code, which "." and negated classes take only below 0xFCFD.
  //  "template code no character": an escape of the template gives a code that is neither one byte nor
  //    a double-byte character (\x4142, \400); its low byte is written (the engine refuses it).
  const std::string& Dispute() const { return dispute_; }

  // The automaton as the file grep walks it: each set of states the walks reach is one state of the
  // result, numbered as met. The result refers to this matcher.
  RefAutomaton Automaton() const;

 private:
  using StateSet = std::vector<uint32_t>;  // sorted; empty: no state ("none")
  void closeOver(StateSet& set) const;
  StateSet step(const StateSet& set, uint16_t code) const;
  bool accepting(const StateSet& set) const;
  bool isLineEnd(uint16_t code) const;
  const char* longestFrom(const char* text, StateSet state) const;
  const char* longestAtLineHead(const char* text, const StateSet& state) const;
  void matchPlain(const char* text, const char*& start, const char*& end) const;
  void matchAnchored(const char* text, const char*& start, const char*& end) const;
  void scanAnchored(const char* text, const char*& start, const char*& end) const;
  // The bound procedure, and ScanAnchored, as GSub calls them, each noting a hidden match it missed.
  void bound(const char* text, const char*& start, const char*& end) const;
  void scan(const char* text, const char*& start, const char*& end) const;
  void noteHidden(const char* start, const char* end) const;
  void beginCall(const std::string& text) const;
  void noteDispute(const char* name) const;

  RefNfa nfa_;
  uint16_t headCode_, tailCode_;
  TMatchCORE_LineSeparator separator_;
  StateSet start_;
  bool anchorCodeInClass_ = false;
  mutable std::string dispute_;
  mutable std::pair<const char*, const char*> hidden_{};  // the first match a line head hid, if any
};

// The reference automaton of `pattern` (already preprocessed) with LF as both anchor codes, as the file
// grep compiles it; it keeps its matcher alive.
RefAutomaton referenceGrepAutomaton(std::string_view pattern);

}  // namespace kelvane::testing
