// The scanner of re_scanner.h reads one character at a time through ReadPatternChar, so positions stay on character
// boundaries and a double-byte character is one symbol whatever its trail byte looks like. When it
// needs to look ahead (after "[" for "^", after a class character for "-") it reads the next character
// and steps back over it again, so every token starts exactly where the previous one ended; the
// preprocessor relies on that to copy tokens by their byte spans.
#include "pattern/re_scanner.h"

namespace kelvane {

TREScanner::TREScanner(std::string_view pattern) { Reset(pattern); }

void TREScanner::Reset(std::string_view pattern) {
  pattern_.assign(pattern);
  position_ = 1;
  inClass_ = false;
}

uint16_t TREScanner::next() { return ReadPatternChar(pattern_, position_); }
void TREScanner::unread() { UnreadPatternChar(pattern_, position_); }
void TREScanner::fail(RegExpMessage message) const { RaiseSyntaxError(message, position_); }

TRETokenKind TREScanner::NextToken() {
  if (inClass_) {
    if (ScanInClass() == tk_ClassClose) inClass_ = false;
  } else {
    const TRETokenKind token = ScanPlain();
    if (token == tk_ClassOpen || token == tk_NegClassOpen) inClass_ = true;
  }
  return token_;
}

TRETokenKind TREScanner::ScanPlain() {
  const uint16_t c = next();
  symbol_ = c;
  switch (c) {
    case 0:
      return token_ = tk_End;
    case '$':
      return token_ = tk_LineTail;
    case '(':
      return token_ = tk_GroupOpen;
    case ')':
      return token_ = tk_GroupClose;
    case '*':
      return token_ = tk_Star;
    case '+':
      return token_ = tk_Plus;
    case '.':
      return token_ = tk_AnyChar;
    case '?':
      return token_ = tk_Optional;
    case ']':
      return token_ = tk_ClassClose;
    case '^':
      return token_ = tk_LineHead;
    case '|':
      return token_ = tk_Alt;
    case '[': {
      const uint16_t d = next();
      if (d == 0) fail(RegExpMessage::RightBracket);
      if (d == '^') return token_ = tk_NegClassOpen;
      unread();
      return token_ = tk_ClassOpen;
    }
    case '\\':
      token_ = tk_Char;
      symbol_ = ReadEscape(pattern_, position_);
      return token_;
    default:
      return token_ = tk_Char;
  }
}

TRETokenKind TREScanner::ScanInClass() {
  uint16_t a = next();
  symbol_ = a;
  if (a == 0) fail(RegExpMessage::RightBracket);
  if (a == ']') return token_ = tk_ClassClose;
  if (a == '\\') a = ReadEscape(pattern_, position_);
  token_ = tk_Char;
  const uint16_t b = next();
  if (b == 0) fail(RegExpMessage::RightBracket);
  if (b != '-') {
    unread();
    symbol_ = a;
    return token_;
  }
  uint16_t c = next();
  if (c == 0) fail(RegExpMessage::RightBracket);
  if (c == ']') {
    // "a-]": the characters a and "-", then the end of the class.
    unread();
    unread();
    symbol_ = a;
    return token_;
  }
  if (c == '\\') c = ReadEscape(pattern_, position_);
  token_ = tk_Range;
  if (c < a) fail(RegExpMessage::InvalidRange);
  symbol_ = a;
  symbolEnd_ = c;
  return token_;
}

}  // namespace kelvane
