#include "platform/line_list.h"

#include <algorithm>
#include <cstring>

#include "platform/files.h"
#include "platform/read_handle.h"

namespace kelvane::files {

std::vector<LineSpan> indexLines(std::string_view text, bool* cutAtNul) {
  const void* nulAt = std::memchr(text.data(), '\0', text.size());
  if (cutAtNul) *cutAtNul = nulAt != nullptr;
  if (nulAt) text = text.substr(0, static_cast<std::size_t>(static_cast<const char*>(nulAt) - text.data()));
  std::vector<LineSpan> lines;
  const std::size_t size = text.size();
  std::size_t start = 0;
  auto find = [&](char c) {
    const void* hit = start < size ? std::memchr(text.data() + start, c, size - start) : nullptr;
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : size;
  };
  // The next CR and the next LF, each looked for again only once passed: a file of one kind of line
  // end is scanned once.
  std::size_t nextCR = find('\r'), nextLF = find('\n');
  for (;;) {
    if (nextCR < start) nextCR = find('\r');
    if (nextLF < start) nextLF = find('\n');
    const std::size_t i = std::min(nextCR, nextLF);
    if (i >= size) break;
    lines.push_back({start, i});
    start = text[i] == '\r' && i + 1 < size && text[i + 1] == '\n' ? i + 2 : i + 1;
  }
  if (start < size) lines.push_back({start, size});
  return lines;
}

std::vector<std::string> splitLines(std::string_view text, bool* cutAtNul) {
  const std::vector<LineSpan> spans = indexLines(text, cutAtNul);
  std::vector<std::string> lines;
  lines.reserve(spans.size());
  for (const LineSpan& s : spans) lines.emplace_back(text.substr(s.begin, s.end - s.begin));
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

LineFile readLines(const std::string& path) {
  ReadHandle handle = openForReading(path);
  LineFile file;
  file.permissions = handle.permissions();
  file.bytes = handle.readRest();
  file.lines = splitLines(file.bytes, &file.cutAtNul);
  return file;
}

void writeLines(const std::string& path, const std::vector<std::string>& lines) { writeFile(path, joinLines(lines)); }

std::string tempCopyPath(std::string_view tempFolder, std::string_view file) {
  // "/" and "." are never trail bytes of CP932, so the path splits at every "/".
  std::vector<std::string_view> parts;
  while (!file.empty()) {
    std::size_t slash = file.find('/');
    std::string_view part = file.substr(0, slash);
    file = slash == std::string_view::npos ? std::string_view() : file.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string path(tempFolder);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  for (std::string_view part : parts) {
    if (path != "/") path += '/';
    path += part;
  }
  return path;
}

void makeCopy(const std::string& file, const std::string& copyPath) {
  ReadHandle handle = openForReading(file);
  const unsigned permissions = handle.permissions();
  writeCopy(copyPath, handle.readRest(), permissions);
}

void makeCopy(const LineFile& read, const std::string& copyPath) { writeCopy(copyPath, read.bytes, read.permissions); }

}  // namespace kelvane::files
