#include "tests/testing/reference_grep.h"

#include "platform/cp932.h"

namespace kelvane::testing {

RefAutomaton literalAutomaton(std::vector<std::uint16_t> codes) {
  RefAutomaton a;
  int n = static_cast<int>(codes.size());
  a.next = [codes, n](int state, std::uint16_t code) { return state < n && codes[state] == code ? state + 1 : -1; };
  a.accepting = [n](int state) { return state == n; };
  return a;
}

namespace {

// The bytes with every line end made one LF and zero bytes made blanks, framed by LFs.
std::string normalise(std::string_view bytes) {
  std::string text = "\n";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    char b = bytes[i];
    if (b == '\r') {
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      b = '\n';
    } else if (b == '\0') {
      b = ' ';
    }
    text += b;
  }
  if (text.back() != '\n') text += '\n';
  return text;
}

}  // namespace

std::vector<RefChar> decodeFile(std::string_view bytes, std::vector<std::string>* lines) {
  std::vector<RefChar> chars;
  if (lines) lines->clear();
  if (bytes.empty()) return chars;
  std::string text = normalise(bytes);
  std::int32_t lineNo = 0;
  std::string current;
  for (std::size_t i = 0; i < text.size();) {
    auto b = static_cast<unsigned char>(text[i]);
    if (b == '\n') {
      if (lineNo > 0 && lines) lines->push_back(current);
      current.clear();
      chars.push_back({10, ++lineNo});
      ++i;
      continue;
    }
    if (cp932::isLeadByte(b) && i + 1 < text.size() && text[i + 1] != '\n') {
      chars.push_back({static_cast<std::uint16_t>(b << 8 | static_cast<unsigned char>(text[i + 1])), lineNo});
      current += text.substr(i, 2);
      i += 2;
    } else {
      chars.push_back({b, lineNo});
      current += static_cast<char>(b);
      ++i;
    }
  }
  return chars;
}

std::vector<RE_LineInfo_t> referenceGrep(std::string_view bytes, const RefAutomaton& automaton) {
  std::vector<std::string> lines;
  std::vector<RefChar> chars = decodeFile(bytes, &lines);
  std::vector<RE_LineInfo_t> found;
  // The last character is the final LF: reading it ends the file, so no attempt starts there.
  for (std::size_t i = 0; i + 1 < chars.size(); ++i) {
    std::int32_t lineNo = chars[i].lineNo;
    if (!found.empty() && found.back().LineNo == lineNo) continue;
    int state = automaton.start;
    for (std::size_t j = i; j < chars.size(); ++j) {
      state = automaton.next(state, chars[j].code);
      if (state < 0) break;
      if (automaton.accepting(state)) {
        found.push_back({lines[lineNo - 1], lineNo});
        break;
      }
    }
  }
  return found;
}

std::string formatLines(const std::vector<RE_LineInfo_t>& lines) {
  std::string out;
  for (const auto& l : lines) out += std::to_string(l.LineNo) + ":" + l.Line + "\n";
  return out;
}

}  // namespace kelvane::testing
