#pragma once
// TGrep: the file grep. It searches one text file for the current pattern and reports every line
// that holds a match, once, in file order, through OnMatch.
//
// A match is looked for from every character of the file: the DFA is walked from its start state
// over the characters the reader hands out, and the line that holds the start is reported as soon as
// an accepting state is reached after at least one character (the shortest match is enough). The
// search then goes on at the next line. A walk may read across line ends when the pattern consumes
// LF; it still reports the line where it started. "^" and "$" are transitions on LF here (both line
// codes are 10), and the reader puts an LF before the first line and after the last, so they match
// at the start and the end of every line.
//
// Grep is bound at every assignment of RegExp: to GrepByLiteral when the compiled pattern is one
// fixed text, else to GrepByDFA. Both compute exactly what the character-by-character walk of the
// reader computes; they do it on the reader's blocks directly (grep_scan.h), with all the walks of a
// line going forward together (grep_sets.h), so a long line costs time linear in its length.
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
  // The built-in fuzzy-character dictionary is registered; RegExp is empty and Grep unbound.
  TGrep();
  ~TGrep() override;

  // Compiles value (as the base does; ERegExpParser and nothing below on a syntax error), then
  // binds Grep to GrepByLiteral or GrepByDFA.
  void AssignRegExp(std::string_view value) override;
  std::uint16_t GetLineHeadCode() const override { return 10; }
  std::uint16_t GetLineTailCode() const override { return 10; }

  // Runs the bound search on fileName (CP932). Does nothing when OnMatch is unassigned. Raises
  // EFileNotFound (cannot open), EGrepCancel (Cancel set at a check point), EInOutError (read error),
  // whatever OnMatch raises, and std::logic_error when no pattern was ever assigned. An empty file
  // reports nothing.
  void Grep(const std::string& fileName);
  // The two searches Grep is bound to; same contract as Grep.
  void GrepByDFA(const std::string& fileName);
  void GrepByLiteral(const std::string& fileName);
  // True when Grep is bound to GrepByLiteral.
  bool BoundToLiteral() const { return grep_ == &TGrep::GrepByLiteral; }

  TGrepOnMatch OnMatch;
  // Reset to false at the start of every search; the reader raises EGrepCancel when it is set.
  bool Cancel = false;
  // Called by the reader between blocks and before each report (the window's event pump).
  ProcessMessagesFn ProcessMessages;
  // Bytes per block read; tests make it tiny so that everything crosses a block boundary.
  std::size_t BlockSize = TTxtFile::kBlockSize;

 private:
  void Search(const std::string& fileName);
  void RemakeTables();

  void (TGrep::*grep_)(const std::string&) = nullptr;
  std::unique_ptr<GrepTables> tables_;  // of the current pattern, made at binding
  std::unique_ptr<GrepSets> sets_;      // the walks' sets over tables_, kept from file to file
  const TRE_DFA* tablesDFA_ = nullptr;  // the DFA and processed text tables_ were made for
  std::string tablesText_;
};

}  // namespace kelvane
