#pragma once
// Colour values of the settings file and their names. A colour is a 32-bit number: 00BBGGRR for a
// plain colour (red in the low byte), FF000000 plus an index for a colour of the desktop's scheme,
// 1FFFFFFF for clNone and 20000000 for clDefault.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

// A settings value that cannot be used. what() is CP932 Japanese text naming the bad value.
class SettingsError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct NamedColor {
  const char* name;  // ASCII, so the same bytes in CP932
  std::uint32_t value;
};

constexpr std::uint32_t kSystemColorBase = 0xFF000000u;
constexpr std::uint32_t kClNone = 0x1FFFFFFFu;
constexpr std::uint32_t kClDefault = 0x20000000u;

// The 52 names in their documented order: 20 plain colours, 30 scheme colours, clNone, clDefault.
const std::vector<NamedColor>& namedColors();

// The colour's name when it has one, else "$" and eight upper-case hexadecimal digits.
std::string colorToText(std::uint32_t color);

// A name (any ASCII case) gives its value; else the text as an integer (decimal, "$" or "0x"
// hexadecimal; a negative decimal is taken as its 32-bit pattern). Raises SettingsError otherwise.
std::uint32_t colorFromText(std::string_view text);

// True for a scheme colour (FF0000nn); its index is the low byte.
constexpr bool isSystemColor(std::uint32_t color) { return (color & 0xFFFFFF00u) == kSystemColorBase; }

}  // namespace kelvane
