#pragma once
// The replace session of the main window: the preview in the result list, the overwrite of the files
// and the undo of both. What a pending preview showed lives in the undo record (undo::Preview) and
// what the overwrite wrote in undo::Overwrite; the session reads and leaves those, and keeps the work
// of one overwrite (the files, grouped by identity, with their checked lines) to itself.
//
// Other operations reach it only through the public calls below: the narrowing, the join tab and the
// split end a pending preview with undoPreview() before they change the lists under it.
#include <string>
#include <vector>

namespace kelvane {

class Workspace;
namespace undo {
struct Preview;
struct Overwrite;
struct OverwrittenFile;
}  // namespace undo

class ReplaceSession {
 public:
  explicit ReplaceSession(Workspace& ws) : ws_(ws) {}
  ReplaceSession(const ReplaceSession&) = delete;
  ReplaceSession& operator=(const ReplaceSession&) = delete;

  // Asks for the replacement text and shows the replaced lines in the checked match rows; the other
  // text of each row goes into the preview record. A pending preview is undone first.
  void preview();
  // Rewrites the checked lines of each file the preview names, after a copy and a confirmation per
  // file; every file left alone is named in one message afterwards.
  void overwrite();
  // The "置換" branch of the undo: every row gets its unreplaced text back and keeps its check mark.
  void undoPreview();
  // The "上書" branch: after its question, each written file goes back to its copy while it still
  // holds exactly what the overwrite wrote.
  void undoOverwrite(const undo::Overwrite& record);
  // Result row index had its check mark flipped: while a preview is pending, the row and the record
  // exchange their texts, so a checked row shows the replaced text.
  void checkChanged(int index);

 private:
  struct FileWork;
  std::vector<FileWork> workList(const undo::Preview& preview) const;
  // False when the overwrite must stop (a copy or the file could not be written; shown already).
  bool overwriteOne(const FileWork& work, undo::Overwrite& done, std::vector<std::string>& refused);
  bool writeAsked(const FileWork& work, const std::string& readBytes, const std::string& newBytes,
                  undo::OverwrittenFile& record, std::vector<std::string>& refused);
  // The replaced text of one match row's line, as the preview shows it. Raises ERegExpParser.
  std::string replacedLine(const undo::Preview& preview, std::string line) const;
  void restoreWritten(const undo::OverwrittenFile& file);

  Workspace& ws_;
};

}  // namespace kelvane
