// Undo by the marker row of the hidden list: the preview's rows and checks, the overwrite's files put
// back only while they hold what was written, the deleted files of a join and a split (hidden lists
// made by the operations themselves), and the questions that stop it.
#include <sys/stat.h>

#include <filesystem>

#include "platform/files.h"
#include "tests/workspace/rewrite_fixture.h"

namespace kelvane {
namespace {

using testing::cp932Of;
using testing::matchLabel;
using testing::slurp;

class UndoTest : public testing::RewriteTest {
 protected:
  // The tree's files joined into target through the join mode.
  void join(const std::string& target) {
    ui.folderAnswers.push_back(tree());
    ws.ToolButton2Click();
    ws.N6Click();
    ws.FairuKetugouBClick();
    ui.confirmAnswers.push_back(true);
    ui.saveAnswers.push_back(target);
    ws.SaveAs1Click();
  }
};

TEST_F(UndoTest, NothingToUndoAndASearchLeaveNothingVisibleBehind) {
  ws.Undo();
  EXPECT_EQ(ui.texts("message"), std::vector<std::string>{cp932Of("やり直せません！！")});
  write("a.txt", "foo\r\n");
  search("foo");
  const std::vector<std::string> before = rows(ws.CheckListBox3);
  ws.Undo();  // the staged rows of the search end with a match row: no marker
  EXPECT_EQ(rows(ws.CheckListBox3), before);
  EXPECT_EQ(ui.count("message"), 1);
  EXPECT_EQ(ui.count("confirm"), 0);
}

TEST_F(UndoTest, UndoOfAPreviewGivesEveryRowItsUnreplacedTextAndItsCheckAsNowSet) {
  write("a.txt", "foo 1\r\nfoo 2\r\n");
  search("foo");
  ws.CheckListBox3.setChecked(2, false);
  preview("X");
  ws.CheckListBox3.setChecked(2, true);  // checked during the preview
  ws.CheckListBox3ClickCheck(2);
  ws.Repeat1Click();
  EXPECT_EQ(rows(ws.CheckListBox3)[1], matchLabel(1) + "foo 1");
  EXPECT_EQ(rows(ws.CheckListBox3)[2], matchLabel(2) + "foo 2");
  EXPECT_TRUE(ws.CheckListBox3.isChecked(2));
  EXPECT_TRUE(ws.CheckListBoxUNDO.empty());
  EXPECT_FALSE(ws.ReplacePending());
  for (const char* off : {"N12", "OverWriteB", "undoB", "Repeat1"}) EXPECT_FALSE(enabled(off)) << off;
  ws.undoBClick();
  EXPECT_EQ(ui.texts("message").back(), cp932Of("やり直せません！！"));
}

TEST_F(UndoTest, UndoOfAnOverwritePutsBackTheWrittenFilesThatWereNotEditedSince) {
  write("a.txt", "foo\nA\n");
  write("b.txt", "foo\r\n");
  write("c.txt", "foo\r\n");
  write("d.txt", "foo\r\n");
  search("foo");
  preview("X");
  ui.confirmAnswers = {true, true, false, true};
  ws.OverwriteFiles();
  ASSERT_EQ(slurp(file("a.txt")), "X\r\nA\r\n");
  write("b.txt", "edited\r\n");  // after the overwrite
  chmod(file("d.txt").c_str(), 0444);

  ui.confirmAnswers = {false};
  ws.Undo();
  EXPECT_TRUE(std::holds_alternative<undo::Overwrite>(ws.undoRecord()));  // Cancel: nothing changes
  EXPECT_EQ(slurp(file("a.txt")), "X\r\nA\r\n");

  ui.shown.clear();
  ui.confirmAnswers = {true};
  ws.Undo();
  EXPECT_EQ(ui.texts("confirm"), std::vector<std::string>{cp932Of("元の状態に戻しますか？？")});
  EXPECT_EQ(slurp(file("a.txt")), "foo\nA\n");  // byte for byte, line ends and all
  EXPECT_EQ(slurp(file("b.txt")), "edited\r\n");
  EXPECT_EQ(slurp(file("c.txt")), "foo\r\n");  // cancelled: never written, nothing to put back
  EXPECT_EQ(slurp(file("d.txt")), "X\r\n");
  const std::vector<std::string> messages = ui.texts("message");
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0], cp932Of("ファイル") + "\"" + file("a.txt") + "\"" + cp932Of("の復元...OK"));
  EXPECT_EQ(messages[1].find(cp932Of("ファイル") + "\"" + file("b.txt") + "\"" + cp932Of("の復元...NG。")), 0u);
  EXPECT_NE(messages[1].find(cp932Of("上書きの後に変更されている")), std::string::npos);
  EXPECT_EQ(messages[2].find(cp932Of("ファイル") + "\"" + file("d.txt") + "\"" + cp932Of("の復元...NG。")), 0u);
  EXPECT_TRUE(ws.CheckListBoxUNDO.empty());
}

TEST_F(UndoTest, UndoOfAJoinDeletesTheSavedFileAndSaysWhatHappened) {
  write("a.txt", "x\r\n");
  std::filesystem::create_directories(root / "out");
  const std::string saved = root / "out/joined.txt";
  join(saved);
  ASSERT_EQ(slurp(saved), "x\r\n");
  ui.confirmAnswers = {false};
  ws.Undo();
  EXPECT_TRUE(files::fileExists(saved));
  EXPECT_FALSE(ws.CheckListBoxUNDO.empty());

  ui.shown.clear();
  ui.confirmAnswers = {true};
  ws.Undo();
  EXPECT_FALSE(files::fileExists(saved));
  EXPECT_EQ(ui.texts("confirm").back(), cp932Of("新規ファイルを消去しますか？"));
  EXPECT_EQ(ui.texts("message"),
            (std::vector<std::string>{cp932Of("新規ファイル") + "\"" + saved + "\"" + cp932Of("の消去...OK")}));
  EXPECT_TRUE(ws.CheckListBoxUNDO.empty());

  join(saved);
  std::filesystem::remove(saved);  // gone before the undo
  ui.shown.clear();
  ui.confirmAnswers = {true};
  ws.Undo();
  EXPECT_EQ(ui.texts("message"),
            (std::vector<std::string>{cp932Of("新規ファイル") + "\"" + saved + "\"" + cp932Of("は見つかりませんでした。")}));
}

TEST_F(UndoTest, UndoOfASplitAnnouncesEachPieceAndReportsOnesNotWrittenOrNotDeletable) {
  std::string lines;
  for (int i = 1; i <= 20; ++i) lines += "L" + std::to_string(i) + "\r\n";
  write("memo.txt", lines);
  ws.ShowSearchResults("L", {{file("memo.txt"), {{5, "L5"}, {12, "L12"}}}});
  ws.CheckListBox3.setSelectedIndex(0);
  ws.File2Click();
  ui.confirmAnswers = {true};
  ws.NewFileBClick();
  const std::string one = file("memo0.txt"), locked = file("memo1.txt"), never = file("memo2.txt");
  ASSERT_TRUE(files::fileExists(one) && files::fileExists(locked) && files::fileExists(never));
  chmod(locked.c_str(), 0444);
  std::filesystem::remove(never);
  ui.shown.clear();
  ui.confirmAnswers = {true};
  ws.Undo();
  EXPECT_EQ(ui.texts("confirm"), std::vector<std::string>{cp932Of("更新しますか？")});
  const std::string n = cp932Of("新規ファイル");
  EXPECT_EQ(ui.texts("message"), (std::vector<std::string>{
                                     n + "\"" + one + "\"" + cp932Of("を消去します。"),
                                     n + "\"" + one + "\"" + cp932Of("の消去...OK"),
                                     n + "\"" + locked + "\"" + cp932Of("を消去します。"),
                                     n + "\"" + locked + "\"" + cp932Of("の消去...NG。"),
                                     n + "\"" + never + "\"" + cp932Of("は見つかりませんでした。"),
                                 }));
  EXPECT_FALSE(files::fileExists(one));
  EXPECT_TRUE(files::fileExists(locked));
  EXPECT_TRUE(ws.CheckListBoxUNDO.empty());
}

}  // namespace
}  // namespace kelvane
