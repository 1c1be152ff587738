#pragma once
// The arithmetic of the file split, apart from the window: where the lines of a file begin and end,
// which lines each piece takes in each split mode, and what a piece is called.
//
// A split of a large file must not hold the file twice: the file is read once as bytes and only the
// places of its lines are kept beside them, cut exactly as the line lists cut them.
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/line_list.h"
#include "workspace/saved_file.h"
#include "workspace/undo_record.h"

namespace kelvane::split {

using files::indexLines;
using files::LineSpan;

// The lines of one piece, 0-based and inclusive; end < start for a piece without lines.
struct PieceRange {
  int number = 0;  // the split point i that starts the piece
  int start = 0;
  int end = -1;
};

// points holds u(0) = 1, the matching line numbers (1-based, ascending) and last the file's line
// count; checked says which of them start a piece (the last one never does). mode is 1 (the matching
// line starts its piece), 2 (it also ends the piece before) or 3 (it ends the piece before); any other
// mode gives no pieces.
std::vector<PieceRange> pieceRanges(const std::vector<int>& points, const std::vector<bool>& checked, int mode);

// The name of piece number beside source: the file name with each occurrence of its extension
// (compared without regard to case) preceded by the number, the folders untouched; a name without an
// extension gets the number appended (memo -> memo0).
std::string pieceName(const std::string& source, int number);

}  // namespace kelvane::split

namespace kelvane {

class Workspace;

// The split of one result file: the preparation (its plan, listed in the join/split list), the save
// of the plan's pieces and the undo of that save.
class FileSplit {
 public:
  explicit FileSplit(Workspace& ws) : ws_(ws) {}
  FileSplit(const FileSplit&) = delete;
  FileSplit& operator=(const FileSplit&) = delete;

  // "ファイルの分割": split mode, the split prepared for the selected result header row, tab 1 shown.
  void File2Click();
  // Lists each wanted piece of the selected result file (its name and a preview) and keeps the
  // file, its size, hash and line count and the piece ranges for the save.
  void PrepareSplit();
  // The save's question (naming the existing files it would replace), then each listed piece that is
  // still checked, has two lines or more and does not start with an empty line, written from the
  // source as the preparation read it. The hidden list then holds the piece names and "分割".
  saves::SaveEnd SplitSave();
  // A double click on row in split mode: the piece's lines in the built-in editor.
  void showPiece(int row);
  // The list now shows something else (a join): there is no split to save.
  void forget();
  // The "分割" branch of the undo.
  void undoSave(const undo::Split& record);

 private:
  struct Piece {
    int number = 0;  // i of the split point that starts it; its name carries this number
    int start = 0;   // 0-based first line
    int end = -1;    // 0-based last line; before start for an empty piece
    bool writable = false;  // two lines or more, the first not empty
    std::string name;
  };
  struct Plan {
    std::string file;
    std::optional<files::FileId> id;
    std::size_t size = 0;
    std::uint64_t hash = 0;
    std::size_t lineCount = 0;
    std::vector<Piece> pieces;  // listed piece p: header row 2p, content row 2p + 1
  };
  // A piece an earlier try of this plan's save wrote, and what it wrote.
  struct Written {
    bool copied = false;
    std::size_t size = 0;
    std::uint64_t hash = 0;
  };
  // The pieces the save is to write, and those of them that exist now (the person is told).
  std::vector<std::size_t> wantedPieces() const;
  bool ask(const std::vector<std::size_t>& wanted, std::vector<bool>& existed);
  bool sourceUnchanged(std::string& bytes);
  // Why piece p is not to be written now, or empty.
  using IdCount = std::map<std::pair<std::uint64_t, std::uint64_t>, int>;  // by device and inode
  std::string refusal(std::size_t p, const IdCount& ids) const;
  bool writtenBefore(std::size_t p, std::string& reason) const;
  void finish(const std::vector<std::string>& leftAlone);

  Workspace& ws_;
  std::optional<Plan> plan_;          // the split the join/split list shows, in split mode
  std::map<std::size_t, Written> written_;  // by piece: what the tries of this plan wrote
};

}  // namespace kelvane
