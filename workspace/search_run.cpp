// The search run: the four triggers with their history push, and RunSearch over the checked files of
// the target list with the pattern engine (Grep2) or as plain text, staged in the hidden list and
// copied into the result list at the end.
#include <algorithm>
#include <charconv>
#include <string_view>

#include "filescan/kyoutuu.h"
#include "pattern/plain_text.h"
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

// Lines between two looks at the stop button in a plain-text search.
constexpr std::int64_t kPlainPumpLines = 4096;

}  // namespace

void Workspace::ComboBox1KeyPress(char key) {
  if (key != 13 || ComboBox1.editText().empty() || running_) return;
  ComboBox1.pushFront(ComboBox1.editText());
  if (CheckedFileCount == 0) {
    showTransientStatus(texts().noFileSelected);
    return;
  }
  RunSearch();
}

void Workspace::ComboBox1Select(int index) {
  if (running_ || index < 0 || index >= ComboBox1.count()) return;
  ComboBox1.moveToFront(index);
  // The folder box is pick-only: it shows its selected entry, and nothing when none is selected (as
  // after its entries were replaced), whatever text it showed before.
  const int folder = ComboBox2.selectedIndex();
  if (folder >= 0 && !ComboBox2.item(folder).empty()) RunSearch();
}

void Workspace::ToolButton1Click() {
  if (running_) return;
  if (CheckedFileCount == 0) {
    showTransientStatus(texts().noFileSelected);
    return;
  }
  ComboBox1.pushFront(ComboBox1.editText());
  RunSearch();
}

void Workspace::Find1Click() {
  if (running_) return;
  if (CheckListBox1.empty()) {
    showTransientStatus(texts().noFileSelected);
    return;
  }
  ComboBox1.pushFront(ComboBox1.editText());
  RunSearch();
}

void Workspace::StopSearch() {
  if (!running_) return;
  stopRequested_ = true;
  Grep2.Cancel = true;
}

void Workspace::Grep2Match(TGrep&, const RE_LineInfo_t& info) { stageMatch(info.LineNo, "\r\n", info.Line); }

void Workspace::stageFile(const std::string& path) {
  CheckRow header{"\"" + path + "\"" + texts().resultSuffix, true, false};
  header.record = results_.addFile(path);
  staged_.push_back(std::move(header));
}

void Workspace::stageMatch(std::int64_t lineNo, std::string_view lineBreak, std::string_view line) {
  std::uint32_t offset = 0;
  CheckRow row{matchRow(lineNo, lineBreak, line, offset), false, true};
  row.record = results_.addLine(static_cast<std::uint32_t>(lineNo), offset);
  staged_.push_back(std::move(row));
}

// Steps 1 to 5: false when the run ends before any file is searched.
bool Workspace::prepareRun(std::string& pattern) {
  const WorkspaceTexts& t = texts();
  setUndo(undo::Nothing{});
  CheckListBox3.clear();
  results_.clear();
  staged_.clear();
  showTab(kTabResult);
  if (ComboBox1.editText().empty()) {
    const std::optional<std::string> answer = ui_.inputBox(t.inputCaption, t.inputPrompt, "");
    if (!answer || answer->empty()) return false;
    ComboBox1.pushFront(*answer);
  }
  // A refused rebuild has said why; the run still says that nothing is there to search.
  if (CheckListBox1.empty() && ComboBox2.count() > 0) BuildTargetList();
  setUndo(undo::Nothing{});
  const int selected = ComboBox1.selectedIndex();
  if (CheckListBox1.empty()) {
    ui_.showMessage(t.noTargetFiles);
    return false;
  }
  if (selected < 0 || ComboBox1.item(selected).empty()) {
    ui_.showMessage(t.noPattern);
    return false;
  }
  pattern = ComboBox1.editText();
  return true;
}

void Workspace::RunSearch() {
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
  Grep2.OnMatch = [this](TGrep& sender, const RE_LineInfo_t& info) { Grep2Match(sender, info); };
  Grep2.ProcessMessages = [this] { ui_.processMessages(); };
  bool stopped = false;
  try {
    if (settings.UseRegExp) assignPattern(Grep2, pattern, settings.FuzzyDic);
    const int n = CheckListBox1.count();
    for (int i = 0; i < n && !stopped; ++i) {
      setStatusText(searchProgressText(n > 1 ? static_cast<int>(10.0 * i / (n - 1)) : 10));
      const CheckRow& row = CheckListBox1.row(i);
      const std::string* path = targetPaths_.find(row);
      if (row.header || !row.checked || !path || !files::fileExists(*path)) continue;
      try {
        searchFile(*path, pattern);
      } catch (const EGrepCancel&) {
        stopped = true;
      }
      if (!staged_.empty() && staged_.back().header) staged_.pop_back();
      stopped = stopped || stopRequested_;
    }
  } catch (const ERegExpParser& error) {
    // A pattern that does not compile ends the run with nothing shown.
    setStatusText("");
    ui_.showError(error.what());
    return;
  }
  finishRun(pattern, stopped);
}

void Workspace::searchFile(const std::string& path, const std::string& pattern) {
  stageFile(path);
  if (!settings.UseRegExp) {
    searchPlain(path, pattern);
    return;
  }
  if (isDocFile(path)) {
    ui_.showMessage(texts().docMessage);
    return;
  }
  if (stopRequested_) throw EGrepCancel();
  try {
    Grep2.Grep(path);
  } catch (const EInOutError& error) {
    // One unreadable file does not cost the user the results of all the others.
    skipped_.push_back(error.what());
  }
}

void Workspace::searchPlain(const std::string& path, const std::string& pattern) {
  ui_.processMessages();
  if (stopRequested_) throw EGrepCancel();
  // PlainLineMatch's test, with the pattern upper-cased once per file instead of once per line.
  const bool exact = settings.CaseSensitive;
  const std::string wanted = exact ? pattern : cp932::upper(pattern);
  try {
    forEachLine(path, [&](std::string_view line, std::int64_t lineNo) {
      const bool found = exact ? findOnBoundary(line, wanted) != std::string_view::npos
                               : findOnBoundary(cp932::upper(line), wanted) != std::string_view::npos;
      if (found) stageMatch(lineNo, {}, line);
      if (lineNo % kPlainPumpLines == 0) ui_.processMessages();
      return !stopRequested_;
    });
  } catch (const files::FileError& error) {
    skipped_.push_back(error.what());
  }
  if (stopRequested_) throw EGrepCancel();
}

void Workspace::ShowSearchResults(const std::string& pattern, const std::vector<FoundFile>& found) {
  if (running_) return;
  setUndo(undo::Nothing{});
  CheckListBox3.clear();
  results_.clear();
  staged_.clear();
  const std::string_view lineBreak = settings.UseRegExp ? "\r\n" : "";
  for (const FoundFile& file : found) {
    if (file.lines.empty()) continue;
    stageFile(file.path);
    for (const FoundLine& line : file.lines) stageMatch(line.lineNo, lineBreak, line.line);
  }
  finishRun(pattern, false);
}

// Steps 8 and 9: the staged rows shown, measured and selected, and the run's last word.
void Workspace::finishRun(const std::string& pattern, bool stopped) {
  const WorkspaceTexts& t = texts();
  {
    CheckList::Batch copy(CheckListBox3);
    // The staged rows move into the list: a run over a large tree is held once, not twice, and
    // without the slack the growing vectors left.
    staged_.shrink_to_fit();
    results_.shrink();
    CheckListBox3.assign(std::move(staged_));
    staged_ = {};
    if (!CheckListBox3.empty()) setUndo(undo::Unmarked{});
    int widest = 0;
    for (const CheckRow& row : CheckListBox3.rows())
      widest = std::max(widest, ui_.textWidth(ListId::kResult, row.text));
    CheckListBox3.setHorizontalExtent(ui_.rowHeight(ListId::kResult) + widest);
    if (!CheckListBox3.empty()) CheckListBox3.setSelectedIndex(0);
  }
  showTab(kTabResult);
  enableTimer1();
  // The text searched for, not what the box holds now: the user may have typed into it while the
  // run let the window handle events.
  LastSearchText = pattern;
  if (stopped) {
    setStatusText(t.searchStopped);
  } else {
    if (CheckListBox3.empty()) ui_.showMessage("\"" + LastSearchText + "\"" + t.notFound);
    setStatusText(t.searchDone);
  }
  if (!skipped_.empty()) {
    const std::string message = listedEntriesText(t.skippedFiles, skipped_);
    skipped_.clear();
    ui_.showError(message);
  }
}

}  // namespace kelvane
