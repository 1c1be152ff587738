// Replacing in two steps. The preview rewrites only the rows of the result list: the user then
// decides line by line, with the check marks, which replacements are wanted. The overwrite applies
// the replacement to the checked lines of the files themselves, one file at a time after a
// confirmation each, and keeps a byte-for-byte copy of every file below the temporary folder first.
//
// The overwrite trusts nothing it read earlier: each checked line must still hold the text the search
// found (the unreplaced text of its row), or the file is left alone and named afterwards. It writes the
// replaced lines the preview showed, taken from the rows with the preview's record, so what is written
// is what was seen, whatever pattern or option has been set since. A file whose text ends at a NUL
// byte is copied but never rewritten from its lines, which would cut it.
#include <algorithm>

#include "platform/files.h"
#include "platform/line_list.h"
#include "workspace/texts.h"
#include "workspace/workspace.h"

namespace kelvane {

namespace {

// The search's progress bar with "上書き中" in place of "検索中".
std::string overwriteProgressText(int marks) {
  const WorkspaceTexts& t = texts();
  std::string text = searchProgressText(marks);
  return text.substr(0, text.size() - t.searching.size()) + t.overwriting;
}

}  // namespace

// One file of the overwrite: its path and, per checked row, the line number, the line the search
// found there and the line the preview showed for it.
struct Workspace::FileWork {
  struct Line {
    std::uint32_t lineNo = 0;
    std::string found;
    std::string replaced;
  };
  std::string path;
  std::vector<Line> lines;
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

void Workspace::ReplacePreview() {
  const WorkspaceTexts& t = texts();
  if (LastSearchText.empty()) {
    showTransientStatus(t.noSearchYet);
    return;
  }
  const std::optional<std::string> answer = ui_.inputBox(t.replaceCaption, t.replacePrompt, "");
  if (!answer) return;
  // LastSearchText, also after a plain-text search; the fuzzy option is the search's.
  undo::Preview preview{LastSearchText, *answer, settings.UseRegExp && settings.FuzzyDic, settings.UseRegExp, {}};
  try {
    assignPattern(AWKStr1, preview.pattern, preview.fuzzy);
  } catch (const ERegExpParser& error) {
    ui_.showError(error.what());
    return;
  }
  if (ReplacePending()) {
    ui_.showMessage(t.previewAgainBefore + LastSearchText + "\r\n" + t.previewAgainAfter);
    UndoReplacePreview();
  }
  const std::vector<CheckRow>& rows = CheckListBox3.rows();
  std::vector<CheckRow> shown = rows;
  preview.other.reserve(rows.size());
  int widest = 0;
  try {
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const CheckRow& row = rows[i];
      const ResultRecord* record = results_.find(row);
      if (row.header || !record) {
        preview.other.push_back(row.text);
        continue;
      }
      // Only the line is replaced: the label, and so the line number it shows, stays as it was.
      std::string line(ResultRecords::line(row.text, *record));
      AWKStr1.GSub(*answer, line);
      std::string replaced = row.text.substr(0, record->lineOffset) + line;
      if (replaced != row.text) widest = std::max(widest, ui_.textWidth(ListId::kResult, replaced));
      // A checked row shows the replaced text, an unchecked one its unreplaced text; the record holds
      // the other one.
      if (row.checked) {
        preview.other.push_back(row.text);
        shown[i].text = std::move(replaced);
      } else {
        preview.other.push_back(std::move(replaced));
      }
    }
  } catch (const ERegExpParser& error) {
    // A broken template: the rows stay as they were and there is nothing to overwrite or undo.
    ui_.showError(error.what());
    return;
  }
  {
    CheckList::Batch batch(CheckListBox3);
    const int extent = CheckListBox3.horizontalExtent();
    CheckListBox3.assign(std::move(shown));
    CheckListBox3.setHorizontalExtent(std::max(extent, ui_.rowHeight(ListId::kResult) + widest));
  }
  setUndo(std::move(preview));
  setEnabled({"undoB", "Repeat1", "N12", "OverWriteB"}, true);
  changed();
  ui_.showMessage(t.previewDone);
  showTab(kTabResult);
  if (!CheckListBox3.empty()) CheckListBox3.setSelectedIndex(0);
  changed();
}

void Workspace::swapPreviewText(undo::Preview& preview, int index) {
  std::string text = CheckListBox3.text(index);
  CheckListBox3.setText(index, std::move(preview.other[static_cast<std::size_t>(index)]));
  preview.other[static_cast<std::size_t>(index)] = std::move(text);
  if (index < CheckListBoxUNDO.count())
    CheckListBoxUNDO.setRow(index, {preview.other[static_cast<std::size_t>(index)], false, CheckListBox3.isChecked(index)});
}

// Step 3 of the overwrite: per file of the result list, the checked lines with what the search found
// and what the preview showed, all from the rows' records.
std::vector<Workspace::FileWork> Workspace::overwriteWork(const undo::Preview& preview) const {
  std::vector<FileWork> work;
  const std::vector<CheckRow>& rows = CheckListBox3.rows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const CheckRow& row = rows[i];
    const ResultRecord* record = results_.find(row);
    if (!record) continue;
    if (row.header) {
      work.push_back({results_.path(*record), {}});
    } else if (row.checked && !work.empty() && i < preview.other.size()) {
      // A checked row shows the replaced text and the record holds the unreplaced one.
      work.back().lines.push_back({record->lineNo, std::string(ResultRecords::line(preview.other[i], *record)),
                                   std::string(ResultRecords::line(row.text, *record))});
    }
  }
  return work;
}

// One file: read, checked against what the search found, copied, and with checked lines asked about
// and written. A file left alone goes to refused with its reason. False when the overwrite must stop
// (a copy or the file could not be written; the error has been shown).
bool Workspace::overwriteOne(const FileWork& work, undo::Overwrite& done, std::vector<std::string>& refused) {
  const WorkspaceTexts& t = texts();
  files::LineFile file;
  try {
    file = files::readLines(work.path);
  } catch (const files::FileError& error) {
    refused.push_back(error.notFound() ? work.path + t.reasonGone : error.what());
    return true;
  }
  if (!file.cutAtNul) {
    for (const FileWork::Line& line : work.lines) {
      if (line.lineNo > file.lines.size()) {
        refused.push_back(work.path + t.reasonShorter);
        return true;
      }
      if (file.lines[line.lineNo - 1] != line.found) {
        refused.push_back(work.path + t.reasonChanged);
        return true;
      }
    }
  }
  undo::OverwrittenFile record{work.path, files::tempCopyPath(tempFolder(), work.path)};
  try {
    files::makeCopy(file, record.copy);
  } catch (const files::FileError& error) {
    ui_.showError(error.what());
    return false;
  }
  done.files.push_back(record);
  if (work.lines.empty()) return true;
  if (file.cutAtNul) {
    refused.push_back(work.path + t.reasonNul);
    return true;
  }
  for (const FileWork::Line& line : work.lines) file.lines[line.lineNo - 1] = line.replaced;
  if (!ui_.confirmOkCancel(work.path + "\r\n" + t.askReplaceFile)) return true;
  const std::string bytes = files::joinLines(file.lines);
  try {
    files::writeFile(work.path, bytes);
  } catch (const files::FileError& error) {
    ui_.showError(error.what());
    return false;
  }
  done.files.back().written = true;
  done.files.back().size = bytes.size();
  done.files.back().hash = writtenHash(bytes);
  return true;
}

void Workspace::OverwriteFiles() {
  const auto* preview = std::get_if<undo::Preview>(&undo_);
  if (!preview) return;
  const WorkspaceTexts& t = texts();
  try {
    if (!files::folderExists(tempFolder())) files::createFolder(tempFolder());
  } catch (const files::FileError& error) {
    ui_.showError(error.what());
    return;
  }
  setEnabled({"undoB", "Repeat1"}, false);
  changed();
  const std::vector<FileWork> work = overwriteWork(*preview);
  undo::Overwrite done;
  std::vector<std::string> refused;
  for (std::size_t i = 0; i < work.size(); ++i) {
    setStatusText(overwriteProgressText(static_cast<int>(10.0 * i / work.size())));
    if (!overwriteOne(work[i], done, refused)) {
      // The preview stays pending, so the person can try again; the copies made so far are no undo.
      setStatusText("");
      return;
    }
  }
  setUndo(std::move(done));
  setEnabled({"N12", "OverWriteB"}, false);
  setStatusText("");
  changed();
  if (!refused.empty()) ui_.showMessage(listedEntriesText(t.notOverwritten, refused));
}

}  // namespace kelvane
