// The result list's check handling (with the exchange of texts while a replace preview is pending),
// the pop-up states of the result and join lists, and where the colour goes in a result row.
#include "platform/cp932.h"
#include "workspace/texts.h"
#include "workspace/workspace.h"

namespace kelvane {

namespace {

// The colour of a row is looked for in its first 64 KB only, ended on a character boundary: a list
// draws no more of a row than that, and a line of megabytes is painted again with every scroll.
std::size_t highlightWindow(const std::string& text) {
  constexpr std::size_t kWindow = 64 * 1024;
  if (text.size() <= kWindow) return text.size();
  std::size_t i = 0;
  while (i < kWindow) i += cp932::isLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
  return i > kWindow ? i - 2 : i;
}

}  // namespace

void Workspace::CheckListBox3ClickCheck(int index) { replace_.checkChanged(index); }

void Workspace::setResultFileChecks(bool on) {
  const int selected = CheckListBox3.selectedIndex();
  if (selected < 0 || selected >= CheckListBox3.count() - 1) return;
  CheckList::Batch batch(CheckListBox3);
  CheckList::Batch hidden(CheckListBoxUNDO);
  for (int i = selected + 1; i < CheckListBox3.count() && !CheckListBox3.isHeader(i); ++i) {
    if (CheckListBox3.isChecked(i) == on) continue;
    CheckListBox3.setChecked(i, on);
    replace_.checkChanged(i);
  }
}

void Workspace::CheckOnFile1Click() { setResultFileChecks(true); }
void Workspace::CheckOFFFile1Click() { setResultFileChecks(false); }

void Workspace::PopupMenu1Popup() {
  const int selected = CheckListBox3.selectedIndex();
  const bool onHeader = selected >= 0 && CheckListBox3.isHeader(selected);
  setEnabled({"CheckOnFile1", "CheckOFFFile1", "File2", "File3"}, onHeader);
  setEnabled("N14", !onHeader);
  setEnabled("N4", true);
  changed();
}

void Workspace::PopupMenu3Popup() {
  if (ProcessingMode == pmJoin) {
    const int selected = CheckListBox2.selectedIndex();
    const bool onHeader = selected >= 0 && CheckListBox2.isHeader(selected);
    setEnabled("N10", true);
    setEnabled({"N11", "N9", "N8"}, onHeader);
    setEnabled("MenuItem7", !onHeader);
  } else if (ProcessingMode == pmSplit) {
    setEnabled({"N10", "N11", "N9", "N8", "MenuItem7"}, false);
  }
  changed();
}

void Workspace::CheckListBox2Exit() {
  setEnabled({"NewFileB", "OverWriteB", "undoB", "Repeat1"}, false);
  changed();
}

std::optional<Workspace::Highlight> Workspace::ResultHighlight(int index) {
  if (index < 0 || index >= CheckListBox3.count() || !settings.UseRegExp) return std::nullopt;
  const CheckRow& row = CheckListBox3.row(index);
  if (row.header) return std::nullopt;
  const bool replaced = !ReplaceText().empty() && row.checked;
  try {
    assignPattern(paintStr_, replaced ? ReplaceText() : LastSearchText, settings.FuzzyDic);
  } catch (const ERegExpParser&) {
    return std::nullopt;
  }
  int position = 0, length = 0;
  const std::size_t searched = highlightWindow(row.text);
  const int found = searched == row.text.size() ? paintStr_.Match(row.text, position, length)
                                                : paintStr_.Match(row.text.substr(0, searched), position, length);
  if (found == 0 || length == 0) return std::nullopt;
  return Highlight{position, length, replaced};
}

}  // namespace kelvane
