#pragma once
// FileSearcher: one search of text files, the same for the window and for kelvane-grep.
//
// A search has two faces. In pattern mode the file grep (TGrep) walks the compiled DFA over the
// file; in plain mode each line is tested for the pattern as text, never starting on a trail byte
// (pattern/plain_text), with both sides upper-cased first when case is ignored. The window and the
// command line used to set each of them up in their own way, and small differences crept in (which
// flag is set before the compile, how a plain line is upper-cased, which exception an unreadable file
// raises). Here it is done once.
//
// A searcher hands each matching line to a sink as a line number and the line's bytes, without its
// line end and without the path: the caller knows which file it asked about, and a line number is
// never read back from a text made for the eye. Lines come in file order, each matching line once.
//
// Lines are cut as each face of the engine cuts them: CR LF, a lone LF and a lone CR end a line, and
// a last line without a line end is a line like the others. A NUL byte reads as a blank in pattern
// mode and ends the text in plain mode.
//
// Threads: a searcher holds its own compiled pattern, grep tables and read window and is used by one
// thread at a time. Several searchers may run on several threads at once: the engine's shared tables
// (the fuzzy-character dictionary, the CP932 tables, the messages) are immutable once made and are
// made safely on first use; WarmUp() makes them before any thread starts, so that no worker pays for
// them or waits on another.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "pattern/txt_file.h"

namespace kelvane {

class TGrep;

struct SearchOptions {
  bool plain = false;       // test each line for the pattern as text, instead of the pattern engine
  bool ignoreCase = false;  // plain mode: compare upper-cased (cp932::upper); pattern mode has no case folding
  bool fuzzy = false;       // pattern mode: the fuzzy-character dictionary; plain mode has no fuzzy form
};

// Called with each matching line: its 1-based number and its bytes (valid for the call only). What
// the sink raises ends the search and passes out of Search.
using MatchingLineSink = std::function<void(std::int64_t lineNo, std::string_view line)>;

class FileSearcher {
 public:
  // No pattern yet: Search raises std::logic_error until SetPattern succeeded. Raises std::bad_alloc.
  FileSearcher();
  // SetPattern(pattern, options). Raises as SetPattern.
  FileSearcher(std::string_view pattern, const SearchOptions& options);
  ~FileSearcher();
  FileSearcher(const FileSearcher&) = delete;
  FileSearcher& operator=(const FileSearcher&) = delete;

  // Makes pattern (CP932) the one searched for, under options. In pattern mode the fuzzy switch is
  // set before the pattern is compiled, so the pattern is compiled once, in its final form. Raises
  // ERegExpParser for a pattern the engine cannot compile (pattern mode only; its message and
  // ErrorPos as the engine gives them); the searcher then has no pattern. Plain mode raises nothing
  // but std::bad_alloc.
  void SetPattern(std::string_view pattern, const SearchOptions& options);
  bool HasPattern() const { return hasPattern_; }
  const SearchOptions& Options() const { return options_; }

  // Searches the file at path (CP932) and calls sink for every matching line, in file order. Returns
  // how many lines were reported. An empty file reports nothing.
  // Raises:
  //   - EInOutError when the file cannot be opened or read (a missing file, a folder, a fifo, a
  //     link that loops, no permission); what() is the file layer's CP932 text, naming the path and
  //     the reason. Pattern mode raises its subclass EFileNotFound when the file cannot be opened.
  //   - EGrepCancel when Cancel is set at a check point (after ProcessMessages returned);
  //   - whatever sink or ProcessMessages raise;
  //   - std::logic_error when no pattern was set; std::bad_alloc.
  std::int64_t Search(const std::string& path, const MatchingLineSink& sink);

  // Reset to false at the start of every Search; set it (from ProcessMessages, or from the sink) to
  // stop the search with EGrepCancel at the next check point.
  bool Cancel = false;
  // Called at each check point: in pattern mode between the reader's blocks and before each report;
  // in plain mode before the file is opened and every kPlainCheckLines lines. May be empty.
  ProcessMessagesFn ProcessMessages;
  static constexpr std::int64_t kPlainCheckLines = 4096;

  // Makes the engine's shared tables that a first search would make (the fuzzy-character dictionary,
  // the CP932 conversion tables, the engine's messages). Call it on one thread before searchers run
  // on several. Raises std::bad_alloc only.
  static void WarmUp();

 private:
  std::int64_t SearchPlain(const std::string& path, const MatchingLineSink& sink);
  void CheckPoint();

  SearchOptions options_;
  bool hasPattern_ = false;
  std::string pattern_;  // plain mode: the pattern, upper-cased when case is ignored
  std::unique_ptr<TGrep> grep_;
};

}  // namespace kelvane
