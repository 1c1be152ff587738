// The target list: choosing the folder, the build with and without subfolders, and the check
// commands, on real folders.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "tests/testing/scripted_ui.h"
#include "tests/testing/temp_dir.h"
#include "workspace/workspace.h"

namespace kelvane {
namespace {

using testing::cp932Of;
using testing::StatusRecorder;
using testing::TempDir;

std::string header(const std::string& folder, int files) {
  return "\"" + folder + "\"" + cp932Of(",【該当File数】,") + std::to_string(files);
}

class TargetListTest : public ::testing::Test {
 protected:
  TargetListTest() {
    ws.ExtensionList = ".txt";
    ws.EnterSearchMode();
  }
  // Chooses folder through the folder browser.
  void choose(const std::string& folder) {
    ui.folderAnswers.push_back(folder);
    ws.ToolButton2Click();
  }
  std::vector<CheckRow> rows() const { return ws.CheckListBox1.rows(); }

  TempDir dir;
  testing::ScriptedUi ui;
  Workspace ws{ui};
};

TEST_F(TargetListTest, BuildsHeaderAndCheckedFileRowsForFoldersWithWantedFilesOnly) {
  dir.write("root.csv", "");  // the root has no wanted file: its header row goes
  dir.write("sub/b.txt", "");
  dir.write("sub/A.TXT", "");
  dir.mkdir("empty/deeper");
  dir.write("z/c.txt", "");
  choose(dir.path());
  const std::string r = dir.path();
  EXPECT_EQ(rows(), (std::vector<CheckRow>{{header(r + "/sub", 2), true, false},
                                           {r + "/sub/A.TXT", false, true},
                                           {r + "/sub/b.txt", false, true},
                                           {header(r + "/z", 1), true, false},
                                           {r + "/z/c.txt", false, true}}));
  EXPECT_EQ(ws.CheckedFileCount, 3);
  EXPECT_EQ(ws.statusText(), "3" + cp932Of("個のファイルが対象です"));
  EXPECT_TRUE(ws.timer1Enabled());
  EXPECT_TRUE(ui.unexpected.empty());
}

TEST_F(TargetListTest, WithoutSubfoldersOnlyTheFolderItselfIsListed) {
  ws.settings.Subfolders = false;
  dir.write("a.txt", "");
  dir.write("sub/b.txt", "");
  choose(dir.path());
  EXPECT_EQ(rows(), (std::vector<CheckRow>{{header(dir.path(), 1), true, false}, {dir / "a.txt", false, true}}));
}

TEST_F(TargetListTest, AnExtensionListedTwiceListsTheFileTwiceAndNothingWantedGivesAnEmptyList) {
  dir.write("a.txt", "");
  ws.ExtensionList = ".txt,.TXT";
  choose(dir.path());
  EXPECT_EQ(ws.CheckListBox1.count(), 3);
  EXPECT_EQ(ws.CheckedFileCount, 2);

  ws.ExtensionList = "";
  ws.ComboBox2KeyPress(13);
  EXPECT_TRUE(ws.CheckListBox1.empty());
  EXPECT_EQ(ws.CheckedFileCount, 0);
  EXPECT_EQ(ws.statusText(), "0" + cp932Of("個のファイルが対象です"));
}

TEST_F(TargetListTest, ABuildEmptiesTheResultAndJoinListsAndSetsTheScrollWidth) {
  dir.write("a.txt", "");
  ws.CheckListBox3.add("result");
  ws.CheckListBox2.add("join");
  choose(dir.path());
  EXPECT_TRUE(ws.CheckListBox3.empty());
  EXPECT_TRUE(ws.CheckListBox2.empty());
  // Row height plus the widest row text (the scripted font: 8 pixels a byte).
  const int widest = static_cast<int>(std::max(ws.CheckListBox1.text(0).size(), ws.CheckListBox1.text(1).size()));
  EXPECT_EQ(ws.CheckListBox1.horizontalExtent(), ui.rowPixels + 8 * widest);
}

TEST_F(TargetListTest, ProgressTextsOfAOneFolderBuild) {
  ws.settings.Subfolders = false;
  std::vector<std::string> statuses;
  {
    StatusRecorder recorder(ws);
    choose(dir.path());
    statuses = recorder.texts();
  }
  const auto has = [&](const std::string& t) {
    return std::find(statuses.begin(), statuses.end(), t) != statuses.end();
  };
  EXPECT_TRUE(has(cp932Of("■■■■■□□□□□検索中")));
  EXPECT_TRUE(has(cp932Of("■■■■■■■■□□検索中")));
}

TEST_F(TargetListTest, TheFolderBoxKeepsEachFolderOnceAtTheTop) {
  TempDir other;
  choose(dir.path());
  choose(other.path());
  choose(dir.path());
  EXPECT_EQ(ws.ComboBox2.items(), (std::vector<std::string>{dir.path(), other.path(), cp932Of("新規フォルダ")}));
  EXPECT_EQ(ws.ComboBox2.selectedIndex(), 0);
}

TEST_F(TargetListTest, ChoosingTheFixedEntryOpensTheBrowserAndCancelChangesNothing) {
  dir.write("a.txt", "");
  choose(dir.path());
  const auto before = rows();
  ui.folderAnswers.push_back(std::nullopt);
  ws.ComboBox2Select(1);  // "新規フォルダ"
  EXPECT_EQ(ui.texts("browse").back(), cp932Of("対象フォルダを選択してください。"));
  EXPECT_EQ(ws.ComboBox2.item(0), cp932Of("新規フォルダ"));
  EXPECT_EQ(ws.ComboBox2.selectedIndex(), 0);
  EXPECT_EQ(rows(), before);
}

TEST_F(TargetListTest, ChangingTheFolderAsksAndCancelReturnsTheBoxToTheListedFolder) {
  TempDir other;
  other.write("o.txt", "");
  dir.write("a.txt", "");
  choose(other.path());
  choose(dir.path());  // box: dir, other, 新規フォルダ; list of dir
  const auto before = rows();

  ui.confirmAnswers.push_back(false);
  ws.ComboBox2Select(1);
  EXPECT_EQ(ui.texts("confirm").back(), cp932Of("検索対象Fileを変更しますか？"));
  EXPECT_EQ(rows(), before);
  EXPECT_EQ(ws.ComboBox2.item(0), dir.path());
  EXPECT_EQ(ws.ComboBox2.selectedIndex(), 0);

  ui.confirmAnswers.push_back(true);
  ws.ComboBox2Select(1);
  EXPECT_EQ(ws.CheckListBox1.text(1), other / "o.txt");
  EXPECT_EQ(ws.ComboBox2.item(0), other.path());
  EXPECT_TRUE(ui.unexpected.empty());
}

TEST_F(TargetListTest, ABuildWithoutAnExistingFolderRefusesAndKeepsTheLists) {
  ws.CheckListBox1.add("kept");
  ws.CheckListBox3.add("results");
  EXPECT_FALSE(ws.BuildTargetList());  // nothing selected at start
  EXPECT_EQ(ui.texts("message").back(), cp932Of("フォルダが選択されていません！"));
  ws.ComboBox2.setSelectedIndex(0);  // "新規フォルダ" names no folder
  EXPECT_FALSE(ws.BuildTargetList());
  EXPECT_EQ(ui.count("message"), 2);
  EXPECT_EQ(ws.CheckListBox1.count(), 1);
  EXPECT_EQ(ws.CheckListBox3.count(), 1);
}

TEST_F(TargetListTest, NamesWithNoShiftJisFormAreCountedInTheStatus) {
  dir.write("a.txt", "");
  dir.write("\xF0\x9F\x98\x80.txt", "");
  choose(dir.path());
  EXPECT_EQ(ws.CheckedFileCount, 1);
  EXPECT_EQ(ws.statusText(), "1" + cp932Of("個のファイルが対象です") + cp932Of("（Shift-JISで表せない名前") + "1" +
                                 cp932Of("個は対象外）"));
}

TEST_F(TargetListTest, OnlyWantedFilesCountAsLeftOutAndAFolderLeftOutIsNamedAsAFolder) {
  const std::string targeted = "1" + cp932Of("個のファイルが対象です");
  dir.write("a.txt", "");
  dir.write("\xF0\x9F\x98\x80.txt", "");    // wanted, but has no Shift-JIS name
  dir.write("\xF0\x9F\x98\x80.png", "");    // not wanted in any case
  dir.write("\xF0\x9F\x98\x80", "");        // no extension: not wanted either
  dir.write("\xF0\x9F\x98\x81/b.txt", "");  // a folder left out, and its file with it
  choose(dir.path());
  EXPECT_EQ(ws.CheckedFileCount, 1);
  EXPECT_EQ(ws.statusText(), targeted + cp932Of("（Shift-JISで表せない名前1個、フォルダ1個（中身ごと）は対象外）"));

  ws.settings.Subfolders = false;  // the folder's contents would not be targets anyway
  ws.ComboBox2KeyPress(13);
  EXPECT_EQ(ws.statusText(), targeted + cp932Of("（Shift-JISで表せない名前1個は対象外）"));

  std::filesystem::remove(dir / "\xF0\x9F\x98\x80.txt");
  ws.ComboBox2KeyPress(13);
  EXPECT_EQ(ws.statusText(), targeted);
  ws.settings.Subfolders = true;
  ws.ComboBox2KeyPress(13);
  EXPECT_EQ(ws.statusText(), targeted + cp932Of("（Shift-JISで表せない名前のフォルダ1個（中身ごと）は対象外）"));
}

TEST_F(TargetListTest, AFolderLinkThatLoopsIsListedOnce) {
  dir.write("a/x.txt", "");
  std::filesystem::create_directory_symlink(dir.path(), dir / "a/back");
  choose(dir.path());
  EXPECT_EQ(ws.CheckedFileCount, 1);
}

TEST_F(TargetListTest, UnreadableFoldersAreReportedAfterTheBuild) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every folder";
  dir.write("a.txt", "");
  dir.write("locked/b.txt", "");
  std::filesystem::permissions(dir / "locked", std::filesystem::perms::none);
  choose(dir.path());
  EXPECT_EQ(ws.CheckedFileCount, 1);
  ASSERT_EQ(ui.count("message"), 1);
  EXPECT_NE(ui.texts("message")[0].find("locked"), std::string::npos);
}

TEST_F(TargetListTest, CheckCommandsAndTheRecount) {
  dir.write("a/1.txt", "");
  dir.write("a/2.txt", "");
  dir.write("b/3.txt", "");
  choose(dir.path());  // 0 header a, 1, 2, 3 header b, 4
  ws.CheckListBox1.setSelectedIndex(0);
  ws.CheckOFFFile2Click();  // CheckOFF(フォルダ全体): rows up to the next header
  EXPECT_FALSE(ws.CheckListBox1.isChecked(1));
  EXPECT_FALSE(ws.CheckListBox1.isChecked(2));
  EXPECT_TRUE(ws.CheckListBox1.isChecked(4));
  EXPECT_EQ(ws.CheckedFileCount, 3);  // the pop-up commands do not recount

  ws.CheckListBox1.setSelectedIndex(3);  // the last folder: stops at the end of the list
  ws.CheckOFFFile2Click();
  EXPECT_FALSE(ws.CheckListBox1.isChecked(4));
  ws.CheckListBox1.setSelectedIndex(4);  // the last row: nothing
  ws.CheckOFFFolder1Click();
  EXPECT_FALSE(ws.CheckListBox1.isChecked(4));

  ws.ON1Click();
  EXPECT_EQ(ws.CheckListBox1.checkedNonHeaderCount(), 3);
  ws.Folder1Click();
  EXPECT_EQ(ws.CheckListBox1.checkedNonHeaderCount(), 0);
  ws.CheckListBox1.setChecked(2, true);
  ws.CheckListBox1ClickCheck();
  EXPECT_EQ(ws.CheckedFileCount, 1);
}

TEST_F(TargetListTest, PopupStatesFollowTheSelectedRow) {
  dir.write("a.txt", "");
  choose(dir.path());
  const auto states = [&] {
    return std::vector<bool>{ws.stateOf("CheckOFFFolder1").enabled, ws.stateOf("CheckOFFFile2").enabled,
                             ws.stateOf("N13").enabled, ws.stateOf("ON1").enabled, ws.stateOf("Folder1").enabled};
  };
  ws.CheckListBox1.setSelectedIndex(0);
  ws.PopupMenu2Popup();
  EXPECT_EQ(states(), (std::vector<bool>{true, true, false, true, true}));
  ws.CheckListBox1.setSelectedIndex(1);
  ws.PopupMenu2Popup();
  EXPECT_EQ(states(), (std::vector<bool>{false, false, true, true, true}));
  ws.CheckListBox1.setSelectedIndex(-1);
  ws.PopupMenu2Popup();
  EXPECT_EQ(states(), (std::vector<bool>{false, false, true, true, true}));
}

}  // namespace
}  // namespace kelvane
