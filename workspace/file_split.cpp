// The file split: one file of the result list cut at its matching lines into new files beside it.
//
// The preparation reads the file, lists each wanted piece (its name and a preview) in the join/split
// list and keeps the file, its line count and the piece ranges with that list; the save writes from
// that plan alone, so a selection moved in the result list in between cannot make it cut another
// file by the first one's line numbers. The save reads the file again and refuses when its line count
// changed since. A piece never lands on the source file, and a file a piece replaces is first copied
// to the temporary folder, so the undo can put it back.
//
// The source is held once, as bytes with the places of its lines (split::indexLines), never as the
// pieces: each piece is put together and written before the next.
#include "workspace/file_split.h"

#include <algorithm>
#include <cstring>

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

void Workspace::File2Click() {
  ProcessingMode = pmSplit;
  joinDrag_ = false;
  tabCaptions_[kTabJoin] = texts().tabSplit;
  changed();
  PrepareSplit();
  showTab(kTabJoin);
}

void Workspace::PrepareSplit() {
  const WorkspaceTexts& t = texts();
  const int header = CheckListBox3.selectedIndex();
  // The command is offered on a result header row only; anything else has no file to split.
  if (header < 0 || !CheckListBox3.isHeader(header)) return;
  const std::optional<std::string> file = ResultFile(header);
  if (!file) return;
  const std::string& path = *file;
  std::string bytes;
  try {
    bytes = files::readFile(path);
  } catch (const files::FileError& error) {
    ui_.showError(error.what());
    return;
  }
  bool cut = false;
  std::vector<LineSpan> lines = split::indexLines(bytes, &cut);
  if (cut) {
    ui_.showMessage(path + t.splitNulRefused);
    return;
  }
  if (ReplacePending()) UndoReplacePreview();

  std::vector<int> points{1};
  std::vector<bool> checked{true};
  for (int i = header + 1; i < CheckListBox3.count() && !CheckListBox3.isHeader(i); ++i) {
    points.push_back(ResultLine(i));
    checked.push_back(CheckListBox3.isChecked(i));
  }
  const int lineCount = static_cast<int>(lines.size());
  points.push_back(lineCount);
  checked.push_back(true);
  {
    std::vector<std::string> shown;
    for (int point : points) shown.push_back(std::to_string(point));
    setUndo(undo::Unmarked{std::move(shown)});
  }
  // The search found these lines; a file cut shorter since has no such lines to split at.
  for (std::size_t i = 1; i + 1 < points.size(); ++i) {
    if (points[i] < points[i - 1] || points[i] > lineCount) {
      ui_.showMessage(path + t.splitPointsStale);
      return;
    }
  }

  const int mode = readSplitMode(Profile(settingsPath()));
  if (!validMode(mode)) {
    ui_.showMessage(t.badSplitMode);
    return;
  }
  SplitPlan plan{path, lines.size(), {}};
  int widest = 0;
  {
    CheckList::Batch batch(CheckListBox2);
    CheckListBox2.clear();
    joinPaths_.clear();  // the list no longer shows a join
    for (const split::PieceRange& r : split::pieceRanges(points, checked, mode)) {
      SplitPiece piece{r.number, r.start, r.end, split::pieceName(path, r.number)};
      NextRowSingleLine = true;
      CheckListBox2.add(piece.name, true);
      NextRowSingleLine = false;
      // The content row's key is its piece's place in the plan, plus one.
      CheckListBox2.add(CheckRow{pieceRowText(bytes, lines, r.start, r.end), false, true,
                                 static_cast<std::uint32_t>(plan.pieces.size() + 1)});
      widest = std::max(widest, ui_.textWidth(ListId::kJoin, piece.name));
      plan.pieces.push_back(std::move(piece));
    }
    CheckListBox2.setHorizontalExtent(widest);
    if (CheckListBox2.count() > 1) CheckListBox2.setSelectedIndex(0);
  }
  splitPlan_ = std::move(plan);
  setEnabled({"NewFileB", "SaveAs1"}, true);
  DisableSearchMenus();
  changed();
}

void Workspace::SplitSave() {
  const WorkspaceTexts& t = texts();
  if (!splitPlan_ || CheckListBox2.count() != 2 * static_cast<int>(splitPlan_->pieces.size())) {
    ui_.showMessage(t.splitNotPrepared);
    return;
  }
  if (!validMode(readSplitMode(Profile(settingsPath())))) {
    ui_.showMessage(t.badSplitMode);
    return;
  }
  const SplitPlan& plan = *splitPlan_;
  std::string bytes;
  try {
    bytes = files::readFile(plan.file);
  } catch (const files::FileError& error) {
    ui_.showError(error.what());
    return;
  }
  bool cut = false;
  const std::vector<LineSpan> lines = split::indexLines(bytes, &cut);
  if (cut) {
    ui_.showMessage(plan.file + t.splitNulRefused);
    return;
  }
  if (lines.size() != plan.lineCount) {
    ui_.showMessage(plan.file + t.splitLinesChanged);
    return;
  }

  // Which pieces their content rows still want, found by the rows' keys.
  std::vector<bool> checkedPiece(plan.pieces.size(), false);
  for (const CheckRow& row : CheckListBox2.rows()) {
    if (!row.header && row.record > 0 && row.record <= plan.pieces.size()) checkedPiece[row.record - 1] = row.checked;
  }
  std::vector<undo::SavedFile> names;
  std::vector<std::string> refused;
  bool wroteAny = false;
  try {
    for (std::size_t p = 0; p < plan.pieces.size(); ++p) {
      const SplitPiece& piece = plan.pieces[p];
      undo::SavedFile row{piece.name, false, false};
      const bool wanted =
          piece.end - piece.start >= 1 && !lineAt(bytes, lines, piece.start).empty() && checkedPiece[p];
      const bool clashes =
          piece.name == plan.file ||
          std::any_of(names.begin(), names.end(), [&](const undo::SavedFile& r) { return r.path == piece.name; });
      if (wanted && clashes) refused.push_back(piece.name);
      if (wanted && !clashes) {
        names.push_back(row);  // recorded before the write: a copy made for it must reach the undo
        names.back().copied = keepCopyBeforeReplacing(piece.name);
        files::writeFile(piece.name, pieceBytes(bytes, lines, piece.start, piece.end));
        names.back().written = true;
        wroteAny = true;
        continue;
      }
      names.push_back(row);
    }
  } catch (const files::FileError& error) {
    ui_.showError(error.what());
    // What was written (and copied) so far stays undoable; with nothing done the list is left alone.
    if (!wroteAny && std::none_of(names.begin(), names.end(), [](const undo::SavedFile& r) { return r.copied; })) return;
  }
  for (const std::string& name : refused) ui_.showMessage(name + t.pieceIsSource);
  setUndo(undo::Split{std::move(names)});
  setEnabled({"NewFileB", "SaveAs1"}, true);
  DisableSearchMenus();
  // The undo stays reachable after a split, as after a join.
  setEnabled({"undoB", "Repeat1"}, true);
  changed();
}

void Workspace::showSplitPiece(int row) {
  if (!splitPlan_ || CheckListBox2.isHeader(row)) return;
  const std::uint32_t key = CheckListBox2.row(row).record;
  if (key == 0 || key > splitPlan_->pieces.size()) return;
  const SplitPiece& piece = splitPlan_->pieces[key - 1];
  // The caption's line numbers, 1-based: an empty piece shows nothing.
  const int first = piece.start + 1, last = piece.end + 1;
  std::string bytes;
  try {
    bytes = files::readFile(splitPlan_->file);
  } catch (const files::FileError& error) {
    ui_.showError(error.what());
    return;
  }
  const std::vector<LineSpan> lines = split::indexLines(bytes);
  std::string text;
  for (int j = std::max(first, 1); j <= last && j <= static_cast<int>(lines.size()); ++j) {
    if (j > std::max(first, 1)) text += "\r\n";
    text += lineAt(bytes, lines, j - 1);
  }
  ui_.showTextInBuiltInEditor(text);
}

}  // namespace kelvane
