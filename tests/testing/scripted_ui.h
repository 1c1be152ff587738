#pragma once
// A UiPort for headless tests of the main window's operations: questions are answered from queues
// the test fills beforehand, and everything shown is recorded in order. A question with no answer
// queued is answered with Cancel / No / nullopt and recorded in unexpected, so a test that forgot an
// answer fails on its check of unexpected instead of hanging.
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "settings/display.h"
#include "workspace/ui_port.h"
#include "workspace/workspace.h"

namespace kelvane::testing {

// UTF-8 source text as the CP932 bytes the program works with.
std::string cp932Of(const char* utf8);

class ScriptedUi : public UiPort, public DisplayTarget {
 public:
  // One thing shown to the person, in order: kind is "message", "error", "confirm", "yesno",
  // "input", "browse", "open", "save", "dialog", "editor", "editor-modal", "editor-text", "process", "document".
  struct Shown {
    std::string kind;
    std::string text;  // the message, question, prompt, or argv joined by single spaces
  };

  // ---- answers ----
  std::deque<bool> confirmAnswers;                      // true = OK
  std::deque<bool> yesNoAnswers;                        // true = Yes
  std::deque<std::optional<std::string>> inputAnswers;  // nullopt = Cancel
  std::deque<std::optional<std::string>> folderAnswers;
  std::deque<std::optional<std::string>> openAnswers;
  std::deque<std::optional<std::string>> saveAnswers;
  std::deque<bool> dialogAnswers;  // true = OK; an empty queue answers Cancel without complaint
  bool processStarts = true;       // what startProcess and openDocument report
  int pixelsPerByte = 8;           // textWidth = bytes * pixelsPerByte
  int rowPixels = 16;
  std::function<void()> onPump;  // run by processMessages, as a click during a long run would

  // ---- record ----
  std::vector<Shown> shown;
  std::vector<std::string> unexpected;  // questions asked with no answer queued
  std::vector<std::vector<std::string>> processes;
  int pumps = 0;  // processMessages calls
  int textWidthCalls = 0;

  // The texts of one kind, in order.
  std::vector<std::string> texts(const std::string& kind) const;
  int count(const std::string& kind) const { return static_cast<int>(texts(kind).size()); }

  // ---- display settings received ----
  ListDisplay lists[4];  // index 1..3
  std::uint32_t searchColor = 0, replaceColor = 0;
  int boxFontSize = 0, statusBarFontSize = 0;
  bool statusBarVisible = false, toolBarVisible = false;
  std::vector<std::string> displayCalls;  // the order of the calls ("list1", "search", ...)

  // UiPort
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
  void processMessages() override {
    ++pumps;
    if (onPump) onPump();
  }
  bool startProcess(const std::vector<std::string>& argv, std::string* error) override;
  bool openDocument(const std::string& path, std::string* error) override;
  bool showDialog(Dialog dialog) override;
  void openInBuiltInEditor(const std::string& file, int line) override;
  void showBuiltInEditor() override;
  void showTextInBuiltInEditor(const std::string& text) override;
  DisplayTarget& displayTarget() override { return *this; }

  // DisplayTarget
  void setListDisplay(int tab, const ListDisplay& display) override;
  void setSearchTextColor(std::uint32_t color) override;
  void setReplaceTextColor(std::uint32_t color) override;
  void setBoxFontSize(int size) override;
  void setStatusBarFontSize(int size) override;
  void setStatusBarVisible(bool visible) override;
  void setToolBarVisible(bool visible) override;

 private:
  template <class T>
  T answer(std::deque<T>& queue, const std::string& kind, const std::string& text, T fallback);
};

// Records every status text the workspace shows while it is alive, progress texts included (they are
// overwritten before anyone could read them afterwards).
class StatusRecorder : public WorkspaceObserver {
 public:
  explicit StatusRecorder(Workspace& ws) : ws_(ws) { ws_.setObserver(this); }
  ~StatusRecorder() override { ws_.setObserver(nullptr); }
  const std::vector<std::string>& texts() const { return texts_; }

 private:
  void workspaceChanged() override { texts_.push_back(ws_.statusText()); }
  Workspace& ws_;
  std::vector<std::string> texts_;
};

}  // namespace kelvane::testing
