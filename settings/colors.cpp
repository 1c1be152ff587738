#include "settings/colors.h"

#include <cstdio>

#include "platform/profile.h"
#include "settings/keys.h"

namespace kelvane {
namespace {

constexpr std::uint32_t sys(std::uint32_t index) { return kSystemColorBase + index; }

bool sameAsciiFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

}  // namespace

const std::vector<NamedColor>& namedColors() {
  static const std::vector<NamedColor> colors = {
      {"clBlack", 0x000000},
      {"clMaroon", 0x000080},
      {"clGreen", 0x008000},
      {"clOlive", 0x008080},
      {"clNavy", 0x800000},
      {"clPurple", 0x800080},
      {"clTeal", 0x808000},
      {"clGray", 0x808080},
      {"clSilver", 0xC0C0C0},
      {"clRed", 0x0000FF},
      {"clLime", 0x00FF00},
      {"clYellow", 0x00FFFF},
      {"clBlue", 0xFF0000},
      {"clFuchsia", 0xFF00FF},
      {"clAqua", 0xFFFF00},
      {"clWhite", 0xFFFFFF},
      {"clMoneyGreen", 0xC0DCC0},
      {"clSkyBlue", 0xF0CAA6},
      {"clCream", 0xF0FBFF},
      {"clMedGray", 0xA4A0A0},
      {"clScrollBar", sys(0)},
      {"clBackground", sys(1)},
      {"clActiveCaption", sys(2)},
      {"clInactiveCaption", sys(3)},
      {"clMenu", sys(4)},
      {"clWindow", sys(5)},
      {"clWindowFrame", sys(6)},
      {"clMenuText", sys(7)},
      {"clWindowText", sys(8)},
      {"clCaptionText", sys(9)},
      {"clActiveBorder", sys(10)},
      {"clInactiveBorder", sys(11)},
      {"clAppWorkSpace", sys(12)},
      {"clHighlight", sys(13)},
      {"clHighlightText", sys(14)},
      {"clBtnFace", sys(15)},
      {"clBtnShadow", sys(16)},
      {"clGrayText", sys(17)},
      {"clBtnText", sys(18)},
      {"clInactiveCaptionText", sys(19)},
      {"clBtnHighlight", sys(20)},
      {"cl3DDkShadow", sys(21)},
      {"cl3DLight", sys(22)},
      {"clInfoText", sys(23)},
      {"clInfoBk", sys(24)},
      {"clHotLight", sys(26)},
      {"clGradientActiveCaption", sys(27)},
      {"clGradientInactiveCaption", sys(28)},
      {"clMenuHighlight", sys(29)},
      {"clMenuBar", sys(30)},
      {"clNone", kClNone},
      {"clDefault", kClDefault},
  };
  return colors;
}

std::string colorToText(std::uint32_t color) {
  for (const auto& c : namedColors())
    if (c.value == color) return c.name;
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "$%08X", static_cast<unsigned>(color));
  return buffer;
}

std::uint32_t colorFromText(std::string_view text) {
  for (const auto& c : namedColors())
    if (sameAsciiFolded(text, c.name)) return c.value;
  long long value;
  if (parseProfileInteger(std::string(text), value)) return static_cast<std::uint32_t>(value);
  throw SettingsError(settingsKeys().badColorValue + ": '" + std::string(text) + "'");
}

}  // namespace kelvane
