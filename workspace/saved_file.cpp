// A save never writes where the person was not told it would: a new file is created only while the
// name is free (platform/new_file.h), and a file it replaces is compared, right before the new bytes
// go in, with the bytes its copy was made from.
#include "workspace/saved_file.h"

#include <functional>

#include "platform/files.h"
#include "platform/line_list.h"
#include "platform/new_file.h"
#include "workspace/texts.h"
#include "workspace/ui_port.h"

namespace kelvane::saves {

namespace {

WriteResult writeNew(const std::string& path, std::string_view bytes) {
  const std::optional<files::FileId> made = files::createNewFile(path);
  if (!made) return {false, false, texts().reasonAppeared};
  try {
    files::writeFileIfUnchanged(path, "", bytes);
  } catch (const files::FileError&) {
    // The empty file is this save's own; it goes, unless something else stands there by now.
    if (files::fileId(path) == made) files::deleteFile(path);
    throw;
  }
  return {true, false, {}};
}

}  // namespace

WriteResult writeSaved(const std::string& path, bool existed, std::string_view bytes, const std::string& tempFolder) {
  if (!existed) return writeNew(path, bytes);
  files::LineFile old;
  try {
    old = files::readLines(path);
  } catch (const files::FileError& error) {
    // Gone since the question: nothing of the person's is replaced by writing it as a new file.
    if (error.notFound()) return writeNew(path, bytes);
    throw;
  }
  files::makeCopy(old, files::tempCopyPath(tempFolder, path));
  try {
    files::writeFileIfUnchanged(path, old.bytes, bytes);
  } catch (const files::FileChangedError&) {
    return {false, false, texts().reasonChangedSinceAsked};
  }
  return {true, true, {}};
}

void restoreReplaced(UiPort& ui, const std::string& tempFolder, const std::string& path, std::size_t size,
                     std::uint64_t hash) {
  const WorkspaceTexts& t = texts();
  const std::string named = t.overwrittenFile + "\"" + path + "\"";
  const std::string copy = files::tempCopyPath(tempFolder, path);
  try {
    if (!files::fileExists(path)) {
      files::restoreCopy(copy, path);
    } else {
      // Over the very bytes the save wrote, compared right before: an edit saved since is kept.
      const std::string now = files::readFile(path);
      if (now.size() != size || bytesHash(now) != hash) throw files::FileChangedError(path);
      files::writeFileIfUnchanged(path, now, files::readFile(copy));
    }
    ui.showMessage(named + t.restoreOk);
  } catch (const files::FileChangedError&) {
    ui.showMessage(t.newFile + "\"" + path + "\"" + t.changedSinceSave);
  } catch (const files::FileError& error) {
    ui.showMessage(named + t.restoreNg + "\r\n" + error.what());
  }
}

std::uint64_t bytesHash(std::string_view bytes) { return std::hash<std::string_view>{}(bytes); }

bool stillHolds(const std::string& path, std::size_t size, std::uint64_t hash) {
  try {
    const std::string now = files::readFile(path);
    return now.size() == size && bytesHash(now) == hash;
  } catch (const files::FileError&) {
    return false;
  }
}

}  // namespace kelvane::saves
