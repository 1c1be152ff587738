// The replace preview and the overwrite on real files: what the rows show, what the hidden list
// pairs them with, when each file is asked about, the bytes written and copied, and every file the
// overwrite must leave alone.
#include <sys/stat.h>

#include <algorithm>

#include "platform/files.h"
#include "tests/workspace/rewrite_fixture.h"

namespace kelvane {
namespace {

using testing::cp932Of;
using testing::matchLabel;
using testing::resultHeaderOf;
using testing::slurp;

class ReplaceTest : public testing::RewriteTest {};

TEST_F(ReplaceTest, PreviewReplacesTheLineTextOfEveryMatchAndPairsEachRowWithItsOtherText) {
  write("a.txt", "1 x 1\r\nnone\r\n11\r\n");
  search("1");
  ASSERT_EQ(ws.CheckListBox3.count(), 3);
  ws.CheckListBox3.setChecked(2, false);
  preview("<&>");
  EXPECT_EQ(ui.texts("input"), std::vector<std::string>{cp932Of("置換|置き換える文字列を入力してください！|")});
  // Both matches of a line are replaced; the "1" of the label "【1列目】" is not.
  EXPECT_EQ(rows(ws.CheckListBox3), (std::vector<std::string>{resultHeaderOf(file("a.txt")),
                                                              matchLabel(1) + "<1> x <1>", matchLabel(3) + "11"}));
  EXPECT_EQ(ui.texts("message"), std::vector<std::string>{cp932Of(
                                     "実際のファイルは、まだ置換えられていません。\r\n"
                                     "メニューの置換え結果で上書きで、Checkの入った所のみ置換えが実行されます！")});
  EXPECT_TRUE(ws.ReplacePending());
  EXPECT_EQ(ws.ReplaceText(), "<&>");
  for (const char* on : {"undoB", "Repeat1", "N12", "OverWriteB"}) EXPECT_TRUE(enabled(on)) << on;
  EXPECT_EQ(ws.CheckListBox3.selectedIndex(), 0);

  // Checking the row now shows its replaced text; nothing is written to the file.
  ws.CheckListBox3.setChecked(2, true);
  ws.CheckListBox3ClickCheck(2);
  EXPECT_EQ(ws.CheckListBox3.text(2), matchLabel(3) + "<1><1>");
  EXPECT_EQ(slurp(file("a.txt")), "1 x 1\r\nnone\r\n11\r\n");
}

TEST_F(ReplaceTest, EmptyReplacementDeletesAndASecondPreviewStartsFromTheUnreplacedRows) {
  write("a.txt", "abcab\r\n");
  search("ab");
  preview("");
  EXPECT_EQ(ws.CheckListBox3.text(1), matchLabel(1) + "c");
  preview("Z");
  EXPECT_EQ(ui.texts("message")[1], cp932Of("検索結果") + "ab\r\n" + cp932Of("に戻した後に置換えを実行します。"));
  EXPECT_EQ(ws.CheckListBox3.text(1), matchLabel(1) + "ZcZ");
  ws.Undo();
  EXPECT_EQ(ws.CheckListBox3.text(1), matchLabel(1) + "abcab");
}

TEST_F(ReplaceTest, PreviewRefusesWithoutSearchOnCancelAndOnABrokenTemplate) {
  ws.ReplacePreview();
  EXPECT_EQ(ws.statusText(), cp932Of("検索がされていません！"));
  EXPECT_TRUE(ws.timer1Enabled());
  EXPECT_EQ(ui.count("input"), 0);

  write("a.txt", "abc\r\n");
  search("b");
  ui.inputAnswers.push_back(std::nullopt);
  ws.ReplacePreview();
  preview("x\\");  // a lone backslash at the end
  EXPECT_EQ(ui.count("error"), 1);
  EXPECT_EQ(ws.CheckListBox3.text(1), matchLabel(1) + "abc");
  EXPECT_FALSE(ws.ReplacePending());
  EXPECT_FALSE(enabled("N12"));
}

TEST_F(ReplaceTest, OverwriteAsksEachChangedFileAtItsTurnAndWritesExactlyTheCheckedLines) {
  write("a.txt", "foo 1\r\nbar\r\nfoo 3\r\nfoo 4\r\n");
  write("b.txt", "foo\nkeep\rfoo");  // LF and lone CR line ends, no last line end
  write("c.txt", "foo\r\n");
  search("foo");
  // a: rows 1, 3 checked, 4 unchecked; b: both checked; c: unchecked.
  ws.CheckListBox3.setChecked(3, false);
  ws.CheckListBox3.setChecked(8, false);
  preview("X");
  const std::string aBefore = slurp(file("a.txt")), bBefore = slurp(file("b.txt"));
  ui.confirmAnswers = {true, true};
  {
    testing::StatusRecorder status(ws);
    ws.OverwriteFiles();
    const std::vector<std::string>& seen = status.texts();
    EXPECT_NE(std::find(seen.begin(), seen.end(), cp932Of("□□□□□□□□□□上書き中")), seen.end());
    EXPECT_NE(std::find(seen.begin(), seen.end(), cp932Of("■■■□□□□□□□上書き中")), seen.end());
    EXPECT_EQ(ws.statusText(), "");
  }
  EXPECT_TRUE(ui.unexpected.empty());
  EXPECT_EQ(ui.texts("confirm"), (std::vector<std::string>{file("a.txt") + "\r\n" + cp932Of("を置き換えますか？"),
                                                           file("b.txt") + "\r\n" + cp932Of("を置き換えますか？")}));
  EXPECT_EQ(slurp(file("a.txt")), "X 1\r\nbar\r\nX 3\r\nfoo 4\r\n");
  EXPECT_EQ(slurp(file("b.txt")), "X\r\nkeep\r\nX\r\n");  // written back with CR LF throughout
  EXPECT_EQ(slurp(file("c.txt")), "foo\r\n");
  EXPECT_EQ(slurp(copyOf("a.txt")), aBefore);
  EXPECT_EQ(slurp(copyOf("b.txt")), bBefore);
  EXPECT_EQ(slurp(copyOf("c.txt")), "foo\r\n");  // copied although not asked about
  EXPECT_EQ(copies(), (std::vector<std::string>{copyOf("a.txt"), copyOf("b.txt"), copyOf("c.txt")}));
  EXPECT_FALSE(ws.ReplacePending());
  EXPECT_EQ(ws.ReplaceText(), "");
  for (const char* off : {"N12", "OverWriteB", "undoB", "Repeat1"}) EXPECT_FALSE(enabled(off)) << off;
  EXPECT_EQ(ui.count("message"), 1);  // the preview's; nothing was left alone

  // No second overwrite until a new preview.
  ws.OverwriteFiles();
  EXPECT_EQ(ui.count("confirm"), 2);
  EXPECT_EQ(slurp(file("a.txt")), "X 1\r\nbar\r\nX 3\r\nfoo 4\r\n");
}

TEST_F(ReplaceTest, TheFirstFileIsAskedAboutBeforeTheSecondIsCopiedAndWrittenBeforeItIsAsked) {
  write("a.txt", "foo\r\n");
  write("b.txt", "foo\r\n");
  search("foo");
  preview("Y");
  std::vector<std::string> seen;
  ui.onConfirm = [&](const std::string&) {
    seen.push_back(std::to_string(files::fileExists(copyOf("b.txt"))) + slurp(file("a.txt")));
  };
  ui.confirmAnswers = {true, false};
  ws.OverwriteFiles();
  EXPECT_EQ(seen, (std::vector<std::string>{"0foo\r\n", "1Y\r\n"}));
  EXPECT_EQ(slurp(file("b.txt")), "foo\r\n");  // Cancel: not written
  EXPECT_EQ(copies(), (std::vector<std::string>{copyOf("a.txt"), copyOf("b.txt")}));
}

TEST_F(ReplaceTest, FilesThatChangedVanishedOrHoldANulAreLeftAloneAndNamedTheOthersAreWritten) {
  write("a.txt", "foo\r\n");
  write("b.txt", "foo\r\nfoo\r\n");
  write("c.txt", "foo\r\n");
  write("d.txt", std::string("foo\r\n\0tail\r\n", 13));
  write("e.txt", "foo\r\n");
  search("foo");
  preview("X");
  write("a.txt", "foo changed\r\n");       // changed since the search
  write("b.txt", "foo\r\n");               // shorter than row 2's line number
  std::filesystem::remove(file("c.txt"));  // gone
  ui.confirmAnswers = {true};
  ws.OverwriteFiles();
  EXPECT_EQ(ui.count("confirm"), 1);
  EXPECT_EQ(slurp(file("e.txt")), "X\r\n");
  EXPECT_EQ(slurp(file("a.txt")), "foo changed\r\n");
  EXPECT_EQ(slurp(file("b.txt")), "foo\r\n");
  EXPECT_EQ(slurp(file("d.txt")), std::string("foo\r\n\0tail\r\n", 13));
  EXPECT_EQ(slurp(copyOf("d.txt")), std::string("foo\r\n\0tail\r\n", 13));  // copied byte for byte
  EXPECT_FALSE(files::fileExists(copyOf("a.txt")));  // an earlier, good copy is never replaced by a stale one
  const std::string message = ui.texts("message").back();
  EXPECT_EQ(message.find(cp932Of("次のファイルは上書きしませんでした：")), 0u);
  for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) EXPECT_NE(message.find(file(name)), std::string::npos);
  EXPECT_NE(message.find(cp932Of("NUL")), std::string::npos);
  EXPECT_EQ(message.find(file("e.txt")), std::string::npos);
  EXPECT_EQ(copies(), (std::vector<std::string>{copyOf("d.txt"), copyOf("e.txt")}));
}

TEST_F(ReplaceTest, AReadOnlyFileStopsTheOverwriteWithTheFilesBeforeItSaved) {
  write("a.txt", "foo\r\n");
  write("b.txt", "foo\r\n");
  write("c.txt", "foo\r\n");
  chmod(file("b.txt").c_str(), 0444);
  search("foo");
  preview("X");
  ui.confirmAnswers = {true, true, true};
  ws.OverwriteFiles();
  EXPECT_EQ(slurp(file("a.txt")), "X\r\n");
  EXPECT_EQ(slurp(file("b.txt")), "foo\r\n");
  EXPECT_EQ(slurp(file("c.txt")), "foo\r\n");
  EXPECT_EQ(ui.count("error"), 1);
  EXPECT_NE(ui.texts("error")[0].find(file("b.txt")), std::string::npos);
  // The preview stays pending: the overwrite can be tried again.
  EXPECT_TRUE(ws.ReplacePending());
  EXPECT_TRUE(enabled("N12"));
  EXPECT_TRUE(enabled("OverWriteB"));
  EXPECT_FALSE(enabled("undoB"));

  // Tried again once b may be written: a, already written, is left alone (and its first copy kept).
  chmod(file("b.txt").c_str(), 0644);
  ui.confirmAnswers = {true, true};
  ws.OverwriteFiles();
  EXPECT_EQ(slurp(file("a.txt")), "X\r\n");
  EXPECT_EQ(slurp(copyOf("a.txt")), "foo\r\n");
  EXPECT_EQ(slurp(file("b.txt")), "X\r\n");
  EXPECT_EQ(slurp(file("c.txt")), "X\r\n");
  EXPECT_NE(ui.texts("message").back().find(file("a.txt")), std::string::npos);
}

TEST_F(ReplaceTest, ANewTargetListEndsAPendingPreviewWhoseRowsItClears) {
  write("a.txt", "foo\r\n");
  search("foo");
  preview("X");
  ws.settings.Subfolders = false;  // a build that leaves the hidden list alone
  ui.folderAnswers.push_back(tree());
  ws.ToolButton2Click();
  EXPECT_TRUE(ws.CheckListBox3.empty());
  EXPECT_FALSE(ws.ReplacePending());
  ws.OverwriteFiles();
  EXPECT_EQ(ui.count("confirm"), 0);
  EXPECT_EQ(slurp(file("a.txt")), "foo\r\n");
}

}  // namespace
}  // namespace kelvane
