// The options dialog's logic. The reactions of the check boxes run whenever a state changes, also
// during the fill-in, as they would on the desktop; that is why CheckForm is cleared only after
// everything was filled.
#include "settings/options_form.h"

#include <stdexcept>

#include "settings/form_texts.h"

namespace kelvane {

void OptionsForm::FormActivate(const Settings& s, const Profile& profile) {
  const bool flags[13] = {false,       s.ExtTxt,           s.ExtHtml,    s.ExtCgi,   s.ExtSystem,
                          s.ExtCsv,    s.ExtCustom,        s.Subfolders, s.FuzzyDic, s.CaseSensitive,
                          s.UseRegExp, s.IgnoreBlankLines, s.ExtMsWord};
  for (int n = 1; n <= 12; ++n) setCheckBox(n, flags[n]);
  enableSearchOptions(s.UseRegExp);
  c_.Edit1 = s.UserExtensions;

  c_.Edit2 = readJoinSeparator(profile);
  const int split = readSplitMode(profile);
  if (split >= 1 && split <= 3) c_.splitChoice = split;
  const ExternalEditor editor = readExternalEditor(profile);
  setEditC(editor.enabled);
  EditCClick();  // the enabling follows the box even when its state did not change
  c_.EditPath = editor.path;
  c_.EditE1 = editor.lineOption;
  c_.EditE2 = editor.wordOption;

  c_.CheckForm = false;
}

void OptionsForm::setCheckBox(int number, bool on) {
  if (number < 1 || number > 12) throw std::out_of_range("OptionsForm::setCheckBox");
  if (c_.CheckBox[number] == on) return;
  c_.CheckBox[number] = on;
  if (number <= 7) CheckBoxFILEClick();
  if (number == 10) CheckBox10Click();
}

void OptionsForm::setEditC(bool on) {
  if (c_.EditC == on) return;
  c_.EditC = on;
  EditCClick();
}

void OptionsForm::enableSearchOptions(bool useRegExp) {
  // Case folding is not offered with the pattern engine; the fuzzy dictionary works only with it.
  c_.CheckBox8Enabled = useRegExp;
  c_.CheckBox9Enabled = !useRegExp;
}

void OptionsForm::ButtonEditPathClick(DialogPort& port) {
  const FormTexts& t = formTexts();
  if (std::optional<std::string> path = port.chooseProgram(t.chooseEditor, t.editorFilterName)) c_.EditPath = *path;
}

bool OptionsForm::Button2Click(OptionsHost& host, DialogPort& port) {
  const FormTexts& t = formTexts();
  if (c_.EditC && c_.EditPath.empty()) {
    port.showMessage(t.editorError);
    setEditC(false);
    return false;
  }
  const bool targetsChange = c_.CheckForm;
  if (!port.confirmOkCancel(targetsChange ? t.clearTargetsQ : t.updateQ)) {
    port.showMessage(t.notUpdated);
    return false;
  }
  try {
    save(host);
  } catch (const ProfileError& error) {
    // The keys before the refused one are written and in the record; the person sees why the rest
    // is not, and the dialog keeps the edits for another try. The extension list follows the
    // record, so the next target list is made from what the record says.
    host.rebuildExtensionList();
    port.showError(error.what());
    return false;
  }
  if (targetsChange) {
    host.clearTargetList();
    c_.CheckForm = false;
  }
  host.clearStatusText();
  return true;
}

void OptionsForm::save(OptionsHost& host) {
  Settings chosen = host.settings();
  chosen.ExtTxt = c_.CheckBox[1];
  chosen.ExtHtml = c_.CheckBox[2];
  chosen.ExtCgi = c_.CheckBox[3];
  chosen.ExtSystem = c_.CheckBox[4];
  chosen.ExtCsv = c_.CheckBox[5];
  chosen.ExtCustom = c_.CheckBox[6];
  chosen.Subfolders = c_.CheckBox[7];
  chosen.FuzzyDic = c_.CheckBox[8];
  chosen.CaseSensitive = c_.CheckBox[9];
  chosen.UseRegExp = c_.CheckBox[10];
  chosen.IgnoreBlankLines = c_.CheckBox[11];
  chosen.ExtMsWord = c_.CheckBox[12];
  chosen.UserExtensions = c_.Edit1;

  OtherOptions other;
  other.joinSeparator = c_.Edit2;
  other.splitMode = c_.splitChoice;
  other.editor = ExternalEditor{c_.EditC, c_.EditPath, c_.EditE1, c_.EditE2};

  Profile profile(host.settingsPath());
  writeOptions(profile, chosen, other, host.settings(), [&host] { host.rebuildExtensionList(); });
}

}  // namespace kelvane
