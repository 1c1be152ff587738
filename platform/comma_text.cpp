#include "platform/comma_text.h"

#include "platform/cp932.h"

namespace kelvane {

namespace {

bool isBlank(unsigned char c) { return c >= 1 && c <= 32; }

std::size_t skipBlanks(std::string_view text, std::size_t i) {
  while (i < text.size() && isBlank(static_cast<unsigned char>(text[i]))) ++i;
  return i;
}

// One character's length in bytes at i (a lead byte takes its trail byte along when there is one).
std::size_t charLength(std::string_view text, std::size_t i) {
  return (cp932::isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
}

// A quoted entry starting at the quote at i; returns the position after the closing quote.
std::size_t readQuoted(std::string_view text, std::size_t i, std::string& entry) {
  ++i;
  while (i < text.size()) {
    if (text[i] == '"') {
      if (i + 1 < text.size() && text[i + 1] == '"') {
        entry += '"';
        i += 2;
        continue;
      }
      return i + 1;
    }
    const std::size_t len = charLength(text, i);
    entry.append(text.substr(i, len));
    i += len;
  }
  return i;
}

std::size_t readPlain(std::string_view text, std::size_t i, std::string& entry) {
  while (i < text.size() && text[i] != ',' && static_cast<unsigned char>(text[i]) > 32) {
    const std::size_t len = charLength(text, i);
    entry.append(text.substr(i, len));
    i += len;
  }
  return i;
}

}  // namespace

std::vector<std::string> splitCommaText(std::string_view text) {
  std::vector<std::string> entries;
  // A NUL ends the text, as it ends a C string.
  text = text.substr(0, text.find('\0'));
  std::size_t i = skipBlanks(text, 0);
  while (i < text.size()) {
    std::string entry;
    i = text[i] == '"' ? readQuoted(text, i, entry) : readPlain(text, i, entry);
    entries.push_back(std::move(entry));
    i = skipBlanks(text, i);
    if (i < text.size() && text[i] == ',') {
      if (i + 1 == text.size()) entries.emplace_back();
      i = skipBlanks(text, i + 1);
    }
  }
  return entries;
}

}  // namespace kelvane
