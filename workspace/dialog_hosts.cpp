// What the settings dialogs change in the main window, through the Workspace.
#include "workspace/dialog_hosts.h"

#include <algorithm>

#include "platform/files.h"
#include "settings/extension_list.h"
#include "workspace/workspace.h"

namespace kelvane {

Settings& WorkspaceDialogHost::settings() { return ws_.settings; }

std::string WorkspaceDialogHost::settingsPath() const { return ws_.settingsPath(); }

void WorkspaceDialogHost::rebuildExtensionList() { ws_.ExtensionList = BuildExtensionList(ws_.settings); }

void WorkspaceDialogHost::clearTargetList() {
  ws_.CheckListBox1.clear();
  ws_.CheckedFileCount = 0;
}

void WorkspaceDialogHost::clearStatusText() { ws_.setStatusText(std::string()); }

void WorkspaceDialogHost::applyDisplaySettings() { ws_.ApplyDisplaySettings(); }

void WorkspaceDialogHost::refreshSearchList() {
  CheckList& list = ws_.CheckListBox3;
  int widest = 0;
  for (int i = 0; i < list.count(); ++i) widest = std::max(widest, ws_.ui().textWidth(ListId::kResult, list.text(i)));
  // The row height on top keeps the end of the widest row clear of the list's edge.
  list.setHorizontalExtent(widest + ws_.ui().rowHeight(ListId::kResult));
  // A file's own row (its record has no line) is a header row again while the file exists.
  for (int i = 0; i < list.count(); ++i) {
    if (ws_.ResultLine(i) != -1) continue;
    const std::optional<std::string> file = ws_.ResultFile(i);
    if (file && files::fileExists(*file)) list.setHeader(i, true);
  }
}

std::vector<std::string> WorkspaceDialogHost::searchHistory() const { return ws_.ComboBox1.items(); }

std::vector<std::string> WorkspaceDialogHost::folderHistory() const { return ws_.ComboBox2.items(); }

void WorkspaceDialogHost::setHistories(std::vector<std::string> search, std::vector<std::string> folders) {
  ws_.ComboBox1.setItems(std::move(search));
  ws_.ComboBox2.setItems(std::move(folders));
}

}  // namespace kelvane
