// Reading paths and line numbers back from rows, the external editor's command, and the commands
// that open a file or a folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/profile.h"
#include "tests/testing/scripted_ui.h"
#include "tests/testing/temp_dir.h"
#include "workspace/row_text.h"
#include "workspace/workspace.h"

namespace kelvane {
namespace {

using testing::cp932Of;
using testing::TempDir;

TEST(RowText, PathsComeBackWholeAndLineNumbersEndAtTheFirstLabelWord) {
  EXPECT_EQ(headerRowPath("\"/d/a, b \"c\".txt\"" + cp932Of(",の検索結果")), "/d/a, b \"c\".txt");
  EXPECT_EQ(headerRowPath("\"/d/x\"" + cp932Of(",【該当File数】,3")), "/d/x");
  EXPECT_EQ(headerRowPath("\"/d/j.txt\"" + cp932Of(",の内容") + "\r\nline \",x\r\n"), "/d/j.txt");
  EXPECT_EQ(headerRowPath("plain,rest"), "plain");
  EXPECT_EQ(matchRowLineNumber(cp932Of("【7列目】") + "\r\n" + cp932Of("第3列目です")), 7);
  EXPECT_EQ(matchRowLineNumber(cp932Of("【123列目】text")), 123);
  EXPECT_EQ(matchRowLineNumber("no label"), -1);
  EXPECT_EQ(matchRowLineNumber(cp932Of("【x列目】")), -1);
}

TEST(RowText, EditorCommandKeepsTheFileWholeAndAddsOptionsAsConfigured) {
  ExternalEditor e{true, "/usr/bin/ed it", "-n", "+/"};
  using V = std::vector<std::string>;
  EXPECT_EQ(editorCommand(e, "/d/my file.txt", std::string("foo"), 12),
            (V{"/usr/bin/ed it", "/d/my file.txt", "-n12", "+/foo"}));
  EXPECT_EQ(editorCommand(e, "/f", std::nullopt, -1), (V{"/usr/bin/ed it", "/f", "+/"}));
  e.lineOption = "--line ";
  e.wordOption = "";
  EXPECT_EQ(editorCommand(e, "/f", std::string("w"), 3), (V{"/usr/bin/ed it", "/f", "--line", "3"}));
  EXPECT_EQ(editorCommand(e, "/f", std::string("w"), 3, false), (V{"/usr/bin/ed it", "/f"}));
}

class OpenFileTest : public ::testing::Test {
 protected:
  OpenFileTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir.path());
    ws.FormCreate();
    ws.CheckListBox3.add("\"" + (dir / "x.txt") + "\"" + cp932Of(",の検索結果"), true);
    ws.CheckListBox3.add(cp932Of("【7列目】") + "\r\nfoo", false, true);
    ws.LastSearchText = "foo";
  }
  ~OpenFileTest() override { std::filesystem::current_path(previous_); }
  void configureEditor(const std::string& path) {
    Profile p(dir / "Kelvane.ini");
    p.writeString(cp932Of("外部エディタ"), cp932Of("使用許可"), "1");
    p.writeString(cp932Of("外部エディタ"), "Path", path);
    p.writeString(cp932Of("外部エディタ"), cp932Of("列表示"), "-n");
    p.writeString(cp932Of("外部エディタ"), cp932Of("強調文字"), "-w");
  }

  TempDir dir;
  testing::ScriptedUi ui;
  Workspace ws{ui};

 private:
  std::filesystem::path previous_;
};

TEST_F(OpenFileTest, WithoutAnExternalEditorTheBuiltInOneOpensAtTheLine) {
  ws.CheckListBox3.setSelectedIndex(1);
  ws.CheckListBox3DblClick();
  ws.CheckListBox3.setSelectedIndex(0);
  ws.CheckListBox3DblClick();
  EXPECT_EQ(ui.texts("editor"), (std::vector<std::string>{(dir / "x.txt") + "|7", (dir / "x.txt") + "|-1"}));
  configureEditor(dir / "missing-editor");  // configured but not there: still the built-in editor
  ws.CheckListBox3.setSelectedIndex(1);
  ws.N4Click();
  EXPECT_EQ(ui.count("editor"), 3);
  EXPECT_TRUE(ui.processes.empty());
}

TEST_F(OpenFileTest, TheExternalEditorGetsLineAndWordAndIsRetriedPlainWhenItFails) {
  const std::string editor = dir.write("editor", "");
  configureEditor(editor);
  ws.CheckListBox3.setSelectedIndex(1);
  ws.CheckListBox3DblClick();
  ws.CheckListBox3.setSelectedIndex(0);
  ws.N4Click();  // a header row from the menu: no line, no word after the word option
  using V = std::vector<std::string>;
  EXPECT_EQ(ui.processes, (std::vector<V>{{editor, dir / "x.txt", "-n7", "-wfoo"}, {editor, dir / "x.txt", "-w"}}));
  ui.processes.clear();
  ui.processStarts = false;
  ws.CheckListBox3DblClick();  // a header row by double click: the word, no line
  EXPECT_EQ(ui.processes, (std::vector<V>{{editor, dir / "x.txt", "-wfoo"}, {editor, dir / "x.txt"}}));
  EXPECT_EQ(ui.count("editor"), 0);
}

TEST_F(OpenFileTest, TargetListRowsOpenTheirFileOrFolder) {
  ws.CheckListBox1.add("\"" + dir.path() + "\"" + cp932Of(",【該当File数】,1"), true);
  ws.CheckListBox1.add(dir / "y.txt", false, true);
  ws.CheckListBox1.add("\"" + (dir / "gone") + "\"" + cp932Of(",【該当File数】,0"), true);
  ws.CheckListBox1.setSelectedIndex(0);
  ws.CheckListBox1DblClick();
  ws.N13Click();  // a header row: the menu item does nothing
  ws.CheckListBox1.setSelectedIndex(1);
  ws.N13Click();
  ws.CheckListBox1.setSelectedIndex(2);
  ws.CheckListBox1DblClick();
  EXPECT_EQ(ui.processes.at(0), (std::vector<std::string>{"xdg-open", dir.path()}));
  EXPECT_EQ(ui.texts("editor"), std::vector<std::string>{(dir / "y.txt") + "|-1"});
  EXPECT_EQ(ui.texts("message"), std::vector<std::string>{cp932Of("ディレクトリが存在しません！")});
  EXPECT_EQ(ui.processes.size(), 2u);
}

}  // namespace
}  // namespace kelvane
