#pragma once
// The arithmetic of the file split, apart from the window: where the lines of a file begin and end,
// which lines each piece takes in each split mode, and what a piece is called.
//
// A split of a large file must not hold the file twice: the file is read once as bytes and only the
// places of its lines are kept beside them, cut exactly as the line lists cut them.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/line_list.h"

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
