// Opening is one open(2) and one fstat(2): the kind of the entry is asked of the open descriptor,
// so what was checked is what is read. O_NONBLOCK keeps the open of a fifo from waiting for a writer
// (it is refused right after); reads of a regular file never block, so the flag can stay. O_NOCTTY
// keeps a terminal device from becoming ours on the way to being refused.
#include "platform/read_handle.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "platform/cp932.h"
#include "platform/files.h"

namespace kelvane::files {
namespace {

const char* kindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "フォルダ";
  if (S_ISFIFO(mode)) return "名前付きパイプ";
  if (S_ISSOCK(mode)) return "ソケット";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "デバイス";
  return "特殊なファイル";
}

[[noreturn]] void refuseKind(const std::string& path, mode_t mode) {
  std::string text = "：通常のファイルではありません（" + std::string(kindOf(mode)) + "）";
  throw FileError(path + cp932::fromUtf8(text).text, S_ISDIR(mode) ? EISDIR : EINVAL);
}

[[noreturn]] void failWith(const std::string& path, int err) { throw FileError(readFailure(path, err), err); }

}  // namespace

ReadHandle::~ReadHandle() { close(); }

ReadHandle::ReadHandle(ReadHandle&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      path_(std::move(other.path_)),
      size_(other.size_),
      consumed_(other.consumed_),
      permissions_(other.permissions_) {}

ReadHandle& ReadHandle::operator=(ReadHandle&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
    size_ = other.size_;
    consumed_ = other.consumed_;
    permissions_ = other.permissions_;
  }
  return *this;
}

void ReadHandle::close() {
  if (fd_ >= 0) ::close(std::exchange(fd_, -1));
}

std::size_t ReadHandle::readBlock(char* into, std::size_t n) {
  std::size_t got = 0;
  while (got < n) {
    ssize_t r = ::read(fd_, into + got, n - got);
    if (r < 0) {
      const int err = errno;
      if (err == EINTR) continue;
      throw FileError(readFailure(path_, err), err);
    }
    if (r == 0) break;
    got += static_cast<std::size_t>(r);
    // All the file had when it was opened is in: no second call just to be told of its end.
    if (size_ > 0 && consumed_ + got >= size_) break;
  }
  consumed_ += got;
  return got;
}

std::string ReadHandle::readRest() {
  std::string bytes;
  // The size known at the open plus one byte, so a file that did not change is read in one piece.
  // A short piece is the end (readBlock reads on until the piece is full or the file ends).
  std::size_t piece = size_ > consumed_ ? static_cast<std::size_t>(size_ - consumed_) + 1 : 65536;
  for (;;) {
    std::size_t have = bytes.size();
    bytes.resize(have + piece);
    std::size_t got = readBlock(bytes.data() + have, piece);
    bytes.resize(have + got);
    if (got < piece) break;
    piece = 65536;
  }
  return bytes;
}

ReadHandle openForReading(const std::string& path) {
  auto native = toNative(path);
  if (!native) throw FileError(readFailure(path, EILSEQ), EILSEQ);
  if (native->empty()) throw FileError(readFailure(path, ENOENT), ENOENT);
  ReadHandle handle;
  handle.path_ = path;
  handle.fd_ = ::open(native->c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (handle.fd_ < 0) {
    const int err = errno;
    // A socket cannot be opened at all (ENXIO); say what it is rather than what open(2) says.
    struct stat st;
    if (err != ENOENT && err != EACCES && ::stat(native->c_str(), &st) == 0 && !S_ISREG(st.st_mode))
      refuseKind(path, st.st_mode);
    failWith(path, err);
  }
  struct stat st;
  if (::fstat(handle.fd_, &st) != 0) failWith(path, errno);
  if (!S_ISREG(st.st_mode)) refuseKind(path, st.st_mode);
  handle.size_ = static_cast<std::uint64_t>(st.st_size);
  handle.permissions_ = static_cast<unsigned>(st.st_mode & 07777);
  return handle;
}

}  // namespace kelvane::files
