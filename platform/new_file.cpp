#include "platform/new_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_internal.h"
#include "platform/unique_fd.h"

namespace kelvane::files {

std::optional<FileId> createNewFile(const std::string& path) {
  const std::string native = internal::nativeOrThrow(path, internal::kCannotWrite);
  // O_EXCL fails on any existing name, a dangling link included, and never follows a link.
  UniqueFd fd(open(native.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0666));
  if (!fd) {
    if (errno == EEXIST) return std::nullopt;
    const int err = errno;
    throw FileError(internal::failure(internal::kCannotWrite, path, err), err);
  }
  struct stat st;
  if (fstat(fd.get(), &st) != 0) {
    const int err = errno;
    throw FileError(internal::failure(internal::kCannotWrite, path, err), err);
  }
  return FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

}  // namespace kelvane::files
