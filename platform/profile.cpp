// The settings file as the desktop's profile API reads and writes it. Each call reads the whole
// file; a write edits the lines in memory and writes them back through files::writeFile, so a
// crash never leaves half a settings file.
//
// Names are compared with ASCII letters folded, but only where a byte is a character of its own:
// the trail byte of a double-byte name (ャ is 0x83 0x61) is never folded, or ャ would match ア.
#include "platform/profile.h"

#include <climits>
#include <optional>

#include "platform/cp932.h"
#include "platform/files.h"

namespace kelvane {
namespace {

constexpr std::size_t kValueLimit = 2047;

std::string cannotWrite() { return cp932::fromUtf8("設定ファイルに書き込めません").text; }

unsigned char foldAscii(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c; }

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  bool trail = false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
    if (trail ? ca != cb : foldAscii(ca) != foldAscii(cb)) return false;
    trail = !trail && cp932::isLeadByte(ca);
  }
  return true;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Lines split at CR LF, a lone LF or a lone CR.
std::vector<std::string> splitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    lines.emplace_back(bytes, start, i - start);
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines.emplace_back(bytes, start);
  return lines;
}

// The section name of a "[name]" line, or nullopt for any other line.
std::optional<std::string_view> sectionName(std::string_view line) {
  line = trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  auto close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return trim(line.substr(1, close - 1));
}

struct KeyLine {
  std::string_view key, value;
};

std::optional<KeyLine> keyLine(std::string_view line) {
  auto eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return KeyLine{trim(line.substr(0, eq)), trim(line.substr(eq + 1))};
}

// Where a key sits in the lines: the index of its section's header (npos when the section is
// absent), of the key's own line, and of the section's last non-blank line.
struct Place {
  std::size_t section = std::string::npos, key = std::string::npos, lastOfSection = std::string::npos;
};

Place locate(const std::vector<std::string>& lines, std::string_view section, std::string_view key) {
  Place place;
  bool inside = false, inFirst = false;  // only the first section of a repeated name receives new keys
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (auto name = sectionName(lines[i])) {
      inside = sameName(*name, section);
      inFirst = inside && place.section == std::string::npos;
      if (inFirst) place.section = place.lastOfSection = i;
      continue;
    }
    if (!inside) continue;
    if (inFirst && !trim(lines[i]).empty()) place.lastOfSection = i;
    if (place.key == std::string::npos) {
      auto kv = keyLine(lines[i]);
      if (kv && sameName(kv->key, key)) place.key = i;
    }
  }
  return place;
}

std::optional<std::string> readRaw(const std::string& path, const std::string& section, const std::string& key) {
  std::string bytes;
  try {
    bytes = files::readFile(path);
  } catch (const files::FileError&) {
    return std::nullopt;
  }
  auto lines = splitLines(bytes);
  Place place = locate(lines, section, key);
  if (place.key == std::string::npos) return std::nullopt;
  return std::string(keyLine(lines[place.key])->value);
}

// One pair of outer quotes goes, then the value is cut; a cut never leaves half a double-byte
// character at the end.
std::string finishValue(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  if (value.size() > kValueLimit) {
    std::size_t end = 0;
    while (end < kValueLimit) {
      std::size_t step = cp932::isLeadByte(static_cast<unsigned char>(value[end])) ? 2 : 1;
      if (end + step > kValueLimit) break;
      end += step;
    }
    value.resize(end);
  }
  return value;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Hexadecimal digits as an unsigned 32-bit value; more than eight significant digits overflow.
bool parseHex(std::string_view digits, long long& value) {
  if (digits.empty()) return false;
  unsigned long long v = 0;
  for (char c : digits) {
    int d = hexDigit(c);
    if (d < 0) return false;
    v = v * 16 + static_cast<unsigned>(d);
    if (v > 0xFFFFFFFFull) return false;
  }
  value = static_cast<long long>(v);
  return true;
}

bool parseDecimal(std::string_view text, long long& value) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return false;
  long long v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
    if (v > 2147483648LL) return false;
  }
  if (negative) v = -v;
  if (v > INT_MAX) return false;
  value = v;
  return true;
}

void writeLine(const std::string& path, const std::string& section, const std::string& key, const std::string& value) {
  std::string bytes;
  try {
    if (files::fileExists(path) || files::folderExists(path)) bytes = files::readFile(path);
  } catch (const files::FileError& e) {
    // Writing without the old keys would lose them: refuse instead.
    throw ProfileError(cannotWrite() + ": " + e.what());
  }
  // A line break inside the value would start a new line of the file; it becomes a space.
  std::string clean = value;
  for (char& c : clean)
    if (c == '\r' || c == '\n') c = ' ';
  std::string line = key + "=" + clean;
  auto lines = splitLines(bytes);
  Place place = locate(lines, section, key);
  if (place.key != std::string::npos) {
    lines[place.key] = line;
  } else if (place.section != std::string::npos) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(place.lastOfSection + 1), line);
  } else {
    lines.push_back("[" + section + "]");
    lines.push_back(line);
  }
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  try {
    files::writeFile(path, out);
  } catch (const files::FileError& e) {
    throw ProfileError(cannotWrite() + ": " + e.what());
  }
}

}  // namespace

bool parseProfileInteger(const std::string& text, long long& value) {
  std::string_view t = text;
  if (t.size() > 1 && t.front() == '$') return parseHex(t.substr(1), value);
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) return parseHex(t.substr(2), value);
  return parseDecimal(t, value);
}

std::string Profile::readString(const std::string& section, const std::string& key, const std::string& def) const {
  auto raw = readRaw(path_, section, key);
  return raw ? finishValue(std::move(*raw)) : def;
}

int Profile::readInteger(const std::string& section, const std::string& key, int def) const {
  auto raw = readRaw(path_, section, key);
  long long v;
  if (!raw || !parseProfileInteger(finishValue(std::move(*raw)), v)) return def;
  // Eight hexadecimal digits fill the 32 bits, so $FFFFFFFF is -1 as a signed number.
  return static_cast<int>(static_cast<std::uint32_t>(v));
}

bool Profile::readBool(const std::string& section, const std::string& key, bool def) const {
  auto raw = readRaw(path_, section, key);
  long long v;
  if (!raw || !parseProfileInteger(finishValue(std::move(*raw)), v)) return def;
  return v != 0;
}

bool Profile::keyExists(const std::string& section, const std::string& key) const {
  return readRaw(path_, section, key).has_value();
}

void Profile::writeString(const std::string& section, const std::string& key, const std::string& value) {
  writeLine(path_, section, key, value);
}

void Profile::writeInteger(const std::string& section, const std::string& key, int value) {
  writeLine(path_, section, key, std::to_string(value));
}

void Profile::writeBool(const std::string& section, const std::string& key, bool value) {
  writeLine(path_, section, key, value ? "1" : "0");
}

}  // namespace kelvane
