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
  const CheckRow& row = CheckListBox1.row(selected);
  if (row.header) {
    OpenFolderView(headerRowPath(row.text));
  } else {
    OpenInEditor(row.text, std::nullopt, -1);
  }
}

void Workspace::N13Click() {
  const int selected = CheckListBox1.selectedIndex();
  if (selected < 0 || CheckListBox1.isHeader(selected)) return;
  OpenInEditor(CheckListBox1.text(selected), std::nullopt, -1);
}

void Workspace::openResultRow(bool headerWithWord) {
  const int selected = CheckListBox3.selectedIndex();
  if (selected < 0) return;
  if (CheckListBox3.isHeader(selected)) {
    OpenInEditor(headerRowPath(CheckListBox3.text(selected)),
                 headerWithWord ? std::optional<std::string>(LastSearchText) : std::nullopt, -1);
    return;
  }
  int header = selected;
  while (header >= 0 && !CheckListBox3.isHeader(header)) --header;
  if (header < 0) return;  // a match row always has its file's header row above it
  OpenInEditor(headerRowPath(CheckListBox3.text(header)), LastSearchText,
               matchRowLineNumber(CheckListBox3.text(selected)));
}

void Workspace::CheckListBox3DblClick() { openResultRow(true); }
void Workspace::N4Click() { openResultRow(false); }

void Workspace::MenuItem7Click() {
  const int selected = CheckListBox2.selectedIndex();
  if (selected < 0 || CheckListBox2.isHeader(selected)) return;
  OpenInEditor(headerRowPath(CheckListBox2.text(selected)), std::nullopt, -1);
}

void Workspace::N16Click() { OpenFolderView("/"); }

}  // namespace kelvane
