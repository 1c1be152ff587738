// Narrowing the target list to the files the user kept in the result list, and its undo.
#include "tests/workspace/rewrite_fixture.h"

namespace kelvane {
namespace {

using testing::cp932Of;

class NarrowingTest : public testing::RewriteTest {
 protected:
  std::vector<CheckRow> targets() const { return ws.CheckListBox1.rows(); }
  CheckRow folderRow(const std::string& folder, int files) const {
    return {"\"" + folder + "\"" + cp932Of(",【該当File数】,") + std::to_string(files), true, false};
  }
};

TEST_F(NarrowingTest, TheFirstMatchRowOfEachFileDecidesAndUncheckedTargetsGo) {
  write("a.txt", "foo\r\nfoo\r\n");  // first row checked, second unchecked: checked
  write("b.txt", "foo\r\nfoo\r\n");  // first row unchecked, second checked: unchecked
  write("c.txt", "none\r\n");        // searched, no match: stays, unchecked
  write("d.txt", "foo\r\n");         // unchecked in the target list before: goes
  write("sub/e.txt", "foo\r\n");     // its folder empties and goes
  ui.folderAnswers.push_back(tree());
  ws.ToolButton2Click();
  ws.CheckListBox1.setChecked(4, false);  // d.txt
  ws.CheckListBox1.setChecked(6, false);  // sub/e.txt
  ws.ComboBox1.setEditText("foo");
  ws.ToolButton1Click();
  ASSERT_EQ(ws.CheckListBox3.count(), 6);
  ws.CheckListBox3.setChecked(2, false);
  ws.CheckListBox3.setChecked(4, false);
  const std::vector<CheckRow> before = targets();
  const std::vector<CheckRow> results = ws.CheckListBox3.rows();

  ws.N3Click();
  EXPECT_EQ(targets(), (std::vector<CheckRow>{folderRow(tree(), 4),
                                              {file("a.txt"), false, true},
                                              {file("b.txt"), false, false},
                                              {file("c.txt"), false, false}}));
  EXPECT_EQ(ws.CheckListBox3.rows(), results);  // the result list is not changed
  EXPECT_TRUE(enabled("undoB"));
  EXPECT_TRUE(enabled("Repeat1"));
  EXPECT_TRUE(std::holds_alternative<undo::Narrowing>(ws.undoRecord()));

  // Its undo brings the list back exactly, after asking; the result and join lists are emptied.
  ws.CheckListBox2.add("x");
  ui.confirmAnswers = {true};
  ws.Undo();
  EXPECT_EQ(ui.texts("confirm"), std::vector<std::string>{cp932Of("絞込前の状態に戻しますか？")});
  EXPECT_EQ(targets(), before);
  EXPECT_TRUE(ws.CheckListBox3.empty());
  EXPECT_TRUE(ws.CheckListBox2.empty());
  EXPECT_TRUE(ws.CheckListBoxUNDO.empty());
}

TEST_F(NarrowingTest, APathInTwoLetterCasesIsCheckedEitherWayAndASecondNarrowingUndoesToTheFirst) {
  const std::string folder = tree();
  write("A.txt", "x\r\n");
  write("a.TXT", "x\r\n");
  write("b.txt", "x\r\n");
  ws.ExtensionList = ".txt";
  ui.folderAnswers.push_back(folder);
  ws.ToolButton2Click();
  ASSERT_EQ(ws.CheckListBox1.count(), 4);
  // The results name the file in a third spelling.
  ws.ShowSearchResults("x", {{folder + "/a.txt", {{1, "x"}}}, {folder + "/b.txt", {{1, "x"}}}});
  ws.CheckListBox3.setChecked(3, false);
  ws.ToolButton11Click();
  const std::vector<CheckRow> first = targets();
  EXPECT_EQ(first, (std::vector<CheckRow>{folderRow(folder, 3),
                                          {folder + "/A.txt", false, true},
                                          {folder + "/a.TXT", false, true},
                                          {folder + "/b.txt", false, false}}));
  ws.ToolButton11Click();  // b.txt, now unchecked, goes
  EXPECT_EQ(ws.CheckListBox1.count(), 3);
  ui.confirmAnswers = {true};
  ws.Repeat1Click();
  EXPECT_EQ(targets(), first);
}

TEST_F(NarrowingTest, NarrowAndJoinEntersJoinModeWithoutChangingTheTab) {
  write("a.txt", "foo\r\n");
  search("foo");
  const int tab = ws.activeTab();
  ws.CheckListBox3.setSelectedIndex(0);
  ws.File3Click();
  EXPECT_EQ(ws.ProcessingMode, pmJoin);
  EXPECT_EQ(ws.activeTab(), tab);
  EXPECT_TRUE(ws.CheckListBox1.isChecked(1));
  EXPECT_TRUE(std::holds_alternative<undo::Narrowing>(ws.undoRecord()));
}

}  // namespace
}  // namespace kelvane
