#include "tests/testing/reference_reader.h"

#include "platform/cp932.h"

namespace kelvane::testing {

RefTxtReader::RefTxtReader(const std::string& path, const bool* cancel, ProcessMessagesFn processMessages,
                           std::size_t blockSize)
    : file_(path, cancel, std::move(processMessages), blockSize) {}

bool RefTxtReader::HaveByteAt(std::size_t& pos) {
  while (pos >= file_.DataEnd()) {
    if (file_.AtFileEnd()) return false;
    std::size_t shift = 0;
    file_.Refill(lineStart_, &shift);
    lineStart_ -= shift;
    anchor_ -= shift;
    look_ -= shift;
  }
  return true;
}

std::uint16_t RefTxtReader::ReadAt(std::size_t& pos) {
  auto b = static_cast<unsigned char>(file_.Data()[pos++]);
  // A lead byte before a line end (or at the end of the file) is a character of its own.
  if (b == '\n' || !cp932::isLeadByte(b) || !HaveByteAt(pos) || file_.Data()[pos] == '\n') return b;
  return static_cast<std::uint16_t>(b << 8 | static_cast<unsigned char>(file_.Data()[pos++]));
}

std::uint16_t RefTxtReader::GetChar() {
  if (!HaveByteAt(anchor_)) throw EEndOfFile();
  std::uint16_t c = ReadAt(anchor_);
  if (c == '\n') {
    lineStart_ = anchor_;
    ++lineNo_;
    // The final LF ends the file: no attempt starts there.
    if (!HaveByteAt(anchor_)) throw EEndOfFile();
  }
  look_ = anchor_;
  return c;
}

std::uint16_t RefTxtReader::NextChar() { return HaveByteAt(look_) ? ReadAt(look_) : 0; }

RE_LineInfo_t RefTxtReader::GetLine() {
  file_.CheckPoint();
  while (HaveByteAt(anchor_) && file_.Data()[anchor_] != '\n') ++anchor_;
  look_ = anchor_;
  RE_LineInfo_t info;
  info.Line.assign(file_.Data() + lineStart_, anchor_ - lineStart_);
  info.LineNo = lineNo_;
  return info;
}

std::vector<RE_LineInfo_t> readerGrep(const std::string& path, const RefAutomaton& automaton, std::size_t blockSize) {
  std::vector<RE_LineInfo_t> found;
  bool cancel = false;
  try {
    RefTxtReader file(path, &cancel, {}, blockSize);
    for (;;) {
      int s = automaton.next(automaton.start, file.GetChar());
      while (s >= 0 && !automaton.accepting(s)) {
        std::uint16_t c = file.NextChar();
        s = c == 0 ? -1 : automaton.next(s, c);
      }
      if (s >= 0) found.push_back(file.GetLine());
    }
  } catch (const EEndOfFile&) {
  }
  return found;
}

}  // namespace kelvane::testing
