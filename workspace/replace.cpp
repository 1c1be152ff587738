// Replacing in two steps. The preview rewrites only the rows of the result list: the user then
// decides line by line, with the check marks, which replacements are wanted. The overwrite applies
// the replacement to the checked lines of the files themselves, one file at a time after a
// confirmation each, and keeps a byte-for-byte copy of every file below the temporary folder first.
//
// The overwrite trusts nothing it read earlier: each checked line must still hold the text the search
// found (the unreplaced text of its row), or the file is left alone and named afterwards. A file
// whose text ends at a NUL byte is copied but never rewritten from its lines, which would cut it.
#include <algorithm>

#include "platform/files.h"
#include "platform/line_list.h"
#include "workspace/row_text.h"
#include "workspace/texts.h"
#include "workspace/workspace.h"

namespace kelvane {

namespace {

bool lastRowIs(const CheckList& list, const std::string& marker) {
  return !list.empty() && list.text(list.count() - 1) == marker;
}

// The length of a match row's label: up to and including the first "列目】", and the CR LF right after
// it in pattern mode. The rest of the row is the line text, the only part a replacement touches.
std::size_t labelLength(const std::string& row) {
  const std::string& close = texts().lineClose;
  const std::size_t at = row.find(close);
  if (at == std::string::npos) return 0;
  std::size_t end = at + close.size();
  if (row.compare(end, 2, "\r\n") == 0) end += 2;
  return end;
}

// The search's progress bar with "上書き中" in place of "検索中".
std::string overwriteProgressText(int marks) {
  const WorkspaceTexts& t = texts();
  std::string text = searchProgressText(marks);
  return text.substr(0, text.size() - t.searching.size()) + t.overwriting;
}

}  // namespace

// One file of the overwrite: its path and, per checked row, the line number and the line text the
// search found there.
struct Workspace::FileWork {
  std::string path;
  std::vector<std::pair<int, std::string>> lines;
};

// FNV-1a: enough to tell whether a file still holds what the overwrite wrote.
std::uint64_t Workspace::writtenHash(std::string_view bytes) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  for (unsigned char c : bytes) h = (h ^ c) * 0x100000001b3ull;
  return h;
}

void Workspace::ToolButton10Click() { ReplacePreview(); }
void Workspace::Replace1Click() { ReplacePreview(); }
void Workspace::N12Click() { OverwriteFiles(); }
void Workspace::OverWriteBClick() { OverwriteFiles(); }

// The pattern the replacement works with: LastSearchText, also after a plain-text search. The fuzzy
// option is that of the search (never whatever the painting of some row last left behind), so the
// preview and the overwrite replace what the search found. Raises ERegExpParser.
void Workspace::setReplacePattern() {
  AWKStr1.SetRegExp(LastSearchText);
  const bool fuzzy = settings.UseRegExp && settings.FuzzyDic;
  if (AWKStr1.UseFuzzyCharDic() != fuzzy) AWKStr1.SetUseFuzzyCharDic(fuzzy);
}

void Workspace::ReplacePreview() {
  const WorkspaceTexts& t = texts();
  if (LastSearchText.empty()) {
    showTransientStatus(t.noSearchYet);
    return;
  }
  const std::optional<std::string> answer = ui_.inputBox(t.replaceCaption, t.replacePrompt, "");
  if (!answer) return;
  try {
    setReplacePattern();
    if (lastRowIs(CheckListBoxUNDO, t.markerReplace)) {
      ui_.showMessage(t.previewAgainBefore + LastSearchText + "\r\n" + t.previewAgainAfter);
      Undo();
      setReplacePattern();
    }
  } catch (const ERegExpParser& error) {
    ui_.showError(error.what());
    return;
  }
  const std::vector<CheckRow>& rows = CheckListBox3.rows();
  std::vector<CheckRow> shown = rows;
  std::vector<CheckRow> other;
  other.reserve(rows.size() + 1);
  std::vector<std::string> unreplaced(rows.size());
  int widest = 0;
  try {
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const CheckRow& row = rows[i];
      if (row.header) {
        other.push_back({row.text, true, false});
        continue;
      }
      const std::size_t label = labelLength(row.text);
      unreplaced[i] = row.text.substr(label);
      std::string line = unreplaced[i];
      AWKStr1.GSub(*answer, line);
      std::string replaced = row.text.substr(0, label) + line;
      if (line != unreplaced[i]) widest = std::max(widest, ui_.textWidth(ListId::kResult, replaced));
      // A checked row shows the replaced text, an unchecked one its unreplaced text; the hidden row
      // at the same index holds the other one.
      if (row.checked) {
        other.push_back({row.text, false, true});
        shown[i].text = std::move(replaced);
      } else {
        other.push_back({std::move(replaced), false, false});
      }
    }
  } catch (const ERegExpParser& error) {
    // A broken template: the rows stay as they were and there is nothing to overwrite or undo.
    CheckListBoxUNDO.assign(std::move(other));
    ui_.showError(error.what());
    return;
  }
  other.push_back({t.markerReplace, false, false});
  CheckListBoxUNDO.assign(std::move(other));
  {
    CheckList::Batch batch(CheckListBox3);
    const int extent = CheckListBox3.horizontalExtent();
    CheckListBox3.assign(std::move(shown));
    CheckListBox3.setHorizontalExtent(std::max(extent, ui_.rowHeight(ListId::kResult) + widest));
  }
  unreplaced_ = std::move(unreplaced);
  setEnabled({"undoB", "Repeat1", "N12", "OverWriteB"}, true);
  changed();
  ui_.showMessage(t.previewDone);
  ReplaceText = *answer;
  ReplacePending = true;
  showTab(kTabResult);
  if (!CheckListBox3.empty()) CheckListBox3.setSelectedIndex(0);
  changed();
}

// Step 3 of the overwrite: the work list, in the hidden list (a file entry is a header row holding the
// path, a line-number entry a plain row holding the number, so the one is never taken for the other)
// and, with the line texts to check, in memory.
std::vector<Workspace::FileWork> Workspace::overwriteWork() {
  std::vector<FileWork> work;
  CheckList::Batch batch(CheckListBoxUNDO);
  CheckListBoxUNDO.clear();
  const std::vector<CheckRow>& rows = CheckListBox3.rows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const CheckRow& row = rows[i];
    if (row.header) {
      work.push_back({headerRowPath(row.text), {}});
      CheckListBoxUNDO.add(work.back().path, true, false);
    } else if (row.checked && !work.empty()) {
      const int lineNo = matchRowLineNumber(row.text);
      if (lineNo < 1) continue;
      // A row without its unreplaced text on record can match no line: its file is left alone.
      std::string expected = i < unreplaced_.size() ? unreplaced_[i] : std::string("\n");
      work.back().lines.emplace_back(lineNo, std::move(expected));
      CheckListBoxUNDO.add(std::to_string(lineNo));
    }
  }
  return work;
}

// One file: read, checked against what the search found, copied, and with checked lines asked about
// and written. A file left alone goes to refused with its reason. False when the overwrite must stop
// (a copy or the file could not be written; the error has been shown).
bool Workspace::overwriteOne(const FileWork& work, std::vector<std::string>& refused) {
  const WorkspaceTexts& t = texts();
  files::LineFile file;
  try {
    file = files::readLines(work.path);
  } catch (const files::FileError& error) {
    refused.push_back(error.notFound() ? work.path + t.reasonGone : error.what());
    return true;
  }
  if (!file.cutAtNul) {
    for (const auto& [lineNo, expected] : work.lines) {
      if (lineNo > static_cast<int>(file.lines.size())) {
        refused.push_back(work.path + t.reasonShorter);
        return true;
      }
      if (file.lines[lineNo - 1] != expected) {
        refused.push_back(work.path + t.reasonChanged);
        return true;
      }
    }
  }
  OverwriteRecord record{work.path, files::tempCopyPath(tempFolder(), work.path)};
  try {
    files::makeCopy(file, record.copy);
  } catch (const files::FileError& error) {
    ui_.showError(error.what());
    return false;
  }
  overwritten_.push_back(record);
  CheckListBoxUNDO.add(record.copy);
  if (work.lines.empty()) return true;
  if (file.cutAtNul) {
    refused.push_back(work.path + t.reasonNul);
    return true;
  }
  // Painting the list (while a box was shown) gives AWKStr1 its own patterns: set the search's again.
  setReplacePattern();
  for (const auto& [lineNo, expected] : work.lines) AWKStr1.GSub(ReplaceText, file.lines[lineNo - 1]);
  if (!ui_.confirmOkCancel(work.path + "\r\n" + t.askReplaceFile)) return true;
  const std::string bytes = files::joinLines(file.lines);
  try {
    files::writeFile(work.path, bytes);
  } catch (const files::FileError& error) {
    ui_.showError(error.what());
    return false;
  }
  overwritten_.back().written = true;
  overwritten_.back().size = bytes.size();
  overwritten_.back().hash = writtenHash(bytes);
  return true;
}

void Workspace::OverwriteFiles() {
  if (!ReplacePending) return;
  const WorkspaceTexts& t = texts();
  if (!files::folderExists(tempFolder())) files::createFolder(tempFolder());
  setEnabled({"undoB", "Repeat1"}, false);
  changed();
  try {
    setReplacePattern();  // a pattern that does not compile stops the overwrite before anything is done
  } catch (const ERegExpParser& error) {
    ui_.showError(error.what());
    return;
  }
  const std::vector<FileWork> work = overwriteWork();
  const int workRows = CheckListBoxUNDO.count();
  overwritten_.clear();
  std::vector<std::string> refused;
  for (std::size_t i = 0; i < work.size(); ++i) {
    setStatusText(overwriteProgressText(static_cast<int>(10.0 * i / work.size())));
    bool goOn = false;
    try {
      goOn = overwriteOne(work[i], refused);
    } catch (const ERegExpParser& error) {
      ui_.showError(error.what());
    }
    if (!goOn) {
      // The work list stays as it was, without a marker: the copies made so far are not an undo.
      CheckList::Batch batch(CheckListBoxUNDO);
      while (CheckListBoxUNDO.count() > workRows) CheckListBoxUNDO.remove(CheckListBoxUNDO.count() - 1);
      setStatusText("");
      return;
    }
  }
  {
    CheckList::Batch batch(CheckListBoxUNDO);
    // The copy paths were appended after the work list as each file was copied.
    std::vector<CheckRow> copies(CheckListBoxUNDO.rows().begin() + workRows, CheckListBoxUNDO.rows().end());
    copies.push_back({t.markerOverwrite, false, false});
    CheckListBoxUNDO.assign(std::move(copies));
  }
  setEnabled({"N12", "OverWriteB"}, false);
  ReplaceText.clear();
  ReplacePending = false;
  setStatusText("");
  changed();
  if (!refused.empty()) ui_.showMessage(listedEntriesText(t.notOverwritten, refused));
}

}  // namespace kelvane
