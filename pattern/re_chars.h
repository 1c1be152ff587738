#pragma once
// Pattern characters: how the engine turns Shift-JIS bytes into 16-bit character codes, how it reads
// escape sequences, and the exception every pattern syntax error travels in.
//
// A byte that is not a lead byte is one character whose code is the byte. A lead byte (0x81-0x9F,
// 0xE0-0xFC) and the byte after it are one character, lead * 256 + trail: あ is 0x82A0, 表 is 0x955C.
// Reading always goes forward a whole character at a time, so a trail byte such as the 0x5C of 表 is
// never seen on its own and never taken for a backslash. Code 0 means "no characters left".
//
// Patterns are length-counted (std::string_view) and addressed by 1-based byte positions; a lead byte
// that is the last byte of a pattern is a syntax error. Texts are NUL-terminated and read through a
// moving pointer; a lead byte right before the terminating NUL is read as a one-byte character, so no
// reader ever passes the NUL.
#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kelvane {

// A pattern syntax error. what() is the CP932 message; ErrorPos is the 1-based byte position the
// scanner stood at. The position is kept whole: a pattern of 70,000 bytes reports 70,001, not 4,465
// (a 16-bit position would wrap, and the user would be sent to the wrong place).
class ERegExpParser : public std::runtime_error {
 public:
  ERegExpParser(const std::string& message, uint32_t position) : std::runtime_error(message), ErrorPos(position) {}
  uint32_t ErrorPos;
};

// The engine's messages. Every one is CP932 text, converted once from the table in re_chars.cpp.
enum class RegExpMessage : uint8_t {
  InvalidDoubleByte,   // "不正な２バイト文字コードです。"
  CharAfterBackslash,  // ""\"の次には文字が必要です。"
  InvalidHex,          // "不正な１６進数コード表記です。"
  InvalidOctal,        // "不正な８進数コード表記です。"
  RightBracket,        // "右ブラケット"]"が必要です"
  InvalidRange,        // "不正なキャラクタ範囲です"
  ExtraChars,          // "正規表現に余分な文字があります"
  RightParen,          // "右(閉じ)括弧が必要です"
  CharOrLeftParen,     // "普通の文字、または左括弧"("が必要です"
  InvalidClass,        // "不正なキャラクタクラス指定です。"
  TooDeep,             // "括弧の入れ子が深すぎます" (groups nested deeper than the parser allows)
  TooComplex,          // "正規表現が複雑すぎます" (a pattern whose compiled form would outgrow its budget)
  TemplateCode,        // "置換文字列の文字コードが１バイトに収まりません。" (a template escape such as \x4142)
  FatalTree,           // "TREParseTree : 致命的エラー" (raised as std::runtime_error, not ERegExpParser); last
};
// The CP932 text of a message. Never raises once the table has been converted (first call).
const std::string& MessageText(RegExpMessage message);
// Raises ERegExpParser(MessageText(message), position). Never returns.
[[noreturn]] void RaiseSyntaxError(RegExpMessage message, int32_t position);

// The twelve metacharacters, in this order: ^ ( | ) + * ? . [ ] $ backslash.
inline constexpr std::array<uint16_t, 12> MetaCharTable = {'^', '(', '|', ')', '+', '*', '?', '.', '[', ']', '$', '\\'};

// Reads the character at the 1-based `position` and advances past it. Returns 0 (position unchanged)
// when position < 1 or past the end. Raises ERegExpParser (InvalidDoubleByte, ErrorPos = position)
// when the byte there is a lead byte and the last byte of the pattern.
uint16_t ReadPatternChar(std::string_view pattern, int32_t& position);

// Steps `position` back over the character just read (double-byte aware). Never raises.
void UnreadPatternChar(std::string_view pattern, int32_t& position);

// Whether the byte at p is the second byte of a double-byte character, looking back no further than
// `first` (the parity of the run of lead-byte values before p settles it). False when p == first.
bool IsTrailByteAt(const char* first, const char* p);

// Reads one character of a NUL-terminated text and moves p past it. Returns 0 without moving at the
// NUL. A lead byte followed by the NUL is returned as its byte value and p moves 1. Never raises.
uint16_t ReadTextChar(const char*& p);

// The bytes of a code: two (high, low) when the high byte is a lead byte, otherwise the low byte alone
// (0xFFFD gives the single byte 0xFD, 0x0041 gives "A").
std::string CodeToText(uint16_t code);

// A copy of `text` with a backslash before every metacharacter. Raises ERegExpParser (InvalidDoubleByte)
// when text ends in a lone lead byte.
std::string QuoteMetaChars(std::string_view text);

// The value of a hexadecimal digit (0-9, A-F, a-f) or of an octal digit (0-7); -1 for anything else.
int HexDigitValue(uint16_t code);
int OctDigitValue(uint16_t code);

// Escapes, read right after the backslash. \b \r \n \t give 8 13 10 9; \x takes one to four hex digits;
// a digit 0-7 starts an octal escape of one to six digits (at most 0xFFFF); any other character stands
// for itself. Return the code and advance `position`. Raise ERegExpParser with ErrorPos = position:
// CharAfterBackslash (nothing follows), InvalidHex (\x without a digit), InvalidOctal (over 0xFFFF),
// InvalidDoubleByte (a lone trailing lead byte).
uint16_t ReadEscape(std::string_view pattern, int32_t& position);
uint16_t ReadHexEscape(std::string_view pattern, int32_t& position);
uint16_t ReadOctEscape(std::string_view pattern, int32_t& position);

}  // namespace kelvane
