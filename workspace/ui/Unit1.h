#pragma once
// The main window. It owns the Workspace, draws its state (lists, boxes, commands, tabs, status
// text, timers) and forwards every event to the Workspace handler of the same name. It is also the
// Workspace's UiPort (Qt dialogs, fonts, the desktop) and the target of the display settings.
//
// Every handler runs through run(): an exception that reaches it is shown in an error box (the
// event loop's part on the original desktop), and afterwards the widgets are brought up to date.
// While one handler runs (and lets events through), further commands are refused, so a click
// during long work can never change the lists under the running operation.
#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "settings/display.h"
#include "workspace/ui/row_delegate.h"
#include "workspace/ui_port.h"
#include "workspace/workspace.h"

class QAction;
class QComboBox;
class QCompleter;
class QKeyEvent;
class QLabel;
class QListView;
class QMenu;
class QTabWidget;
class QTimer;
class QToolBar;

namespace kelvane {

class CheckListModel;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TFormEditer;

// A test hook standing in for the person at the window's modal boxes: the window asks it first and
// shows the real box only when it gives no answer (nullopt, or false for a message).
class ModalAnswerer {
 public:
  virtual ~ModalAnswerer() = default;
  // A message or error box (kind "message" or "error"); true when it was taken.
  virtual bool message(const std::string& kind, const std::string& text) = 0;
  // An OK/Cancel or Yes/No question: true for OK or Yes.
  virtual std::optional<bool> confirm(const std::string& text) = 0;
  // The input box and the folder browser: the inner nullopt cancels.
  virtual std::optional<std::optional<std::string>> input(const std::string& caption, const std::string& prompt) = 0;
  virtual std::optional<std::optional<std::string>> folder(const std::string& prompt) = 0;
};

class TForm1 : public QMainWindow, public UiPort, public DisplayTarget, private WorkspaceObserver {
  Q_OBJECT
 public:
  // Builds the window and runs the Workspace's creation sequence (settings, histories, display
  // settings, window size). Errors of that sequence are shown in error boxes; never raises.
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  Workspace& workspace() { return *ws_; }

  // The secondary windows, created after this one in the start order. Not owned.
  void setSecondaryWindows(TForm2* options, TForm3* about, TForm4* display, TForm5* history);
  // The built-in editor made at start; later ones are made on demand. Not owned (it deletes itself
  // when closed).
  void setEditor(TFormEditer* editor);

  // Not owned; nullptr (the default) shows every box.
  void setModalAnswerer(ModalAnswerer* answerer) { answerer_ = answerer; }

  // The action of a command by its control name, or nullptr.
  QAction* action(const std::string& name) const;
  QTabWidget* pages() const { return PageControl1; }
  QListView* listView(ListId id) const;
  QComboBox* patternBox() const { return ComboBox1; }
  QComboBox* folderBox() const { return ComboBox2; }
  QLabel* statusLabel() const { return statusLabel_; }
  QToolBar* commandBar() const { return ToolBar1; }
  QToolBar* boxBar() const { return ToolBar2; }
  const ListLook& look(ListId id) const;
  std::uint32_t searchTextColor() const { return searchTextColor_; }
  std::uint32_t replaceTextColor() const { return replaceTextColor_; }

  // ---- UiPort ----
  void showMessage(const std::string& text) override;
  void showError(const std::string& text) override;
  bool confirmOkCancel(const std::string& text) override;
  bool askYesNo(const std::string& text) override;
  std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& initial) override;
  std::optional<std::string> browseFolder(const std::string& prompt) override;
  std::optional<std::string> chooseOpenFile(const std::string& title, const std::vector<FileFilter>& filters,
                                            const std::string& initialFolder,
                                            const std::string& defaultExtension) override;
  std::optional<std::string> chooseSaveFile(const std::string& title, const std::vector<FileFilter>& filters,
                                            const std::string& initialFolder,
                                            const std::string& defaultExtension) override;
  int textWidth(ListId list, const std::string& text) override;
  int rowHeight(ListId list) override;
  void processMessages() override;
  bool startProcess(const std::vector<std::string>& argv, std::string* error) override;
  bool openDocument(const std::string& path, std::string* error) override;
  bool showDialog(Dialog dialog) override;
  void openInBuiltInEditor(const std::string& file, int line) override;
  void showBuiltInEditor() override;
  void showTextInBuiltInEditor(const std::string& text) override;
  DisplayTarget& displayTarget() override { return *this; }

  // ---- DisplayTarget ----
  void setListDisplay(int tab, const ListDisplay& display) override;
  ListDisplay listDisplay(int tab) const override;
  void setSearchTextColor(std::uint32_t color) override;
  void setReplaceTextColor(std::uint32_t color) override;
  void setBoxFontSize(int size) override;
  void setStatusBarFontSize(int size) override;
  void setStatusBarVisible(bool visible) override;
  void setToolBarVisible(bool visible) override;

  // Runs a handler as every event does: refused while another one runs, exceptions shown, widgets
  // brought up to date afterwards. Returns false when it was refused.
  bool run(const std::function<void()>& handler);
  // Copies the Workspace's state onto the widgets.
  void syncFromWorkspace();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void workspaceChanged() override;
  void buildCommands();
  void buildMenus();
  void buildToolBars();
  void buildPages();
  void buildStatusBar();
  QListView* makeListView(ListId id, const char* name);
  void connectList(ListId id);
  void connectHandlers();
  void connectCommand(const CommandDef& def);
  void syncCommands();
  void syncBoxes();
  void syncTimers();
  void showPopup(ListId id, QMenu* menu, const QPoint& pos);
  TFormEditer* ensureEditor();
  // Links an editor to the display settings dialog and the temporary folder.
  void prepareEditor(TFormEditer* editor);
  int listIndex(ListId id) const;
  // False, after telling the person, when the pattern box holds text Shift-JIS cannot hold.
  bool patternUsable();
  // A history entry chosen by row: from the box's own list or picked in the list shown while typing.
  void patternChosen(int index);
  void pickFromPatternList(int row);
  // Enter in the pattern box: searches for the typed text.
  void patternEntered();
  // Shows the history below the pattern box without touching its text; does nothing when it is shown,
  // empty or the box is disabled.
  void openPatternList();
  // Handles a key the shown history list receives. Returns true when it was taken (Enter).
  bool patternListKey(QKeyEvent* key);
  // True for a key that types a character into the box.
  static bool typesText(const QKeyEvent* key);
  // Moving a row of the join list by dragging it: the press, the moves (each a drag-over, the
  // selection staying on the dragged row) and the drop. True when the event was taken.
  bool joinListMouse(QEvent* event);

  std::unique_ptr<Workspace> ws_;
  std::map<std::string, QAction*> actions_;
  QToolBar* ToolBar1 = nullptr;  // the command buttons
  QToolBar* ToolBar2 = nullptr;  // the two boxes
  QComboBox* ComboBox1 = nullptr;
  QCompleter* patternList_ = nullptr;  // the history shown while typing in ComboBox1
  QComboBox* ComboBox2 = nullptr;
  QTabWidget* PageControl1 = nullptr;
  QLabel* statusLabel_ = nullptr;
  QTimer* Timer1 = nullptr;
  QTimer* Timer2 = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QMenu* PopupMenu2 = nullptr;
  QMenu* PopupMenu3 = nullptr;
  // Indexed 0 target (CheckListBox1), 1 join (CheckListBox2), 2 result (CheckListBox3).
  QListView* views_[3] = {};
  CheckListModel* models_[3] = {};
  RowDelegate* delegates_[3] = {};
  std::vector<std::int16_t> advances_[3];  // 16ths of a pixel each character code takes in the list's font, -1 unknown

  TForm2* options_ = nullptr;
  TForm3* about_ = nullptr;
  TForm4* display_ = nullptr;
  TForm5* history_ = nullptr;
  QPointer<TFormEditer> editor_;
  ModalAnswerer* answerer_ = nullptr;

  ListDisplay listDisplays_[3];                // as last applied, by tab 1-3
  std::uint32_t searchTextColor_ = 0x0000FF;   // clRed
  std::uint32_t replaceTextColor_ = 0x008000;  // clGreen
  std::uint64_t box1Revision_ = ~0ull;
  std::uint64_t box2Revision_ = ~0ull;
  bool busy_ = false;
  bool syncing_ = false;
  bool closeRequested_ = false;
  bool closed_ = false;
  bool patternLossy_ = false;
  QElapsedTimer pumpClock_;  // since events were last handled inside long work
  int dragPressRow_ = -1;    // the join list row pressed while dragging is on, -1 for none
  QPoint dragPressPos_;
  bool dragging_ = false;  // a row of the join list is being dragged
  int dragPointerY_ = 0;   // the pointer's screen height at the drag's last move
  static constexpr int kPumpIntervalMs = 30;
};

}  // namespace kelvane
