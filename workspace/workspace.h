#pragma once
// Everything the main window TForm1 owns, and the operations on it, with no toolkit in sight. The
// Qt window draws this state and forwards every event to the handler of the same name; the tests
// drive the same handlers through a scripted UiPort.
//
// After each handler the view copies the command states, the status text, the tab captions, the
// active tab and the timer flags onto its widgets (revision() says whether anything changed; an
// observer hears it at once, which the view uses to repaint the status bar during long work). The
// four lists and the two boxes carry their own revision counters and the lists their own observers.
//
// The handlers return nothing and raise nothing of their own: what goes wrong is shown through the
// UiPort (message or error box, status text); only std::bad_alloc passes through. The few calls that
// do raise or return a value say so where they are declared.
//
// The operations live one file per area: modes.cpp, target_list.cpp, lifecycle.cpp, search_run.cpp,
// result_list.cpp, open_file.cpp, file_join.cpp, file_split.cpp, replace.cpp, undo.cpp, narrowing.cpp.
// What a row stands for is a typed record (records.h), named by the row's key; what the last undoable
// operation left is one UndoRecord (undo_record.h). No operation reads a row's text back.
//
// While a search runs it lets the window handle events (so the window repaints and the stop button
// works); the handlers that would change the lists under the run (another search, a new target list)
// do nothing until it ends. SearchRunning() tells the view, which should also keep the window from
// closing until StopSearch() has ended the run.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "pattern/awk_str.h"
#include "pattern/file_searcher.h"
#include "settings/settings.h"
#include "workspace/check_list.h"
#include "workspace/commands.h"
#include "workspace/file_join.h"
#include "workspace/file_split.h"
#include "workspace/history_box.h"
#include "workspace/records.h"
#include "workspace/replace_session.h"
#include "workspace/search_run.h"
#include "workspace/target_list.h"
#include "workspace/ui_port.h"
#include "workspace/undo_record.h"

namespace kelvane {

enum TProcessingMode : int {
  pmSearch = 0,            // search mode; tab 1 is the join tab
  pmJoin = 1,              // file join mode
  pmSearchAfterSplit = 2,  // search mode entered from split mode; tab 1 keeps the split caption
  pmSplit = 3,             // file split mode
};

// The state of one control of the tool bars, menus and pop-up menus, keyed by the control's name
// (N2, Find1, ToolButton10, ComboBox1, ...).
struct CommandState {
  bool enabled = true;
  bool checked = false;  // menu items with a check mark
  bool visible = true;
  bool down = false;  // the grouped check buttons ToolButton7 / ToolButton8
  bool operator==(const CommandState&) const = default;
};

// Tabs of PageControl1.
enum TabIndex : int { kTabResult = 0, kTabJoin = 1, kTabTarget = 2 };

class WorkspaceObserver {
 public:
  virtual ~WorkspaceObserver() = default;
  // Something outside the lists and boxes changed (status text, commands, tabs, timers, mode).
  virtual void workspaceChanged() = 0;
};

class Workspace {
 public:
  // ui must outlive the workspace.
  explicit Workspace(UiPort& ui);
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  UiPort& ui() { return ui_; }
  void setObserver(WorkspaceObserver* observer) { observer_ = observer; }
  std::uint64_t revision() const { return revision_; }

  // ---- the lists and boxes ----
  CheckList CheckListBox1;     // target list (tab "対象File一覧")
  CheckList CheckListBox2;     // join/split list (tab 1)
  CheckList CheckListBox3;     // result list (tab "検索モード")
  CheckList CheckListBoxUNDO;  // hidden scratch list
  HistoryBox ComboBox1;        // pattern box
  HistoryBox ComboBox2;        // folder box
  CheckList& list(ListId id);

  // ---- shared values ----
  TProcessingMode ProcessingMode = pmSearch;
  std::string LastSearchText;
  // The options the rows of the result list were found with: the preview replaces what the search
  // found, whatever the settings say by then.
  SearchOptions LastSearchOptions;
  // The replacement text of the pending preview; empty when none is pending.
  const std::string& ReplaceText() const;
  // A replace preview is shown in the result list: the undo record is a preview's.
  bool ReplacePending() const { return std::holds_alternative<undo::Preview>(undo_); }
  int CheckedFileCount = 0;
  std::string ExtensionList;
  Settings settings;  // the in-memory Settings record
  // The file searcher of the search run (the one kelvane-grep uses); its sink is Grep2Match.
  FileSearcher Grep2;
  TAWKStr AWKStr1;    // the replace preview's matcher
  // The row-height flag of the join/split list: set, a row entering the list is one line tall.
  bool NextRowSingleLine = false;
  // The process's current folder when the window was created; "/Kelvane.ini", "/kelvane.html" and
  // "/Temp" are appended to it.
  const std::string& StartupFolder() const { return startupFolder_; }
  std::string settingsPath() const;
  // The guide of the start-up folder; when that folder has none and an installed guide was given,
  // the installed one (a program started from the applications menu or any other folder).
  std::string helpPath() const;
  // The guide installed with the program (a CP932 path); empty leaves the start-up folder's alone.
  void setInstalledHelp(std::string path) { installedHelp_ = std::move(path); }
  std::string tempFolder() const;

  // ---- what the view copies onto its widgets ----
  const std::map<std::string, CommandState, std::less<>>& commands() const { return commands_; }
  // The state of a control (a name that is not a control of the window does not compile).
  const CommandState& command(CommandId name) const;
  // The same for a name known only at run time; raises std::out_of_range for a name that is not a
  // control of the window.
  const CommandState& stateOf(std::string_view name) const;
  const std::string& statusText() const { return status_; }
  // A progress text: set without the timer, overwritten by the next text.
  void setStatusText(std::string text);
  // A transient text: set, and Timer1 enabled, so it is cleared about 5 seconds later.
  void showTransientStatus(std::string text);
  bool timer1Enabled() const { return timer1_; }
  bool timer2Enabled() const { return timer2_; }
  void enableTimer1();
  void setTimer2Enabled(bool on);
  const std::string& tabCaption(int index) const;
  int activeTab() const { return activeTab_; }
  // Showing a tab from the program; does not run PageControl1Change.
  void showTab(int index);
  bool joinListDragEnabled() const { return joinDrag_; }
  int windowWidth() const { return width_; }
  int windowHeight() const { return height_; }

  // ---- mode operations (modes.cpp) ----
  void EnterSearchMode();
  void EnterJoinMode();
  void SelectLastSearchText();
  void GREP1Click();
  void ToolButton7Click();
  void N6Click();
  void ToolButton8Click();
  // The user selected tab index (the view has already switched to it).
  void PageControl1Change(int index);

  // ---- replace: preview and overwrite (replace.cpp) ----
  // The preview: asks for the replacement text, replaces the matches of LastSearchText in the line
  // text of every match row, shows the replaced text in the checked rows and keeps the other text of
  // each row in the hidden list, which ends with the marker "置換". A pending preview is undone first.
  void ReplacePreview();
  void ToolButton10Click();
  void Replace1Click();
  // The overwrite, while a preview is pending: each file of the result list is copied byte for byte
  // below tempFolder(); a file with checked rows that still holds the lines the search found is
  // asked about and, on OK, written with those lines replaced. The hidden list ends up holding the
  // copy paths and the marker "上書". Files left alone are named in one message after the walk.
  void OverwriteFiles();
  void N12Click();
  void OverWriteBClick();

  // ---- undo (undo.cpp) ----
  // The undo of the last list operation, by the marker row of the hidden list ("置換", "上書", "絞込",
  // "結合", "分割"), with its question and per-file messages. Disables the undo and overwrite commands.
  void Undo();
  void undoBClick();
  void Repeat1Click();
  // The "置換" branch: every result row gets back its unreplaced text and its check mark; the hidden
  // list is emptied and the overwrite and undo commands are disabled.
  void UndoReplacePreview();

  // ---- narrowing (narrowing.cpp) ----
  // Carries the result list's checks back into the target list: unchecked file rows go, the others
  // are unchecked, and a file whose first match row is checked is checked again; empty folders go.
  // The target list as it was is kept in the hidden list with the marker "絞込".
  void NarrowTargets();
  void N3Click();
  void ToolButton11Click();
  // "ファイルを絞込み結合": the narrowing, then join mode (the visible tab stays).
  void File3Click();

  // ---- target list (target_list.cpp) ----
  void ChooseFolder();
  void ToolButton2Click();
  void N2Click();
  // The user chose entry index of the folder box.
  void ComboBox2Select(int index);
  // A key typed in the folder box; character 13 (Enter) builds the target list.
  void ComboBox2KeyPress(char key);
  // Builds the target list (TargetListBuild::BuildTargetList).
  bool BuildTargetList();
  int AddFolderFiles(const std::string& folder);
  void RemoveEmptyFolders();
  // The user clicked a check box of the target list (the view has already flipped the row's flag).
  void CheckListBox1ClickCheck();
  void CheckOFFFolder1Click();  // "CheckON(フォルダ全体)": turns the checks on, whatever its name says
  void CheckOFFFile2Click();    // "CheckOFF(フォルダ全体)"
  void ON1Click();              // "全てON"
  void Folder1Click();          // "全てOFF"
  void PopupMenu2Popup();

  // ---- search run (search_run.cpp) ----
  // Enter (13) in the pattern box with text in it: history push, then a run unless no file is checked.
  void ComboBox1KeyPress(char key);
  // The user chose entry index of the pattern box's history.
  void ComboBox1Select(int index);
  void ToolButton1Click();  // tool button "検索"
  void Find1Click();        // menu "検索"
  // The run: every checked file of the target list searched for the pattern box's text, the result
  // list filled. Messages go through the UiPort; nothing raises out of it.
  void RunSearch();
  // The sink of Grep2: one match row for a matching line of the file being searched.
  void Grep2Match(std::int64_t lineNo, std::string_view line);
  using FoundLine = kelvane::FoundLine;
  using FoundFile = kelvane::FoundFile;
  // Shows what a search for pattern found as RunSearch shows it (rows, records, the last word of the
  // run): for a search engine other than Grep2's, and for tests that need results of a given shape.
  void ShowSearchResults(const std::string& pattern, const std::vector<FoundFile>& found);
  bool SearchRunning() const;
  // The rows a running search has found so far (header rows included).
  int stagedRowCount() const;
  // Escape or the stop button: the run ends at its next check point and shows what it found.
  void StopSearch();

  // ---- result list and join/split list handling (result_list.cpp) ----
  // The user toggled the check box of result row index (the view has already flipped the flag).
  void CheckListBox3ClickCheck(int index);
  void CheckOnFile1Click();   // "CheckOn(対象File全体)"
  void CheckOFFFile1Click();  // "CheckOFF(対象File全体)"
  void PopupMenu1Popup();
  void PopupMenu3Popup();
  void CheckListBox2Exit();
  // The text to colour in result row index: 1-based byte position and byte length of the first match
  // of the highlighting pattern in the row text, and whether it is drawn in ReplaceTextColor (else
  // SearchTextColor). nullopt for a header row, with "正規表現の使用" off, with no or an empty match,
  // and when the highlighting pattern cannot be compiled (the row is then drawn without colour).
  struct Highlight {
    int position = 0;
    int length = 0;
    bool replaced = false;
  };
  std::optional<Highlight> ResultHighlight(int index);

  // ---- what the rows stand for ----
  // The file of result row index (a header row or a match row); nullopt for no such row.
  std::optional<std::string> ResultFile(int index) const;
  // The 1-based line number of match row index; -1 for a header row or no such row.
  int ResultLine(int index) const;
  // The path of target row index: the folder of a folder header row, the file of a file row.
  std::optional<std::string> TargetPath(int index) const;
  // The file of content row index of the join list (join mode); nullopt for a separator row.
  std::optional<std::string> JoinPath(int index) const;
  // What the last undoable operation left for its undo.
  const UndoRecord& undoRecord() const { return undo_; }

  // ---- opening files (open_file.cpp) ----
  // Starts a program with its arguments; whether it could be started.
  bool StartProcess(const std::vector<std::string>& argv);
  // The desktop's file browser on folder ("ディレクトリが存在しません！" and the default place when it
  // does not exist).
  void OpenFolderView(const std::string& folder);
  // The external editor when one is configured and exists, else the built-in editor at line
  // (1-based; -1 for none). word is the search word for the editor's highlight option.
  void OpenInEditor(const std::string& file, const std::optional<std::string>& word, int line);
  void CheckListBox1DblClick();
  void N13Click();  // target list "ファイルを開く"
  void CheckListBox3DblClick();
  void N4Click();         // result list "ファイルを開く"
  void MenuItem7Click();  // join list "ファイルを開く"
  void N16Click();        // "エクスプローラを開く" (hidden)

  // ---- file join (file_join.cpp) ----
  // Disables the search-side menu items while the join/split list is worked on ("フォルダの選択",
  // "元に戻す", "検索", "置換", "絞込み", "ファイル結合").
  void DisableSearchMenus();
  // Lists every checked target file that exists as a content row with a preview, between separator
  // rows holding the separator setting. A build in split mode first returns to join mode.
  void BuildJoinList();
  void N7Click();
  void FairuKetugouBClick();
  // The two save commands: after its question, the join save in join mode and the split save in
  // split mode.
  void SaveToNewFile();
  void SaveAs1Click();
  void NewFileBClick();
  // After the save question: the separator rows and the whole of each checked file, in list order,
  // into a file the person chooses (FileJoin::JoinSave).
  void JoinSave();
  void N10Click();  // "項目の追加"
  void N11Click();  // "選択項目の削除"
  void N8Click();   // "文字列の変更"
  void N9Click();   // "文字列の変更(選択セル以降)"
  // A drag over the join list, the pointer at screen height pointerY: the selected row is the one
  // dragged, and Timer2 scrolls while the pointer is above or below where it was.
  void CheckListBox2DragOver(int pointerY);
  // The drop on row target (-1 below the last row, which moves nothing): the dragged row, flags and
  // all, moves there and is selected. Timer2 stops.
  void CheckListBox2DragDrop(int target);
  // Opens the file of a content row; in split mode shows the piece in the built-in editor.
  void CheckListBox2DblClick();

  // ---- file split (file_split.cpp) ----
  // "ファイルの分割": split mode, the split prepared for the selected result header row, tab 1 shown.
  void File2Click();
  // Lists each wanted piece of the selected result file (its name and a preview) and keeps the
  // plan for the save (FileSplit::PrepareSplit).
  void PrepareSplit();
  // The split's save question, naming the existing files it would replace, then each listed piece
  // that is still checked, has two lines or more and does not start with an empty line
  // (FileSplit::SplitSave). The hidden list then holds the piece names and the marker "分割".
  void SplitSave();

  // ---- lifecycle (lifecycle.cpp) ----
  // The creation sequence: StartupFolder from the current folder, search mode, settings, histories,
  // display settings, window size, the target tab shown. A bad display setting is shown in an error
  // box and the rest keeps its design values.
  void FormCreate();
  // The close sequence with the window's current size: histories and size written, then "Temp"
  // emptied and removed with a status text for each file and folder. A write the file system refuses
  // is shown in an error box and ends the sequence there.
  void FormClose(int width, int height);
  // Applies the display settings of the settings file to the window (start-up and the display
  // dialog's OK). Raises SettingsError at a bad colour, after applying what came before it.
  void ApplyDisplaySettings();
  void Timer1Timer();
  // A tick of the drag-scroll timer. pointerY is the pointer's vertical screen position while an item
  // of the join list is being dragged, nullopt when no drag is in progress.
  void Timer2Timer(std::optional<int> pointerY);
  // The join list's drag-over: records the pointer position and enables Timer2.
  void recordDragOver(int pointerY);
  // The drop (or an abandoned drag): Timer2 disabled.
  void endDrag();
  void N1Click();  // "設定"
  void ToolButton21Click();
  void Show1Click();  // "表示設定", first tab selected again afterwards
  void ToolButton22Click();
  void N17Click();    // "検索条件削除"
  void N15Click();    // "エディタを開く"
  void Help2Click();  // opens kelvane.html of the start-up folder
  void Ver1Click();   // about box

 private:
  void changed();
  CommandState& mutableCommand(CommandId name);
  void setEnabled(CommandId name, bool enabled);
  void setEnabled(std::initializer_list<CommandId> names, bool enabled);
  void initCommands();
  void setModeCommands(bool searchMode);
  void emptyTempFolder();
  void setResultFileChecks(bool on);
  void openResultRow(bool withWord);
  // ---- file join and split (file_join.h, file_split.h) ----
  friend class FileJoin;
  friend class FileSplit;
  FileJoin fileJoin_{*this};
  FileSplit fileSplit_{*this};
  int draggedRow_ = -1;

  UiPort& ui_;
  WorkspaceObserver* observer_ = nullptr;
  std::uint64_t revision_ = 0;
  std::string startupFolder_;
  std::string installedHelp_;
  std::map<std::string, CommandState, std::less<>> commands_;
  std::string status_;
  bool timer1_ = false;
  bool timer2_ = false;
  std::string tabCaptions_[3];
  int activeTab_ = kTabTarget;
  bool joinDrag_ = false;
  int width_ = 680;
  int height_ = 480;
  std::optional<int> dragOverY_;

  // ---- records and undo ----
  // Makes record the undo's and shows it in the hidden list.
  void setUndo(UndoRecord record);
  // The fuzzy option first, then the pattern: the pattern is compiled once, under the right option.
  static void assignPattern(TRegularExpression& re, const std::string& pattern, bool fuzzy);
  void undoNarrowing(undo::Narrowing& record);
  UndoRecord undo_;
  ResultRecords results_;       // the records of the result list's rows
  PathRecords targetPaths_;     // the paths of the target list's rows
  // The painter's own matcher: colouring a row never changes the pattern an operation works with.
  TAWKStr paintStr_;
  // ---- replace session (replace.cpp) ----
  friend class ReplaceSession;
  ReplaceSession replace_{*this};

  // ---- the areas: each keeps its own state and works on the shared state above ----
  friend class SearchRun;
  friend class TargetListBuild;
  SearchRun searchRun_{*this};
  TargetListBuild targetList_{*this};
};

}  // namespace kelvane

// The command table names the handlers declared above.
#include "workspace/command_table.h"  // IWYU pragma: export
