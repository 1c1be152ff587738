#pragma once
// Making a file that must be new: a save that told the person it writes a new file must not replace
// one that appeared since, nor write through a link that stands where the new name is.
#include <optional>
#include <string>

#include "platform/files.h"

namespace kelvane::files {

// Creates path as an empty file, only when nothing of that name exists: a file, a folder or a link
// (even one that points nowhere; nothing is ever created through it). Returns the new file's id;
// nullopt when the name is taken. Raises FileError naming the path for the other failures (a folder
// that does not exist or cannot be written, a full disk).
std::optional<FileId> createNewFile(const std::string& path);

}  // namespace kelvane::files
