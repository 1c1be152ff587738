#pragma once
// TAWKStr: the current pattern applied to strings in memory, in the manner of AWK's match and gsub.
//
// Match finds the first match (1-based byte position and byte length); GSub replaces every match by a
// template in which "&" stands for the matched text and backslash escapes are resolved. The match
// procedure (MatchAnchored when the pattern uses an anchor, MatchPlain otherwise) is chosen again at
// every assignment of RegExp.
//
// Strings are Shift-JIS byte strings. The matcher sees a string up to its first NUL byte; bytes after
// a NUL are never matched and are kept as they are.
#include <string>
#include <string_view>

#include "pattern/re_match_core.h"

namespace kelvane {

class TAWKStr : public TMatchCORE {
 public:
  // An empty pattern, mcls_CRLF, both dictionary switches off, the built-in fuzzy dictionary
  // registered. Raises std::bad_alloc only.
  TAWKStr();

  // The inherited assignment (raising as it does, the binding then unchanged), then the binding.
  void AssignRegExp(std::string_view value) override;

  // The first match in `text`: position (1-based) and length in bytes; returns the position, or 0 with
  // position = length = 0 when there is none. Never raises.
  int Match(const std::string& text, int& position, int& length) const;

  // Replaces every match in `text` by the expanded `replacement`; returns how many. Raises
  // ERegExpParser for a broken template (a lone backslash at the end, a bad hex or octal escape, a lone
  // lead byte at the end) when the first match is found; `text` is then unchanged.
  int GSub(std::string_view replacement, std::string& text) const;

  // The replacement for one match: & is `matched`, \& a literal ampersand, the other escapes resolved.
  // Raises as GSub.
  std::string ExpandReplacement(std::string_view replacement, std::string_view matched) const;
  // `text` with its backslash escapes resolved (\b \r \n \t, \x with hex digits, a backslash with octal
  // digits, a backslash before any other character that character). Raises ERegExpParser for a lone
  // backslash at the end and for bad escapes.
  std::string ProcessEscapes(std::string_view text) const;

  // Checks a replacement template without any text: raises ERegExpParser, as GSub would at its first
  // match, for a lone backslash at the end, a bad hex or octal escape, an escape whose code is no
  // character ("置換文字列の文字コードが１バイトに収まりません。") and a lone lead byte at the end. ErrorPos
  // is the 1-based byte position in `replacement` where the check stood.
  static void CheckTemplate(std::string_view replacement);

 private:
  void bind();
  // The bound procedure on the suffix `from` of a prepared text.
  void matchBound(Text& text, const char* from, const char*& start, const char*& end) const;
  // Steps 1 and 2 of the expansion, which do not depend on the match.
  static std::string prepareTemplate(std::string_view replacement);
  static std::string resolveEscapes(std::string_view text);
  // Step 3: the prepared template with & replaced by the match.
  static std::string applyTemplate(std::string_view prepared, std::string_view matched);

  bool anchored_ = false;  // the bound procedure: MatchAnchored when set, else MatchPlain
};

}  // namespace kelvane
