// Section "表示": reading, writing and applying the 21 display keys. A colour that is neither a
// name nor a number stops the walk at its key; what came before it has been applied, which is
// what the person sees while the message box explains the rest.
#include "settings/display.h"

#include "settings/keys.h"

namespace kelvane {
namespace {

std::uint32_t readColor(const Profile& p, const std::string& key, std::uint32_t def) {
  const auto& k = settingsKeys();
  std::string text = p.readString(k.display, key, colorToText(def));
  try {
    return colorFromText(text);
  } catch (const SettingsError& e) {
    throw SettingsError(std::string(e.what()) + " ([" + k.display + "] " + key + ")");
  }
}

int readSize(const Profile& p, const std::string& key, int def) {
  return p.readInteger(settingsKeys().display, key, def);
}

// Applies a tab's keys one at a time onto what the list shows now: at a bad colour, the keys of the
// tab before it are applied and the rest stay as they were.
void applyTab(const Profile& p, int index, const ListDisplay& defaults, DisplayTarget& target) {
  const auto& k = settingsKeys();
  const int tab = index + 1;
  ListDisplay d = target.listDisplay(tab);
  try {
    d.headerBack = readColor(p, k.headerBack[index], defaults.headerBack);
    d.headerText = readColor(p, k.headerText[index], defaults.headerText);
    d.back = readColor(p, k.back[index], defaults.back);
    d.text = readColor(p, k.text[index], defaults.text);
  } catch (const SettingsError&) {
    target.setListDisplay(tab, d);
    throw;
  }
  d.fontSize = readSize(p, k.fontSize[index], defaults.fontSize);
  target.setListDisplay(tab, d);
}

// Field by field into `d`, so a bad colour leaves the fields before it filled.
void fillTab(const Profile& p, int index, ListDisplay& d) {
  const auto& k = settingsKeys();
  const ListDisplay defaults;
  d.headerBack = readColor(p, k.headerBack[index], defaults.headerBack);
  d.headerText = readColor(p, k.headerText[index], defaults.headerText);
  d.back = readColor(p, k.back[index], defaults.back);
  d.text = readColor(p, k.text[index], defaults.text);
  d.fontSize = readSize(p, k.fontSize[index], defaults.fontSize);
}

}  // namespace

void applyDisplaySettings(const Profile& p, DisplayTarget& target) {
  const auto& k = settingsKeys();
  const DisplaySettings defaults;
  applyTab(p, 0, defaults.tabs[0], target);
  target.setSearchTextColor(readColor(p, k.searchTextColor, defaults.searchTextColor));
  target.setReplaceTextColor(readColor(p, k.replaceTextColor, defaults.replaceTextColor));
  applyTab(p, 1, defaults.tabs[1], target);
  applyTab(p, 2, defaults.tabs[2], target);
  target.setBoxFontSize(readSize(p, k.boxFontSize, defaults.boxFontSize));
  target.setStatusBarFontSize(readSize(p, k.statusBarFontSize, defaults.statusBarFontSize));
  target.setStatusBarVisible(p.readBool(k.display, k.statusBarVisible, defaults.statusBarVisible));
  target.setToolBarVisible(p.readBool(k.display, k.toolBarVisible, defaults.toolBarVisible));
}

void readDisplaySettings(const Profile& p, DisplaySettings& into) {
  const auto& k = settingsKeys();
  const DisplaySettings defaults;
  for (int i = 0; i < 3; ++i) fillTab(p, i, into.tabs[i]);
  into.searchTextColor = readColor(p, k.searchTextColor, defaults.searchTextColor);
  into.replaceTextColor = readColor(p, k.replaceTextColor, defaults.replaceTextColor);
  into.boxFontSize = readSize(p, k.boxFontSize, defaults.boxFontSize);
  into.statusBarFontSize = readSize(p, k.statusBarFontSize, defaults.statusBarFontSize);
  into.statusBarVisible = p.readBool(k.display, k.statusBarVisible, defaults.statusBarVisible);
  into.toolBarVisible = p.readBool(k.display, k.toolBarVisible, defaults.toolBarVisible);
}

void writeDisplaySettings(Profile& p, const DisplaySettings& s) {
  const auto& k = settingsKeys();
  for (int i = 0; i < 3; ++i) {
    p.writeString(k.display, k.headerBack[i], colorToText(s.tabs[i].headerBack));
    p.writeString(k.display, k.headerText[i], colorToText(s.tabs[i].headerText));
    p.writeString(k.display, k.back[i], colorToText(s.tabs[i].back));
    p.writeString(k.display, k.text[i], colorToText(s.tabs[i].text));
  }
  p.writeString(k.display, k.searchTextColor, colorToText(s.searchTextColor));
  p.writeString(k.display, k.replaceTextColor, colorToText(s.replaceTextColor));
  for (int i = 0; i < 3; ++i) p.writeInteger(k.display, k.fontSize[i], s.tabs[i].fontSize);
  p.writeInteger(k.display, k.boxFontSize, s.boxFontSize);
  p.writeInteger(k.display, k.statusBarFontSize, s.statusBarFontSize);
  p.writeBool(k.display, k.statusBarVisible, s.statusBarVisible);
  p.writeBool(k.display, k.toolBarVisible, s.toolBarVisible);
}

}  // namespace kelvane
