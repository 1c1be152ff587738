#pragma once
// TREScanner cuts a pattern into tokens for the parser and the preprocessor. It has two modes: outside
// a class every metacharacter is a token of its own; between "[" and "]" only "]", the backslash and
// "-" are special, and "a-z" comes out as one tk_Range token. NextToken switches the modes, so callers
// never have to know which one they are in.
#include <cstdint>
#include <string>
#include <string_view>

#include "pattern/re_chars.h"

namespace kelvane {

enum TRETokenKind : uint8_t {
  tk_Char = 0,          // an ordinary character or a backslash escape
  tk_Range = 1,         // a-z inside a class
  tk_Alt = 2,           // |
  tk_GroupOpen = 3,     // (
  tk_GroupClose = 4,    // )
  tk_Star = 5,          // *
  tk_Plus = 6,          // +
  tk_Optional = 7,      // ?
  tk_ClassOpen = 8,     // [ not followed by ^
  tk_NegClassOpen = 9,  // [^
  tk_ClassClose = 10,   // ] (inside and outside a class)
  tk_AnyChar = 11,      // .
  tk_LineHead = 12,     // ^
  tk_LineTail = 13,     // $
  tk_End = 14,          // end of the pattern
};

class TREScanner {
 public:
  // As Reset(pattern) on a new scanner.
  explicit TREScanner(std::string_view pattern = {});
  virtual ~TREScanner() = default;

  // Starts over on `pattern`: Position 1, outside any class, whatever an earlier pattern left behind.
  void Reset(std::string_view pattern);

  // Reads the next token in the current mode and switches modes; returns it (also in Token()). Past the
  // end it keeps returning tk_End. Raises ERegExpParser on a syntax error (see ScanPlain/ScanInClass);
  // the fields then keep the values they had at the error.
  TRETokenKind NextToken();

  // One token outside a class. Sets Token and Symbol (the character, the escape's code, or "[" for the
  // class openers). Raises ERegExpParser: RightBracket when "[" ends the pattern, and the escape and
  // double-byte errors of re_chars.h.
  virtual TRETokenKind ScanPlain();
  // One token inside a class. Sets Token, Symbol and, for tk_Range, SymbolEnd. Raises ERegExpParser:
  // RightBracket when the pattern ends inside the class, InvalidRange when a range runs backwards, and
  // the escape and double-byte errors.
  virtual TRETokenKind ScanInClass();

  const std::string& Pattern() const { return pattern_; }
  int32_t Position() const { return position_; }  // 1-based index of the next byte to read
  TRETokenKind Token() const { return token_; }
  uint16_t Symbol() const { return symbol_; }        // the current character, or a range's first code
  uint16_t SymbolEnd() const { return symbolEnd_; }  // a range's last code (tk_Range only)
  bool InClass() const { return inClass_; }

 private:
  uint16_t next();
  void unread();
  [[noreturn]] void fail(RegExpMessage message) const;

  std::string pattern_;
  int32_t position_ = 1;
  TRETokenKind token_ = tk_End;
  uint16_t symbol_ = 0;
  uint16_t symbolEnd_ = 0;
  bool inClass_ = false;
};

}  // namespace kelvane
