// The display settings dialog's logic. The controls are filled once per run: what the person leaves
// in them after "Cancel" is still there at the next showing and is what the next "更新" writes.
#include "settings/display_form.h"

#include <algorithm>
#include <charconv>

namespace kelvane {

int spinEditValue(std::string_view text, int minimum) {
  // The field lets in digits and sign characters only, so "+" "-" "1-2" can still be typed.
  std::size_t start = 0;
  if (!text.empty() && text[0] == '+') start = 1;
  // "++1" and "+-5" are no numbers
  if (start == 1 && start < text.size() && (text[1] == '+' || text[1] == '-')) return minimum;
  int value = 0;
  const char* first = text.data() + start;
  const char* last = text.data() + text.size();
  const auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || end != last || first == last) return minimum;
  return value;
}

int pullFontSize(int size) { return std::clamp(size, kMinFontSize, kMaxFontSize); }

void DisplayForm::FormCreate(const Profile& profile, DialogPort& port) {
  try {
    readDisplaySettings(profile, values);
  } catch (const SettingsError& error) {
    port.showError(error.what());
  }
}

bool DisplayForm::Button2Click(DisplayHost& host, DialogPort& port) {
  try {
    Profile profile(host.settingsPath());
    writeDisplaySettings(profile, values);
  } catch (const ProfileError& error) {
    port.showError(error.what());
    return false;
  }
  try {
    host.applyDisplaySettings();
  } catch (const SettingsError& error) {
    // Only the keys just written are read, so this takes a file changed under the dialog; what
    // came before the bad key is applied, and the dialog closes as the save is done.
    port.showError(error.what());
  }
  host.refreshSearchList();
  return true;
}

}  // namespace kelvane
