// The search run on real files: rows of both engines, the triggers and their guards, the history,
// the failure paths and stopping a run.
#include <gtest/gtest.h>

#include <filesystem>

#include "pattern/plain_text.h"
#include "tests/testing/scripted_ui.h"
#include "tests/testing/temp_dir.h"
#include "workspace/workspace.h"

namespace kelvane {
namespace {

using testing::cp932Of;
using testing::StatusRecorder;
using testing::TempDir;

std::string resultHeader(const std::string& path) { return "\"" + path + "\"" + cp932Of(",の検索結果"); }
std::string patternRow(int line, const std::string& text) {
  return cp932Of("【") + std::to_string(line) + cp932Of("列目】") + "\r\n" + text;
}
std::string plainRow(int line, const std::string& text) {
  return cp932Of("【") + std::to_string(line) + cp932Of("列目】") + text;
}

class SearchRunTest : public ::testing::Test {
 protected:
  SearchRunTest() {
    dir.write("a.txt", "foo\r\nbar foo foo\r\nABC\r\n");
    dir.write("b.txt", "nothing here\r\n");
    dir.write("c.txt", "xfoo");
    ws.ExtensionList = ".txt";
    ws.EnterSearchMode();
    ui.folderAnswers.push_back(dir.path());
    ws.ToolButton2Click();
  }
  void search(const std::string& pattern) {
    ws.ComboBox1.setEditText(pattern);
    ws.ToolButton1Click();
  }
  std::vector<std::string> resultTexts() const {
    std::vector<std::string> out;
    for (const CheckRow& r : ws.CheckListBox3.rows()) out.push_back(r.text);
    return out;
  }

  TempDir dir;
  testing::ScriptedUi ui;
  Workspace ws{ui};
};

TEST_F(SearchRunTest, PatternModeListsEachMatchingLineOnceUnderItsFile) {
  search("fo+");
  EXPECT_EQ(resultTexts(),
            (std::vector<std::string>{resultHeader(dir / "a.txt"), patternRow(1, "foo"), patternRow(2, "bar foo foo"),
                                      resultHeader(dir / "c.txt"), patternRow(1, "xfoo")}));
  EXPECT_TRUE(ws.CheckListBox3.isHeader(0));
  EXPECT_TRUE(ws.CheckListBox3.isChecked(1));
  EXPECT_EQ(ws.CheckListBox3.selectedIndex(), 0);
  EXPECT_EQ(ws.LastSearchText, "fo+");
  EXPECT_EQ(ws.statusText(), cp932Of("検索終了"));
  EXPECT_EQ(ws.activeTab(), kTabResult);
  EXPECT_TRUE(ws.timer1Enabled());
  EXPECT_GT(ws.CheckListBox3.horizontalExtent(), ui.rowPixels);
  EXPECT_EQ(ui.count("message") + ui.count("error"), 0);
  // The rows are held once: the hidden list keeps no second copy of them.
  EXPECT_TRUE(ws.CheckListBoxUNDO.empty());
}

TEST_F(SearchRunTest, PlainModeHasNoLineBreakInItsRowsAndHonoursTheCaseOption) {
  ws.settings.UseRegExp = false;
  search("abc");
  EXPECT_TRUE(ws.CheckListBox3.empty());
  EXPECT_EQ(ui.texts("message"), std::vector<std::string>{"\"abc\"" + cp932Of("は見つかりませんでした。")});
  ws.settings.CaseSensitive = false;
  search("abc");
  EXPECT_EQ(resultTexts(), (std::vector<std::string>{resultHeader(dir / "a.txt"), plainRow(3, "ABC")}));
}

// The run tests each line itself (the pattern upper-cased once, not per line); it must list exactly
// the lines PlainLineMatch accepts. The traps: a trail byte that is an ASCII letter (ア = 0x83 0x41)
// or a backslash (表 = 0x95 0x5C), full-width small letters that the upper-casing changes, and lines
// cut at a lone CR or LF.
TEST_F(SearchRunTest, PlainModeListsExactlyTheLinesThatPlainLineMatchAccepts) {
  ws.settings.UseRegExp = false;
  const std::string text = cp932Of("ア\r\nアa\r\nxA\r表\nｆｏｏ表\\\r\nＦＯＯ\r\nabcＡ\r\n");
  dir.write("d.txt", text);
  ws.ComboBox2KeyPress(13);
  const std::vector<std::string> lines = loadLines(dir / "d.txt");
  for (const bool caseSensitive : {true, false}) {
    ws.settings.CaseSensitive = caseSensitive;
    for (const char* pattern : {"a", "A", "\\", "ｆｏｏ", "ＦＯＯ", "cａ", "表\\"}) {
      std::vector<std::string> expected;
      for (std::size_t k = 0; k < lines.size(); ++k) {
        if (PlainLineMatch(lines[k], cp932Of(pattern), caseSensitive)) {
          expected.push_back(plainRow(static_cast<int>(k + 1), lines[k]));
        }
      }
      search(cp932Of(pattern));
      std::vector<std::string> rows = resultTexts();
      const auto d = std::find(rows.begin(), rows.end(), resultHeader(dir / "d.txt"));
      const std::vector<std::string> found =
          d == rows.end() ? std::vector<std::string>{} : std::vector<std::string>(d + 1, rows.end());
      EXPECT_EQ(found, expected) << pattern << " case-sensitive " << caseSensitive;
    }
  }
}

TEST_F(SearchRunTest, PatternModeIgnoresTheCaseOption) {
  ws.settings.CaseSensitive = false;
  search("abc");
  EXPECT_TRUE(ws.CheckListBox3.empty());
}

TEST_F(SearchRunTest, PlainModeCutsLinesAtEveryLineEndAndStopsAtANul) {
  ws.settings.UseRegExp = false;
  dir.write("d.txt", std::string("one\rfoo\ntwo\r\nfoo\0foo\r\n", 23));
  ws.ComboBox2KeyPress(13);  // rebuild with the new file
  search("foo");
  const std::vector<std::string> rows = resultTexts();
  const auto d = std::find(rows.begin(), rows.end(), resultHeader(dir / "d.txt"));
  ASSERT_NE(d, rows.end());
  EXPECT_EQ(std::vector<std::string>(d + 1, rows.end()),
            (std::vector<std::string>{plainRow(2, "foo"), plainRow(4, "foo")}));
}

TEST_F(SearchRunTest, SearchingTwiceKeepsOneHistoryEntryAtTheTop) {
  ws.ComboBox1.setItems({"older"});
  search("foo");
  search("older");
  search("foo");
  EXPECT_EQ(ws.ComboBox1.items(), (std::vector<std::string>{"foo", "older"}));
}

TEST_F(SearchRunTest, AnEmptyPatternAsksAndCancelLeavesTheResultsEmptyWithoutAMessage) {
  search("foo");
  ui.shown.clear();
  ui.inputAnswers.push_back(std::nullopt);
  search("");
  EXPECT_EQ(ui.texts("input"), std::vector<std::string>{cp932Of("検索文字入力") + "|" +
                                                        cp932Of("検索する文字列を入力してください。") + "|"});
  EXPECT_TRUE(ws.CheckListBox3.empty());
  EXPECT_EQ(ui.count("message"), 0);

  ui.inputAnswers.push_back(std::string("xfoo"));
  search("");
  EXPECT_EQ(ws.ComboBox1.item(0), "xfoo");
  EXPECT_EQ(ws.CheckListBox3.count(), 2);
}

TEST_F(SearchRunTest, GuardsOfTheTriggers) {
  ws.Folder1Click();  // every file unchecked, the count unchanged: a run that finds nothing
  search("foo");
  EXPECT_EQ(ui.count("message"), 1);
  ws.CheckListBox1ClickCheck();  // recount: zero
  ws.ComboBox1.setEditText("bar");
  ws.ComboBox1KeyPress(13);
  EXPECT_EQ(ws.statusText(), cp932Of("選択されたファイルがありません！"));
  EXPECT_EQ(ws.ComboBox1.item(0), "bar");  // the Enter key pushes before it looks
  EXPECT_EQ(ui.count("message"), 1);

  ws.CheckListBox1.clear();
  ws.Find1Click();
  EXPECT_EQ(ws.statusText(), cp932Of("選択されたファイルがありません！"));
  ws.ComboBox1KeyPress('a');
  EXPECT_EQ(ui.count("message"), 1);
}

TEST_F(SearchRunTest, ChoosingAHistoryEntryRunsAtOnceWhileTheFolderBoxShowsAFolder) {
  ws.ComboBox1.setItems({"bar", "xfoo"});
  ws.ComboBox1Select(1);
  EXPECT_EQ(ws.ComboBox1.items(), (std::vector<std::string>{"xfoo", "bar"}));
  EXPECT_EQ(ws.LastSearchText, "xfoo");
  EXPECT_EQ(ws.CheckListBox3.count(), 2);

  // The folder box's entries replaced (as the history cleanup does): it shows no folder any more,
  // so choosing a search text only moves it to the top.
  ws.ComboBox2.setItems({cp932Of("新規フォルダ"), dir.path()});
  ws.ComboBox1Select(1);
  EXPECT_EQ(ws.ComboBox1.items(), (std::vector<std::string>{"bar", "xfoo"}));
  EXPECT_EQ(ws.LastSearchText, "xfoo");
}

TEST_F(SearchRunTest, TheRunRemembersTheTextItSearchedForNotWhatWasTypedMeanwhile) {
  ui.onPump = [&] { ws.ComboBox1.setEditText("typed"); };
  search("fo+");
  EXPECT_EQ(ws.LastSearchText, "fo+");
  const auto highlight = ws.ResultHighlight(1);
  ASSERT_TRUE(highlight);
  EXPECT_EQ(highlight->length, 3);

  ws.settings.UseRegExp = false;
  search("zzz");
  ui.onPump = nullptr;
  EXPECT_EQ(ws.LastSearchText, "zzz");
  EXPECT_EQ(ui.texts("message"), std::vector<std::string>{"\"zzz\"" + cp932Of("は見つかりませんでした。")});
}

// The window's searcher is used again and again: switching the fuzzy option between runs gives each
// run its own compile, in the right form, and never a stale one.
TEST_F(SearchRunTest, TheFuzzyOptionTakesEffectOnTheNextRunAndCanBeSwitchedBack) {
  dir.write("k.txt", cp932Of("ア\r\nｱ\r\nイ\r\n"));
  ws.ComboBox2KeyPress(13);
  const std::string pattern = cp932Of("ｱ");
  search(pattern);
  EXPECT_EQ(resultTexts(), (std::vector<std::string>{resultHeader(dir / "k.txt"), patternRow(2, pattern)}));
  ws.settings.FuzzyDic = true;
  search(pattern);
  EXPECT_EQ(resultTexts(), (std::vector<std::string>{resultHeader(dir / "k.txt"), patternRow(1, cp932Of("ア")),
                                                     patternRow(2, pattern)}));
  ws.settings.FuzzyDic = false;
  search(cp932Of("イ"));
  EXPECT_EQ(ws.CheckListBox3.count(), 2);
  search(pattern);
  EXPECT_EQ(ws.CheckListBox3.count(), 2);
}

// A run keeps the options it started with: rows of one run never mix the two engines' forms, and a
// pattern is never searched as plain text because a setting changed under the run.
TEST_F(SearchRunTest, SettingsChangedWhileARunGoesOnApplyToTheNextRun) {
  ui.onPump = [&] { ws.settings.UseRegExp = false; };
  search("fo+");
  ui.onPump = nullptr;
  EXPECT_EQ(resultTexts(),
            (std::vector<std::string>{resultHeader(dir / "a.txt"), patternRow(1, "foo"), patternRow(2, "bar foo foo"),
                                      resultHeader(dir / "c.txt"), patternRow(1, "xfoo")}));
  search("foo");
  EXPECT_EQ(ws.CheckListBox3.text(1), plainRow(1, "foo"));
}

TEST_F(SearchRunTest, AnEmptiedTargetListIsRebuiltFromTheSelectedFolder) {
  ws.CheckListBox1.clear();  // as the options dialog leaves it
  ws.ComboBox1.setEditText("xfoo");
  ws.ComboBox1KeyPress(13);
  EXPECT_FALSE(ws.CheckListBox1.empty());
  EXPECT_EQ(ws.CheckListBox3.count(), 2);
}

TEST_F(SearchRunTest, ARefusedRebuildSaysWhyAndThatThereIsNothingToSearch) {
  const std::string noTargets = cp932Of("検索対象のファイルがありません！");
  ws.ComboBox1.setEditText("xfoo");
  ws.CheckListBox1.clear();
  ws.ComboBox2.setItems({cp932Of("新規フォルダ"), dir.path()});  // nothing selected any more
  ws.ToolButton1Click();  // still counts the files of the old list
  EXPECT_EQ(ui.texts("message"), (std::vector<std::string>{cp932Of("フォルダが選択されていません！"), noTargets}));

  ui.shown.clear();
  const std::string gone = dir / "gone";
  ws.ComboBox2.setItems({gone});
  ws.ComboBox2.setSelectedIndex(0);
  ws.ToolButton1Click();
  ASSERT_EQ(ui.count("message"), 2);
  EXPECT_NE(ui.texts("message")[0].find(gone), std::string::npos);
  EXPECT_EQ(ui.texts("message")[1], noTargets);
  EXPECT_TRUE(ws.CheckListBox3.empty());
}

TEST_F(SearchRunTest, ALineOfMegabytesKeepsItsWholeTextAndIsColouredNearItsStartOnly) {
  const std::string filler(1 << 20, 'x');
  dir.write("long.txt", "ab foo " + filler + " bar\r\n");
  ws.ComboBox2KeyPress(13);
  search("foo|bar");
  const std::string row = patternRow(1, "ab foo " + filler + " bar");
  const auto rows = resultTexts();
  ASSERT_NE(std::find(rows.begin(), rows.end(), row), rows.end()) << "the replace needs the whole line";
  const int index = static_cast<int>(std::find(rows.begin(), rows.end(), row) - rows.begin());
  const auto near = ws.ResultHighlight(index);
  ASSERT_TRUE(near);
  EXPECT_EQ(near->position, static_cast<int>(row.find("foo")) + 1);
  // Far along the line there is nothing a list draws: the colour is not looked for there.
  search("bar");
  const auto far = ws.ResultHighlight(ws.CheckListBox3.count() - 1);
  EXPECT_FALSE(far);
}

TEST_F(SearchRunTest, AVanishedFileIsSkippedSilently) {
  std::filesystem::remove(dir / "a.txt");
  std::filesystem::remove(dir / "c.txt");
  search("foo");
  EXPECT_TRUE(ws.CheckListBox3.empty());
  EXPECT_EQ(ui.texts("message"), std::vector<std::string>{"\"foo\"" + cp932Of("は見つかりませんでした。")});
  EXPECT_EQ(ui.count("error"), 0);
}

TEST_F(SearchRunTest, AnUnreadableFileIsSkippedAndListedAfterTheOthersAreShown) {
  // A link listed as a target file: it exists, but reading what it names fails.
  std::filesystem::create_symlink("/proc/self/mem", dir / "0mem.txt");
  ui.folderAnswers.push_back(dir.path());
  ws.ToolButton2Click();
  ASSERT_EQ(ws.TargetPath(1), dir / "0mem.txt");
  for (const bool regexp : {true, false}) {
    ws.settings.UseRegExp = regexp;
    search("foo");
    EXPECT_EQ(ws.CheckListBox3.count(), 5) << regexp;
    ASSERT_EQ(ui.count("error"), 1) << regexp;
    EXPECT_NE(ui.texts("error")[0].find(dir / "0mem.txt"), std::string::npos);
    EXPECT_EQ(ws.statusText(), cp932Of("検索終了"));
    ui.shown.clear();
  }
}

TEST_F(SearchRunTest, APatternThatDoesNotCompileEndsTheRunWithItsMessage) {
  search("foo");
  search("(foo");
  EXPECT_EQ(ui.count("error"), 1);
  EXPECT_TRUE(ws.CheckListBox3.empty());
  EXPECT_NE(ws.statusText(), cp932Of("検索終了"));
  EXPECT_EQ(ws.LastSearchText, "foo");
  EXPECT_FALSE(ws.SearchRunning());
}

TEST_F(SearchRunTest, DocFilesAreAnnouncedNotSearchedInPatternModeOnly) {
  dir.write("e.doc", "foo\r\n");
  ws.ExtensionList = ".txt,.doc";
  ws.ComboBox2KeyPress(13);
  search("xfoo|^foo");
  EXPECT_EQ(ui.texts("message"), std::vector<std::string>{"doc"});
  EXPECT_EQ(ws.CheckListBox3.count(), 4);  // a.txt and c.txt only
  ws.settings.UseRegExp = false;
  search("foo");
  EXPECT_NE(std::find(resultTexts().begin(), resultTexts().end(), resultHeader(dir / "e.doc")), resultTexts().end());
}

TEST_F(SearchRunTest, ProgressRunsFromTenEmptyToTenFullMarks) {
  std::vector<std::string> statuses;
  {
    StatusRecorder recorder(ws);
    search("foo");
    statuses = recorder.texts();
  }
  const auto has = [&](const char* t) {
    return std::find(statuses.begin(), statuses.end(), cp932Of(t)) != statuses.end();
  };
  EXPECT_TRUE(has("□□□□□□□□□□検索中"));
  EXPECT_TRUE(has("■■■■■■■■■■検索中"));
}

TEST_F(SearchRunTest, StoppingARunShowsWhatWasFoundAndASecondSearchCannotStartMeanwhile) {
  const auto targetRevision = ws.CheckListBox1.revision();
  ui.onPump = [&] {
    ws.ToolButton1Click();  // ignored while the run is going
    ws.ComboBox2KeyPress(13);
    if (ws.stagedRowCount() >= 2) ws.StopSearch();
  };
  search("foo");
  ui.onPump = nullptr;
  EXPECT_FALSE(ws.SearchRunning());
  ASSERT_GE(ws.CheckListBox3.count(), 2);
  EXPECT_EQ(ws.CheckListBox3.text(0), resultHeader(dir / "a.txt"));
  for (const std::string& t : resultTexts()) EXPECT_NE(t, resultHeader(dir / "c.txt"));
  EXPECT_EQ(ui.count("message"), 0);  // no "not found" for a stopped run
  EXPECT_NE(ws.statusText(), cp932Of("検索終了"));
  EXPECT_EQ(ws.CheckListBox1.revision(), targetRevision);  // the target list was not rebuilt under the run

  ws.settings.UseRegExp = false;  // the plain search stops the same way
  ui.onPump = [&] { ws.StopSearch(); };
  search("foo");
  ui.onPump = nullptr;
  EXPECT_TRUE(ws.CheckListBox3.empty());
  EXPECT_EQ(ui.count("message"), 0);
}

}  // namespace
}  // namespace kelvane
