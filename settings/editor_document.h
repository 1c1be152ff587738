#pragma once
// The built-in editor's file: what it was loaded from, the file its title names, the modified flag,
// and the open and save commands with their questions. The Qt window (settings/ui/EditerUnit) only
// shows the text, forwards the menu commands and answers through an EditorPort.
//
// Files are never lost to a save:
// - what the person did not edit is written back byte for byte (editor_text.h);
// - right before a file is replaced it is read again; when it is no longer what the editor read
//   (or last wrote) there, the person is asked, naming the file, before it is replaced;
// - the bytes a save replaces, unless the editor wrote them itself, are first copied below the
//   program's temporary folder: tempCopyPath(TEMP + "/Editer", file), beside (not over) the copies
//   the main window's overwrite keeps, so its undo never loses the copy it restores from.
// "The same file" is the same device and inode, so a save under another name of the opened file
// (a link) is checked as the opened file is.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "settings/editor_text.h"

namespace kelvane {

// What the editor asks of the person. Texts and paths are CP932.
class EditorPort {
 public:
  virtual ~EditorPort() = default;
  virtual bool askYesNo(const std::string& text) = 0;
  virtual void inform(const std::string& text) = 0;
  // The file choosers with the filter "テキストファイル" (*.txt); nullopt when cancelled.
  virtual std::optional<std::string> chooseOpenFile() = 0;
  virtual std::optional<std::string> chooseSaveFile(const std::string& initialFolder) = 0;
};

class EditorDocument {
 public:
  explicit EditorDocument(EditorPort& port) : port_(port) {}

  // The program's temporary folder (StartupFolder + "/Temp"); until set, the current folder's "Temp".
  void setTempFolder(std::string folder) { tempFolder_ = std::move(folder); }

  // Reads path as the editor's text and makes it the title's file; not modified. A file that
  // cannot be read is reported and everything stays as it was. Returns whether it was read.
  bool load(const std::string& path);
  // CP932 text with no file behind it: the title "Editer", not modified.
  void showText(const std::string& cp932);

  // What the window shows (UTF-8, LF line ends) and the title's file ("" while it is "Editer").
  const std::string& shownText() const { return text_.shown(); }
  const std::string& path() const { return path_; }

  bool modified() const { return modified_; }
  // Any edit of the window's text, an undo back to the loaded text included.
  void edited() { modified_ = true; }

  // The commands. windowText is the window's text, UTF-8 with LF line ends.
  // "開く(&O)...": true when a file was loaded (the window shows shownText() and path()).
  bool openChosen();
  // "名前を付けて保存": title and modified flag stay.
  void saveAs(std::string_view windowText);
  // "上書き保存(&S)": true when the file was written.
  bool overwrite(std::string_view windowText);
  // The window closes: asks whether to save the edits. False when the person wanted them saved and
  // they were not; the window then stays, so that the edits are not lost.
  bool close(std::string_view windowText);

 private:
  struct FileId {
    std::uint64_t device = 0, inode = 0;
    auto operator<=>(const FileId&) const = default;
  };
  static std::optional<FileId> fileId(const std::string& path);
  // The save of "上書き保存(&S)" and of the close, after their questions: to the title's file, or to
  // a chosen one while no file is opened yet.
  bool saveToTitle(std::string_view windowText);
  // Writes the encoded text to path (titleFile: path is the title's file, checked against what was
  // read from it); returns the bytes written, or nullopt after reporting why nothing was.
  std::optional<std::string> saveTo(const std::string& path, std::string_view windowText, bool titleFile);
  // Before path is replaced: asks when the file is not what the editor read or wrote there, and
  // keeps a copy of what it replaces. False when the save must not go on. read gets the bytes the
  // file held, when there was one: the write replaces them only while they are still there.
  bool readyToReplace(const std::string& path, bool isTitleFile, std::optional<std::string>& read);
  std::string copyFolder() const;

  EditorPort& port_;
  std::string tempFolder_;
  editor::LoadedText text_;  // what the title's file held when it was read or last saved
  std::string path_;
  bool modified_ = false;
  // Per file written (after the write's rename), the size and hash of the bytes written: a file
  // that still holds them is the editor's own work, neither a stranger's change nor worth a copy.
  std::map<FileId, std::pair<std::size_t, std::size_t>> written_;
};

}  // namespace kelvane
