#pragma once
// Settings colour values as Qt colours. A stored colour is 00BBGGRR for a plain colour (red in the
// low byte), FF0000nn for colour nn of the desktop's scheme, 1FFFFFFF for "clNone" and 20000000 for
// "clDefault". The scheme colours come from the palette, so they follow the desktop's theme.
#include <QColor>
#include <QPalette>
#include <cstdint>

namespace kelvane {

inline constexpr std::uint32_t kColorNone = 0x1FFFFFFF;
inline constexpr std::uint32_t kColorDefault = 0x20000000;

// The palette colour that stands in for scheme colour `index` (0..30); the two gradient caption
// colours are pale shades of the caption colours, never the selection colour itself. Returns an
// invalid QColor for an index with no counterpart.
QColor systemColor(int index, const QPalette& palette);

// The colour a stored value names. "clNone" gives a transparent colour; "clDefault" gives
// `fallback`; a scheme index with no counterpart gives `fallback` too. Never raises.
QColor toQColor(std::uint32_t value, const QPalette& palette, const QColor& fallback);

}  // namespace kelvane
