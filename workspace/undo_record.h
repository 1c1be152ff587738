#pragma once
// What the one level of undo needs, as one type: each undoable operation produces its record and the
// undo consumes it. The hidden list CheckListBoxUNDO shows the same content in its described rows,
// marker row last, but only for the eye: nothing reads it back. Whether a replace preview is pending
// is whether the record holds a preview.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "workspace/check_list.h"
#include "workspace/records.h"

namespace kelvane {

namespace undo {

// The hidden list is empty: "やり直せません！！".
struct Nothing {};
// The hidden list holds rows without a marker (a search's rows, the split points, the folders of a
// build): the undo does nothing visible.
struct Unmarked {
  std::vector<std::string> rows;  // what the hidden list shows
};

// A pending replace preview, with everything it used: the overwrite writes exactly what it showed.
struct Preview {
  std::string pattern;      // the search text the matches were found with
  std::string replacement;  // the template
  bool fuzzy = false;       // the fuzzy option the pattern was compiled with
  bool regExp = false;      // the search mode of the rows (a CR LF after the label or not)
  // After a plain-text search the text is replaced as the search found it: literally, upper and lower
  // case told apart only when the search told them apart.
  bool caseSensitive = false;
  // Per result row, the text the row does not show: the unreplaced text of a checked match row, the
  // replaced text of an unchecked one, the header text of a header row. A check click swaps the two.
  std::vector<std::string> other;
};

// One file the overwrite handled: its copy and, when it wrote the file, what it wrote (as a size and
// a hash, so that the undo puts the copy back only over exactly those bytes).
struct OverwrittenFile {
  std::string file;
  std::string copy;
  bool written = false;
  std::size_t size = 0;
  std::uint64_t hash = 0;
};
struct Overwrite {
  std::vector<OverwrittenFile> files;
};

// The target list as it was before a narrowing, with the paths its rows name.
struct Narrowing {
  std::vector<CheckRow> rows;
  PathRecords paths;
};

// A file a join or split save may have written.
struct SavedFile {
  std::string path;
  bool copied = false;   // it replaced a file, whose copy is below the temporary folder
  bool written = false;  // this save wrote it
  // What it wrote, as a size and a hash: the undo touches the file only while it still holds that.
  std::size_t size = 0;
  std::uint64_t hash = 0;
};
struct Join {
  SavedFile file;
};
struct Split {
  std::vector<SavedFile> pieces;  // every listed piece, written or not
};

}  // namespace undo

using UndoRecord = std::variant<undo::Nothing, undo::Unmarked, undo::Preview, undo::Overwrite, undo::Narrowing,
                                undo::Join, undo::Split>;

// The rows the hidden list shows for record: its described layout, the marker row last.
std::vector<CheckRow> hiddenRows(const UndoRecord& record, const std::vector<CheckRow>& results);

}  // namespace kelvane
