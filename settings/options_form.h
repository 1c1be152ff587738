#pragma once
// The options dialog (TForm2, "設定画面") without its widgets: the state of its controls, the
// fill-in when it is shown, the enabling rules, the CheckForm flag and the "更新" sequence with its
// questions and its save. The Qt dialog copies this state onto its widgets and forwards each click
// here.
#include <string>

#include "platform/profile.h"
#include "settings/dialog_port.h"
#include "settings/settings.h"

namespace kelvane {

// What the dialog changes in the main window.
class OptionsHost {
 public:
  virtual ~OptionsHost() = default;
  // The one in-memory Settings record of the run.
  virtual Settings& settings() = 0;
  virtual std::string settingsPath() const = 0;
  // ExtensionList rebuilt from the record's extension flags and the user's own extension.
  virtual void rebuildExtensionList() = 0;
  // The target file list emptied, since it no longer matches the options.
  virtual void clearTargetList() = 0;
  virtual void clearStatusText() = 0;
};

// The controls, by the names the dialog gives them. Texts are CP932.
struct OptionsControls {
  // CheckBox1 .. CheckBox12 (index 0 unused): 1-5 the extension groups, 6 the user's own
  // extension, 7 subfolders, 8 fuzzy dictionary, 9 case (hidden), 10 regular expressions (hidden),
  // 11 blank lines (hidden), 12 MS Word (always disabled).
  bool CheckBox[13] = {false, true, false, false, false, false, false, true, false, true, true, false, false};
  std::string Edit1;  // the user's own extension
  std::string Edit2;  // the join separator
  // The selected one of RadioButton1..3, 0 for none. The design selects RadioButton2.
  int splitChoice = 2;
  bool EditC = false;    // "使用する"
  std::string EditPath;  // the editor program (read-only in the dialog)
  std::string EditE1;    // the line option
  std::string EditE2;    // the word option (hidden)

  bool CheckBox8Enabled = true;
  bool CheckBox9Enabled = false;
  // EditL1..EditL4, EditE1, EditE2, EditPath and Label1; disabled in the design.
  bool editorControlsEnabled = false;
  // Hidden flag: a setting that decides the target files was changed since the fill-in.
  bool CheckForm = false;
};

class OptionsForm {
 public:
  const OptionsControls& controls() const { return c_; }

  // The fill-in when the dialog is shown: the flags and the user's extension from `settings`, the
  // join, split and editor keys from the file. A stored split mode other than 1, 2 or 3 leaves the
  // radio buttons as they were. CheckForm is cleared last.
  void FormActivate(const Settings& settings, const Profile& profile);

  // A check box changed, by the person or by the program: the state and its reaction. Raises
  // std::out_of_range for a number outside 1..12.
  void setCheckBox(int number, bool on);
  void setEditC(bool on);
  void setEdit1(std::string text) { c_.Edit1 = std::move(text); }  // does not set CheckForm
  void setEdit2(std::string text) { c_.Edit2 = std::move(text); }
  void setEditE1(std::string text) { c_.EditE1 = std::move(text); }
  void setEditE2(std::string text) { c_.EditE2 = std::move(text); }
  void setSplitChoice(int choice) { c_.splitChoice = choice; }

  // "...": the editor program's chooser; a cancelled chooser changes nothing.
  void ButtonEditPathClick(DialogPort& port);

  // "更新": validation, the question, the save, the main window's follow-up. True when the dialog
  // is to close. A refused write shows the error and stops the save at that key (the extension
  // list is rebuilt from what the record then holds); the dialog stays.
  bool Button2Click(OptionsHost& host, DialogPort& port);

 private:
  void CheckBoxFILEClick() { c_.CheckForm = true; }
  void CheckBox10Click() { enableSearchOptions(c_.CheckBox[10]); }
  void EditCClick() { c_.editorControlsEnabled = c_.EditC; }
  void enableSearchOptions(bool useRegExp);
  // The save in its order; raises ProfileError at the first refused write.
  void save(OptionsHost& host);

  OptionsControls c_;
};

}  // namespace kelvane
