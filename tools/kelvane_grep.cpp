// kelvane-grep: the command-line face of the pattern engine.
//
//   kelvane-grep [options] PATTERN [PATH...]
//
// Searches files and folder trees the way the program's search run does (the one file searcher of
// pattern/file_searcher.h) and prints PATH:LINENO:LINE per matching line; with --in-place and
// --gsub, rewrites the matching lines of the files (tools/in_place.h); or, with --match and --gsub
// alone, applies the string operations to standard input. Text is UTF-8 on the outside and CP932
// inside, unless --raw says that everything already is CP932, messages included. Exit status:
// 0 something matched (or was rewritten), 1 nothing did, 2 an error (also when files could not be
// read and nothing matched; with --in-place, whenever a file could not be handled).
//
// A folder yields the files the target list of the window would hold (filescan/): the same walk,
// the same listing and the same extension filter, so the two never search different files.
//
// Files are searched on -j threads (one per core unless told otherwise). The main thread walks and
// hands out the files and the messages of the walk in walk order, in numbered batches; workers take
// the batches in that order, each with its own searcher, and the ordered output writes what they
// print in batch order, so the output, its interleaving with the messages and the exit status are
// those of one thread.
#include <stdio.h>

#include <atomic>
#include <exception>
#include <iostream>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "filescan/file_access.h"
#include "filescan/kyoutuu.h"
#include "kelvane_version.h"
#include "pattern/awk_str.h"
#include "pattern/file_searcher.h"
#include "pattern/re_chars.h"
#include "platform/files.h"
#include "tools/in_place.h"
#include "tools/job_output.h"
#include "tools/options.h"
#include "tools/work_queue.h"

namespace kelvane::tools {
namespace {

void printError(const Texts& t, const std::string& message) { std::cerr << t.errorLine(message) << std::flush; }

// All of standard input, read a block at a time.
std::string readStandardInput(const Texts& t) {
  std::string text;
  char block[1 << 16];
  std::size_t got;
  while ((got = std::fread(block, 1, sizeof block, stdin)) > 0) text.append(block, got);
  if (std::ferror(stdin)) throw UsageError(t.own(msg::kReadError));
  return text;
}

// A template the engine cannot expand, told apart from an error of the pattern. Raised before any
// input is read, so that a bad template is reported even when nothing would have matched.
class TemplateError : public ERegExpParser {
 public:
  using ERegExpParser::ERegExpParser;
};

void checkTemplate(std::string_view replacement) {
  try {
    TAWKStr::CheckTemplate(replacement);
  } catch (const ERegExpParser& e) {
    throw TemplateError(e.what(), e.ErrorPos);
  }
}

// What the walk hands out, in walk order: a file (for --in-place with where it leads), or a message
// of the walk itself, which takes its place among the files' output.
struct WalkItem {
  std::string path;
  FileTarget target;
  std::string message;  // a message when not empty
  bool error = false;   // the message is an error, not a warning
};

// Consecutive items that one worker takes together, as one job of the ordered output: handing out
// files one by one cost more in locks and wake-ups than the search of a small file.
struct Batch {
  std::uint64_t job = 0;
  std::vector<WalkItem> items;
};

// The ordered output's writer: what goes to standard output is gathered into 64 KB writes (a job's
// output is often one short line), and written out before a message goes to standard error, so the
// two streams interleave as they were produced when they share a terminal or a file.
class StreamWriter {
 public:
  static constexpr std::size_t kBuffer = 1 << 16;
  void operator()(Stream stream, const std::string& text) {
    if (stream == Stream::kOut) {
      pending_ += text;
      if (pending_.size() >= kBuffer) Flush();
      return;
    }
    Flush();
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
  }
  void Flush() {
    if (pending_.empty()) return;
    std::fwrite(pending_.data(), 1, pending_.size(), stdout);
    pending_.clear();
    std::fflush(stdout);
  }

 private:
  std::string pending_;
};

// What one worker owns: a searcher, or for --in-place a rewriter, used by that worker alone.
struct Worker {
  std::unique_ptr<FileSearcher> searcher;
  std::unique_ptr<InPlaceRewriter> rewriter;
};

// Ends the walk once a worker has failed fatally.
struct WalkEnded {};

class GrepTool {
 public:
  // A job not yet at its turn keeps up to 1 MB; finished jobs waiting for theirs keep up to 4 MB.
  // A batch is up to kBatch items; kQueue batches wait for a worker at most.
  static constexpr std::size_t kJobLimit = 1 << 20, kWaitingLimit = 4 << 20, kBatch = 32, kQueue = 64;

  GrepTool(const Options& o, const Texts& t)
      : o_(o), t_(t), out_([this](Stream s, const std::string& text) { writer_(s, text); }, kJobLimit, kWaitingLimit) {}

  int Run() {
    if (o_.onStandardInput()) return RunOnStdin();
    MakeWorkers();
    filter_.emplace(argumentText(t_, o_.ext));
    std::vector<std::string> paths = o_.paths;
    if (paths.empty()) paths.push_back(".");
    try {
      if (workers_.size() == 1) {
        for (const auto& path : paths) SearchArgument(path);
        Hand();
      } else {
        RunThreaded(paths);
      }
    } catch (...) {
      writer_.Flush();  // what was found before the failure is not lost
      throw;
    }
    writer_.Flush();
    if (fatal_) std::rethrow_exception(fatal_);
    if (o_.inPlace) return status_.failed ? 2 : status_.matched ? 0 : 1;
    return status_.matched ? 0 : status_.failed ? 2 : 1;
  }

 private:
  // Every worker compiles the pattern for itself; the first compile reports a bad pattern (before a
  // bad template, as on standard input) and no thread is started before all are made.
  void MakeWorkers() {
    const std::string pattern = argumentText(t_, o_.pattern);
    FileSearcher::WarmUp();
    const unsigned n = o_.threads > 0 ? o_.threads : coreCount();
    if (o_.inPlace) {
      replace_.replacement = argumentText(t_, *o_.gsub);
      replace_.dryRun = o_.dryRun;
      if (o_.backup) replace_.backupSuffix = argumentText(t_, *o_.backup);
      claims_.emplace(replace_.backupSuffix);
    }
    for (unsigned i = 0; i < n; ++i) {
      Worker w;
      if (o_.inPlace) {
        w.rewriter = std::make_unique<InPlaceRewriter>(pattern, o_.fuzzy, replace_);
        if (i == 0) checkTemplate(replace_.replacement);
      } else {
        w.searcher = std::make_unique<FileSearcher>(
            pattern, SearchOptions{.plain = o_.plain, .ignoreCase = o_.ignoreCase, .fuzzy = o_.fuzzy});
      }
      workers_.push_back(std::move(w));
    }
  }

  void RunThreaded(const std::vector<std::string>& paths) {
    queue_.emplace(kQueue);
    std::vector<std::thread> threads;
    for (Worker& w : workers_) {
      threads.emplace_back([this, &w] {
        while (std::optional<Batch> batch = queue_->Pop()) Process(w, *batch);
      });
    }
    try {
      for (const auto& path : paths) SearchArgument(path);
      Hand();
    } catch (const WalkEnded&) {
    } catch (...) {
      Abort(std::current_exception());
    }
    queue_->Close();
    for (std::thread& thread : threads) thread.join();
  }

  // The first fatal failure (running out of memory) ends the run: the walk stops, the files still
  // queued are passed over, and the failure is reported after what was already printed.
  void Abort(std::exception_ptr failure) {
    std::lock_guard<std::mutex> lock(fatalMutex_);
    if (!fatal_) fatal_ = failure;
    aborted_ = true;
  }

  // A folder is walked; anything else is handed to the reader, whose message says why it cannot be
  // read (missing, a fifo, a link that loops, no permission).
  void SearchArgument(const std::string& arg) {
    std::optional<std::string> path = t_.raw() ? std::optional<std::string>(arg) : files::fromNative(arg);
    if (!path) return Message(t_.own(msg::kNotCp932) + arg, true);
    if (files::folderExists(*path)) return WalkFolder(*path);
    Dispatch(*path);
  }

  void WalkFolder(const std::string& root) {
    WalkFolderFiles(root, [this](const std::string& folder, const FileList& list) {
      if (!list.readable) return Message(t_.cp932(list.error), true);
      if (list.leftOut > 0)
        Message(t_.cp932(folder) + ": " + t_.own(msg::kNamesLeftOut) + std::to_string(list.leftOut), false);
      for (const std::string& path : list.paths) {
        if (filter_->wantedCount(path) > 0) Dispatch(path);  // a line is printed once however often wanted
      }
    });
  }

  void Message(const std::string& message, bool error) {
    WalkItem item;
    item.message = message;
    item.error = error;
    Add(std::move(item));
  }

  void Dispatch(const std::string& path) {
    WalkItem item;
    item.path = path;
    if (o_.inPlace) {
      std::optional<FileTarget> target = claims_->Claim(path);
      if (!target) return;  // reached before under another name: rewritten once
      item.target = std::move(*target);
    }
    Add(std::move(item));
  }

  void Add(WalkItem item) {
    batch_.items.push_back(std::move(item));
    if (batch_.items.size() >= kBatch) Hand();
  }

  // The batch gathered so far becomes the next job: queued for the workers, or run here alone.
  void Hand() {
    if (aborted_) throw WalkEnded();
    if (batch_.items.empty()) return;
    Batch batch = std::move(batch_);
    batch_ = Batch();
    batch.job = out_.Open();
    if (queue_) return queue_->Push(std::move(batch));
    Process(workers_.front(), batch);
  }

  void Process(Worker& w, const Batch& batch) {
    JobOutput job(out_, batch.job, t_, status_);
    try {
      for (const WalkItem& item : batch.items) {
        if (aborted_) return;
        if (!item.message.empty()) {
          item.error ? job.Error(item.message) : job.Warning(item.message);
        } else if (w.rewriter) {
          w.rewriter->Rewrite(item.target, job, status_);
        } else {
          SearchFile(*w.searcher, item.path, job);
        }
      }
      job.Close();
    } catch (...) {
      if (!queue_) throw;
      Abort(std::current_exception());
    }
  }

  void SearchFile(FileSearcher& searcher, const std::string& path, JobOutput& job) {
    try {
      if (searcher.Search(path, [&](std::int64_t lineNo, std::string_view line) { job.Line(path, lineNo, line); }) > 0)
        status_.matched = true;
    } catch (const std::runtime_error& e) {
      job.Error(t_.cp932(e.what()));
    }
  }

  int RunOnStdin() {
    TAWKStr awk;
    awk.LineSeparator = o_.lf ? mcls_LF : mcls_CRLF;
    awk.SetRegExp(argumentText(t_, o_.pattern));
    awk.SetUseFuzzyCharDic(o_.fuzzy);
    std::string replacement;
    if (o_.gsub) {
      replacement = argumentText(t_, *o_.gsub);
      checkTemplate(replacement);
    }
    std::string text = readStandardInput(t_);
    if (!t_.raw()) {
      cp932::Converted c = cp932::fromUtf8(text);
      if (!c.ok()) throw UsageError(t_.own(msg::kStdinNotUtf8));
      text = std::move(c.text);
    }
    if (o_.match) {
      int position = 0, length = 0;
      awk.Match(text, position, length);
      std::printf("%d %d\n", position, length);
      std::fflush(stdout);
      return position > 0 ? 0 : 1;
    }
    int count = awk.GSub(replacement, text);
    const std::string out = t_.cp932(text);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
    return count > 0 ? 0 : 1;
  }

  const Options& o_;
  const Texts& t_;
  OrderedOutput out_;
  RunStatus status_;
  std::vector<Worker> workers_;
  ReplaceOptions replace_;
  std::optional<TargetClaims> claims_;
  std::optional<ExtensionFilter> filter_;
  StreamWriter writer_;
  Batch batch_;                            // what the walk gathers for the next job
  std::optional<WorkQueue<Batch>> queue_;  // only with more than one worker
  std::mutex fatalMutex_;
  std::exception_ptr fatal_;
  std::atomic<bool> aborted_{false};
};

// The engine's message and the 1-based byte position (in CP932) it names.
std::string syntaxError(const Texts& t, const ERegExpParser& e) {
  return t.cp932(e.what()) + t.own(msg::kPosition) + std::to_string(e.ErrorPos) + ")";
}

// A full disk or a closed output must not pass for success.
int checkOutput(const Texts& t, int status) {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    printError(t, t.own(msg::kWriteError));
    return 2;
  }
  return status;
}

int run(int argc, char** argv) {
  const Texts t(hasOption(argc, argv, "--raw"));
  try {
    if (hasOption(argc, argv, "--help")) {
      std::fputs(t.own(msg::kUsage).c_str(), stdout);
      return checkOutput(t, 0);
    }
    if (hasOption(argc, argv, "--version")) {
      std::printf("kelvane-grep %s\n", kKelvaneVersion);
      return checkOutput(t, 0);
    }
    Options o = parseOptions(t, argc, argv);
    return checkOutput(t, GrepTool(o, t).Run());
  } catch (const UsageError& e) {
    printError(t, e.what());
    if (e.what() == t.own(msg::kNoPattern)) std::cerr << t.own(msg::kUsage);
  } catch (const TemplateError& e) {
    printError(t, t.own(msg::kTemplate) + syntaxError(t, e));
  } catch (const ERegExpParser& e) {
    printError(t, syntaxError(t, e));
  } catch (const std::bad_alloc&) {
    printError(t, t.own(msg::kNoMemory));
  } catch (const std::exception& e) {
    printError(t, t.cp932(e.what()));
  }
  return 2;
}

}  // namespace
}  // namespace kelvane::tools

int main(int argc, char** argv) { return kelvane::tools::run(argc, argv); }
