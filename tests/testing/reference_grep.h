#pragma once
// The file grep written the slow, obvious way, for the tests to compare every faster path with.
// It decodes the whole file into characters first (a leading LF, CR LF / lone CR / LF as one LF, a
// zero byte as a blank, a lead byte before a line end or the end as a one-byte character, a final
// LF when the file has none), then walks the automaton from every character and reports the line
// of each start from which an accepting state is reached after at least one character.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "pattern/txt_file.h"

namespace kelvane::testing {

// A deterministic automaton as the grep sees it: states are ints, next() gives -1 for "none".
struct RefAutomaton {
  int start = 0;
  std::function<int(int state, std::uint16_t code)> next;
  std::function<bool(int state)> accepting;
};

// The automaton of a fixed sequence of codes (what the literal search compares).
RefAutomaton literalAutomaton(std::vector<std::uint16_t> codes);

// One decoded character of a file: its code and the normalised line it lies in.
struct RefChar {
  std::uint16_t code;
  std::int32_t lineNo;  // an LF belongs to the line it starts
};

// The file as the reader hands it out, and its lines (normalised text without line ends).
std::vector<RefChar> decodeFile(std::string_view bytes, std::vector<std::string>* lines);

// The lines the file grep must report, in order, each once. An empty file reports nothing.
std::vector<RE_LineInfo_t> referenceGrep(std::string_view bytes, const RefAutomaton& automaton);

// "LINENO:LINE\n" per reported line, for readable comparisons.
std::string formatLines(const std::vector<RE_LineInfo_t>& lines);

}  // namespace kelvane::testing
