#pragma once
// The display settings dialog (TForm4, "表示の設定") without its widgets: the 21 values of its
// controls, filled from the settings file once when the dialog is made, the "更新" sequence, and
// the rules of its number fields.
#include <string>
#include <string_view>

#include "platform/profile.h"
#include "settings/dialog_port.h"
#include "settings/display.h"

namespace kelvane {

// What "更新" changes in the main window.
class DisplayHost {
 public:
  virtual ~DisplayHost() = default;
  virtual std::string settingsPath() const = 0;
  // The display settings of the file applied to the window. Raises SettingsError at a colour the
  // file cannot give, after applying what came before it.
  virtual void applyDisplaySettings() = 0;
  // The search list after an apply: its scroll width from its widest row, and every row that
  // names an existing file in its first quoted field marked as a header row.
  virtual void refreshSearchList() = 0;
};

// The limits of the three font-size fields.
inline constexpr int kMinFontSize = 9;
inline constexpr int kMaxFontSize = 99;

// A number field's text as its value: a decimal number with an optional sign, or `minimum` for
// text that is not one (an empty field, a lone sign, a number too big for an int).
int spinEditValue(std::string_view text, int minimum);
// A font size pulled into 9..99.
int pullFontSize(int size);

class DisplayForm {
 public:
  // The controls' values, as the dialog shows them.
  DisplaySettings values;

  // The fill-in at creation. A colour the file cannot give stops the fill-in at its key with the
  // error shown; the fields before it are filled and the rest keep their design values.
  void FormCreate(const Profile& profile, DialogPort& port);

  // "更新": the 21 keys written in their order, then applied to the main window. True when the
  // dialog is to close. A refused write shows the error and stops there; nothing is applied.
  bool Button2Click(DisplayHost& host, DialogPort& port);
};

}  // namespace kelvane
