// The AWK-style operations of awk_str.h, match and gsub over the current pattern.
//
// GSub walks the string once: it copies the text before each match, then the expanded template, and
// goes on after the match. An empty match copies one character more, so the walk always advances: a
// double-byte character whole, and under mcls_CRLF a CR together with what follows it, so that a CR LF
// pair is never separated. After a match that ended with a LF the rest starts a line and is searched
// with the bound procedure; otherwise it continues a line and is searched with ScanAnchored, which does
// not take its start for a line head. The walk stops when the rest is empty, so an empty-matching
// pattern inserts the replacement before every character but not after the last.
//
// Two corners are settled here. A CR under mcls_CRLF that is not followed by LF is still copied with
// the next character, as the CR LF rule reads; when that character is a double-byte one it is copied
// whole, so that no replacement can ever be put between its two bytes. And a NUL byte inside the
// string ends the text for the matcher: the walk stops there and the bytes from the NUL on are kept.
// (Going on would search an empty text again and again at the same place.)
//
// The template is expanded in three passes: "\&" is protected by doubling its backslash, the escapes
// are resolved, and then "&" is replaced by the match while "\&" gives a literal ampersand. A NUL that
// an escape produces (\0, \x0) is an ordinary character of the template and goes into the result.
// Because the escapes are resolved before the ampersands are looked at, an escape that gives "&"
// (\x26, \46) stands for the match like a written "&"; and "\\&" is a literal ampersand as "\&" is,
// since its second backslash reaches the last pass alone before the "&".
#include "pattern/awk_str.h"

#include <cstring>
#include <vector>

#include "pattern/re_chars.h"
#include "platform/cp932.h"

namespace kelvane {

TAWKStr::TAWKStr() { FuzzyDictionaries().push_back(&FuzzyCharDic()); }

void TAWKStr::AssignRegExp(std::string_view value) {
  TMatchCORE::AssignRegExp(value);
  bind();
}

void TAWKStr::bind() { anchored_ = UsesLineHead() || UsesLineTail(); }

void TAWKStr::matchBound(Text& text, const char* from, const char*& start, const char*& end) const {
  if (anchored_)
    MatchAnchored(text, from, start, end);
  else
    MatchPlain(text, from, start, end);
}

int TAWKStr::Match(const std::string& text, int& position, int& length) const {
  const char* start;
  const char* end;
  if (anchored_)
    MatchAnchored(text.c_str(), start, end);
  else
    MatchPlain(text.c_str(), start, end);
  if (start == nullptr) {
    position = length = 0;
    return 0;
  }
  position = static_cast<int>(start - text.c_str()) + 1;
  length = static_cast<int>(end - start);
  return position;
}

namespace {

// Reads the characters of a length-counted text one by one; a NUL byte inside it is a character.
class CharReader {
 public:
  explicit CharReader(std::string_view text) : text_(text) {}
  bool AtEnd() const { return position_ > static_cast<int32_t>(text_.size()); }
  uint16_t Next() { return ReadPatternChar(text_, position_); }
  void Back() { UnreadPatternChar(text_, position_); }
  int32_t& Position() { return position_; }

 private:
  std::string_view text_;
  int32_t position_ = 1;
};

// The bytes GSub copies after an empty match at p (p is not at the NUL).
std::size_t EmptyMatchStep(const char* p, TMatchCORE_LineSeparator separator) {
  if (separator == mcls_CRLF && *p == '\r' && p[1] != 0) return 1 + CharLengthAt(p + 1);
  return CharLengthAt(p);
}

}  // namespace

std::string TAWKStr::ProcessEscapes(std::string_view text) const { return resolveEscapes(text); }

// An escape stands for one character of the result. A code above 0xFF whose high byte is no lead byte
// (\x4142, \400, \777) has no bytes of its own: writing only its low byte would put a character the
// user never asked for into every replaced line, so it is refused like any other broken escape.
std::string TAWKStr::resolveEscapes(std::string_view text) {
  std::string result;
  CharReader reader(text);
  while (!reader.AtEnd()) {
    const uint16_t c = reader.Next();
    if (c != '\\') {
      result += CodeToText(c);
      continue;
    }
    const uint16_t code = ReadEscape(text, reader.Position());
    if (code > 0xFF && !cp932::isLeadByte(static_cast<unsigned char>(code >> 8)))
      RaiseSyntaxError(RegExpMessage::TemplateCode, reader.Position());
    result += CodeToText(code);
  }
  return result;
}

std::string TAWKStr::prepareTemplate(std::string_view replacement) {
  std::string protectedText;
  std::vector<int32_t> added;  // positions in protectedText of the backslashes step 1 put in
  CharReader reader(replacement);
  while (!reader.AtEnd()) {
    const uint16_t c = reader.Next();
    protectedText += CodeToText(c);
    if (c == '\\' && !reader.AtEnd()) {
      const uint16_t d = reader.Next();
      if (d == '&') {
        protectedText += '\\';
        added.push_back(static_cast<int32_t>(protectedText.size()));
      }
      protectedText += CodeToText(d);
    }
  }
  try {
    return resolveEscapes(protectedText);
  } catch (ERegExpParser& e) {
    // The position is told in the template as the user wrote it, not in its protected copy.
    for (auto at = added.rbegin(); at != added.rend(); ++at)
      if (static_cast<uint32_t>(*at) < e.ErrorPos) --e.ErrorPos;
    throw;
  }
}

void TAWKStr::CheckTemplate(std::string_view replacement) { prepareTemplate(replacement); }

std::string TAWKStr::applyTemplate(std::string_view prepared, std::string_view matched) {
  std::string result;
  CharReader reader(prepared);
  while (!reader.AtEnd()) {
    const uint16_t c = reader.Next();
    if (c == '&') {
      result += matched;
    } else if (c == '\\' && !reader.AtEnd()) {
      if (reader.Next() == '&') {
        result += '&';
      } else {
        result += '\\';
        reader.Back();
      }
    } else {
      result += CodeToText(c);
    }
  }
  return result;
}

std::string TAWKStr::ExpandReplacement(std::string_view replacement, std::string_view matched) const {
  return applyTemplate(prepareTemplate(replacement), matched);
}

int TAWKStr::GSub(std::string_view replacement, std::string& text) const {
  const char* const base = text.c_str();
  const char* const limit = base + text.size();
  // Every search below is in the same string, so a long one is prepared for them once.
  Text searched(base);
  auto bound = [&](const char* from, const char*& start, const char*& end) {
    matchBound(searched, from, start, end);
  };
  const char* start;
  const char* end;
  bound(base, start, end);
  if (start == nullptr) return 0;
  const std::string prepared = prepareTemplate(replacement);
  if (text.empty()) {
    text = applyTemplate(prepared, {});
    return 1;
  }
  std::string out;
  const char* rest = base;
  int count = 0;
  while (start != nullptr) {
    out.append(rest, start);
    out += applyTemplate(prepared, std::string_view(start, end - start));
    if (start == end && *end != 0) {
      const std::size_t step = EmptyMatchStep(end, LineSeparator);
      out.append(end, step);
      end += step;
    }
    ++count;
    rest = end;
    if (rest == limit || *rest == 0) break;  // the rest is empty, or only the bytes after a NUL
    if (rest[-1] == '\n')
      bound(rest, start, end);
    else
      ScanAnchored(searched, rest, start, end);
  }
  out.append(rest, limit);
  text = std::move(out);
  return count;
}

}  // namespace kelvane
