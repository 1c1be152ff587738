// The processing modes: the command tables of both modes, the mode transitions, the tab captions and
// the restore of a pending replace preview on entering the join tab.
#include <gtest/gtest.h>

#include <set>
#include <string_view>

#include "tests/testing/scripted_ui.h"
#include "workspace/workspace.h"

namespace kelvane {
namespace {

using testing::cp932Of;

class ModesTest : public ::testing::Test {
 protected:
  testing::ScriptedUi ui;
  Workspace ws{ui};
  bool enabled(const char* name) const { return ws.stateOf(name).enabled; }
};

TEST_F(ModesTest, ControlsStartHiddenAndDisabledWhereMarked) {
  for (const char* hidden : {"undoB", "Repeat1", "CSV1", "N16", "N14", "ToolButton9", "ToolButton16"}) {
    EXPECT_FALSE(ws.stateOf(hidden).visible) << hidden;
  }
  for (const char* off : {"NewFileB", "OverWriteB", "undoB", "SaveAs1", "N12", "Repeat1", "N7"}) {
    EXPECT_FALSE(enabled(off)) << off;
  }
  EXPECT_TRUE(ws.stateOf("N2").visible);
  EXPECT_THROW(ws.stateOf("NoSuchControl"), std::out_of_range);
  // A control named twice in the command table would share one state between two controls.
  std::set<std::string_view> names;
  for (const CommandDef& def : kCommandTable) EXPECT_TRUE(names.insert(def.name).second) << def.name;
  EXPECT_EQ(ws.commands().size(), names.size());
  EXPECT_EQ(ws.activeTab(), kTabTarget);
  EXPECT_EQ(ws.tabCaption(0), cp932Of("検索モード"));
  EXPECT_EQ(ws.tabCaption(1), cp932Of("ファイル結合モード"));
  EXPECT_EQ(ws.tabCaption(2), cp932Of("対象File一覧"));
}

TEST_F(ModesTest, SearchAndJoinModeSetTheirCommandTables) {
  ws.EnterJoinMode();
  EXPECT_FALSE(ws.stateOf("GREP1").checked);
  EXPECT_TRUE(ws.stateOf("N6").checked);
  EXPECT_TRUE(ws.stateOf("ToolButton8").down);
  EXPECT_FALSE(ws.stateOf("ToolButton7").down);
  for (const char* off : {"Find1", "Replace1", "N3", "ToolButton1", "ToolButton10", "ComboBox1", "SaveAs1", "N12",
                          "Repeat1", "NewFileB", "OverWriteB", "undoB"}) {
    EXPECT_FALSE(enabled(off)) << off;
  }
  EXPECT_TRUE(enabled("N7"));
  EXPECT_TRUE(enabled("FairuKetugouB"));
  EXPECT_TRUE(ws.joinListDragEnabled());

  ws.EnterSearchMode();
  EXPECT_TRUE(ws.stateOf("GREP1").checked);
  EXPECT_FALSE(ws.stateOf("N6").checked);
  EXPECT_TRUE(ws.stateOf("ToolButton7").down);
  for (const char* on : {"Find1", "Replace1", "N3", "ToolButton1", "ToolButton10", "ComboBox1"}) {
    EXPECT_TRUE(enabled(on)) << on;
  }
  for (const char* off : {"N7", "FairuKetugouB", "SaveAs1", "N12", "Repeat1", "NewFileB", "OverWriteB", "undoB"}) {
    EXPECT_FALSE(enabled(off)) << off;
  }
  EXPECT_FALSE(ws.joinListDragEnabled());
}

TEST_F(ModesTest, ModeTransitionsOfBothOperations) {
  const std::pair<TProcessingMode, TProcessingMode> search[] = {{pmSearch, pmSearch},
                                                                {pmJoin, pmSearch},
                                                                {pmSearchAfterSplit, pmSearchAfterSplit},
                                                                {pmSplit, pmSearchAfterSplit}};
  for (auto [from, to] : search) {
    ws.ProcessingMode = from;
    ws.EnterSearchMode();
    EXPECT_EQ(ws.ProcessingMode, to) << from;
  }
  const std::pair<TProcessingMode, TProcessingMode> join[] = {
      {pmSearch, pmJoin}, {pmJoin, pmJoin}, {pmSearchAfterSplit, pmSplit}, {pmSplit, pmSplit}};
  for (auto [from, to] : join) {
    ws.ProcessingMode = from;
    ws.EnterJoinMode();
    EXPECT_EQ(ws.ProcessingMode, to) << from;
    EXPECT_EQ(ws.tabCaption(1), cp932Of(to == pmJoin ? "ファイル結合モード" : "ファイル分割モード"));
    EXPECT_EQ(ws.joinListDragEnabled(), to == pmJoin);
  }
}

TEST_F(ModesTest, AfterSplitModeTheTabsKeepTheSplitCaption) {
  ws.ProcessingMode = pmSplit;
  ws.EnterJoinMode();
  ws.CheckListBox2.add("piece");
  ws.PageControl1Change(kTabResult);
  EXPECT_EQ(ws.ProcessingMode, pmSearchAfterSplit);
  EXPECT_TRUE(ws.CheckListBox2.empty());  // entering search mode always empties the join/split list
  ws.PageControl1Change(kTabJoin);
  EXPECT_EQ(ws.ProcessingMode, pmSplit);
  EXPECT_EQ(ws.tabCaption(1), cp932Of("ファイル分割モード"));
  ws.PageControl1Change(kTabTarget);  // the target tab changes nothing
  EXPECT_EQ(ws.ProcessingMode, pmSplit);
}

TEST_F(ModesTest, MenuCommandsLeaveSplitModeAndShowTheirTab) {
  ws.EnterSearchMode();
  ws.GREP1Click();  // already checked: nothing, not even the tab
  EXPECT_EQ(ws.activeTab(), kTabTarget);

  ws.ProcessingMode = pmSearchAfterSplit;
  ws.CheckListBox2.add("piece");
  ws.N6Click();
  EXPECT_EQ(ws.ProcessingMode, pmJoin);
  EXPECT_EQ(ws.tabCaption(1), cp932Of("ファイル結合モード"));
  EXPECT_TRUE(ws.CheckListBox2.empty());
  EXPECT_EQ(ws.activeTab(), kTabJoin);
  ws.ToolButton8Click();  // already in join mode
  EXPECT_EQ(ws.activeTab(), kTabJoin);

  ws.ProcessingMode = pmSplit;
  ws.ToolButton7Click();
  EXPECT_EQ(ws.ProcessingMode, pmSearch);
  EXPECT_EQ(ws.activeTab(), kTabResult);
}

TEST_F(ModesTest, JoinTabRestoresAPendingReplacePreviewOnly) {
  ws.settings.UseRegExp = false;
  ws.ShowSearchResults("old", {{"/d/a.txt", {{1, "old1"}, {2, "old2"}}}});
  ws.CheckListBox3.setChecked(2, false);
  const std::string label1 = cp932Of("【1列目】"), label2 = cp932Of("【2列目】");
  ws.NarrowTargets();  // another undo: the join tab restores nothing
  ws.EnterJoinMode();
  EXPECT_EQ(ws.CheckListBox3.text(1), label1 + "old1");

  ui.inputAnswers.push_back("R");
  ws.ReplacePreview();
  ASSERT_EQ(ws.CheckListBox3.text(1), label1 + "R1");
  ws.EnterJoinMode();
  EXPECT_EQ(ws.CheckListBox3.text(1), label1 + "old1");
  EXPECT_TRUE(ws.CheckListBox3.isChecked(1));
  EXPECT_EQ(ws.CheckListBox3.text(2), label2 + "old2");
  EXPECT_FALSE(ws.CheckListBox3.isChecked(2));
  EXPECT_TRUE(ws.CheckListBoxUNDO.empty());
  EXPECT_FALSE(ws.ReplacePending());
  EXPECT_EQ(ws.ReplaceText(), "");
  EXPECT_FALSE(enabled("N12"));
  EXPECT_FALSE(enabled("OverWriteB"));
}

TEST_F(ModesTest, SearchModeReselectsTheLastEqualHistoryEntry) {
  ws.ComboBox1.setItems({"a", "b", "a", "B"});
  ws.LastSearchText = "a";
  ws.EnterSearchMode();
  EXPECT_EQ(ws.ComboBox1.selectedIndex(), 2);
  ws.LastSearchText = "none";
  ws.EnterSearchMode();
  EXPECT_EQ(ws.ComboBox1.selectedIndex(), 2);  // no equal entry: unchanged
}

}  // namespace
}  // namespace kelvane
