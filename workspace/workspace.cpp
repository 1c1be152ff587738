#include "workspace/workspace.h"

#include <stdexcept>

#include "platform/files.h"
#include "workspace/texts.h"

namespace kelvane {

Workspace::Workspace(UiPort& ui) : ui_(ui) {
  initCommands();
  const WorkspaceTexts& t = texts();
  tabCaptions_[kTabResult] = t.tabResult;
  tabCaptions_[kTabJoin] = t.tabJoin;
  tabCaptions_[kTabTarget] = t.tabTarget;
  ComboBox2.addItem(t.newFolder);
}

void Workspace::initCommands() {
  for (const CommandDef& c : kCommandTable) {
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
std::string Workspace::helpPath() const {
  std::string own = startupFolder_ + "/kelvane.html";
  // A start-up folder with a guide of its own (the source tree) keeps it; otherwise the installed
  // guide, and when neither is there the start-up folder's path, for the desktop to report.
  if (installedHelp_.empty() || files::fileExists(own) || !files::fileExists(installedHelp_)) return own;
  return installedHelp_;
}
std::string Workspace::tempFolder() const { return startupFolder_ + "/Temp"; }

void Workspace::setUndo(UndoRecord record) {
  undo_ = std::move(record);
  CheckListBoxUNDO.assign(hiddenRows(undo_, CheckListBox3.rows()));
}

const std::string& Workspace::ReplaceText() const {
  static const std::string none;
  const auto* preview = std::get_if<undo::Preview>(&undo_);
  return preview ? preview->replacement : none;
}

void Workspace::assignPattern(TRegularExpression& re, const std::string& pattern, bool fuzzy) {
  if (re.UseFuzzyCharDic() != fuzzy) {
    // The option re-assigns the current pattern: the empty one, which always compiles, at no cost.
    re.SetRegExp("");
    re.SetUseFuzzyCharDic(fuzzy);
  }
  re.SetRegExp(pattern);
}

std::optional<std::string> Workspace::ResultFile(int index) const {
  if (index < 0 || index >= CheckListBox3.count()) return std::nullopt;
  const ResultRecord* record = results_.find(CheckListBox3.row(index));
  if (!record) return std::nullopt;
  return results_.path(*record);
}

int Workspace::ResultLine(int index) const {
  if (index < 0 || index >= CheckListBox3.count()) return -1;
  const ResultRecord* record = results_.find(CheckListBox3.row(index));
  return record && record->lineNo > 0 ? static_cast<int>(record->lineNo) : -1;
}

std::optional<std::string> Workspace::TargetPath(int index) const {
  if (index < 0 || index >= CheckListBox1.count()) return std::nullopt;
  const std::string* path = targetPaths_.find(CheckListBox1.row(index));
  return path ? std::optional<std::string>(*path) : std::nullopt;
}

void Workspace::changed() {
  ++revision_;
  if (observer_) observer_->workspaceChanged();
}

// The names were checked against the table when they were compiled, and every row of the table has
// its state: find() cannot fail.
const CommandState& Workspace::command(CommandId name) const { return commands_.find(name.name)->second; }

const CommandState& Workspace::stateOf(std::string_view name) const {
  auto it = commands_.find(name);
  if (it == commands_.end()) throw std::out_of_range("Workspace: no control " + std::string(name));
  return it->second;
}

CommandState& Workspace::mutableCommand(CommandId name) { return commands_.find(name.name)->second; }

void Workspace::setEnabled(CommandId name, bool enabled) { mutableCommand(name).enabled = enabled; }

void Workspace::setEnabled(std::initializer_list<CommandId> names, bool enabled) {
  for (CommandId name : names) setEnabled(name, enabled);
}

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
