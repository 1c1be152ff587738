// Replacing in two steps. The preview rewrites only the rows of the result list: the user then
// decides line by line, with the check marks, which replacements are wanted. The overwrite applies
// the replacement to the checked lines of the files themselves, one file at a time after a
// confirmation each, and keeps a byte-for-byte copy of every file below the temporary folder first.
//
// The overwrite trusts nothing it read earlier: each checked line must still hold the text the search
// found (the unreplaced text of its row), or the file is left alone and named afterwards; and the file
// is replaced only while it still holds the bytes read before its question, so an edit saved by
// another program while the question was shown is kept. It writes the replaced lines the preview
// showed, taken from the rows with the preview's record, so what is written is what was seen, whatever
// pattern or option has been set since. A file whose text ends at a NUL byte is copied but never
// rewritten from its lines, which would cut it. One file reached under several names (links, two rows
// naming the same inode) is read, copied, asked about and written once.
#include <algorithm>

#include "pattern/plain_text.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/line_list.h"
#include "workspace/saved_file.h"
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


// Every occurrence of text in line, found as the plain-text search finds it (on character boundaries,
// upper-cased on both sides unless exact), replaced by the template expanded for the bytes found there.
std::string replacePlain(const TAWKStr& awk, const std::string& line, const std::string& text,
                         const std::string& replacement, bool exact) {
  const std::string hay = exact ? line : cp932::upper(line);
  const std::string wanted = exact ? text : cp932::upper(text);
  // Upper-casing keeps every character's length; should it not, the bytes are compared as they are.
  const bool sameLength = hay.size() == line.size() && wanted.size() == text.size();
  const std::string& in = sameLength ? hay : line;
  const std::string& what = sameLength ? wanted : text;
  std::string out;
  std::size_t from = 0;
  for (std::size_t at; !what.empty() && (at = findOnBoundary(in, what, from)) != std::string::npos;) {
    out.append(line, from, at - from);
    out += awk.ExpandReplacement(replacement, std::string_view(line).substr(at, what.size()));
    from = at + what.size();
  }
  out.append(line, from, std::string::npos);
  return out;
}

}  // namespace

// One file of the overwrite: its path, the other names it was reached by in the result list, and per
// checked row the line number, the line the search found there and the line the preview showed.
struct ReplaceSession::FileWork {
  struct Line {
    std::uint32_t lineNo = 0;
    std::string found;
    std::string replaced;
  };
  std::string path;
  std::vector<std::string> aliases;
  std::vector<Line> lines;
};

void Workspace::ToolButton10Click() { ReplacePreview(); }
void Workspace::Replace1Click() { ReplacePreview(); }
void Workspace::N12Click() { OverwriteFiles(); }
void Workspace::OverWriteBClick() { OverwriteFiles(); }
void Workspace::ReplacePreview() { replace_.preview(); }
void Workspace::OverwriteFiles() { replace_.overwrite(); }
void Workspace::UndoReplacePreview() { replace_.undoPreview(); }

std::string ReplaceSession::replacedLine(const undo::Preview& preview, std::string line) const {
  if (!preview.regExp) return replacePlain(ws_.AWKStr1, line, preview.pattern, preview.replacement, preview.caseSensitive);
  ws_.AWKStr1.GSub(preview.replacement, line);
  return line;
}

void ReplaceSession::preview() {
  const WorkspaceTexts& t = texts();
  Workspace& ws = ws_;
  if (ws.LastSearchText.empty()) {
    ws.showTransientStatus(t.noSearchYet);
    return;
  }
  const std::optional<std::string> answer = ws.ui_.inputBox(t.replaceCaption, t.replacePrompt, "");
  if (!answer) return;
  const SearchOptions& found = ws.LastSearchOptions;
  undo::Preview preview{ws.LastSearchText, *answer, !found.plain && found.fuzzy, !found.plain, !found.ignoreCase, {}};
  try {
    // A plain-text search's text is no pattern: it is replaced literally and never compiled.
    if (preview.regExp) Workspace::assignPattern(ws.AWKStr1, preview.pattern, preview.fuzzy);
  } catch (const ERegExpParser& error) {
    ws.ui_.showError(error.what());
    return;
  }
  if (ws.ReplacePending()) {
    ws.ui_.showMessage(t.previewAgainBefore + ws.LastSearchText + "\r\n" + t.previewAgainAfter);
    undoPreview();
  }
  const std::vector<CheckRow>& rows = ws.CheckListBox3.rows();
  std::vector<CheckRow> shown = rows;
  preview.other.reserve(rows.size());
  int widest = 0;
  try {
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const CheckRow& row = rows[i];
      const ResultRecord* record = ws.results_.find(row);
      if (row.header || !record) {
        preview.other.push_back(row.text);
        continue;
      }
      // Only the line is replaced: the label, and so the line number it shows, stays as it was.
      std::string replaced = row.text.substr(0, record->lineOffset) +
                             replacedLine(preview, std::string(ResultRecords::line(row.text, *record)));
      if (replaced != row.text) widest = std::max(widest, ws.ui_.textWidth(ListId::kResult, replaced));
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
    ws.ui_.showError(error.what());
    return;
  }
  {
    CheckList::Batch batch(ws.CheckListBox3);
    const int extent = ws.CheckListBox3.horizontalExtent();
    ws.CheckListBox3.assign(std::move(shown));
    ws.CheckListBox3.setHorizontalExtent(std::max(extent, ws.ui_.rowHeight(ListId::kResult) + widest));
  }
  ws.setUndo(std::move(preview));
  ws.setEnabled({"undoB", "Repeat1", "N12", "OverWriteB"}, true);
  ws.changed();
  ws.ui_.showMessage(t.previewDone);
  ws.showTab(kTabResult);
  if (!ws.CheckListBox3.empty()) ws.CheckListBox3.setSelectedIndex(0);
  ws.changed();
}

void ReplaceSession::checkChanged(int index) {
  Workspace& ws = ws_;
  auto* preview = std::get_if<undo::Preview>(&ws.undo_);
  if (!preview || index < 0 || index >= ws.CheckListBox3.count() || index >= static_cast<int>(preview->other.size()))
    return;
  std::string& other = preview->other[static_cast<std::size_t>(index)];
  std::string text = ws.CheckListBox3.text(index);
  ws.CheckListBox3.setText(index, std::move(other));
  other = std::move(text);
  if (index < ws.CheckListBoxUNDO.count()) ws.CheckListBoxUNDO.setRow(index, {other, false, ws.CheckListBox3.isChecked(index)});
}

void ReplaceSession::undoPreview() {
  Workspace& ws = ws_;
  ws.setEnabled({"undoB", "OverWriteB", "Repeat1", "N12"}, false);
  auto* preview = std::get_if<undo::Preview>(&ws.undo_);
  if (preview) {
    CheckList::Batch batch(ws.CheckListBox3);
    // A checked row shows its replaced text; the record holds the unreplaced one. Check marks stay.
    const int rows = std::min(ws.CheckListBox3.count(), static_cast<int>(preview->other.size()));
    for (int i = 0; i < rows; ++i) {
      if (!ws.CheckListBox3.isHeader(i) && ws.CheckListBox3.isChecked(i))
        ws.CheckListBox3.setText(i, std::move(preview->other[static_cast<std::size_t>(i)]));
    }
  }
  ws.setUndo(undo::Nothing{});
  ws.changed();
}

// Step 3 of the overwrite: per file of the result list, the checked lines with what the search found
// and what the preview showed, all from the rows' records. A file already listed under another name
// (same device and inode) takes the rows of that name too, so it is handled once.
std::vector<ReplaceSession::FileWork> ReplaceSession::workList(const undo::Preview& preview) const {
  std::vector<FileWork> work;
  std::vector<std::pair<files::FileId, std::size_t>> seen;
  std::size_t current = 0;
  const std::vector<CheckRow>& rows = ws_.CheckListBox3.rows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const CheckRow& row = rows[i];
    const ResultRecord* record = ws_.results_.find(row);
    if (!record) continue;
    if (row.header) {
      const std::string& path = ws_.results_.path(*record);
      const std::optional<files::FileId> id = files::fileId(path);
      const auto same = id ? std::find_if(seen.begin(), seen.end(), [&](const auto& s) { return s.first == *id; })
                           : seen.end();
      if (same != seen.end()) {
        current = same->second;
        work[current].aliases.push_back(path);
        continue;
      }
      current = work.size();
      work.push_back({path, {}, {}});
      if (id) seen.emplace_back(*id, current);
    } else if (row.checked && !work.empty() && i < preview.other.size()) {
      // A checked row shows the replaced text and the record holds the unreplaced one.
      work[current].lines.push_back({record->lineNo, std::string(ResultRecords::line(preview.other[i], *record)),
                                     std::string(ResultRecords::line(row.text, *record))});
    }
  }
  return work;
}

// One file: read, checked against what the search found, copied, and with checked lines asked about
// and written. A file left alone goes to refused with its reason. False when the overwrite must stop
// (a copy or the file could not be written; the error has been shown).
bool ReplaceSession::overwriteOne(const FileWork& work, undo::Overwrite& done, std::vector<std::string>& refused) {
  const WorkspaceTexts& t = texts();
  for (const std::string& alias : work.aliases) refused.push_back(alias + t.reasonSameFileBefore + work.path + t.reasonSameFileAfter);
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
  undo::OverwrittenFile record{work.path, files::tempCopyPath(ws_.tempFolder(), work.path)};
  try {
    files::makeCopy(file, record.copy);
  } catch (const files::FileError& error) {
    ws_.ui_.showError(error.what());
    return false;
  }
  done.files.push_back(record);
  if (work.lines.empty()) return true;
  if (file.cutAtNul) {
    refused.push_back(work.path + t.reasonNul);
    return true;
  }
  for (const FileWork::Line& line : work.lines) file.lines[line.lineNo - 1] = line.replaced;
  return writeAsked(work, file.bytes, files::joinLines(file.lines), done.files.back(), refused);
}

// The question, then the write, but only over the very bytes read before it: the person may have
// saved the file elsewhere while the question was shown.
bool ReplaceSession::writeAsked(const FileWork& work, const std::string& readBytes, const std::string& newBytes,
                                undo::OverwrittenFile& record, std::vector<std::string>& refused) {
  const WorkspaceTexts& t = texts();
  if (!ws_.ui_.confirmOkCancel(work.path + "\r\n" + t.askReplaceFile)) return true;
  try {
    files::writeFileIfUnchanged(work.path, readBytes, newBytes);
  } catch (const files::FileChangedError&) {
    refused.push_back(work.path + t.reasonChangedWhileAsked);
    return true;
  } catch (const files::FileError& error) {
    ws_.ui_.showError(error.what());
    return false;
  }
  record.written = true;
  record.size = newBytes.size();
  record.hash = saves::bytesHash(newBytes);
  return true;
}

void ReplaceSession::overwrite() {
  Workspace& ws = ws_;
  const auto* preview = std::get_if<undo::Preview>(&ws.undo_);
  if (!preview) return;
  const WorkspaceTexts& t = texts();
  try {
    if (!files::folderExists(ws.tempFolder())) files::createFolder(ws.tempFolder());
  } catch (const files::FileError& error) {
    ws.ui_.showError(error.what());
    return;
  }
  ws.setEnabled({"undoB", "Repeat1"}, false);
  ws.changed();
  const std::vector<FileWork> work = workList(*preview);
  undo::Overwrite done;
  std::vector<std::string> refused;
  for (std::size_t i = 0; i < work.size(); ++i) {
    ws.setStatusText(overwriteProgressText(static_cast<int>(10.0 * i / work.size())));
    if (!overwriteOne(work[i], done, refused)) {
      // The preview stays pending, so the person can try again; the copies made so far are no undo.
      // What was left alone before the stop, and what was not reached, is still named.
      for (std::size_t k = i + 1; k < work.size(); ++k) {
        refused.push_back(work[k].path + t.overwriteNotReached);
        for (const std::string& alias : work[k].aliases) refused.push_back(alias + t.overwriteNotReached);
      }
      ws.setStatusText("");
      if (!refused.empty()) ws.ui_.showMessage(listedEntriesText(t.notOverwritten, refused));
      return;
    }
  }
  ws.setUndo(std::move(done));
  ws.setEnabled({"N12", "OverWriteB"}, false);
  ws.setStatusText("");
  ws.changed();
  if (!refused.empty()) ws.ui_.showMessage(listedEntriesText(t.notOverwritten, refused));
}

// Each file the overwrite wrote is put back from its copy, but only while it still holds exactly what
// the overwrite wrote: an edit made since is never thrown away. Files the overwrite did not write
// (cancelled, without checked rows, left alone) need nothing.
void ReplaceSession::undoOverwrite(const undo::Overwrite& record) {
  if (!ws_.ui_.confirmOkCancel(texts().askUndoOverwrite)) return;
  for (const undo::OverwrittenFile& f : record.files) {
    if (f.written) restoreWritten(f);
  }
  ws_.setUndo(undo::Nothing{});
}

void ReplaceSession::restoreWritten(const undo::OverwrittenFile& f) {
  const WorkspaceTexts& t = texts();
  const std::string named = t.overwrittenFile + "\"" + f.file + "\"";
  std::string now;
  try {
    now = files::readFile(f.file);
  } catch (const files::FileError& error) {
    ws_.ui_.showMessage(named + t.restoreNg + "\r\n" + error.what());
    return;
  }
  if (now.size() != f.size || saves::bytesHash(now) != f.hash) {
    ws_.ui_.showMessage(named + t.restoreNg + "\r\n" + t.changedSinceWrite);
    return;
  }
  try {
    // Over the very bytes just compared: an edit saved in between is kept, not replaced.
    files::writeFileIfUnchanged(f.file, now, files::readFile(f.copy));
    ws_.ui_.showMessage(named + t.restoreOk);
  } catch (const files::FileChangedError&) {
    ws_.ui_.showMessage(named + t.restoreNg + "\r\n" + t.changedSinceWrite);
  } catch (const files::FileError& error) {
    ws_.ui_.showMessage(named + t.restoreNg + "\r\n" + error.what());
  }
}

}  // namespace kelvane
