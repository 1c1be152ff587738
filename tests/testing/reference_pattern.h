#pragma once
// The reference reading of a pattern, written apart from the engine so that a fault in the engine's
// scanner, parser, range partition or automata cannot hide in the reference too. The pattern's bytes
// are scanned and parsed by recursive descent into a small syntax tree, and the tree is laid out as an
// automaton with empty moves (one "from" and one "to" state per node), which the reference matcher
// simulates a set of states at a time. Only the lead-byte test is shared with the engine.
//
// The rules kept here, as the engine must keep them:
//  * "^" is a line-head anchor only where its move leaves the entry state (at the start of the pattern,
//    of a top-level alternative, or of a group standing at such a place), "$" a line-tail anchor only
//    where its move enters the exit state; anywhere else they are the characters "^" and "$". An anchor
//    is a move on the anchor code the caller gives (0xFFFD / 0xFFFE for the string matcher, LF for the
//    file grep), and a move is taken whenever its codes contain the code read, whatever else overlaps it.
//  * "." and a negated class take the codes 1-9, 11-12 and 14-0xFCFC only; a negated class that
//    excludes all of them takes nothing.
//  * No character or class takes a code above 0xFFFC: those are the anchors' pseudo codes and the empty
//    move's mark, never characters of a text (a text yields at most 0xFCFF).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane::testing {

struct RefMove {
  bool empty = false;   // an empty move; otherwise it takes the codes lo..hi
  bool anchor = false;  // the move of an anchor (on the anchor code)
  uint16_t lo = 0, hi = 0;
  uint32_t target = 0;
};

struct RefNfa {
  std::vector<std::vector<RefMove>> moves;  // by state
  uint32_t entry = 0, exit = 1;
  bool lineHeadUsed = false, lineTailUsed = false;
};

// Reads `pattern` into its automaton. Raises ERegExpParser with the engine's message and the 1-based
// byte position at which the scanner stood.
RefNfa readReferencePattern(std::string_view pattern, uint16_t lineHeadCode, uint16_t lineTailCode);

// The escape after a backslash at the 1-based `position` of `text` (b r n t, \x with one to four hex
// digits, one to six octal digits, any other character itself); advances `position`. Raises
// ERegExpParser as the pattern scanner does. Replacement templates use the same escapes.
uint16_t readReferenceEscape(std::string_view text, int32_t& position);
// One character of `text` at the 1-based `position` (0 past the end), advancing it; a lead byte that
// is the last byte raises ERegExpParser.
uint16_t readReferenceChar(std::string_view text, int32_t& position);
// The bytes of a code: two when its high byte is a lead byte, else the low byte alone.
std::string referenceCodeText(uint16_t code);

// The messages, as CP932 text.
std::string referenceMessage(std::string_view utf8);

}  // namespace kelvane::testing
