#pragma once
// TGrep: the file grep. It searches one text file for the current pattern and reports every line
// that holds a match, once, in file order, through OnMatch.
//
// What is reported is fixed by the straightforward walk: a match is looked for from every character
// of the file (the LF before a line counts as its first), the DFA is walked from its start state, and
// the line that holds the start is reported as soon as an accepting state is reached after at least
// one character (the shortest match is enough); the search then goes on at the next line. A walk may
// read across line ends when the pattern consumes LF; it still reports the line where it started.
// "^" and "$" are transitions on LF here (both line codes are 10), and the reader puts an LF before
// the first line and after the last, so they match at the start and the end of every line.
//
// How it gets there is another matter, for that walk costs a few calls per character and, on a long
// line where walks run far, the square of the line's length. The stage has three parts:
//   - The reader (txt_file.h) keeps a normalised window of the file: one LF per line end, no CR, no
//     zero byte inside it. The scan walks the window with pointer steps, never a character call.
//   - GrepTables (grep_scan.h) turns the DFA into byte tables made as the text needs them, and finds
//     what every match must begin with. While no walk is under way the scan skips to the next place
//     where that beginning occurs (memmem for fixed characters, 16 positions at a time for a few
//     first characters); a place counts only where it starts a character.
//   - GrepSets (grep_sets.h) moves all the walks of a line forward together as one set of DFA states,
//     one table lookup per character however many walks are under way; the line holds a match as
//     soon as a member accepts. So a long line costs time linear in its length.
// A literal pattern takes the same road: its bytes are the beginning the scan skips to. The tests
// compare every road with the straightforward walk (tests/testing/reference_grep.h) at block sizes
// down to one byte.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "pattern/grep_scan.h"
#include "pattern/grep_sets.h"
#include "pattern/re_regexp.h"
#include "pattern/txt_file.h"

namespace kelvane {

class TGrep;

// The OnMatch event: Sender is the grep, LineInfo the matching line.
using TGrepOnMatch = std::function<void(TGrep& Sender, const RE_LineInfo_t& LineInfo)>;

class TGrep : public TRegularExpression {
 public:
  // The built-in fuzzy-character dictionary is registered; RegExp is empty, and Grep may not be called
  // before the first assignment.
  TGrep();
  ~TGrep() override;

  // Compiles value (as the base does; ERegExpParser and nothing below on a syntax error); from then
  // on Grep searches for it.
  void AssignRegExp(std::string_view value) override;
  std::uint16_t GetLineHeadCode() const override { return 10; }
  std::uint16_t GetLineTailCode() const override { return 10; }

  // Searches fileName (CP932) for the current pattern. Does nothing when OnMatch is unassigned.
  // Raises EFileNotFound (cannot open), EGrepCancel (Cancel set at a check point), EInOutError (read
  // error), whatever OnMatch raises, and std::logic_error when no pattern was ever assigned. An empty
  // file reports nothing.
  void Grep(const std::string& fileName);

  TGrepOnMatch OnMatch;
  // Reset to false at the start of every search; the reader raises EGrepCancel when it is set.
  bool Cancel = false;
  // Called by the reader between blocks and before each report (the window's event pump).
  ProcessMessagesFn ProcessMessages;
  // Bytes per block read; tests make it tiny so that everything crosses a block boundary.
  std::size_t BlockSize = TTxtFile::kBlockSize;

 private:
  void RemakeTables();

  bool assigned_ = false;               // a pattern was assigned once
  std::unique_ptr<GrepTables> tables_;  // of the current pattern, made at assignment
  std::unique_ptr<GrepSets> sets_;      // the walks' sets over tables_, kept from file to file
  const TRE_DFA* tablesDFA_ = nullptr;  // the DFA and processed text tables_ were made for
  std::string tablesText_;
};

}  // namespace kelvane
