#pragma once
// A workspace started in a fresh start-up folder (its "Temp" is where copies go) with a tree of target
// files below it: what the replace, undo and narrowing tests share.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "tests/testing/scripted_ui.h"
#include "tests/testing/temp_dir.h"
#include "workspace/workspace.h"

namespace kelvane::testing {

inline std::string matchLabel(int line, bool pattern = true) {
  return cp932Of("【") + std::to_string(line) + cp932Of("列目】") + (pattern ? "\r\n" : "");
}

inline std::string resultHeaderOf(const std::string& path) { return "\"" + path + "\"" + cp932Of(",の検索結果"); }

// The scripted answers, and a step run at each question before it is answered.
class AskingUi : public ScriptedUi {
 public:
  std::function<void(const std::string&)> onConfirm;
  bool confirmOkCancel(const std::string& text) override {
    if (onConfirm) onConfirm(text);
    return ScriptedUi::confirmOkCancel(text);
  }
};

class RewriteTest : public ::testing::Test {
 protected:
  RewriteTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(root.mkdir("run"));
    ws.FormCreate();
    ws.ExtensionList = ".txt";
  }
  ~RewriteTest() override { std::filesystem::current_path(previous_); }

  std::string tree() const { return root / "tree"; }
  std::string file(const std::string& name) const { return root / ("tree/" + name); }
  std::string copyOf(const std::string& name) const { return root / ("run/Temp" + file(name)); }
  void write(const std::string& name, const std::string& bytes) { root.write("tree/" + name, bytes); }

  // Lists the tree as the target list and searches it for pattern.
  void search(const std::string& pattern) {
    ui.folderAnswers.push_back(tree());
    ws.ToolButton2Click();
    ws.ComboBox1.setEditText(pattern);
    ws.ToolButton1Click();
  }
  // A preview with the replacement text; the message after it is expected.
  void preview(const std::string& replacement) {
    ui.inputAnswers.push_back(replacement);
    ws.ReplacePreview();
  }
  std::vector<std::string> rows(const CheckList& list) const {
    std::vector<std::string> out;
    for (const CheckRow& r : list.rows()) out.push_back(r.text);
    return out;
  }
  // The copies the last overwrite made, as its undo knows them.
  std::vector<std::string> copies() const {
    std::vector<std::string> out;
    if (const auto* done = std::get_if<undo::Overwrite>(&ws.undoRecord()))
      for (const undo::OverwrittenFile& f : done->files) out.push_back(f.copy);
    return out;
  }
  bool enabled(const char* name) const { return ws.stateOf(name).enabled; }

  TempDir root;
  AskingUi ui;
  Workspace ws{ui};

 private:
  std::filesystem::path previous_;
};

}  // namespace kelvane::testing
