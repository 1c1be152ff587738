#pragma once
// JobOutput: what one job of kelvane-grep prints, gathered as CP932 and handed to the ordered output
// converted, a buffer at a time (one conversion per 64 KB instead of one per line). A buffer always
// ends with a whole output line, so no character is cut in two.
#include <atomic>
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

#include "tools/cli_texts.h"
#include "tools/ordered_output.h"

namespace kelvane::tools {

// What the whole run found, set from every thread.
struct RunStatus {
  std::atomic<bool> matched{false};  // a line matched, or a file was (or would be) rewritten
  std::atomic<bool> failed{false};   // an error was reported
};

class JobOutput {
 public:
  static constexpr std::size_t kBuffer = 1 << 16;

  // Takes job (opened in out) over; Close ends it. When an exception passes first, the destructor
  // ends it without what was not yet flushed, so that later jobs are not kept waiting for it.
  JobOutput(OrderedOutput& out, std::uint64_t job, const Texts& t, RunStatus& status)
      : out_(out), t_(t), status_(status), job_(job) {}
  ~JobOutput() {
    if (!closed_) out_.Close(job_);
  }
  JobOutput(const JobOutput&) = delete;
  JobOutput& operator=(const JobOutput&) = delete;

  // PATH:LINENO:LINE and a line feed; path and line are CP932.
  void Line(std::string_view path, std::int64_t lineNo, std::string_view line) {
    char number[24];
    auto end = std::to_chars(number, number + sizeof number, lineNo).ptr;
    text_ += path;
    text_ += ':';
    text_.append(number, end);
    text_ += ':';
    text_ += line;
    text_ += '\n';
    if (text_.size() >= kBuffer) Flush();
  }
  // A CP932 text and a line feed.
  void Text(std::string_view cp932Text) {
    text_ += cp932Text;
    text_ += '\n';
    if (text_.size() >= kBuffer) Flush();
  }
  // An error message, already in the output encoding, after everything printed so far.
  void Error(const std::string& message) {
    Warning(message);
    status_.failed = true;
  }
  // The same without counting as an error (a name the walk had to leave out).
  void Warning(const std::string& message) {
    Flush();
    out_.Write(job_, Stream::kErr, t_.errorLine(message));
  }
  void Flush() {
    if (text_.empty()) return;
    out_.Write(job_, Stream::kOut, t_.cp932(text_));
    text_.clear();
  }
  void Close() {
    if (closed_) return;
    Flush();
    closed_ = true;
    out_.Close(job_);
  }
  const Texts& texts() const { return t_; }

 private:
  OrderedOutput& out_;
  const Texts& t_;
  RunStatus& status_;
  const std::uint64_t job_;
  std::string text_;
  bool closed_ = false;
};

}  // namespace kelvane::tools
