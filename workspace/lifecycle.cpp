// The main window's start and end: the creation sequence, the close sequence with the emptying of
// the temporary folder, the two timers and the commands that open the secondary windows.
#include "filescan/file_access.h"
#include "platform/files.h"
#include "settings/display.h"
#include "settings/extension_list.h"
#include "workspace/texts.h"
#include "workspace/workspace.h"

namespace kelvane {

namespace {

// Passes every display setting on to the window and keeps the two highlight colours, which the
// workspace holds in its Settings record.
class CapturingTarget : public DisplayTarget {
 public:
  CapturingTarget(DisplayTarget& view, Settings& settings) : view_(view), settings_(settings) {}
  void setListDisplay(int tab, const ListDisplay& display) override { view_.setListDisplay(tab, display); }
  ListDisplay listDisplay(int tab) const override { return view_.listDisplay(tab); }
  void setSearchTextColor(std::uint32_t color) override {
    settings_.SearchTextColor = color;
    view_.setSearchTextColor(color);
  }
  void setReplaceTextColor(std::uint32_t color) override {
    settings_.ReplaceTextColor = color;
    view_.setReplaceTextColor(color);
  }
  void setBoxFontSize(int size) override { view_.setBoxFontSize(size); }
  void setStatusBarFontSize(int size) override { view_.setStatusBarFontSize(size); }
  void setStatusBarVisible(bool visible) override { view_.setStatusBarVisible(visible); }
  void setToolBarVisible(bool visible) override { view_.setToolBarVisible(visible); }

 private:
  DisplayTarget& view_;
  Settings& settings_;
};

}  // namespace

void Workspace::FormCreate() {
  startupFolder_ = files::currentFolder();
  ProcessingMode = pmSearch;
  EnterSearchMode();
  const Profile profile(settingsPath());
  settings = loadSettings(profile);
  ExtensionList = BuildExtensionList(settings);
  ComboBox1.setItems(loadSearchHistory(profile));
  std::vector<std::string> folders{fixedFolderEntry()};
  for (std::string& f : loadFolderHistory(profile)) folders.push_back(std::move(f));
  ComboBox2.setItems(std::move(folders));
  showTab(kTabTarget);
  try {
    ApplyDisplaySettings();
  } catch (const SettingsError& error) {
    // What was applied stays; the rest, and the window size, keep their design values.
    ui_.showError(error.what());
    return;
  }
  const WindowSize size = readWindowSize(profile, WindowSize{width_, height_});
  width_ = size.width;
  height_ = size.height;
  changed();
}

void Workspace::ApplyDisplaySettings() {
  CapturingTarget target(ui_.displayTarget(), settings);
  const Profile profile(settingsPath());
  applyDisplaySettings(profile, target);
}

void Workspace::FormClose(int width, int height) {
  width_ = width;
  height_ = height;
  try {
    Profile profile(settingsPath());
    saveHistories(profile, ComboBox1.items(), ComboBox2.items());
    writeWindowSize(profile, WindowSize{width, height});
  } catch (const ProfileError& error) {
    // The copies in the temporary folder are kept rather than lost with a half-finished close.
    ui_.showError(error.what());
    return;
  }
  emptyTempFolder();
}

void Workspace::emptyTempFolder() {
  const std::string temp = tempFolder();
  if (!files::folderExists(temp)) return;
  const WorkspaceTexts& t = texts();
  // Links are not followed here: a link inside "Temp" must not lead the cleanup to files elsewhere.
  const FolderScan scan = ScanFolderTree(temp, {}, /*followLinks=*/false);
  CheckListBoxUNDO.clear();
  for (const std::string& f : scan.folders) CheckListBoxUNDO.add(f);
  auto remove = [&](const std::string& path, bool ok) { setStatusText(path + (ok ? t.deleting : t.deleteFailed)); };
  for (const std::string& link : scan.folderLinks) remove(link, files::deleteFile(link));
  for (const std::string& folder : scan.folders) {
    for (const std::string& file : ListFolderFiles(folder).paths) {
      if (files::fileExists(file)) remove(file, files::deleteFile(file));
    }
  }
  for (int i = CheckListBoxUNDO.count() - 1; i >= 0; --i) {
    const std::string folder = CheckListBoxUNDO.text(i);
    if (files::folderExists(folder)) remove(folder, files::removeFolder(folder));
    CheckListBoxUNDO.remove(i);
  }
}

void Workspace::Timer1Timer() {
  timer1_ = false;
  status_.clear();
  changed();
}

void Workspace::Timer2Timer(std::optional<int> pointerY) {
  if (!pointerY || !dragOverY_) return;
  if (*pointerY > *dragOverY_) {
    CheckListBox2.setTopIndex(CheckListBox2.topIndex() + 1);
  } else if (*pointerY < *dragOverY_) {
    CheckListBox2.setTopIndex(CheckListBox2.topIndex() - 1);
  }
}

void Workspace::recordDragOver(int pointerY) {
  dragOverY_ = pointerY;
  setTimer2Enabled(true);
}

void Workspace::endDrag() {
  dragOverY_.reset();
  setTimer2Enabled(false);
}

void Workspace::N1Click() { ui_.showDialog(Dialog::kOptions); }
void Workspace::ToolButton21Click() { ui_.showDialog(Dialog::kOptions); }
void Workspace::Show1Click() { ui_.showDialog(Dialog::kDisplayFirstTab); }
void Workspace::ToolButton22Click() { ui_.showDialog(Dialog::kDisplay); }
void Workspace::N17Click() { ui_.showDialog(Dialog::kHistoryCleanup); }
void Workspace::N15Click() { ui_.showBuiltInEditor(); }
void Workspace::Ver1Click() { ui_.showDialog(Dialog::kAbout); }

void Workspace::Help2Click() {
  std::string error;
  // A missing help file is the desktop's to report; only a desktop that cannot open anything is ours.
  if (!ui_.openDocument(helpPath(), &error)) ui_.showError(error);
}

}  // namespace kelvane
