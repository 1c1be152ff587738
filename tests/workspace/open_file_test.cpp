// The external editor's command, and the commands
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
    ws.ShowSearchResults("foo", {{dir / "x.txt", {{7, "foo"}}}});
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
  dir.write("y.txt", "");
  dir.write("gone/z.txt", "");
  ws.ExtensionList = ".txt";
  ws.settings.Subfolders = true;
  ui.folderAnswers.push_back(dir.path());
  ws.ToolButton2Click();
  ASSERT_EQ(ws.CheckListBox1.count(), 4);
  std::filesystem::remove_all(dir / "gone");  // after the list was built
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
