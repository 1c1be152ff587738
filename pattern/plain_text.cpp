// The plain-text search and the line lists of plain_text.h.
#include "pattern/plain_text.h"

#include <cstring>
#include <memory>

#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/line_list.h"
#include "platform/read_handle.h"

namespace kelvane {

std::size_t findOnBoundary(std::string_view line, std::string_view pattern, std::size_t from) {
  if (pattern.empty()) return from <= line.size() ? from : std::string_view::npos;
  std::size_t boundary = from;  // a character boundary, never beyond the candidate
  for (std::size_t hit = line.find(pattern, from); hit != std::string_view::npos; hit = line.find(pattern, boundary)) {
    while (boundary < hit) boundary += cp932::isLeadByte(static_cast<unsigned char>(line[boundary])) ? 2 : 1;
    if (boundary == hit) return hit;
    // The hit starts on a trail byte; the next candidate starts at the next boundary.
  }
  return std::string_view::npos;
}

bool PlainLineMatch(std::string_view line, std::string_view pattern, bool caseSensitive) {
  if (caseSensitive) return findOnBoundary(line, pattern) != std::string_view::npos;
  std::string upperLine = cp932::upper(line);
  std::string upperPattern = cp932::upper(pattern);
  return findOnBoundary(upperLine, upperPattern) != std::string_view::npos;
}

std::vector<std::string> splitLines(std::string_view text) { return files::splitLines(text); }

std::string joinLines(const std::vector<std::string>& lines) { return files::joinLines(lines); }

std::vector<std::string> loadLines(const std::string& path) { return files::readLines(path).lines; }

void saveLines(const std::string& path, const std::vector<std::string>& lines) { files::writeLines(path, lines); }

namespace {

constexpr std::size_t kPieceSize = 1 << 20;

}  // namespace

void forEachLine(const std::string& path,
                 const std::function<bool(std::string_view line, std::int64_t lineNo)>& onLine) {
  files::ReadHandle file = files::openForReading(path);
  std::string carry;  // the unfinished last line of the pieces read so far
  // A piece is the file's size where that is smaller (most files of a tree are), and is never
  // cleared: only the bytes read are looked at. The + 1 lets the read see the end of the file.
  std::size_t pieceSize = kPieceSize;
  if (file.size() < kPieceSize) pieceSize = static_cast<std::size_t>(file.size()) + 1;
  std::unique_ptr<char[]> piece(new char[pieceSize]);
  std::int64_t lineNo = 0;
  bool afterCR = false;  // the previous piece ended in a CR: an LF at the start of this one belongs to it
  for (;;) {
    const std::size_t n = file.readBlock(piece.get(), pieceSize);
    if (n == 0) break;
    std::string_view text(piece.get(), n);
    bool ended = false;
    if (auto nul = text.find('\0'); nul != std::string_view::npos) {
      text = text.substr(0, nul);
      ended = true;
    }
    std::size_t start = 0;
    if (afterCR && !text.empty() && text[0] == '\n') start = 1;
    afterCR = false;
    const std::size_t size = text.size();
    auto find = [&](char c) {
      const void* hit = start < size ? std::memchr(text.data() + start, c, size - start) : nullptr;
      return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : size;
    };
    // The next CR and the next LF at or after start, each looked for again only once passed.
    std::size_t nextCR = find('\r'), nextLF = find('\n');
    for (;;) {
      if (nextCR < start) nextCR = find('\r');
      if (nextLF < start) nextLF = find('\n');
      std::size_t i = nextCR < nextLF ? nextCR : nextLF;
      if (i >= size) break;
      std::string_view line = text.substr(start, i - start);
      if (!carry.empty()) {
        carry.append(line);
        line = carry;
      }
      if (!onLine(line, ++lineNo)) return;
      carry.clear();
      if (text[i] == '\r') {
        if (i + 1 == size)
          afterCR = true;
        else if (text[i + 1] == '\n')
          ++i;
      }
      start = i + 1;
    }
    carry.append(text.substr(start));
    if (ended) break;
  }
  if (!carry.empty()) onLine(carry, ++lineNo);
}

}  // namespace kelvane
