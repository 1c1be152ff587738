#include "pattern/plain_text.h"

#include "platform/cp932.h"
#include "platform/files.h"

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

std::vector<std::string> splitLines(std::string_view text) {
  if (auto nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::size_t size = 0;
  for (const auto& line : lines) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const auto& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

std::vector<std::string> loadLines(const std::string& path) { return splitLines(files::readFile(path)); }

void saveLines(const std::string& path, const std::vector<std::string>& lines) {
  files::writeFile(path, joinLines(lines));
}

}  // namespace kelvane
