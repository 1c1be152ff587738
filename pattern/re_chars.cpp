// Character reading and escapes (re_chars.h). Everything here steps a whole character at a time; the one place that
// has to look backwards, UnreadPatternChar, settles whether a byte is a trail byte by the parity of the
// run of lead-byte values before it, since a trail byte may itself carry a lead-byte value.
#include "pattern/re_chars.h"

#include <algorithm>
#include <array>

#include "platform/cp932.h"

namespace kelvane {

namespace {

// UTF-8 here, CP932 after the one conversion in MessageText. Order follows RegExpMessage.
// clang-format off
constexpr std::array kMessages = {
    "不正な２バイト文字コードです。",
    "\"\\\"の次には文字が必要です。",
    "不正な１６進数コード表記です。",
    "不正な８進数コード表記です。",
    "右ブラケット\"]\"が必要です",
    "不正なキャラクタ範囲です",
    "正規表現に余分な文字があります",
    "右(閉じ)括弧が必要です",
    "普通の文字、または左括弧\"(\"が必要です",
    "不正なキャラクタクラス指定です。",
    "括弧の入れ子が深すぎます",
    "正規表現が複雑すぎます",
    "置換文字列の文字コードが１バイトに収まりません。",
    "TREParseTree : 致命的エラー",
};
// clang-format on
static_assert(kMessages.size() == static_cast<std::size_t>(RegExpMessage::FatalTree) + 1);

std::array<std::string, kMessages.size()> convertMessages() {
  std::array<std::string, kMessages.size()> out;
  for (std::size_t i = 0; i < kMessages.size(); ++i) out[i] = cp932::fromUtf8(kMessages[i]).text;
  return out;
}

bool isLead(char c) { return cp932::isLeadByte(static_cast<unsigned char>(c)); }
uint8_t byteAt(std::string_view s, int32_t position) { return static_cast<uint8_t>(s[position - 1]); }

}  // namespace

const std::string& MessageText(RegExpMessage message) {
  static const std::array<std::string, kMessages.size()> texts = convertMessages();
  return texts[static_cast<std::size_t>(message)];
}

void RaiseSyntaxError(RegExpMessage message, int32_t position) {
  throw ERegExpParser(MessageText(message), static_cast<uint32_t>(position));
}

uint16_t ReadPatternChar(std::string_view pattern, int32_t& position) {
  const auto length = static_cast<int64_t>(pattern.size());
  if (position < 1 || position > length) return 0;
  const uint8_t b = byteAt(pattern, position);
  if (!cp932::isLeadByte(b)) {
    position += 1;
    return b;
  }
  if (position == length) RaiseSyntaxError(RegExpMessage::InvalidDoubleByte, position);
  const auto code = static_cast<uint16_t>(b << 8 | byteAt(pattern, position + 1));
  position += 2;
  return code;
}

void UnreadPatternChar(std::string_view pattern, int32_t& position) {
  if (position <= 1) return;
  if (position == 2) {
    position = 1;
    return;
  }
  // Past the end only happens after reading the last character; step back from the end itself.
  const int32_t last = std::min<int64_t>(position - 1, static_cast<int64_t>(pattern.size()));
  position = last + 1;
  position -= IsTrailByteAt(pattern.data(), pattern.data() + last - 1) ? 2 : 1;
}

bool IsTrailByteAt(const char* first, const char* p) {
  if (p == first) return false;
  const char* q = p - 1;
  while (q != first && isLead(*q)) --q;
  // The walk stopped at `first` (not tested) or at a byte that is not a lead byte; in both cases the
  // run of lead bytes that decides p is what lies strictly between q and p, plus `first` itself when
  // it is a lead byte.
  std::ptrdiff_t n = p - q;
  if (!isLead(*q)) n -= 1;
  return n % 2 == 1;
}

uint16_t ReadTextChar(const char*& p) {
  const auto b = static_cast<uint8_t>(*p);
  if (b == 0) return 0;
  const auto trail = static_cast<uint8_t>(p[1]);
  if (!cp932::isLeadByte(b) || trail == 0) {
    p += 1;
    return b;
  }
  p += 2;
  return static_cast<uint16_t>(b << 8 | trail);
}

std::string CodeToText(uint16_t code) {
  const auto high = static_cast<uint8_t>(code >> 8);
  const auto low = static_cast<char>(code & 0xFF);
  if (cp932::isLeadByte(high)) return std::string{static_cast<char>(high), low};
  return std::string(1, low);
}

std::string QuoteMetaChars(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  int32_t position = 1;
  for (uint16_t c = ReadPatternChar(text, position); c != 0; c = ReadPatternChar(text, position)) {
    for (uint16_t meta : MetaCharTable) {
      if (c == meta) {
        out += '\\';
        break;
      }
    }
    out += CodeToText(c);
  }
  return out;
}

int HexDigitValue(uint16_t code) {
  if (code >= '0' && code <= '9') return code - '0';
  if (code >= 'A' && code <= 'F') return code - 'A' + 10;
  if (code >= 'a' && code <= 'f') return code - 'a' + 10;
  return -1;
}

int OctDigitValue(uint16_t code) { return code >= '0' && code <= '7' ? code - '0' : -1; }

uint16_t ReadEscape(std::string_view pattern, int32_t& position) {
  const uint16_t c = ReadPatternChar(pattern, position);
  switch (c) {
    case 0:
      RaiseSyntaxError(RegExpMessage::CharAfterBackslash, position);
    case 'b':
      return 8;
    case 'r':
      return 13;
    case 'n':
      return 10;
    case 't':
      return 9;
    case 'x':
      return ReadHexEscape(pattern, position);
    default:
      break;
  }
  if (OctDigitValue(c) >= 0) {
    UnreadPatternChar(pattern, position);
    return ReadOctEscape(pattern, position);
  }
  return c;
}

uint16_t ReadHexEscape(std::string_view pattern, int32_t& position) {
  uint16_t value = 0;
  int count = 0;
  uint16_t c = ReadPatternChar(pattern, position);
  while (c != 0 && HexDigitValue(c) >= 0 && count < 4) {
    value = static_cast<uint16_t>(value * 16 + HexDigitValue(c));
    ++count;
    c = ReadPatternChar(pattern, position);
  }
  if (count == 0) RaiseSyntaxError(RegExpMessage::InvalidHex, position);
  if (c != 0) UnreadPatternChar(pattern, position);
  return value;
}

uint16_t ReadOctEscape(std::string_view pattern, int32_t& position) {
  uint32_t value = 0;
  int count = 0;
  uint16_t c = ReadPatternChar(pattern, position);
  while (c != 0 && OctDigitValue(c) >= 0 && count < 6) {
    const uint32_t next = value * 8 + static_cast<uint32_t>(OctDigitValue(c));
    if (next > 0xFFFF) RaiseSyntaxError(RegExpMessage::InvalidOctal, position);
    value = next;
    ++count;
    c = ReadPatternChar(pattern, position);
  }
  if (count == 0) RaiseSyntaxError(RegExpMessage::InvalidOctal, position);
  if (c != 0) UnreadPatternChar(pattern, position);
  return static_cast<uint16_t>(value);
}

}  // namespace kelvane
