// The join and split saves on real files where they could lose data: a file that exists is replaced
// only after the person was told, a file is decided by device and inode (links and hard links of the
// source), a source that changed since the split was prepared writes nothing, every file left alone
// is named, and a failed save can be tried again once the cause is fixed.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/line_list.h"
#include "platform/profile.h"
#include "tests/workspace/rewrite_fixture.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using testing::cp932Of;
using testing::slurp;

std::string numbered(int first, int last) {
  std::string text;
  for (int i = first; i <= last; ++i) text += "L" + std::to_string(i) + "\r\n";
  return text;
}

void readOnly(const std::string& path, bool on) {
  fs::permissions(path, on ? fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read
                           : fs::perms::owner_read | fs::perms::owner_write);
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class SaveSafetyTest : public testing::RewriteTest {
 protected:
  // The join list of the given files of the tree, all checked, no separator.
  void joinList(const std::vector<std::string>& names) {
    for (const std::string& name : names) write(name, name + "\r\n");
    ws.settings.Subfolders = false;
    ui.folderAnswers.push_back(tree());
    ws.ToolButton2Click();
    ws.N6Click();
    ws.FairuKetugouBClick();
  }
  void saveJoin(const std::string& target, std::initializer_list<bool> answers) {
    ui.confirmAnswers.push_back(true);
    for (bool a : answers) ui.confirmAnswers.push_back(a);
    ui.saveAnswers.push_back(target);
    ws.SaveAs1Click();
  }
  // The split of tree/memo.txt (20 lines) at the given lines in mode 1.
  void prepareSplit(const std::vector<int>& lines) {
    Profile(ws.settingsPath()).writeInteger(cp932Of("ファイル結合"), cp932Of("分割モード"), 1);
    Workspace::FoundFile found{file("memo.txt"), {}};
    for (int line : lines) found.lines.push_back({line, "x"});
    ws.ShowSearchResults("x", {found});
    ws.CheckListBox3.setSelectedIndex(0);
    ws.File2Click();
  }
  void saveSplit() {
    ui.confirmAnswers.push_back(true);
    ws.NewFileBClick();
  }
  std::string piece(int n) const { return file("memo" + std::to_string(n) + ".txt"); }
  std::string lastMessage() const { return ui.texts("message").empty() ? "" : ui.texts("message").back(); }
};

TEST_F(SaveSafetyTest, TheJoinAsksOnceBeforeReplacingAFileAndCancelLeavesItAndTheSaveOn) {
  joinList({"a.txt"});
  const std::string target = root.write("out.txt", "mine\r\n");
  saveJoin(target, {false});
  EXPECT_EQ(ui.texts("confirm"), (std::vector<std::string>{cp932Of("ヘッダー部分とCheck済部分を新規ファイルに結合します。"),
                                                           target + "\r\n" + cp932Of("は既に存在します。置き換えますか？（元の内容は一時フォルダに残します）")}));
  EXPECT_EQ(slurp(target), "mine\r\n");
  EXPECT_TRUE(ws.command("SaveAs1").enabled);  // another name can be chosen
  EXPECT_FALSE(std::holds_alternative<undo::Join>(ws.undoRecord()));

  saveJoin(target, {true});
  EXPECT_EQ(slurp(target), "a.txt\r\n");
  EXPECT_EQ(slurp(files::tempCopyPath(ws.tempFolder(), target)), "mine\r\n");
  EXPECT_TRUE(std::get<undo::Join>(ws.undoRecord()).file.copied);
  EXPECT_FALSE(ws.command("SaveAs1").enabled);
  EXPECT_EQ(ui.count("save"), 2);
  EXPECT_TRUE(ui.unexpected.empty());
}

TEST_F(SaveSafetyTest, TheJoinNeverSavesIntoOneOfItsSourcesUnderAnyName) {
  joinList({"a.txt", "b.txt"});
  const std::string hard = root / "hard.txt";
  const std::string soft = root / "soft.txt";
  fs::create_hard_link(file("b.txt"), hard);
  fs::create_symlink(file("a.txt"), soft);
  for (const std::string& target : {file("a.txt"), hard, soft}) {
    SCOPED_TRACE(target);
    saveJoin(target, {});
    EXPECT_TRUE(contains(lastMessage(), target + cp932Of("：結合するファイルの一つと同じファイルです")));
    EXPECT_TRUE(ws.command("SaveAs1").enabled);
  }
  EXPECT_EQ(slurp(file("a.txt")), "a.txt\r\n");
  EXPECT_EQ(slurp(file("b.txt")), "b.txt\r\n");
  EXPECT_TRUE(fs::is_symlink(soft));
  EXPECT_EQ(ui.count("confirm"), 3);  // the save question each time, never the replace question
  EXPECT_FALSE(fs::exists(ws.tempFolder()) && !fs::is_empty(ws.tempFolder()));

  ws.CheckListBox2.setChecked(0, false);  // a.txt left out: its link is just another file now
  saveJoin(soft, {true});
  EXPECT_EQ(slurp(file("a.txt")), "b.txt\r\n");  // written through the link, after the question
  EXPECT_TRUE(fs::is_symlink(soft));
}

TEST_F(SaveSafetyTest, AFailedJoinSaveKeepsTheListAndSavesOnceTheFileIsWritable) {
  joinList({"a.txt", "b.txt"});
  const std::string target = root.write("locked.txt", "old\r\n");
  readOnly(target, true);
  saveJoin(target, {true});
  EXPECT_EQ(slurp(target), "old\r\n");
  ASSERT_EQ(ui.count("error"), 1);
  EXPECT_TRUE(contains(ui.texts("error")[0], target));
  EXPECT_TRUE(ws.command("SaveAs1").enabled);
  EXPECT_TRUE(ws.command("NewFileB").enabled);
  EXPECT_EQ(ws.CheckListBox2.count(), 2);
  EXPECT_FALSE(std::holds_alternative<undo::Join>(ws.undoRecord()));

  readOnly(target, false);
  saveJoin(target, {true});
  EXPECT_EQ(slurp(target), "a.txt\r\nb.txt\r\n");
  EXPECT_EQ(slurp(files::tempCopyPath(ws.tempFolder(), target)), "old\r\n");
  EXPECT_EQ(std::get<undo::Join>(ws.undoRecord()).file.path, target);
}

// An undo deletes or restores a saved file only while it holds what the save wrote: an edit made
// after the save (by the person in another program) is never thrown away.
TEST_F(SaveSafetyTest, TheUndoOfAJoinLeavesAloneAFileEditedSinceTheSave) {
  joinList({"a.txt"});
  const std::string target = root.write("out.txt", "mine\r\n");
  saveJoin(target, {true});
  ASSERT_EQ(slurp(target), "a.txt\r\n");
  root.write("out.txt", "a.txt\r\nedited later\r\n");
  ui.confirmAnswers.push_back(true);
  ws.Undo();
  EXPECT_EQ(slurp(target), "a.txt\r\nedited later\r\n");
  EXPECT_EQ(lastMessage(), cp932Of("新規ファイル") + "\"" + target + "\"" +
                               cp932Of("は保存の後に変更されているため、消去も復元もしませんでした。"));
}

TEST_F(SaveSafetyTest, TheUndoOfASplitDeletesOnlyThePiecesThatStillHoldWhatItWrote) {
  write("memo.txt", numbered(1, 20));
  prepareSplit({5, 12});
  saveSplit();
  ASSERT_EQ(slurp(piece(1)), numbered(5, 11));
  write("memo1.txt", "theirs now\r\n");
  ui.confirmAnswers.push_back(true);
  ws.Undo();
  EXPECT_EQ(slurp(piece(1)), "theirs now\r\n");  // edited: kept
  EXPECT_FALSE(fs::exists(piece(0)));             // as the split wrote them: deleted
  EXPECT_FALSE(fs::exists(piece(2)));
  const std::vector<std::string> shown = ui.texts("message");
  EXPECT_NE(std::find(shown.begin(), shown.end(),
                      cp932Of("新規ファイル") + "\"" + piece(1) + "\"" +
                          cp932Of("は保存の後に変更されているため、消去も復元もしませんでした。")),
            shown.end());
}

TEST_F(SaveSafetyTest, ASplitNamesTheFilesItReplacesAndRefusesPiecesThatAreTheSourceOrOneFile) {
  write("memo.txt", numbered(1, 20));
  write("memo0.txt", "mine0\r\n");
  fs::create_symlink(file("memo.txt"), piece(1));           // a link to the source
  fs::create_hard_link(file("memo.txt"), piece(2));         // the source under another name
  write("memo3.txt", "shared\r\n");
  fs::create_hard_link(piece(3), piece(4));                 // two pieces, one file
  fs::create_symlink(root / "nowhere.txt", piece(5));       // a link to nothing
  prepareSplit({3, 6, 9, 12, 15});
  saveSplit();
  const std::string asked = ui.texts("confirm").back();
  EXPECT_EQ(asked.find(cp932Of("新規ファイルに分割します。未チェックのファイルは作成されません。")), 0u);
  for (int n : {0, 1, 2, 3, 4}) EXPECT_TRUE(contains(asked, piece(n))) << n;
  EXPECT_FALSE(contains(asked, piece(5)));

  EXPECT_EQ(slurp(file("memo.txt")), numbered(1, 20));
  EXPECT_EQ(slurp(piece(0)), numbered(1, 2));
  EXPECT_EQ(slurp(files::tempCopyPath(ws.tempFolder(), piece(0))), "mine0\r\n");
  EXPECT_EQ(slurp(piece(3)), "shared\r\n");
  EXPECT_FALSE(fs::exists(root / "nowhere.txt"));
  const std::string left = lastMessage();
  EXPECT_TRUE(contains(left, piece(1) + cp932Of("：分割元のファイルと同じファイルです")));
  EXPECT_TRUE(contains(left, piece(2) + cp932Of("：分割元のファイルと同じファイルです")));
  EXPECT_TRUE(contains(left, piece(3) + cp932Of("：別の分割ファイルと同じファイルです")));
  EXPECT_TRUE(contains(left, piece(4) + cp932Of("：別の分割ファイルと同じファイルです")));
  EXPECT_TRUE(contains(left, piece(5) + cp932Of("：確認の後で同じ名前のファイルかリンクができました")));
  EXPECT_TRUE(ws.command("SaveAs1").enabled);
  // The undo knows only what was written: piece 0.
  const auto& pieces = std::get<undo::Split>(ws.undoRecord()).pieces;
  ASSERT_EQ(pieces.size(), 1u);
  EXPECT_EQ(pieces[0].path, piece(0));
  EXPECT_TRUE(pieces[0].copied);
}

TEST_F(SaveSafetyTest, ASplitWritesNothingFromASourceThatChangedSinceThePreparation) {
  write("memo.txt", numbered(1, 20));
  prepareSplit({5});
  ui.onConfirm = [&](const std::string&) { write("memo.txt", numbered(1, 19) + "LX\r\n"); };  // same line count
  saveSplit();
  ui.onConfirm = nullptr;
  EXPECT_EQ(lastMessage(), file("memo.txt") + cp932Of("：分割の準備の後で内容が変わりました。何も書き込んでいません。"
                                                      "もう一度「ファイルの分割」からやり直してください。"));
  EXPECT_FALSE(fs::exists(piece(0)));
  EXPECT_FALSE(fs::exists(piece(1)));
}

TEST_F(SaveSafetyTest, APieceThatAppearsWhileThePersonIsAskedIsLeftAloneAndNamed) {
  write("memo.txt", numbered(1, 20));
  prepareSplit({5});
  ui.onConfirm = [&](const std::string&) { write("memo1.txt", "theirs\r\n"); };
  saveSplit();
  ui.onConfirm = nullptr;
  EXPECT_EQ(slurp(piece(1)), "theirs\r\n");
  EXPECT_EQ(slurp(piece(0)), numbered(1, 4));
  EXPECT_TRUE(contains(lastMessage(), piece(1) + cp932Of("：確認の後で同じ名前のファイルかリンクができました")));
}

TEST_F(SaveSafetyTest, AFailedSplitIsSavedAgainWithoutCopyingItsOwnPiecesOverTheKeptOriginals) {
  write("memo.txt", numbered(1, 20));
  write("memo0.txt", "mine0\r\n");
  write("memo1.txt", "locked\r\n");
  readOnly(piece(1), true);
  prepareSplit({5, 12});
  saveSplit();
  EXPECT_EQ(slurp(piece(0)), numbered(1, 4));
  EXPECT_EQ(slurp(piece(1)), "locked\r\n");
  EXPECT_FALSE(fs::exists(piece(2)));
  ASSERT_EQ(ui.count("error"), 1);
  EXPECT_TRUE(contains(lastMessage(), piece(1) + cp932Of("：書き込めませんでした")));
  EXPECT_TRUE(contains(lastMessage(), piece(2) + cp932Of("：前のファイルでエラーになったため書き込んでいません")));
  EXPECT_TRUE(ws.command("NewFileB").enabled);
  ASSERT_EQ(std::get<undo::Split>(ws.undoRecord()).pieces.size(), 1u);

  readOnly(piece(1), false);
  saveSplit();
  const std::string asked = ui.texts("confirm").back();
  EXPECT_TRUE(contains(asked, piece(1)));
  EXPECT_FALSE(contains(asked, piece(0)));  // this split's own piece now
  EXPECT_EQ(slurp(piece(0)), numbered(1, 4));
  EXPECT_EQ(slurp(piece(1)), numbered(5, 11));
  EXPECT_EQ(slurp(piece(2)), numbered(12, 20));
  EXPECT_EQ(slurp(files::tempCopyPath(ws.tempFolder(), piece(0))), "mine0\r\n");
  EXPECT_EQ(slurp(files::tempCopyPath(ws.tempFolder(), piece(1))), "locked\r\n");
  EXPECT_FALSE(ws.command("NewFileB").enabled);
  const auto& pieces = std::get<undo::Split>(ws.undoRecord()).pieces;
  ASSERT_EQ(pieces.size(), 3u);
  EXPECT_TRUE(pieces[0].copied && pieces[0].written);

  ui.confirmAnswers.push_back(true);
  ws.Undo();
  EXPECT_EQ(slurp(piece(0)), "mine0\r\n");
  EXPECT_EQ(slurp(piece(1)), "locked\r\n");
  EXPECT_FALSE(fs::exists(piece(2)));
  EXPECT_EQ(slurp(file("memo.txt")), numbered(1, 20));
}

TEST_F(SaveSafetyTest, APieceChangedByAnotherWriterAfterAFailedTryIsNotWrittenAgain) {
  write("memo.txt", numbered(1, 20));
  write("memo1.txt", "locked\r\n");
  readOnly(piece(1), true);
  prepareSplit({5});
  saveSplit();
  ASSERT_EQ(slurp(piece(0)), numbered(1, 4));
  write("memo0.txt", "edited\r\n");  // the person's edit of the piece written by the first try
  readOnly(piece(1), false);
  saveSplit();
  EXPECT_EQ(slurp(piece(0)), "edited\r\n");
  EXPECT_EQ(slurp(piece(1)), numbered(5, 20));
  EXPECT_TRUE(contains(lastMessage(), piece(0) + cp932Of("：前回の保存で書き込んだ後に内容が変わりました")));
}

}  // namespace
}  // namespace kelvane
