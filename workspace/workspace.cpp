#include "workspace/workspace.h"

#include <stdexcept>

#include "workspace/texts.h"

namespace kelvane {

namespace {

// Every control of the window whose state the operations set, with its state at start. The hidden
// ones stay hidden; "元に戻す" and "やり直し" are still enabled and disabled as if they were shown.
struct InitialCommand {
  const char* name;
  bool enabled;
  bool visible;
};

constexpr InitialCommand kInitialCommands[] = {
    // tool bar
    {"NewFileB", false, true},
    {"OverWriteB", false, true},
    {"undoB", false, false},
    {"ToolButton1", true, true},
    {"ToolButton10", true, true},
    {"ToolButton11", true, true},
    {"FairuKetugouB", true, true},
    {"ToolButton2", true, true},
    {"ToolButton21", true, true},
    {"ToolButton22", true, true},
    {"ToolButton7", true, true},
    {"ToolButton8", true, true},
    {"ToolButton9", true, false},
    {"ToolButton16", true, false},
    // menu ファイル
    {"N2", true, true},
    {"SaveAs1", false, true},
    {"N12", false, true},
    {"Exit1", true, true},
    // menu 編集
    {"Repeat1", false, false},
    {"Find1", true, true},
    {"Replace1", true, true},
    {"N3", true, true},
    {"N7", false, true},
    {"N17", true, true},
    // menu 処理モード
    {"GREP1", true, true},
    {"N6", true, true},
    {"CSV1", true, false},
    // menu Option
    {"N1", true, true},
    {"Show1", true, true},
    {"N15", true, true},
    {"N16", true, false},
    // menu Help
    {"Help2", true, true},
    {"Ver1", true, true},
    // result list pop-up
    {"CheckOnFile1", true, true},
    {"CheckOFFFile1", true, true},
    {"N4", true, true},
    {"File2", true, true},
    {"File3", true, true},
    {"N14", true, false},
    // target list pop-up
    {"CheckOFFFolder1", true, true},
    {"CheckOFFFile2", true, true},
    {"N13", true, true},
    {"ON1", true, true},
    {"Folder1", true, true},
    // join list pop-up
    {"N10", true, true},
    {"N11", true, true},
    {"N9", true, true},
    {"N8", true, true},
    {"MenuItem7", true, true},
    // the pattern box
    {"ComboBox1", true, true},
};

}  // namespace

Workspace::Workspace(UiPort& ui) : ui_(ui) {
  initCommands();
  const WorkspaceTexts& t = texts();
  tabCaptions_[kTabResult] = t.tabResult;
  tabCaptions_[kTabJoin] = t.tabJoin;
  tabCaptions_[kTabTarget] = t.tabTarget;
  ComboBox2.addItem(t.newFolder);
}

void Workspace::initCommands() {
  for (const InitialCommand& c : kInitialCommands) {
    commands_[c.name] = CommandState{c.enabled, false, c.visible, false};
  }
}

CheckList& Workspace::list(ListId id) {
  switch (id) {
    case ListId::kTarget:
      return CheckListBox1;
    case ListId::kJoin:
      return CheckListBox2;
    case ListId::kResult:
      return CheckListBox3;
    case ListId::kHidden:
      break;
  }
  return CheckListBoxUNDO;
}

std::string Workspace::settingsPath() const { return settingsFilePath(startupFolder_); }
std::string Workspace::helpPath() const { return startupFolder_ + "/kelvane.html"; }
std::string Workspace::tempFolder() const { return startupFolder_ + "/Temp"; }

void Workspace::changed() {
  ++revision_;
  if (observer_) observer_->workspaceChanged();
}

const CommandState& Workspace::command(const std::string& name) const { return commands_.at(name); }

CommandState& Workspace::mutableCommand(const std::string& name) { return commands_.at(name); }

void Workspace::setEnabled(const std::string& name, bool enabled) { mutableCommand(name).enabled = enabled; }

void Workspace::setStatusText(std::string text) {
  // A progress text repeats for many rows in a row; the view repaints only when it changes.
  if (text == status_) return;
  status_ = std::move(text);
  changed();
}

void Workspace::showTransientStatus(std::string text) {
  status_ = std::move(text);
  timer1_ = true;
  changed();
}

void Workspace::enableTimer1() {
  timer1_ = true;
  changed();
}

void Workspace::setTimer2Enabled(bool on) {
  timer2_ = on;
  changed();
}

const std::string& Workspace::tabCaption(int index) const {
  if (index < 0 || index > 2) throw std::out_of_range("Workspace: tab " + std::to_string(index));
  return tabCaptions_[index];
}

void Workspace::showTab(int index) {
  if (index < 0 || index > 2) return;
  activeTab_ = index;
  changed();
}

}  // namespace kelvane
