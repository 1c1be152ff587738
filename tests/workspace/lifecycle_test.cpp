// The main window's creation and close on a real start-up folder: settings, histories, display
// settings and window size in, histories and size out, the temporary folder emptied; the timers.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/files.h"
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

TEST_F(LifecycleTest, CloseEmptiesAndRemovesTheTemporaryFolderDeepestFirst) {
  ws.FormCreate();
  dir.write("Temp/a.txt", "1");
  dir.write("Temp/sub/b.txt", "2");
  dir.write("Temp/sub/deeper/c.txt", "3");
  ws.FormClose(680, 480);
  EXPECT_FALSE(std::filesystem::exists(dir / "Temp"));
  EXPECT_TRUE(ws.CheckListBoxUNDO.empty());
  EXPECT_EQ(ws.statusText(), (dir / "Temp") + cp932Of("を削除中"));  // "Temp" itself goes last
}

TEST_F(LifecycleTest, WhatCannotBeRemovedStaysAndEachFailureIsShown) {
  ws.FormCreate();
  dir.write("Temp/a.txt", "1");
  dir.write("Temp/sub/b.txt", "2");
  // A read-only file cannot be deleted; a named pipe is no file the cleanup deletes. Either keeps its
  // folder and every folder above it.
  dir.write("Temp/sub/ro/c.txt", "3");
  std::filesystem::permissions(dir / "Temp/sub/ro/c.txt", std::filesystem::perms::owner_read);
  ASSERT_EQ(mkfifo((dir / "Temp/sub/pipe").c_str(), 0600), 0);
  std::vector<std::string> statuses;
  {
    StatusRecorder recorder(ws);
    ws.FormClose(680, 480);
    statuses = recorder.texts();
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "Temp/a.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir / "Temp/sub/b.txt"));
  EXPECT_TRUE(std::filesystem::exists(dir / "Temp/sub/pipe"));
  EXPECT_TRUE(std::filesystem::exists(dir / "Temp/sub/ro/c.txt"));
  const std::string failed = cp932Of("の削除に失敗しました。");
  EXPECT_EQ(std::count(statuses.begin(), statuses.end(), (dir / "Temp/sub/ro/c.txt") + failed), 1);
  const std::vector<std::string> tail(statuses.end() - 3, statuses.end());
  EXPECT_EQ(tail, (std::vector<std::string>{(dir / "Temp/sub/ro") + failed, (dir / "Temp/sub") + failed,
                                            (dir / "Temp") + failed}));
  EXPECT_EQ(std::count(statuses.begin(), statuses.end(), (dir / "Temp/a.txt") + cp932Of("を削除中")), 1);
}

TEST_F(LifecycleTest, TheCleanupDoesNotFollowALinkOutOfTheTemporaryFolder) {
  TempDir outside;
  outside.write("precious.txt", "keep me");
  ws.FormCreate();
  dir.mkdir("Temp");
  std::filesystem::create_directory_symlink(outside.path(), dir / "Temp/link");
  ws.FormClose(680, 480);
  EXPECT_EQ(testing::slurp(outside / "precious.txt"), "keep me");
  EXPECT_FALSE(std::filesystem::exists(dir / "Temp"));
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
