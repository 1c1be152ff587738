// The main window's creation and close on a real start-up folder: settings, histories, display
// settings and window size in, histories and size out, the temporary folder emptied; the timers.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "platform/files.h"
#include "platform/line_list.h"
#include "platform/profile.h"
#include "tests/testing/scripted_ui.h"
#include "tests/testing/temp_dir.h"
#include "workspace/workspace.h"

namespace kelvane {
namespace {

using testing::cp932Of;
using testing::StatusRecorder;
using testing::TempDir;

// Runs the test in a fresh current folder, which becomes the start-up folder.
class LifecycleTest : public ::testing::Test {
 protected:
  LifecycleTest() : previous_(std::filesystem::current_path()) { std::filesystem::current_path(dir.path()); }
  ~LifecycleTest() override { std::filesystem::current_path(previous_); }

  Profile ini() const { return Profile(dir / "Kelvane.ini"); }
  std::string main(const char* key) const { return ini().readString("Main", cp932Of(key), "<none>"); }

  TempDir dir;
  testing::ScriptedUi ui;
  Workspace ws{ui};

 private:
  std::filesystem::path previous_;
};

TEST_F(LifecycleTest, FirstStartGivesTheDefaultsAndTheFirstCloseWritesSizeAndFolderEntry) {
  ws.FormCreate();
  EXPECT_EQ(ws.StartupFolder(), dir.path());
  EXPECT_EQ(ws.ExtensionList, ".txt");
  EXPECT_TRUE(ws.settings.Subfolders);
  EXPECT_EQ(ws.ComboBox1.count(), 0);
  EXPECT_EQ(ws.ComboBox2.items(), std::vector<std::string>{cp932Of("新規フォルダ")});
  EXPECT_EQ(ws.ComboBox2.selectedIndex(), -1);
  EXPECT_EQ(ws.activeTab(), kTabTarget);
  EXPECT_EQ(ws.ProcessingMode, pmSearch);
  EXPECT_TRUE(ws.stateOf("GREP1").checked);
  EXPECT_EQ(ws.windowWidth(), 680);
  EXPECT_EQ(ws.windowHeight(), 480);
  EXPECT_EQ(ui.lists[1].headerBack, 0x008080u);  // olive headers
  EXPECT_EQ(ui.lists[3].fontSize, 12);
  EXPECT_EQ(ws.settings.SearchTextColor, 0x0000FFu);
  EXPECT_FALSE(std::filesystem::exists(dir / "Kelvane.ini"));  // nothing is written at start

  ws.FormClose(680, 480);
  EXPECT_EQ(main("ウインドウの幅"), "680");
  EXPECT_EQ(main("ウインドウの高さ"), "480");
  EXPECT_EQ(main("フォルダ"), "\"" + cp932Of("新規フォルダ") + "\",");
  EXPECT_EQ(main("検索文字"), "<none>");
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(LifecycleTest, SettingsHistoriesAndSizeComeBackOnTheNextStart) {
  dir.mkdir("kept");
  {
    Profile p = ini();
    p.writeString("Main", cp932Of("検索文字"), "\"b\",\"a\",");
    p.writeString("Main", cp932Of("フォルダ"),
                  "\"" + cp932Of("新規フォルダ") + "\",\"" + (dir / "gone") + "\",\"" + (dir / "kept") + "\",");
    p.writeString("Main", cp932Of("ウインドウの幅"), "0x3E8");
    p.writeString(cp932Of("拡張子"), cp932Of("CSVファイル"), "1");
    p.writeString(cp932Of("表示"), cp932Of("TAB１検索文字色"), "$00FF0000");
  }
  ws.FormCreate();
  EXPECT_EQ(ws.ComboBox1.items(), (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(ws.ComboBox2.items(), (std::vector<std::string>{cp932Of("新規フォルダ"), dir / "kept"}));
  EXPECT_EQ(ws.windowWidth(), 1000);
  EXPECT_EQ(ws.ExtensionList, ".txt,.csv");
  EXPECT_EQ(ws.settings.SearchTextColor, 0xFF0000u);  // clBlue, kept by the workspace for highlighting
  EXPECT_EQ(ui.searchColor, 0xFF0000u);

  ws.ComboBox1.pushFront("c");
  ws.FormClose(700, 500);
  EXPECT_EQ(main("検索文字"), "\"c\",\"b\",\"a\",");
  EXPECT_EQ(main("ウインドウの幅"), "700");
}

TEST_F(LifecycleTest, ABadColourIsShownAndLeavesTheRestAndTheSizeAtTheirDesignValues) {
  {
    Profile p = ini();
    p.writeString(cp932Of("表示"), cp932Of("TAB２背景色"), "notacolour");
    p.writeString("Main", cp932Of("ウインドウの幅"), "900");
  }
  ws.FormCreate();
  ASSERT_EQ(ui.count("error"), 1);
  EXPECT_NE(ui.texts("error")[0].find("notacolour"), std::string::npos);
  // the join list takes its two header colours, read before the bad key; nothing after it is applied
  EXPECT_EQ(ui.displayCalls, (std::vector<std::string>{"list1", "search", "replace", "list2"}));
  EXPECT_EQ(ws.windowWidth(), 680);
  EXPECT_EQ(ws.activeTab(), kTabTarget);
}

// Copies as the overwrite and the saves make them, of files outside the start-up folder.
class CloseTest : public LifecycleTest {
 protected:
  CloseTest() { ws.FormCreate(); }
  std::string copyOf(const std::string& name, const char* bytes, mode_t mode = 0644) {
    const std::string file = data.write(name, bytes);
    chmod(file.c_str(), mode);
    const std::string copy = files::tempCopyPath(ws.tempFolder(), file);
    files::makeCopy(file, copy);
    return copy;
  }
  std::vector<std::string> close() {
    StatusRecorder recorder(ws);
    ws.FormClose(680, 480);
    return recorder.texts();
  }
  std::size_t count(const std::vector<std::string>& texts, const std::string& text) const {
    return static_cast<std::size_t>(std::count(texts.begin(), texts.end(), text));
  }
  TempDir data;
  const std::string temp = dir / "Temp";
  const std::string deleting = cp932Of("を削除中");
  const std::string failed = cp932Of("の削除に失敗しました。");
};

TEST_F(CloseTest, RemovesThisRunsCopiesReadOnlyOnesIncludedAndItsFoldersDeepestFirst) {
  ASSERT_TRUE(files::createFolder(temp));  // as the overwrite makes it
  const std::string a = copyOf("a.txt", "1");
  const std::string ro = copyOf("sub/deeper/ro.txt", "3", 0444);
  const std::vector<std::string> statuses = close();
  EXPECT_FALSE(std::filesystem::exists(temp));
  EXPECT_TRUE(ws.CheckListBoxUNDO.empty());
  EXPECT_EQ(count(statuses, a + deleting), 1u);
  EXPECT_EQ(count(statuses, ro + deleting), 1u);  // a read-only copy is ours to remove
  EXPECT_EQ(ws.statusText(), temp + deleting);     // "Temp" itself goes last
  for (const std::string& s : statuses) EXPECT_EQ(s.find(failed), std::string::npos) << s;
  EXPECT_EQ(testing::slurp(data / "a.txt"), "1");  // the originals are untouched
}

TEST_F(CloseTest, ATempThatWasThereKeepsTheUsersFilesAndOnlyOurFolderThatHoldsOneIsReported) {
  dir.write("Temp/notes.txt", "the user's");
  dir.write("Temp/sub/ro.txt", "read-only, the user's");
  std::filesystem::permissions(dir / "Temp/sub/ro.txt", std::filesystem::perms::owner_read);
  ASSERT_EQ(mkfifo((dir / "Temp/sub/pipe").c_str(), 0600), 0);
  const std::string copy = copyOf("x.txt", "x", 0444);
  const std::string ours = files::folderPart(copy);
  dir.write(ours.substr(dir.path().size() + 1) + "/dropped.txt", "put in later by the user");
  const std::vector<std::string> statuses = close();
  EXPECT_FALSE(std::filesystem::exists(copy));
  EXPECT_EQ(testing::slurp(dir / "Temp/notes.txt"), "the user's");
  EXPECT_EQ(testing::slurp(dir / "Temp/sub/ro.txt"), "read-only, the user's");
  EXPECT_TRUE(std::filesystem::exists(dir / "Temp/sub/pipe"));
  EXPECT_TRUE(std::filesystem::exists(ours + "/dropped.txt"));
  EXPECT_EQ(count(statuses, copy + deleting), 1u);
  EXPECT_EQ(count(statuses, ours + failed), 1u);
  EXPECT_EQ(count(statuses, temp + failed) + count(statuses, temp + deleting), 0u);  // not ours
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(CloseTest, ALinkInsideTempIsNotFollowedNorRemoved) {
  TempDir outside;
  outside.write("precious.txt", "keep me");
  dir.mkdir("Temp");
  std::filesystem::create_directory_symlink(outside.path(), dir / "Temp/link");
  copyOf("y.txt", "y");
  close();
  EXPECT_EQ(testing::slurp(outside / "precious.txt"), "keep me");
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "Temp/link"));
}

TEST_F(CloseTest, ATempThatIsALinkOrNoFolderIsLeftAloneWithAMessage) {
  TempDir outside;
  outside.write("precious.txt", "keep me");
  outside.write("sub/more.txt", "and me");
  std::filesystem::create_directory_symlink(outside.path(), temp);
  EXPECT_THROW(copyOf("z.txt", "z"), files::FileError);  // no copy is written through it either
  close();
  EXPECT_EQ(testing::slurp(outside / "precious.txt"), "keep me");
  EXPECT_EQ(testing::slurp(outside / "sub/more.txt"), "and me");
  EXPECT_TRUE(std::filesystem::is_symlink(temp));
  ASSERT_EQ(ui.texts("message").size(), 1u);
  EXPECT_EQ(ui.texts("message")[0].find(temp), 0u);

  std::filesystem::remove(temp);
  dir.write("Temp", "a file called Temp");
  close();
  EXPECT_EQ(testing::slurp(temp), "a file called Temp");
  ASSERT_EQ(ui.texts("message").size(), 2u);
  EXPECT_EQ(ui.texts("message")[1].find(temp), 0u);
}

TEST_F(LifecycleTest, WithoutATemporaryFolderTheCloseShowsNothing) {
  ws.FormCreate();
  ws.FormClose(680, 480);
  EXPECT_EQ(ws.statusText(), "");
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(LifecycleTest, ASettingsFileThatCannotBeWrittenStopsTheCloseWithAnError) {
  ws.FormCreate();
  dir.mkdir("Kelvane.ini");  // a folder where the file should be
  dir.write("Temp/copy.txt", "copy");
  ws.FormClose(680, 480);
  EXPECT_EQ(ui.count("error"), 1);
  EXPECT_TRUE(std::filesystem::exists(dir / "Temp/copy.txt"));
}

TEST_F(LifecycleTest, TimersClearTheStatusAndScrollTheJoinList) {
  ws.showTransientStatus("done");
  EXPECT_TRUE(ws.timer1Enabled());
  ws.Timer1Timer();
  EXPECT_FALSE(ws.timer1Enabled());
  EXPECT_EQ(ws.statusText(), "");

  for (int i = 0; i < 5; ++i) ws.CheckListBox2.add("row");
  ws.Timer2Timer(300);  // no drag recorded: nothing
  EXPECT_EQ(ws.CheckListBox2.topIndex(), 0);
  ws.recordDragOver(100);
  EXPECT_TRUE(ws.timer2Enabled());
  ws.Timer2Timer(150);
  ws.Timer2Timer(150);
  EXPECT_EQ(ws.CheckListBox2.topIndex(), 2);
  ws.Timer2Timer(100);
  EXPECT_EQ(ws.CheckListBox2.topIndex(), 2);
  ws.Timer2Timer(50);
  EXPECT_EQ(ws.CheckListBox2.topIndex(), 1);
  ws.Timer2Timer(std::nullopt);
  EXPECT_EQ(ws.CheckListBox2.topIndex(), 1);
  ws.endDrag();
  EXPECT_FALSE(ws.timer2Enabled());
}

TEST_F(LifecycleTest, HelpOpensTheStartupFoldersGuideAndSaysSoWhenNothingCanOpenIt) {
  ws.FormCreate();
  ws.Help2Click();
  EXPECT_EQ(ui.texts("document"), std::vector<std::string>{dir / "kelvane.html"});
  ui.processStarts = false;
  ws.Help2Click();
  EXPECT_EQ(ui.count("error"), 1);
}

TEST_F(LifecycleTest, HelpFallsBackToTheInstalledGuideOnlyWhenTheStartupFolderHasNone) {
  TempDir share;
  const std::string installed = share / "kelvane.html";
  ws.setInstalledHelp(installed);
  ws.FormCreate();
  ws.Help2Click();  // neither guide there: the start-up folder's path, for the desktop to report
  files::writeFile(installed, "<html></html>");
  ws.Help2Click();
  files::writeFile(dir / "kelvane.html", "<html></html>");
  ws.Help2Click();
  EXPECT_EQ(ui.texts("document"), (std::vector<std::string>{dir / "kelvane.html", installed, dir / "kelvane.html"}));
}

}  // namespace
}  // namespace kelvane
