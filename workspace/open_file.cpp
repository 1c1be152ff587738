// Opening a file at a line in the external or the built-in editor, and a folder in the desktop's
// file browser, from the three lists.
#include <cstdlib>

#include "filescan/kyoutuu.h"
#include "platform/files.h"
#include "platform/process.h"
#include "workspace/row_text.h"
#include "workspace/texts.h"
#include "workspace/workspace.h"

namespace kelvane {

namespace {

// The desktop's own file browser and plain-text editor: its "open" action.
constexpr const char* kDesktopOpen = "xdg-open";

}  // namespace

bool Workspace::StartProcess(const std::vector<std::string>& argv) {
  std::string error;
  return ui_.startProcess(argv, &error);
}

void Workspace::OpenFolderView(const std::string& folder) {
  if (files::folderExists(folder)) {
    StartProcess({kDesktopOpen, folder});
    return;
  }
  ui_.showMessage(texts().noDirectory);
  // The browser's default place: the user's home folder.
  const char* home = std::getenv("HOME");
  StartProcess({kDesktopOpen, home && *home ? home : "/"});
}

void Workspace::OpenInEditor(const std::string& file, const std::optional<std::string>& word, int line) {
  const ExternalEditor editor = readExternalEditor(Profile(settingsPath()));
  if (editor.enabled && files::fileExists(editor.path)) {
    try {
      if (StartProcess(editorCommand(editor, file, word, line))) return;
      StartProcess(editorCommand(editor, file, std::nullopt, -1, false));
    } catch (const std::exception&) {
      StartProcess({kDesktopOpen, file});
    }
    return;
  }
  ui_.openInBuiltInEditor(file, line);
}

void Workspace::CheckListBox1DblClick() {
  const int selected = CheckListBox1.selectedIndex();
  if (selected < 0) return;
  const std::optional<std::string> path = TargetPath(selected);
  if (!path) return;
  if (CheckListBox1.isHeader(selected)) {
    OpenFolderView(*path);
  } else {
    OpenInEditor(*path, std::nullopt, -1);
  }
}

void Workspace::N13Click() {
  const int selected = CheckListBox1.selectedIndex();
  if (selected < 0 || CheckListBox1.isHeader(selected)) return;
  if (const std::optional<std::string> path = TargetPath(selected)) OpenInEditor(*path, std::nullopt, -1);
}

void Workspace::openResultRow(bool headerWithWord) {
  const int selected = CheckListBox3.selectedIndex();
  const std::optional<std::string> file = ResultFile(selected);
  if (!file) return;
  if (CheckListBox3.isHeader(selected)) {
    OpenInEditor(*file, headerWithWord ? std::optional<std::string>(LastSearchText) : std::nullopt, -1);
    return;
  }
  OpenInEditor(*file, LastSearchText, ResultLine(selected));
}

void Workspace::CheckListBox3DblClick() { openResultRow(true); }
void Workspace::N4Click() { openResultRow(false); }

void Workspace::MenuItem7Click() {
  const int selected = CheckListBox2.selectedIndex();
  if (const std::optional<std::string> path = JoinPath(selected)) OpenInEditor(*path, std::nullopt, -1);
}

void Workspace::N16Click() { OpenFolderView("/"); }

}  // namespace kelvane
