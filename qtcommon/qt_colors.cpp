#include "qtcommon/qt_colors.h"

#include <array>

namespace kelvane {
namespace {

struct RoleOf {
  QPalette::ColorGroup group;
  QPalette::ColorRole role;
};

constexpr QPalette::ColorGroup kAct = QPalette::Active;
constexpr QPalette::ColorRole kNoRole = QPalette::NoRole;

// Indexed by the scheme colour number; index 25 has no name and no counterpart.
constexpr std::array<RoleOf, 31> kSchemeRoles = {{
    {kAct, QPalette::Button},                    // 0 clScrollBar
    {kAct, QPalette::Window},                    // 1 clBackground
    {kAct, QPalette::Highlight},                 // 2 clActiveCaption
    {QPalette::Inactive, QPalette::Highlight},   // 3 clInactiveCaption
    {kAct, QPalette::Window},                    // 4 clMenu
    {kAct, QPalette::Base},                      // 5 clWindow
    {kAct, QPalette::Shadow},                    // 6 clWindowFrame
    {kAct, QPalette::WindowText},                // 7 clMenuText
    {kAct, QPalette::Text},                      // 8 clWindowText
    {kAct, QPalette::HighlightedText},           // 9 clCaptionText
    {kAct, QPalette::Button},                    // 10 clActiveBorder
    {kAct, QPalette::Button},                    // 11 clInactiveBorder
    {kAct, QPalette::Dark},                      // 12 clAppWorkSpace
    {kAct, QPalette::Highlight},                 // 13 clHighlight
    {kAct, QPalette::HighlightedText},           // 14 clHighlightText
    {kAct, QPalette::Button},                    // 15 clBtnFace
    {kAct, QPalette::Dark},                      // 16 clBtnShadow
    {QPalette::Disabled, QPalette::Text},        // 17 clGrayText
    {kAct, QPalette::ButtonText},                // 18 clBtnText
    {QPalette::Disabled, QPalette::WindowText},  // 19 clInactiveCaptionText
    {kAct, QPalette::Light},                     // 20 clBtnHighlight
    {kAct, QPalette::Shadow},                    // 21 cl3DDkShadow
    {kAct, QPalette::Midlight},                  // 22 cl3DLight
    {kAct, QPalette::ToolTipText},               // 23 clInfoText
    {kAct, QPalette::ToolTipBase},               // 24 clInfoBk
    {kAct, kNoRole},                             // 25
    {kAct, QPalette::Link},                      // 26 clHotLight
    {kAct, QPalette::Highlight},                 // 27 clGradientActiveCaption
    {QPalette::Inactive, QPalette::Highlight},   // 28 clGradientInactiveCaption
    {kAct, QPalette::Highlight},                 // 29 clMenuHighlight
    {kAct, QPalette::Window},                    // 30 clMenuBar
}};

constexpr int kGradientActiveCaption = 27;
constexpr int kGradientInactiveCaption = 28;

// One part of `tint` in four of `base`.
QColor tinted(const QColor& tint, const QColor& base) {
  return QColor((tint.red() + 3 * base.red()) / 4, (tint.green() + 3 * base.green()) / 4,
                (tint.blue() + 3 * base.blue()) / 4);
}

}  // namespace

QColor systemColor(int index, const QPalette& palette) {
  if (index < 0 || index >= static_cast<int>(kSchemeRoles.size())) return {};
  const RoleOf& r = kSchemeRoles[index];
  if (r.role == kNoRole) return {};
  // The far end of a title bar's gradient is a pale shade of the caption colour. Given the caption
  // colour itself it would be the selection colour, and a header row painted with it (the folder
  // list of the history cleanup dialog) would look selected.
  if (index == kGradientActiveCaption || index == kGradientInactiveCaption) {
    return tinted(palette.color(r.group, r.role), palette.color(QPalette::Active, QPalette::Base));
  }
  return palette.color(r.group, r.role);
}

QColor toQColor(std::uint32_t value, const QPalette& palette, const QColor& fallback) {
  if (value == kColorNone) return QColor(Qt::transparent);
  if (value == kColorDefault) return fallback;
  if ((value & 0xFF000000u) == 0xFF000000u) {
    QColor c = systemColor(static_cast<int>(value & 0x00FFFFFFu), palette);
    return c.isValid() ? c : fallback;
  }
  // Any other high byte only chose a palette on the original desktop; the low three bytes are the
  // colour.
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

}  // namespace kelvane
