#pragma once
// The file join: the join list built from the checked target files, its separator edits, its save
// into a new file and the undo of that save. The rows' drag and drop stays with the Workspace.
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "workspace/records.h"
#include "workspace/saved_file.h"
#include "workspace/undo_record.h"

namespace kelvane {

class Workspace;

class FileJoin {
 public:
  explicit FileJoin(Workspace& ws) : ws_(ws) {}
  FileJoin(const FileJoin&) = delete;
  FileJoin& operator=(const FileJoin&) = delete;

  // Lists every checked target file that exists as a content row with a preview, between separator
  // rows holding the separator setting. A build in split mode first returns to join mode.
  void BuildJoinList();
  // After the save question: the separator rows and the whole of each checked file, in list order,
  // into the file the person chooses. A file there is replaced only after its own question, never
  // when it is one of the files joined, and its bytes are kept below the temporary folder first.
  saves::SaveEnd JoinSave();
  void N10Click();  // "項目の追加"
  void N11Click();  // "選択項目の削除"
  void N8Click();   // "文字列の変更"
  void N9Click();   // "文字列の変更(選択セル以降)"
  // The file of content row index; nullopt for a separator row or a row the join did not make.
  std::optional<std::string> path(int index) const;
  // The list now shows something else (a split): its rows name no file of the join.
  void forget() { paths_.clear(); }
  // The "結合" branch of the undo: the saved file deleted, or the file it replaced put back.
  void undoSave(const undo::Join& record);

 private:
  void returnToJoinMode();
  bool addContentRow(const std::string& path, const std::string& separator);
  // The bytes of the new file, with the ids of the files they come from; nullopt after a message.
  std::optional<std::string> joinedBytes(std::vector<files::FileId>& sources);
  std::string initialFolder() const;
  // Whether the person wants target written: refused when it is one of sources, asked when it exists.
  // existed tells which; nullopt when it is not to be written.
  std::optional<bool> mayWrite(const std::string& target, const std::vector<files::FileId>& sources);

  Workspace& ws_;
  PathRecords paths_;  // the files of the content rows
};

}  // namespace kelvane
