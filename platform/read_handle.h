#pragma once
// The one way the program opens a file to read it: the whole-file read, the text file reader of the
// file grep, the plain-text search and the line lists all come through here, so they refuse the same
// things with the same words.
//
// Only a regular file is read. A folder, a fifo, a socket or a device is refused with a message that
// says which it is, and the open never waits: a fifo without a writer would otherwise hold the search
// forever.
#include <cstddef>
#include <cstdint>
#include <string>

namespace kelvane::files {

class ReadHandle {
 public:
  ReadHandle() = default;
  ~ReadHandle();
  ReadHandle(ReadHandle&& other) noexcept;
  ReadHandle& operator=(ReadHandle&& other) noexcept;
  ReadHandle(const ReadHandle&) = delete;
  ReadHandle& operator=(const ReadHandle&) = delete;

  bool isOpen() const { return fd_ >= 0; }
  const std::string& path() const { return path_; }
  // The file's size and permission bits when it was opened.
  std::uint64_t size() const { return size_; }
  unsigned permissions() const { return permissions_; }

  // Reads up to n bytes into `into` and returns how many came: n, or fewer at the end of the file,
  // 0 once it is past. Once the bytes the file had when it was opened are all in, a read returns
  // without asking the system again. Raises FileError on a read error.
  std::size_t readBlock(char* into, std::size_t n);
  // The rest of the file.
  std::string readRest();

  void close();

 private:
  friend ReadHandle openForReading(const std::string& path);
  int fd_ = -1;
  std::string path_;
  std::uint64_t size_ = 0;
  std::uint64_t consumed_ = 0;
  unsigned permissions_ = 0;
};

// Opens the regular file at path (CP932) for reading. Raises FileError whose text is the path, "："
// and what went wrong; notFound() tells a missing file from the other failures.
ReadHandle openForReading(const std::string& path);

// The text of a failure to read path: the path, "：" and the reason for the error number.
std::string readFailure(const std::string& path, int error);

}  // namespace kelvane::files
