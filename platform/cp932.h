#pragma once
// The one door between CP932 (Shift-JIS with the NEC and IBM extensions) and Unicode, the lead-byte
// test and the locale's upper-casing. Everything inside the program is CP932 bytes; views and the
// file layer call these when they meet Unicode (widgets, UTF-8 file names, the terminal).
#include <cstddef>
#include <string>
#include <string_view>

namespace kelvane::cp932 {

// True for the bytes that open a double-byte character: 0x81-0x9F and 0xE0-0xFC.
constexpr bool isLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// The result of a conversion. Nothing is dropped silently: each byte sequence or character with no
// counterpart is replaced (U+FFFD towards UTF-8, "?" towards CP932) and counted.
struct Converted {
  std::string text;
  std::size_t failures = 0;                      // how many pieces had no counterpart
  std::size_t firstFailure = std::string::npos;  // byte offset in the input of the first of them
  bool ok() const { return failures == 0; }
};

// CP932 -> UTF-8. A lone lead byte, a bad trail byte or an unassigned code is a failure.
Converted toUtf8(std::string_view cp932);

// UTF-8 -> CP932. Broken UTF-8 or a character with no CP932 form is a failure. The variants that
// Linux input methods type reach the codes Windows gives them: 〜 U+301C -> 0x8160 (～),
// ‖ U+2016 -> 0x8161, − U+2212 -> 0x817C, ¢ £ ¬ -> 0x8191 0x8192 0x81CA, — U+2014 -> 0x815C.
Converted fromUtf8(std::string_view utf8);

// The same two conversions made by iconv alone, a run of characters per call. toUtf8 and fromUtf8
// give exactly what these give for every input (text, failures and firstFailure); they go through
// tables made once from iconv and are several times faster. Kept to check the tables against.
Converted toUtf8ByIconv(std::string_view cp932);
Converted fromUtf8ByIconv(std::string_view utf8);

// The locale's upper-casing of CP932 text: ASCII a-z, and the double-byte full-width a-z, Greek and
// Cyrillic small letters. Double-byte characters are stepped over whole, so a trail byte is never
// taken for an ASCII letter.
std::string upper(std::string_view cp932);

}  // namespace kelvane::cp932
