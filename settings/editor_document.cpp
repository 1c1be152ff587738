#include "settings/editor_document.h"

#include <sys/stat.h>

#include <functional>

#include "platform/files.h"
#include "platform/line_list.h"
#include "settings/form_texts.h"

namespace kelvane {
namespace {

std::pair<std::size_t, std::size_t> fingerprint(std::string_view bytes) {
  return {bytes.size(), std::hash<std::string_view>{}(bytes)};
}

}  // namespace

std::optional<EditorDocument::FileId> EditorDocument::fileId(const std::string& path) {
  const std::optional<std::string> native = files::toNative(path);
  struct stat st;
  if (!native || native->empty() || stat(native->c_str(), &st) != 0) return std::nullopt;
  return FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

std::string EditorDocument::copyFolder() const {
  const std::string temp = tempFolder_.empty() ? files::currentFolder() + "/Temp" : tempFolder_;
  return temp + "/Editer";
}

bool EditorDocument::load(const std::string& path) {
  std::string bytes;
  try {
    bytes = files::readFile(path);
  } catch (const std::exception& e) {
    port_.inform(e.what());
    return false;
  }
  text_ = editor::LoadedText(std::move(bytes));
  path_ = path;
  modified_ = false;
  return true;
}

void EditorDocument::showText(const std::string& cp932) {
  text_ = editor::LoadedText(cp932);
  path_.clear();
  modified_ = false;
}

bool EditorDocument::openChosen() {
  const std::optional<std::string> path = port_.chooseOpenFile();
  if (!path) {
    port_.inform(formTexts().editorNotChosen);
    return false;
  }
  return load(*path);
}

void EditorDocument::saveAs(std::string_view windowText) {
  const std::optional<std::string> path = port_.chooseSaveFile(files::folderPart(path_));
  if (!path) {
    port_.inform(formTexts().editorNotSaved);
    return;
  }
  const std::optional<FileId> target = fileId(*path);
  const bool titleFile = !path_.empty() && target && target == fileId(path_);
  saveTo(*path, windowText, titleFile);
}

bool EditorDocument::overwrite(std::string_view windowText) {
  const FormTexts& t = formTexts();
  if (!modified_) {
    port_.inform(t.editorUnchanged);
    return false;
  }
  if (!port_.askYesNo(t.editorOverwriteQ) || !port_.askYesNo(t.editorReplaceQ)) return false;
  return saveToTitle(windowText);
}

bool EditorDocument::close(std::string_view windowText) {
  const FormTexts& t = formTexts();
  if (!modified_ || !port_.askYesNo(t.editorChangedQ) || !port_.askYesNo(t.editorReplaceQ)) return true;
  return saveToTitle(windowText);
}

bool EditorDocument::saveToTitle(std::string_view windowText) {
  std::string path = path_;
  if (path.empty()) {
    // Nothing was opened: the title names no file, so the person names one.
    const std::optional<std::string> chosen = port_.chooseSaveFile(files::currentFolder());
    if (!chosen) {
      port_.inform(formTexts().editorNotSaved);
      return false;
    }
    path = *chosen;
  }
  std::optional<std::string> bytes = saveTo(path, windowText, !path_.empty());
  if (!bytes) return false;
  // The title's file now holds these bytes: the next save compares with them.
  text_ = editor::LoadedText(std::move(*bytes));
  path_ = path;
  modified_ = false;
  return true;
}

std::optional<std::string> EditorDocument::saveTo(const std::string& path, std::string_view windowText,
                                                  bool titleFile) {
  editor::LoadedText::Encoded encoded = text_.encode(windowText);
  if (!encoded.ok()) {
    port_.inform(formTexts().editorNotCp932);
    return std::nullopt;
  }
  std::optional<std::string> onDisk;
  if (!readyToReplace(path, titleFile, onDisk)) return std::nullopt;
  try {
    // A file that was there is replaced only while it still holds what was just read, asked about
    // and copied: another program's save in between is never overwritten.
    if (onDisk) {
      files::writeFileIfUnchanged(path, *onDisk, encoded.bytes);
    } else {
      files::writeFile(path, encoded.bytes);
    }
  } catch (const std::exception& e) {
    port_.inform(e.what());
    return std::nullopt;
  }
  if (const std::optional<FileId> id = fileId(path)) written_[*id] = fingerprint(encoded.bytes);
  return std::move(encoded.bytes);
}

bool EditorDocument::readyToReplace(const std::string& path, bool isTitleFile, std::optional<std::string>& read) {
  const FormTexts& t = formTexts();
  const std::optional<FileId> id = fileId(path);
  if (!id) return true;  // nothing there to lose
  std::string& onDisk = read.emplace();
  try {
    onDisk = files::readFile(path);
  } catch (const std::exception& e) {
    // What cannot be read cannot be compared or copied: it is not replaced either.
    port_.inform(e.what());
    return false;
  }
  const auto it = written_.find(*id);
  const bool ours = it != written_.end() && it->second == fingerprint(onDisk);
  if (ours) return true;
  if (isTitleFile && onDisk != text_.bytes() &&
      !port_.askYesNo(t.editorChangedOnDiskOpen + path + t.editorChangedOnDiskQ)) {
    port_.inform(t.editorNotSaved);
    return false;
  }
  try {
    const std::optional<std::string> native = files::toNative(path);
    struct stat st;
    const unsigned bits = native && stat(native->c_str(), &st) == 0 ? st.st_mode & 0777 : 0600;
    files::writeCopy(files::tempCopyPath(copyFolder(), path), onDisk, bits);
  } catch (const std::exception& e) {
    port_.inform(t.editorCopyFailed + "\r\n" + e.what());
    return false;
  }
  return true;
}

}  // namespace kelvane
