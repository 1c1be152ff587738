#include "pattern/file_searcher.h"

#include <stdexcept>

#include "pattern/grep.h"
#include "pattern/plain_text.h"
#include "pattern/re_chars.h"
#include "pattern/re_preprocessor.h"
#include "platform/cp932.h"
#include "platform/files.h"

namespace kelvane {

FileSearcher::FileSearcher() = default;

FileSearcher::FileSearcher(std::string_view pattern, const SearchOptions& options) { SetPattern(pattern, options); }

FileSearcher::~FileSearcher() = default;

void FileSearcher::SetPattern(std::string_view pattern, const SearchOptions& options) {
  hasPattern_ = false;
  options_ = options;
  if (options.plain) {
    pattern_ = options.ignoreCase ? cp932::upper(pattern) : std::string(pattern);
    hasPattern_ = true;
    return;
  }
  pattern_.clear();
  if (!grep_) grep_ = std::make_unique<TGrep>();
  // The switch first: set after the pattern it would compile the pattern a second time, in its
  // expanded form, and a pattern only that form makes too complex would fail late. The switch
  // re-compiles the pattern it finds, so a searcher used again (the window's) empties it first:
  // the last search's pattern, under the new switch, must neither cost a compile nor fail for it.
  if (grep_->UseFuzzyCharDic() != options.fuzzy) {
    grep_->SetRegExp("");
    grep_->SetUseFuzzyCharDic(options.fuzzy);
  }
  grep_->SetRegExp(pattern);
  hasPattern_ = true;
}

std::int64_t FileSearcher::Search(const std::string& path, const MatchingLineSink& sink) {
  if (!hasPattern_) throw std::logic_error("FileSearcher: Search called before a pattern was set");
  Cancel = false;
  if (options_.plain) return SearchPlain(path, sink);
  std::int64_t reported = 0;
  grep_->ProcessMessages = [this] {
    if (ProcessMessages) ProcessMessages();
    // The reader checks the grep's own flag; ours is the one callers set.
    if (Cancel) grep_->Cancel = true;
  };
  grep_->OnMatch = [&](TGrep&, const RE_LineInfo_t& line) {
    ++reported;
    sink(line.LineNo, line.Line);
    if (Cancel) grep_->Cancel = true;
  };
  grep_->Grep(path);
  return reported;
}

std::int64_t FileSearcher::SearchPlain(const std::string& path, const MatchingLineSink& sink) {
  CheckPoint();
  std::int64_t reported = 0;
  std::string upper;
  bool reading = true;  // a FileError from the sink or a check point is theirs, not the reader's
  try {
    forEachLine(path, [&](std::string_view line, std::int64_t lineNo) {
      reading = false;
      const std::string_view tested = options_.ignoreCase ? std::string_view(upper = cp932::upper(line)) : line;
      if (findOnBoundary(tested, pattern_) != std::string_view::npos) {
        ++reported;
        sink(lineNo, line);
      }
      if (lineNo % kPlainCheckLines == 0 || Cancel) CheckPoint();
      reading = true;
      return true;
    });
  } catch (const files::FileError& e) {
    if (!reading) throw;
    // One exception for an unreadable file, whichever face read it.
    throw EInOutError(e.what());
  }
  return reported;
}

void FileSearcher::CheckPoint() {
  if (ProcessMessages) ProcessMessages();
  if (Cancel) throw EGrepCancel();
}

void FileSearcher::WarmUp() {
  (void)FuzzyCharDic();
  (void)MessageText(RegExpMessage::InvalidDoubleByte);
  (void)cp932::toUtf8("\x82\xa0");
  (void)cp932::fromUtf8("\xe3\x81\x82");
  (void)cp932::upper("a");
}

}  // namespace kelvane
