#include "tests/testing/scripted_ui.h"

#include "platform/cp932.h"

namespace kelvane::testing {

std::string cp932Of(const char* utf8) { return cp932::fromUtf8(utf8).text; }

std::vector<std::string> ScriptedUi::texts(const std::string& kind) const {
  std::vector<std::string> out;
  for (const Shown& s : shown) {
    if (s.kind == kind) out.push_back(s.text);
  }
  return out;
}

template <class T>
T ScriptedUi::answer(std::deque<T>& queue, const std::string& kind, const std::string& text, T fallback) {
  shown.push_back({kind, text});
  if (queue.empty()) {
    unexpected.push_back(kind + ": " + text);
    return fallback;
  }
  T value = std::move(queue.front());
  queue.pop_front();
  return value;
}

void ScriptedUi::showMessage(const std::string& text) { shown.push_back({"message", text}); }
void ScriptedUi::showError(const std::string& text) { shown.push_back({"error", text}); }

bool ScriptedUi::confirmOkCancel(const std::string& text) { return answer(confirmAnswers, "confirm", text, false); }
bool ScriptedUi::askYesNo(const std::string& text) { return answer(yesNoAnswers, "yesno", text, false); }

std::optional<std::string> ScriptedUi::inputBox(const std::string& caption, const std::string& prompt,
                                                const std::string& initial) {
  return answer(inputAnswers, "input", caption + "|" + prompt + "|" + initial, std::optional<std::string>{});
}

std::optional<std::string> ScriptedUi::browseFolder(const std::string& prompt) {
  return answer(folderAnswers, "browse", prompt, std::optional<std::string>{});
}

std::optional<std::string> ScriptedUi::chooseOpenFile(const std::string& title, const std::vector<FileFilter>&,
                                                      const std::string& initialFolder, const std::string&) {
  return answer(openAnswers, "open", title + "|" + initialFolder, std::optional<std::string>{});
}

std::optional<std::string> ScriptedUi::chooseSaveFile(const std::string& title, const std::vector<FileFilter>&,
                                                      const std::string& initialFolder, const std::string&) {
  return answer(saveAnswers, "save", title + "|" + initialFolder, std::optional<std::string>{});
}

int ScriptedUi::textWidth(ListId, const std::string& text) {
  ++textWidthCalls;
  return static_cast<int>(text.size()) * pixelsPerByte;
}

int ScriptedUi::rowHeight(ListId) { return rowPixels; }

bool ScriptedUi::startProcess(const std::vector<std::string>& argv, std::string* error) {
  processes.push_back(argv);
  std::string line;
  for (const std::string& a : argv) line += (line.empty() ? "" : " ") + a;
  shown.push_back({"process", line});
  if (!processStarts && error) *error = "cannot start";
  return processStarts;
}

bool ScriptedUi::openDocument(const std::string& path, std::string* error) {
  shown.push_back({"document", path});
  if (!processStarts && error) *error = "cannot open";
  return processStarts;
}

bool ScriptedUi::showDialog(Dialog dialog) {
  shown.push_back({"dialog", std::to_string(static_cast<int>(dialog))});
  if (dialogAnswers.empty()) return false;
  const bool ok = dialogAnswers.front();
  dialogAnswers.pop_front();
  return ok;
}

void ScriptedUi::openInBuiltInEditor(const std::string& file, int line) {
  shown.push_back({"editor", file + "|" + std::to_string(line)});
}

void ScriptedUi::showBuiltInEditor() { shown.push_back({"editor-modal", ""}); }

void ScriptedUi::showTextInBuiltInEditor(const std::string& text) { shown.push_back({"editor-text", text}); }

void ScriptedUi::setListDisplay(int tab, const ListDisplay& display) {
  if (tab >= 1 && tab <= 3) lists[tab] = display;
  displayCalls.push_back("list" + std::to_string(tab));
}

void ScriptedUi::setSearchTextColor(std::uint32_t color) {
  searchColor = color;
  displayCalls.push_back("search");
}

void ScriptedUi::setReplaceTextColor(std::uint32_t color) {
  replaceColor = color;
  displayCalls.push_back("replace");
}

void ScriptedUi::setBoxFontSize(int size) {
  boxFontSize = size;
  displayCalls.push_back("box");
}

void ScriptedUi::setStatusBarFontSize(int size) {
  statusBarFontSize = size;
  displayCalls.push_back("statusFont");
}

void ScriptedUi::setStatusBarVisible(bool visible) {
  statusBarVisible = visible;
  displayCalls.push_back("statusShown");
}

void ScriptedUi::setToolBarVisible(bool visible) {
  toolBarVisible = visible;
  displayCalls.push_back("toolShown");
}

}  // namespace kelvane::testing
