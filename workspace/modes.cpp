// The processing modes of the main window: which commands a mode enables, the tab captions, and
// the mode commands of the menu, the tool bar and the tabs.
#include "workspace/texts.h"
#include "workspace/workspace.h"

namespace kelvane {

void Workspace::setModeCommands(bool searchMode) {
  mutableCommand("GREP1").checked = searchMode;
  mutableCommand("N6").checked = !searchMode;
  mutableCommand("ToolButton7").down = searchMode;
  mutableCommand("ToolButton8").down = !searchMode;
  setEnabled({"Find1", "Replace1", "N3", "ToolButton1", "ToolButton10", "ComboBox1"}, searchMode);
  setEnabled({"N7", "FairuKetugouB"}, !searchMode);
  setEnabled({"SaveAs1", "N12", "Repeat1", "NewFileB", "OverWriteB", "undoB"}, false);
}

void Workspace::EnterSearchMode() {
  setModeCommands(true);
  joinDrag_ = false;
  ProcessingMode = ProcessingMode <= pmJoin ? pmSearch : pmSearchAfterSplit;
  SelectLastSearchText();
  CheckListBox2.clear();
  changed();
}

void Workspace::EnterJoinMode() {
  setModeCommands(false);
  if (ProcessingMode < pmSearchAfterSplit) {
    ProcessingMode = pmJoin;
    tabCaptions_[kTabJoin] = texts().tabJoin;
  } else {
    ProcessingMode = pmSplit;
    tabCaptions_[kTabJoin] = texts().tabSplit;
  }
  joinDrag_ = ProcessingMode == pmJoin;
  changed();
  if (ReplacePending()) Undo();
}

void Workspace::SelectLastSearchText() {
  int last = -1;
  for (int i = 0; i < ComboBox1.count(); ++i) {
    if (ComboBox1.item(i) == LastSearchText) last = i;
  }
  if (last >= 0) ComboBox1.setSelectedIndex(last);
}

void Workspace::GREP1Click() {
  if (command("GREP1").checked) return;
  if (ProcessingMode >= pmSearchAfterSplit) {
    ProcessingMode = pmSearch;
    CheckListBox2.clear();
  }
  EnterSearchMode();
  showTab(kTabResult);
}

void Workspace::ToolButton7Click() { GREP1Click(); }

void Workspace::N6Click() {
  if (command("N6").checked) return;
  if (ProcessingMode >= pmSearchAfterSplit) {
    ProcessingMode = pmJoin;
    CheckListBox2.clear();
    tabCaptions_[kTabJoin] = texts().tabJoin;
  }
  EnterJoinMode();
  showTab(kTabJoin);
}

void Workspace::ToolButton8Click() { N6Click(); }

void Workspace::PageControl1Change(int index) {
  if (index < kTabResult || index > kTabTarget) return;
  activeTab_ = index;
  if (index == kTabResult) {
    EnterSearchMode();
  } else if (index == kTabJoin) {
    EnterJoinMode();
  }
  changed();
}

}  // namespace kelvane
