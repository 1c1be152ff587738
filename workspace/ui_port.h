#pragma once
// Everything an operation of the main window asks of the person at the screen or of the desktop.
// The Qt window implements it with real dialogs; the tests implement it with a script of answers
// and a record of everything shown. All texts are CP932; the implementation converts them for
// display. No call raises unless its comment says so.
#include <optional>
#include <string>
#include <vector>

namespace kelvane {

class DisplayTarget;

// The lists of the main window, numbered after their controls.
enum class ListId {
  kTarget = 1,  // CheckListBox1, tab "対象File一覧"
  kJoin = 2,    // CheckListBox2, the join/split tab
  kResult = 3,  // CheckListBox3, tab "検索モード"
  kHidden = 4,  // CheckListBoxUNDO, never shown
};

// The modal secondary windows the main window opens.
enum class Dialog {
  kOptions,          // TForm2
  kAbout,            // TForm3
  kDisplay,          // TForm4, keeping the tab it was left on
  kDisplayFirstTab,  // TForm4, its first tab selected again once it has closed
  kHistoryCleanup,   // TForm5
};

struct FileFilter {
  std::string name;     // shown, e.g. "テキストファイル"
  std::string pattern;  // e.g. "*.txt"
};

class UiPort {
 public:
  virtual ~UiPort() = default;

  // A message box with an OK button.
  virtual void showMessage(const std::string& text) = 0;
  // An error box (what the event loop shows for an exception that reached it).
  virtual void showError(const std::string& text) = 0;
  // A confirmation box with OK and Cancel: true for OK.
  virtual bool confirmOkCancel(const std::string& text) = 0;
  // A question with Yes and No: true for Yes.
  virtual bool askYesNo(const std::string& text) = 0;
  // An input box; nullopt when cancelled, otherwise the text as entered (possibly empty).
  virtual std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                              const std::string& initial) = 0;
  // The folder browser; nullopt when cancelled, otherwise the chosen folder's full path.
  virtual std::optional<std::string> browseFolder(const std::string& prompt) = 0;
  // Open and save choosers; nullopt when cancelled. defaultExtension without its dot ("txt"); a save
  // chooser replaces an existing file without a further question.
  virtual std::optional<std::string> chooseOpenFile(const std::string& title, const std::vector<FileFilter>& filters,
                                                    const std::string& initialFolder,
                                                    const std::string& defaultExtension) = 0;
  virtual std::optional<std::string> chooseSaveFile(const std::string& title, const std::vector<FileFilter>& filters,
                                                    const std::string& initialFolder,
                                                    const std::string& defaultExtension) = 0;

  // Width in pixels of text drawn in the list's font, and the list's row height in pixels.
  virtual int textWidth(ListId list, const std::string& text) = 0;
  virtual int rowHeight(ListId list) = 0;

  // Lets the window handle pending events (repaint, clicks) in the middle of a long operation.
  virtual void processMessages() = 0;

  // Starts a program with its arguments without waiting; false, with the reason in *error, when it
  // could not be started.
  virtual bool startProcess(const std::vector<std::string>& argv, std::string* error) = 0;
  // The desktop's "open" of a document or folder; false, with the reason in *error, on failure.
  virtual bool openDocument(const std::string& path, std::string* error) = 0;

  // Shows one of the modal secondary windows; true when it was closed with OK.
  virtual bool showDialog(Dialog dialog) = 0;
  // The built-in editor: shows it (not modally), loads file into it and puts the caret at the start
  // of line (1-based; below 2 the start of the text, past the end the end of the text). A file that
  // cannot be read is reported by the editor, which keeps its earlier text.
  virtual void openInBuiltInEditor(const std::string& file, int line) = 0;
  // The built-in editor shown (not modally) with text in it (CP932, CR LF between lines) and no file
  // behind it, so that a save asks where to.
  virtual void showTextInBuiltInEditor(const std::string& text) = 0;
  // The built-in editor shown modally as it is ("エディタを開く").
  virtual void showBuiltInEditor() = 0;

  // Where the display settings are applied: the window's lists, boxes and bars.
  virtual DisplayTarget& displayTarget() = 0;
};

}  // namespace kelvane
