#pragma once
// The text file reader one character at a time, for the tests: the slow, obvious way to read
// TTxtFile's window, against which the tests check the window itself (at block sizes down to one
// byte, compared with the whole file decoded by reference_grep.h).
//
// It reads from two positions, as the file grep of old did: the anchor, where the current attempt
// starts, and the look-ahead, from which the attempt reads on; when the attempt succeeds it returns
// the whole line that holds the anchor, with its number, however many blocks ago that line began.
// It uses only TTxtFile's public window calls: at each refill it keeps the window from the anchor's
// line start on, and moves its own positions down by the shift the reader reports.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "pattern/txt_file.h"
#include "tests/testing/reference_grep.h"

namespace kelvane::testing {

class RefTxtReader {
 public:
  // Opens the file as TTxtFile does, and raises what its constructor raises.
  RefTxtReader(const std::string& path, const bool* cancel, ProcessMessagesFn processMessages = {},
               std::size_t blockSize = TTxtFile::kBlockSize);

  // Advances the anchor by one character and returns its code (lead * 256 + trail for a double-byte
  // character); the look-ahead then stands at the new anchor. Reading an LF starts the next line.
  // Raises EEndOfFile once the last LF of the file has been read, and what a refill raises.
  std::uint16_t GetChar();
  // Reads the character at the look-ahead and advances past it; 0 from the end of the file on,
  // without raising. Raises what a refill raises.
  std::uint16_t NextChar();
  // The anchor's line (without its line end) and its number; leaves the anchor on the LF that ends
  // the line, so the next GetChar begins the following line. Makes the reader's check point first
  // (EGrepCancel), and raises what a refill raises.
  RE_LineInfo_t GetLine();

 private:
  // Refills until pos (anchor_ or look_) lies in the window; false when it lies past the file's end.
  bool HaveByteAt(std::size_t& pos);
  // The code of the character at pos, stepping pos past it.
  std::uint16_t ReadAt(std::size_t& pos);

  TTxtFile file_;
  std::size_t lineStart_ = 0, anchor_ = 0, look_ = 0;
  std::int32_t lineNo_ = 0;
};

// The file grep walked through the reader: from each character GetChar hands out the automaton is
// walked over NextChar until it dies or accepts, and an accepting walk reports GetLine. An empty
// file reports nothing. Raises what the reader raises, except EEndOfFile.
std::vector<RE_LineInfo_t> readerGrep(const std::string& path, const RefAutomaton& automaton, std::size_t blockSize);

}  // namespace kelvane::testing
