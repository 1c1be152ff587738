// The main window's start and end: the creation sequence, the close sequence with the emptying of
// the temporary folder, the two timers and the commands that open the secondary windows.
#include "platform/copy_ledger.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "settings/display.h"
#include "settings/extension_list.h"
#include "workspace/texts.h"
#include "workspace/workspace.h"

namespace kelvane {

namespace {

// After the temporary folder's path, when the close leaves it alone (kept here, beside the only code
// that shows them, rather than in the shared table).
constexpr const char* kTempIsLink = "はリンクなので、その先のファイルは削除しませんでした。";
constexpr const char* kTempNotFolder = "はフォルダではないので、そのままにしました。";

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
  // Copies go below the temporary folder without following links, and the close takes back only
  // what this run made there.
  files::addCopyRoot(tempFolder());
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

// Takes back what this run made in the temporary folder: its copies, in the order written, then its
// folders deepest first, "Temp" itself last when this run made it. A "Temp" that was there before
// keeps the user's files and stays; one that is a link or no folder is left alone, with a message.
void Workspace::emptyTempFolder() {
  const std::string temp = tempFolder();
  CheckListBoxUNDO.clear();
  switch (files::copyRootKind(temp)) {
    case files::CopyRootKind::kMissing:
      return;
    case files::CopyRootKind::kLink:
      ui_.showMessage(temp + cp932::fromUtf8(kTempIsLink).text);
      return;
    case files::CopyRootKind::kNotFolder:
      ui_.showMessage(temp + cp932::fromUtf8(kTempNotFolder).text);
      return;
    case files::CopyRootKind::kFolder:
      break;
  }
  const WorkspaceTexts& t = texts();
  for (const files::Removal& r : files::removeCreated(temp))
    setStatusText(r.path + (r.removed ? t.deleting : t.deleteFailed));
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
