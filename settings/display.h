#pragma once
// The display settings of section "表示": the colours and font sizes of the main window's three
// lists, the two highlight colours, the box and status-bar font sizes and the two bars' visibility.
#include <cstdint>

#include "platform/profile.h"
#include "settings/colors.h"

namespace kelvane {

// One list's look. Tab 1 is the search list, 2 the file join list, 3 the target file list.
struct ListDisplay {
  std::uint32_t headerBack = 0x008080;  // clOlive
  std::uint32_t headerText = 0xF0FBFF;  // clCream
  std::uint32_t back = 0xFFFFFF;        // clWhite
  std::uint32_t text = 0x000000;        // clBlack
  int fontSize = 12;
  bool operator==(const ListDisplay&) const = default;
};

// What applying the display settings changes; the main window implements it (tests record it).
class DisplayTarget {
 public:
  virtual ~DisplayTarget() = default;
  // The list's colours and font size; the view sets the row height from the font (points * dpi / 72).
  virtual void setListDisplay(int tab, const ListDisplay& display) = 0;
  // What the list shows now, the base of a new apply; the design look unless the target keeps
  // what it was given.
  virtual ListDisplay listDisplay(int /*tab*/) const { return ListDisplay{}; }
  virtual void setSearchTextColor(std::uint32_t color) = 0;
  virtual void setReplaceTextColor(std::uint32_t color) = 0;
  // Both tool-bar boxes; the lower tool bar is size + 23 pixels high.
  virtual void setBoxFontSize(int size) = 0;
  // The status bar's font; it is size + 11 pixels high.
  virtual void setStatusBarFontSize(int size) = 0;
  virtual void setStatusBarVisible(bool visible) = 0;
  virtual void setToolBarVisible(bool visible) = 0;
};

// Reads the keys and applies them in this order: tab 1, the search and replace colours, tab 2,
// tab 3, the box font size, the status-bar font size, the status bar shown, the tool bar shown.
// Key by key: a colour that is neither a name nor a number raises SettingsError (naming the key and
// the value) after everything before it has been applied, the keys of its own tab included.
void applyDisplaySettings(const Profile& profile, DisplayTarget& target);

// The 21 keys, for the display settings dialog.
struct DisplaySettings {
  ListDisplay tabs[3];
  std::uint32_t searchTextColor = 0x0000FF;   // clRed
  std::uint32_t replaceTextColor = 0x008000;  // clGreen
  int boxFontSize = 11;
  int statusBarFontSize = 9;
  bool statusBarVisible = true;
  bool toolBarVisible = true;
  bool operator==(const DisplaySettings&) const = default;
};

// Fills `into` key by key in the dialog's fill order (the four colours and the font size of each
// tab, the two highlight colours, the two sizes, the two flags). Raises SettingsError at a bad
// colour; the fields before it are filled and the rest keep what they held.
void readDisplaySettings(const Profile& profile, DisplaySettings& into);
// Writes the 21 keys in the dialog's order: the colours of tabs 1-3, the two highlight colours,
// the five sizes, then the status-bar and tool-bar flags. Raises ProfileError at a refused write.
void writeDisplaySettings(Profile& profile, const DisplaySettings& settings);

}  // namespace kelvane
