// The file split: one file of the result list cut at its matching lines into new files beside it.
//
// The preparation reads the file, lists each wanted piece (its name and a preview) in the join/split
// list and keeps the file, its size and hash, its line count and the piece ranges with that list; the
// save writes from that plan alone, so a selection moved in the result list in between cannot make it
// cut another file by the first one's line numbers. The save reads the file again and writes nothing
// when its bytes changed since. A piece is never written over the source, a link to it or a file
// another piece names (decided by device and inode); the save's question names every existing file a
// piece replaces, and each such file is first copied to the temporary folder, so the undo can put it
// back, and compared right before the write with the bytes the copy was made from. A save that fails
// or leaves a piece alone can be tried again: the pieces an earlier try wrote are not written (nor
// copied) again while they hold what it wrote.
//
// The source is held once, as bytes with the places of its lines (split::indexLines), never as the
// pieces: each piece is put together and written before the next.
#include "workspace/file_split.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/line_list.h"
#include "workspace/texts.h"
#include "workspace/workspace.h"

namespace kelvane {

namespace split {

std::vector<PieceRange> pieceRanges(const std::vector<int>& points, const std::vector<bool>& checked, int mode) {
  std::vector<PieceRange> pieces;
  if (mode < 1 || mode > 3 || points.size() < 2 || checked.size() != points.size()) return pieces;
  const int k = static_cast<int>(points.size()) - 2;  // the number of matching lines
  for (int i = 0; i <= k; ++i) {
    if (!checked[static_cast<std::size_t>(i)]) continue;
    const int u = points[static_cast<std::size_t>(i)];
    const int next = points[static_cast<std::size_t>(i) + 1];
    PieceRange r{i, 0, -1};
    switch (mode) {
      case 1:
        r.start = u - 1;
        r.end = i == k ? next - 1 : next - 2;
        break;
      case 2:
        r.start = u - 1;
        r.end = next - 1;
        break;
      default:
        r.start = i == 0 ? 0 : u;
        r.end = next - 1;
        break;
    }
    pieces.push_back(r);
  }
  return pieces;
}

std::string pieceName(const std::string& source, int number) {
  const std::string name = files::namePart(source);
  const std::string extension = files::extensionPart(source);
  const std::string digits = std::to_string(number);
  // Only the name changes: an extension-like part of a folder name must not send pieces elsewhere.
  const std::string head = source.substr(0, source.size() - name.size());
  if (extension.empty()) return head + name + digits;
  const std::string wanted = cp932::upper(extension);
  std::string renamed;
  for (std::size_t i = 0; i < name.size();) {
    if (name.size() - i >= extension.size() &&
        cp932::upper(std::string_view(name).substr(i, extension.size())) == wanted) {
      renamed += digits;
      renamed += name.substr(i, extension.size());
      i += extension.size();
      continue;
    }
    const std::size_t step = cp932::isLeadByte(static_cast<unsigned char>(name[i])) && i + 1 < name.size() ? 2 : 1;
    renamed += name.substr(i, step);
    i += step;
  }
  return head + renamed;
}

}  // namespace split

namespace {

using split::LineSpan;

std::string_view lineAt(std::string_view text, const std::vector<LineSpan>& lines, int index) {
  const LineSpan& span = lines[static_cast<std::size_t>(index)];
  return text.substr(span.begin, span.end - span.begin);
}

// The content row of a piece: the quoted line range and a preview of at most five lines.
std::string pieceRowText(std::string_view text, const std::vector<LineSpan>& lines, int start, int end) {
  const WorkspaceTexts& t = texts();
  std::string row = "\"" + std::to_string(start + 1) + t.rangeMiddle + std::to_string(end + 1) + t.lineWord + "\",";
  auto add = [&](std::string_view line) {
    row += "\r\n";
    row += line;
  };
  if (end - start >= 5) {
    add(lineAt(text, lines, start));
    add(lineAt(text, lines, start + 1));
    add(t.omitted);
    add(lineAt(text, lines, end - 1));
    add(lineAt(text, lines, end));
  } else {
    for (int j = start; j <= end; ++j) add(lineAt(text, lines, j));
  }
  return row;
}

// The bytes of lines start..end, each followed by CR LF.
std::string pieceBytes(std::string_view text, const std::vector<LineSpan>& lines, int start, int end) {
  std::size_t size = 0;
  for (int j = start; j <= end; ++j)
    size += lines[static_cast<std::size_t>(j)].end - lines[static_cast<std::size_t>(j)].begin + 2;
  std::string bytes;
  bytes.reserve(size);
  for (int j = start; j <= end; ++j) {
    bytes += lineAt(text, lines, j);
    bytes += "\r\n";
  }
  return bytes;
}

bool validMode(int mode) { return mode >= 1 && mode <= 3; }

}  // namespace

void FileSplit::File2Click() {
  ws_.ProcessingMode = pmSplit;
  ws_.joinDrag_ = false;
  ws_.tabCaptions_[kTabJoin] = texts().tabSplit;
  ws_.changed();
  PrepareSplit();
  ws_.showTab(kTabJoin);
}

void FileSplit::forget() {
  plan_.reset();
  written_.clear();
}

void FileSplit::PrepareSplit() {
  const WorkspaceTexts& t = texts();
  CheckList& results = ws_.CheckListBox3;
  const int header = results.selectedIndex();
  // The command is offered on a result header row only; anything else has no file to split.
  if (header < 0 || !results.isHeader(header)) return;
  const std::optional<std::string> file = ws_.ResultFile(header);
  if (!file) return;
  const std::string& path = *file;
  std::string bytes;
  try {
    bytes = files::readFile(path);
  } catch (const files::FileError& error) {
    ws_.ui().showError(error.what());
    return;
  }
  bool cut = false;
  std::vector<LineSpan> lines = split::indexLines(bytes, &cut);
  if (cut) {
    ws_.ui().showMessage(path + t.splitNulRefused);
    return;
  }
  if (ws_.ReplacePending()) ws_.UndoReplacePreview();

  std::vector<int> points{1};
  std::vector<bool> checked{true};
  for (int i = header + 1; i < results.count() && !results.isHeader(i); ++i) {
    points.push_back(ws_.ResultLine(i));
    checked.push_back(results.isChecked(i));
  }
  const int lineCount = static_cast<int>(lines.size());
  points.push_back(lineCount);
  checked.push_back(true);
  {
    std::vector<std::string> shown;
    for (int point : points) shown.push_back(std::to_string(point));
    ws_.setUndo(undo::Unmarked{std::move(shown)});
  }
  // The search found these lines; a file cut shorter since has no such lines to split at.
  for (std::size_t i = 1; i + 1 < points.size(); ++i) {
    if (points[i] < points[i - 1] || points[i] > lineCount) {
      ws_.ui().showMessage(path + t.splitPointsStale);
      return;
    }
  }

  const int mode = readSplitMode(Profile(ws_.settingsPath()));
  if (!validMode(mode)) {
    ws_.ui().showMessage(t.badSplitMode);
    return;
  }
  Plan plan{path, files::fileId(path), bytes.size(), saves::bytesHash(bytes), lines.size(), {}};
  int widest = 0;
  {
    CheckList& list = ws_.CheckListBox2;
    CheckList::Batch batch(list);
    list.clear();
    ws_.fileJoin_.forget();  // the list no longer shows a join
    for (const split::PieceRange& r : split::pieceRanges(points, checked, mode)) {
      const bool writable = r.end - r.start >= 1 && !lineAt(bytes, lines, r.start).empty();
      Piece piece{r.number, r.start, r.end, writable, split::pieceName(path, r.number)};
      ws_.NextRowSingleLine = true;
      list.add(piece.name, true);
      ws_.NextRowSingleLine = false;
      // The content row's key is its piece's place in the plan, plus one.
      list.add(CheckRow{pieceRowText(bytes, lines, r.start, r.end), false, true,
                        static_cast<std::uint32_t>(plan.pieces.size() + 1)});
      widest = std::max(widest, ws_.ui().textWidth(ListId::kJoin, piece.name));
      plan.pieces.push_back(std::move(piece));
    }
    list.setHorizontalExtent(widest);
    if (list.count() > 1) list.setSelectedIndex(0);
  }
  plan_ = std::move(plan);
  written_.clear();
  ws_.setEnabled({"NewFileB", "SaveAs1"}, true);
  ws_.DisableSearchMenus();
  ws_.changed();
}

std::vector<std::size_t> FileSplit::wantedPieces() const {
  // Which pieces their content rows still want, found by the rows' keys.
  std::vector<bool> checked(plan_->pieces.size(), false);
  for (const CheckRow& row : ws_.CheckListBox2.rows()) {
    if (!row.header && row.record > 0 && row.record <= plan_->pieces.size()) checked[row.record - 1] = row.checked;
  }
  std::vector<std::size_t> wanted;
  for (std::size_t p = 0; p < plan_->pieces.size(); ++p)
    if (checked[p] && plan_->pieces[p].writable) wanted.push_back(p);
  return wanted;
}

bool FileSplit::ask(const std::vector<std::size_t>& wanted, std::vector<bool>& existed) {
  const WorkspaceTexts& t = texts();
  existed.assign(plan_->pieces.size(), false);
  std::vector<std::string> replaced;
  for (std::size_t p : wanted) {
    // A piece an earlier try wrote is this split's own; it is not the person's file to be warned of.
    if (written_.count(p) || !files::fileId(plan_->pieces[p].name)) continue;
    existed[p] = true;
    replaced.push_back(plan_->pieces[p].name);
  }
  std::string question = t.askSplit;
  if (!replaced.empty()) question += "\r\n" + listedEntriesText(t.willReplace, replaced);
  return ws_.ui().confirmOkCancel(question);
}

bool FileSplit::sourceUnchanged(std::string& bytes) {
  try {
    bytes = files::readFile(plan_->file);
  } catch (const files::FileError& error) {
    ws_.ui().showError(error.what());
    return false;
  }
  if (bytes.size() == plan_->size && saves::bytesHash(bytes) == plan_->hash) return true;
  ws_.ui().showMessage(plan_->file + texts().splitSourceChanged);
  return false;
}

std::string FileSplit::refusal(std::size_t p, const IdCount& ids) const {
  const WorkspaceTexts& t = texts();
  const std::string& name = plan_->pieces[p].name;
  const std::optional<files::FileId> id = files::fileId(name);
  if (!id) return {};
  const std::optional<files::FileId> source = files::fileId(plan_->file);
  if (id == source || id == plan_->id) return t.reasonIsSource;
  if (ids.at({id->device, id->inode}) > 1) return t.reasonSameFile;
  if (!files::fileExists(name)) return t.reasonNotAFile;
  return {};
}

bool FileSplit::writtenBefore(std::size_t p, std::string& reason) const {
  auto it = written_.find(p);
  if (it == written_.end()) return false;
  if (!saves::stillHolds(plan_->pieces[p].name, it->second.size, it->second.hash))
    reason = texts().reasonChangedSinceWritten;
  return true;
}

saves::SaveEnd FileSplit::SplitSave() {
  const WorkspaceTexts& t = texts();
  if (!plan_ || ws_.CheckListBox2.count() != 2 * static_cast<int>(plan_->pieces.size())) {
    ws_.ui().showMessage(t.splitNotPrepared);
    return saves::SaveEnd::kOver;
  }
  if (!validMode(readSplitMode(Profile(ws_.settingsPath())))) {
    ws_.ui().showMessage(t.badSplitMode);
    return saves::SaveEnd::kOver;
  }
  const std::vector<std::size_t> wanted = wantedPieces();
  std::vector<bool> existed;
  if (!ask(wanted, existed)) return saves::SaveEnd::kNotAsked;
  // The pieces are cut from the source exactly as the preparation read it, or not at all.
  std::string bytes;
  if (!sourceUnchanged(bytes)) return saves::SaveEnd::kOver;
  const std::vector<LineSpan> lines = split::indexLines(bytes);

  IdCount ids;  // how many wanted pieces name each existing file
  for (std::size_t p : wanted)
    if (const std::optional<files::FileId> id = files::fileId(plan_->pieces[p].name)) ++ids[{id->device, id->inode}];
  std::vector<std::string> leftAlone;
  for (std::size_t w = 0; w < wanted.size(); ++w) {
    const std::size_t p = wanted[w];
    const Piece& piece = plan_->pieces[p];
    std::string reason;
    if (writtenBefore(p, reason)) {
      if (!reason.empty()) {
        written_.erase(p);
        leftAlone.push_back(piece.name + reason);
      }
      continue;
    }
    reason = refusal(p, ids);
    saves::WriteResult done;
    if (reason.empty()) {
      const std::string out = pieceBytes(bytes, lines, piece.start, piece.end);
      try {
        done = saves::writeSaved(piece.name, existed[p], out, ws_.tempFolder());
      } catch (const files::FileError& error) {
        ws_.ui().showError(error.what());
        leftAlone.push_back(piece.name + t.reasonWriteFailed);
        for (std::size_t rest = w + 1; rest < wanted.size(); ++rest)
          if (!written_.count(wanted[rest])) leftAlone.push_back(plan_->pieces[wanted[rest]].name + t.reasonNotReached);
        break;
      }
      if (done.written) written_[p] = {done.copied, out.size(), saves::bytesHash(out)};
      reason = done.reason;
    }
    if (!done.written) leftAlone.push_back(piece.name + reason);
  }
  finish(leftAlone);
  return leftAlone.empty() ? saves::SaveEnd::kOver : saves::SaveEnd::kRetry;
}

void FileSplit::finish(const std::vector<std::string>& leftAlone) {
  const WorkspaceTexts& t = texts();
  // A complete save leaves every listed name, as the undo reports them; one that must be tried again
  // names only what was written, so its undo touches nothing else.
  std::vector<undo::SavedFile> names;
  for (std::size_t p = 0; p < plan_->pieces.size(); ++p) {
    auto it = written_.find(p);
    if (it != written_.end()) {
      names.push_back({plan_->pieces[p].name, it->second.copied, true, it->second.size, it->second.hash});
    } else if (leftAlone.empty()) {
      names.push_back({plan_->pieces[p].name, false, false});
    }
  }
  if (!names.empty()) {
    ws_.setUndo(undo::Split{std::move(names)});
    // The undo stays reachable after a split, as after a join.
    ws_.setEnabled({"undoB", "Repeat1"}, true);
  }
  if (!leftAlone.empty()) {
    const std::string list = listedEntriesText(t.notSaved, leftAlone) + "\r\n" + t.retrySave;
    ws_.ui().showMessage(list);
  }
  ws_.DisableSearchMenus();
  ws_.changed();
}

void FileSplit::undoSave(const undo::Split& record) {
  const WorkspaceTexts& t = texts();
  if (!ws_.ui().confirmOkCancel(t.askUndoSplit)) return;
  for (const undo::SavedFile& piece : record.pieces) {
    const std::string named = t.newFile + "\"" + piece.path + "\"";
    if (!files::fileExists(piece.path)) {
      ws_.ui().showMessage(named + t.notFound);
      continue;
    }
    if (!piece.written) {
      ws_.ui().showMessage(named + t.pieceLeftAlone);
      continue;
    }
    if (!saves::stillHolds(piece.path, piece.size, piece.hash)) {
      ws_.ui().showMessage(named + t.changedSinceSave);
      continue;
    }
    if (piece.copied) {
      saves::restoreReplaced(ws_.ui(), ws_.tempFolder(), piece.path, piece.size, piece.hash);
      continue;
    }
    ws_.ui().showMessage(named + t.willDelete);
    ws_.ui().showMessage(named + (files::deleteFile(piece.path) ? t.deleteOk : t.deleteNg));
  }
  // The pieces are gone or back as they were: a save of the plan after this writes them anew.
  written_.clear();
  ws_.setUndo(undo::Nothing{});
}

void FileSplit::showPiece(int row) {
  if (!plan_ || ws_.CheckListBox2.isHeader(row)) return;
  const std::uint32_t key = ws_.CheckListBox2.row(row).record;
  if (key == 0 || key > plan_->pieces.size()) return;
  const Piece& piece = plan_->pieces[key - 1];
  // The caption's line numbers, 1-based: an empty piece shows nothing.
  const int first = piece.start + 1, last = piece.end + 1;
  std::string bytes;
  try {
    bytes = files::readFile(plan_->file);
  } catch (const files::FileError& error) {
    ws_.ui().showError(error.what());
    return;
  }
  const std::vector<LineSpan> lines = split::indexLines(bytes);
  std::string text;
  for (int j = std::max(first, 1); j <= last && j <= static_cast<int>(lines.size()); ++j) {
    if (j > std::max(first, 1)) text += "\r\n";
    text += lineAt(bytes, lines, j - 1);
  }
  ws_.ui().showTextInBuiltInEditor(text);
}

void Workspace::File2Click() { fileSplit_.File2Click(); }
void Workspace::PrepareSplit() { fileSplit_.PrepareSplit(); }
void Workspace::SplitSave() { fileSplit_.SplitSave(); }

}  // namespace kelvane
