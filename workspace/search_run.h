#pragma once
// The search run of the main window: the four triggers with their history push, and the run over
// the checked files of the target list. Each file is searched by the window's file searcher Grep2
// (pattern/file_searcher.h, the searcher kelvane-grep uses), in pattern mode or as plain text; the
// rows are staged and moved into the result list when the run ends.
//
// While a run goes on it lets the window handle events (the searcher's check points), so the window
// repaints and the stop button works; the triggers, and the target list's rebuild, do nothing until
// it ends.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pattern/file_searcher.h"
#include "workspace/check_list.h"

namespace kelvane {

class Workspace;

// One file a search found, with its matching lines (1-based numbers, ascending).
struct FoundLine {
  std::int64_t lineNo = 0;
  std::string line;
};
struct FoundFile {
  std::string path;
  std::vector<FoundLine> lines;
};

class SearchRun {
 public:
  explicit SearchRun(Workspace& ws) : ws_(ws) {}
  SearchRun(const SearchRun&) = delete;
  SearchRun& operator=(const SearchRun&) = delete;

  void ComboBox1KeyPress(char key);
  void ComboBox1Select(int index);
  void ToolButton1Click();
  void Find1Click();
  void RunSearch();
  // The sink of Grep2 in pattern mode: one match row for a matching line.
  void Grep2Match(std::int64_t lineNo, std::string_view line);
  void ShowSearchResults(const std::string& pattern, const std::vector<FoundFile>& found);
  bool running() const { return running_; }
  int stagedRowCount() const { return static_cast<int>(staged_.size()); }
  void stop();

 private:
  // The trigger's guard (with the history push in its order); whether the run may start.
  bool prepareRun(std::string& pattern);
  void takeSettings();
  void searchFile(const std::string& path);
  void finishRun(const std::string& pattern, bool stopped);
  void clearResults();
  void stageFile(const std::string& path);
  void stageMatch(std::int64_t lineNo, std::string_view line);

  Workspace& ws_;
  bool running_ = false;
  bool stopRequested_ = false;
  // What a run decided at its start: the options dialog may change the settings while it runs.
  bool regexp_ = true;
  SearchOptions options_;
  std::string_view lineBreak_;  // between a match row's label and its line: CR LF in pattern mode
  std::vector<CheckRow> staged_;      // the rows of a running search, shown when it ends
  std::vector<std::string> skipped_;  // files a run could not read, with the reason
};

}  // namespace kelvane
