// The search run: the four triggers with their history push, and RunSearch over the checked files of
// the target list through the window's file searcher, staged and moved into the result list at the
// end.
#include "workspace/search_run.h"

#include <algorithm>
#include <charconv>

#include "filescan/kyoutuu.h"
#include "pattern/file_searcher.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "workspace/texts.h"
#include "workspace/workspace.h"

namespace kelvane {

namespace {

bool isDocFile(const std::string& path) { return cp932::upper(fileExtension(path)) == ".DOC"; }

// A match row: "【", the line number, "列目】", then the line, with lineBreak between them in pattern
// mode. Built in one allocation: a run over a large tree makes hundreds of thousands of them.
// lineOffset receives where the line begins in the row.
std::string matchRow(std::int64_t lineNo, std::string_view lineBreak, std::string_view line, std::uint32_t& lineOffset) {
  const WorkspaceTexts& t = texts();
  char number[24];
  char* end = std::to_chars(number, number + sizeof number, lineNo).ptr;
  std::string row;
  row.reserve(t.lineOpen.size() + (end - number) + t.lineClose.size() + lineBreak.size() + line.size());
  row.append(t.lineOpen).append(number, end).append(t.lineClose).append(lineBreak);
  lineOffset = static_cast<std::uint32_t>(row.size());
  row.append(line);
  return row;
}

constexpr std::string_view kPatternLineBreak = "\r\n";

}  // namespace

void SearchRun::ComboBox1KeyPress(char key) {
  HistoryBox& box = ws_.ComboBox1;
  if (key != 13 || box.editText().empty() || running_) return;
  box.pushFront(box.editText());
  if (ws_.CheckedFileCount == 0) {
    ws_.showTransientStatus(texts().noFileSelected);
    return;
  }
  RunSearch();
}

void SearchRun::ComboBox1Select(int index) {
  if (running_ || index < 0 || index >= ws_.ComboBox1.count()) return;
  ws_.ComboBox1.moveToFront(index);
  // The folder box is pick-only: it shows its selected entry, and nothing when none is selected (as
  // after its entries were replaced), whatever text it showed before.
  const int folder = ws_.ComboBox2.selectedIndex();
  if (folder >= 0 && !ws_.ComboBox2.item(folder).empty()) RunSearch();
}

void SearchRun::ToolButton1Click() {
  if (running_) return;
  if (ws_.CheckedFileCount == 0) {
    ws_.showTransientStatus(texts().noFileSelected);
    return;
  }
  ws_.ComboBox1.pushFront(ws_.ComboBox1.editText());
  RunSearch();
}

void SearchRun::Find1Click() {
  if (running_) return;
  if (ws_.CheckListBox1.empty()) {
    ws_.showTransientStatus(texts().noFileSelected);
    return;
  }
  ws_.ComboBox1.pushFront(ws_.ComboBox1.editText());
  RunSearch();
}

void SearchRun::stop() {
  if (!running_) return;
  stopRequested_ = true;
  ws_.Grep2.Cancel = true;
}

void SearchRun::Grep2Match(std::int64_t lineNo, std::string_view line) { stageMatch(lineNo, line); }

void SearchRun::stageFile(const std::string& path) {
  CheckRow header{"\"" + path + "\"" + texts().resultSuffix, true, false};
  header.record = ws_.results_.addFile(path);
  staged_.push_back(std::move(header));
}

void SearchRun::stageMatch(std::int64_t lineNo, std::string_view line) {
  std::uint32_t offset = 0;
  CheckRow row{matchRow(lineNo, lineBreak_, line, offset), false, true};
  row.record = ws_.results_.addLine(static_cast<std::uint32_t>(lineNo), offset);
  staged_.push_back(std::move(row));
}

void SearchRun::clearResults() {
  ws_.setUndo(undo::Nothing{});
  ws_.CheckListBox3.clear();
  ws_.results_.clear();
  staged_.clear();
}

// Steps 1 to 5: false when the run ends before any file is searched.
bool SearchRun::prepareRun(std::string& pattern) {
  const WorkspaceTexts& t = texts();
  clearResults();
  ws_.showTab(kTabResult);
  HistoryBox& box = ws_.ComboBox1;
  if (box.editText().empty()) {
    const std::optional<std::string> answer = ws_.ui().inputBox(t.inputCaption, t.inputPrompt, "");
    if (!answer || answer->empty()) return false;
    box.pushFront(*answer);
  }
  // A refused rebuild has said why; the run still says that nothing is there to search.
  if (ws_.CheckListBox1.empty() && ws_.ComboBox2.count() > 0) ws_.BuildTargetList();
  ws_.setUndo(undo::Nothing{});
  const int selected = box.selectedIndex();
  if (ws_.CheckListBox1.empty()) {
    ws_.ui().showMessage(t.noTargetFiles);
    return false;
  }
  if (selected < 0 || box.item(selected).empty()) {
    ws_.ui().showMessage(t.noPattern);
    return false;
  }
  pattern = box.editText();
  return true;
}

// What a run decides at its start and keeps to its end: the mode, the case rule, the fuzzy option.
void SearchRun::takeSettings() {
  const Settings& s = ws_.settings;
  regexp_ = s.UseRegExp;
  options_ = SearchOptions{!regexp_, !s.CaseSensitive, s.FuzzyDic};
  lineBreak_ = regexp_ ? kPatternLineBreak : std::string_view();
}

void SearchRun::RunSearch() {
  if (running_) return;
  std::string pattern;
  if (!prepareRun(pattern)) return;
  struct Running {
    bool& flag;
    explicit Running(bool& f) : flag(f) { flag = true; }
    ~Running() { flag = false; }
  } running(running_);
  stopRequested_ = false;
  skipped_.clear();
  takeSettings();
  FileSearcher& searcher = ws_.Grep2;
  // The searcher clears its Cancel flag when a file begins; a stop asked for in a pump sets it again.
  searcher.ProcessMessages = [this] {
    ws_.ui().processMessages();
    if (stopRequested_) ws_.Grep2.Cancel = true;
  };
  bool stopped = false;
  try {
    searcher.SetPattern(pattern, options_);
    const CheckList& targets = ws_.CheckListBox1;
    const int n = targets.count();
    for (int i = 0; i < n && !stopped; ++i) {
      ws_.setStatusText(searchProgressText(n > 1 ? static_cast<int>(10.0 * i / (n - 1)) : 10));
      const CheckRow& row = targets.row(i);
      const std::string* path = ws_.targetPaths_.find(row);
      if (row.header || !row.checked || !path || !files::fileExists(*path)) continue;
      try {
        searchFile(*path);
      } catch (const EGrepCancel&) {
        stopped = true;
      }
      if (!staged_.empty() && staged_.back().header) staged_.pop_back();
      stopped = stopped || stopRequested_;
    }
  } catch (const ERegExpParser& error) {
    // A pattern that does not compile ends the run with nothing shown.
    ws_.setStatusText("");
    ws_.ui().showError(error.what());
    return;
  }
  finishRun(pattern, stopped);
}

void SearchRun::searchFile(const std::string& path) {
  stageFile(path);
  if (regexp_ && isDocFile(path)) {
    ws_.ui().showMessage(texts().docMessage);
    return;
  }
  if (stopRequested_) throw EGrepCancel();
  try {
    ws_.Grep2.Search(path, [this](std::int64_t lineNo, std::string_view line) { Grep2Match(lineNo, line); });
  } catch (const EInOutError& error) {
    // One unreadable file does not cost the user the results of all the others.
    skipped_.push_back(error.what());
  }
}

void SearchRun::ShowSearchResults(const std::string& pattern, const std::vector<FoundFile>& found) {
  if (running_) return;
  clearResults();
  takeSettings();
  for (const FoundFile& file : found) {
    if (file.lines.empty()) continue;
    stageFile(file.path);
    for (const FoundLine& line : file.lines) stageMatch(line.lineNo, line.line);
  }
  finishRun(pattern, false);
}

// Steps 8 and 9: the staged rows shown, measured and selected, and the run's last word.
void SearchRun::finishRun(const std::string& pattern, bool stopped) {
  const WorkspaceTexts& t = texts();
  CheckList& list = ws_.CheckListBox3;
  UiPort& ui = ws_.ui();
  {
    CheckList::Batch copy(list);
    // The staged rows move into the list: a run over a large tree is held once, not twice, and
    // without the slack the growing vectors left.
    staged_.shrink_to_fit();
    ws_.results_.shrink();
    list.assign(std::move(staged_));
    staged_ = {};
    if (!list.empty()) ws_.setUndo(undo::Unmarked{});
    int widest = 0;
    for (const CheckRow& row : list.rows()) widest = std::max(widest, ui.textWidth(ListId::kResult, row.text));
    list.setHorizontalExtent(ui.rowHeight(ListId::kResult) + widest);
    if (!list.empty()) list.setSelectedIndex(0);
  }
  ws_.showTab(kTabResult);
  ws_.enableTimer1();
  // The text searched for, not what the box holds now: the user may have typed into it while the
  // run let the window handle events.
  ws_.LastSearchText = pattern;
  ws_.LastSearchOptions = options_;
  if (stopped) {
    ws_.setStatusText(t.searchStopped);
  } else {
    if (list.empty()) ui.showMessage("\"" + ws_.LastSearchText + "\"" + t.notFound);
    ws_.setStatusText(t.searchDone);
  }
  if (!skipped_.empty()) {
    const std::string message = listedEntriesText(t.skippedFiles, skipped_);
    skipped_.clear();
    ui.showError(message);
  }
}

// ---- the window's handlers ----

void Workspace::ComboBox1KeyPress(char key) { searchRun_.ComboBox1KeyPress(key); }
void Workspace::ComboBox1Select(int index) { searchRun_.ComboBox1Select(index); }
void Workspace::ToolButton1Click() { searchRun_.ToolButton1Click(); }
void Workspace::Find1Click() { searchRun_.Find1Click(); }
void Workspace::RunSearch() { searchRun_.RunSearch(); }
void Workspace::Grep2Match(std::int64_t lineNo, std::string_view line) { searchRun_.Grep2Match(lineNo, line); }
void Workspace::ShowSearchResults(const std::string& pattern, const std::vector<FoundFile>& found) {
  searchRun_.ShowSearchResults(pattern, found);
}
bool Workspace::SearchRunning() const { return searchRun_.running(); }
int Workspace::stagedRowCount() const { return searchRun_.stagedRowCount(); }
void Workspace::StopSearch() { searchRun_.stop(); }

}  // namespace kelvane
