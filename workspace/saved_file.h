#pragma once
// What the join and split saves share: writing one file the person was told about, keeping a copy of
// what it replaces, and putting that copy back at the undo.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelvane {

class UiPort;

namespace saves {

// How a save command ended.
enum class SaveEnd {
  kNotAsked,  // the person cancelled the save's question: nothing happened
  kRetry,     // it failed or left files alone: the list stays and the save can be tried again
  kOver,      // it saved, or the person let it go (the file chooser cancelled)
};

struct WriteResult {
  bool written = false;
  bool copied = false;  // the file it replaced is kept below the temporary folder
  std::string reason;   // when not written: why, as a text after the path
};

// Writes bytes to path. existed says what the person was told: when false the file must be new, and
// a file or link of that name that appeared since is left alone; when true the file there is read,
// copied below tempFolder, and replaced only while it still holds the bytes the copy was made from.
// Raises files::FileError when the write fails; the file is then as it was, and a new file this call
// made is gone again.
WriteResult writeSaved(const std::string& path, bool existed, std::string_view bytes, const std::string& tempFolder);

// The undo of a save that replaced path: the copy kept before the save goes back, with a message
// saying whether it did, but only over what the save wrote there (size bytes hashing to hash); a
// file that holds anything else by then is left alone and named.
void restoreReplaced(UiPort& ui, const std::string& tempFolder, const std::string& path, std::size_t size,
                     std::uint64_t hash);

// A hash of what a save wrote, kept with its size in the undo record.
std::uint64_t bytesHash(std::string_view bytes);

// Whether the file at path still holds exactly what a save wrote (size bytes hashing to hash). An
// undo that deletes or restores a file only does so then: an edit made since the save is never lost.
// False when the file cannot be read.
bool stillHolds(const std::string& path, std::size_t size, std::uint64_t hash);

}  // namespace saves
}  // namespace kelvane
