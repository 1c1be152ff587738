#include "tests/testing/pattern_case_file.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/cp932.h"

namespace kelvane::testing {

namespace {

constexpr std::string_view kSeparator = " ⟶ ";
constexpr std::string_view kByteOpen = "⟨";
constexpr std::string_view kByteClose = "⟩";

std::vector<std::string_view> splitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t at = line.find(kSeparator); at != std::string_view::npos; at = line.find(kSeparator)) {
    fields.push_back(line.substr(0, at));
    line.remove_prefix(at + kSeparator.size());
  }
  fields.push_back(line);
  return fields;
}

}  // namespace

std::string cp932Case(std::string_view utf8) {
  std::string out;
  while (!utf8.empty()) {
    const std::size_t open = utf8.find(kByteOpen);
    const std::string_view plain = utf8.substr(0, open);
    const cp932::Converted converted = cp932::fromUtf8(plain);
    if (!converted.ok()) throw std::runtime_error("no CP932 form: " + std::string(plain));
    out += converted.text;
    if (open == std::string_view::npos) break;
    const std::size_t close = utf8.find(kByteClose, open);
    if (close == std::string_view::npos) throw std::runtime_error("unclosed byte escape: " + std::string(utf8));
    const std::string hex(utf8.substr(open + kByteOpen.size(), close - open - kByteOpen.size()));
    out += static_cast<char>(std::stoi(hex, nullptr, 16));
    utf8.remove_prefix(close + kByteClose.size());
  }
  return out;
}

std::vector<CaseLine> readCaseFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::vector<CaseLine> cases;
  std::string line;
  for (int lineNo = 1; std::getline(in, line); ++lineNo) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    CaseLine c;
    c.lineNo = lineNo;
    for (std::string_view field : splitFields(line)) c.fields.push_back(cp932Case(field));
    cases.push_back(std::move(c));
  }
  return cases;
}

}  // namespace kelvane::testing
