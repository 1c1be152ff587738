#include "filescan/kyoutuu.h"

#include "platform/cp932.h"

namespace kelvane {

std::string BuildExtensionList(const Settings& settings) {
  const std::pair<bool, std::string> groups[] = {
      {settings.ExtTxt, ".txt"},
      {settings.ExtHtml, ".htm,.html"},
      {settings.ExtCgi, ".cgi,.pl"},
      {settings.ExtSystem, ".bat,.inf,.ini"},
      {settings.ExtCsv, ".csv"},
      {settings.ExtMsWord, ".doc"},
      {settings.ExtCustom, settings.UserExtensions},
  };
  std::string list;
  for (const auto& [on, text] : groups) {
    if (!on) continue;
    if (!list.empty()) list += ',';
    list += text;
  }
  return list;
}

namespace {

bool isBlank(unsigned char c) { return c >= 1 && c <= 32; }

std::size_t skipBlanks(std::string_view text, std::size_t i) {
  while (i < text.size() && isBlank(text[i])) ++i;
  return i;
}

// One character's length in bytes at i (a lead byte takes its trail byte along when there is one).
std::size_t charLength(std::string_view text, std::size_t i) {
  return (cp932::isLeadByte(text[i]) && i + 1 < text.size()) ? 2 : 1;
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
  // A NUL ends the text, as it would end a C string.
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

std::string_view fileExtension(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || dot < nameStart) return {};
  return path.substr(dot);
}

ExtensionFilter::ExtensionFilter(const std::string& extensionList) {
  for (const std::string& entry : splitCommaText(extensionList)) upperEntries_.push_back(cp932::upper(entry));
}

int ExtensionFilter::wantedCount(std::string_view path) const {
  if (upperEntries_.empty()) return 0;
  const std::string ext = cp932::upper(fileExtension(path));
  int count = 0;
  for (const std::string& entry : upperEntries_) count += entry == ext ? 1 : 0;
  return count;
}

}  // namespace kelvane
