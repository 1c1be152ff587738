#pragma once
// TTxtFile: the text file reader of the file grep.
//
// The reader does not hand out characters: it keeps a window of the file in memory, and its caller,
// the file grep's scan (grep_scan.cpp), walks the window itself with pointer steps, memchr and
// memmem, and asks for the next block when it reaches the end. The window holds only what is still
// needed: the caller names, at each refill, the first byte it must keep (the start of the line it
// may yet report); everything before it is dropped, so a line is kept whole however many blocks it
// spans, and nothing else outlives its block.
//
// The file is read in blocks (100 KB unless a test asks for less), and each block is normalised as
// it comes in, so that the caller need know nothing of the file's line ends:
//   - CR LF, a lone LF and a lone CR all become one LF (a CR that ends a block waits for the next
//     block to learn which it is);
//   - a zero byte of the file becomes a blank, so a zero byte in the window always means "no more
//     data here";
//   - the text starts with an LF, so the first line starts like every other one (and "^" matches
//     it), and the last line always ends with an LF, added when the file has none.
// Readers of the window take a lead byte followed by an LF as a one-byte character: broken Shift-JIS
// never hides a line end inside a double-byte character, so line numbers stay right.
//
// After every block the reader calls the caller's ProcessMessages callback (the window repaints, the
// user may press Stop) and then checks the caller's cancel flag; the caller makes the same check
// point before each line it reports. The tests read the window one character at a time through a
// reference reader (tests/testing/reference_reader.h) and compare with the whole file decoded.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/read_handle.h"

namespace kelvane {

// An input or output failure of a file. what() names the file and the system's reason.
class EInOutError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The file has no data: raised by the constructor for an empty file. Its message is "End Of File".
class EEndOfFile : public EInOutError {
 public:
  EEndOfFile() : EInOutError("End Of File") {}
};

// The file cannot be opened (missing, unreadable, a folder, a fifo or a device). what() is the path,
// "：" and what went wrong, in CP932.
class EFileNotFound : public EInOutError {
 public:
  using EInOutError::EInOutError;
};

// The caller's cancel flag was set at a check point. Its message is "CancelRequest".
class EGrepCancel : public std::runtime_error {
 public:
  EGrepCancel() : std::runtime_error("CancelRequest") {}
};

// One reported line: its text without the line end, and its 1-based number in the file.
struct RE_LineInfo_t {
  std::string Line;
  std::int32_t LineNo = 0;
};

// The callback that lets the window process its pending messages; may be empty.
using ProcessMessagesFn = std::function<void()>;

// The storage of a reader's window. Its bytes start uninitialised: the reader writes every byte it
// reads back. A caller that reads many files in turn may keep one and lend it to each reader, so a
// file costs no allocation; only one reader may hold it at a time.
class TTxtWindow {
 public:
  char* data() const { return p_.get(); }
  std::size_t size() const { return size_; }
  // Grows the storage to at least n bytes, keeping its first keep bytes. Raises std::bad_alloc.
  void Grow(std::size_t n, std::size_t keep);
  // Frees the storage.
  void Release() {
    p_.reset();
    size_ = 0;
  }

 private:
  std::unique_ptr<char[]> p_;
  std::size_t size_ = 0;
};

class TTxtFile {
 public:
  static constexpr std::size_t kBlockSize = 102400;
  static constexpr std::size_t kSpareSize = 100;

  // Opens fileName (a CP932 path) for reading and reads its first block. cancel may be null.
  // storage, when given, is the window's storage for the reader's life (it must outlive the reader
  // and serve no other reader meanwhile); otherwise the reader has its own.
  // Raises EFileNotFound when the file cannot be opened, EEndOfFile when it is empty, EInOutError on
  // a read error and EGrepCancel when *cancel is set after the first block.
  TTxtFile(const std::string& fileName, const bool* cancel, ProcessMessagesFn processMessages = {},
           std::size_t blockSize = kBlockSize, TTxtWindow* storage = nullptr);
  ~TTxtFile();
  TTxtFile(const TTxtFile&) = delete;
  TTxtFile& operator=(const TTxtFile&) = delete;

  const std::string& FileName() const { return fileName_; }

  // The window: Data()[0, DataEnd()) is normalised text (no CR, no zero byte) followed by three
  // zero bytes. Never raises.
  const char* Data() const { return win_->data(); }
  std::size_t DataEnd() const { return dataEnd_; }
  // True once the last block of the file is in the window (its final LF included). Never raises.
  bool AtFileEnd() const { return atEnd_; }
  // Reads the next block behind the data, first dropping the text before keep (keep <= DataEnd()):
  // every position taken from the window before the call moves down by *shift. Returns false when
  // nothing new came (at the end of the file, or a block that held only a CR). Raises EInOutError,
  // and EGrepCancel from the check point after the block.
  bool Refill(std::size_t keep, std::size_t* shift);
  // Lets the window process its messages, then raises EGrepCancel when the cancel flag is set.
  void CheckPoint();

 private:
  void ReadBlock();
  std::size_t ReadRaw(char* into, std::size_t want);
  void Reserve(std::size_t bytes);
  void AppendNormalised(const char* p, std::size_t n);
  char* W() const { return win_->data(); }

  std::string fileName_;
  files::ReadHandle file_;
  std::uint64_t fileSize_ = 0;
  std::uint64_t consumed_ = 0;
  std::size_t blockSize_;
  const bool* cancel_;
  ProcessMessagesFn processMessages_;
  TTxtWindow own_;
  TTxtWindow* win_;  // the window: own_ or the caller's storage
  std::size_t dataEnd_ = 0;
  bool atEnd_ = false;
  bool pendingCR_ = false;  // the last block ended in a CR whose partner is not yet known
  bool lastWasLF_ = true;   // the last byte appended is an LF
};

}  // namespace kelvane
