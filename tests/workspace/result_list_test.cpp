// The result list's check handling against a hand-made pending preview, the pop-up states, and the
// span a result row is coloured over.
#include <gtest/gtest.h>

#include "tests/testing/scripted_ui.h"
#include "workspace/workspace.h"

namespace kelvane {
namespace {

using testing::cp932Of;

class ResultListTest : public ::testing::Test {
 protected:
  // Two files; during the preview the checked rows show the replaced text ("new"), the hidden list
  // holds the other text of each row and ends with the marker.
  void preview() {
    const CheckRow result[] = {{"\"/a\",h", true, false},
                               {"new1", false, true},
                               {"old2", false, false},
                               {"\"/b\",h", true, false},
                               {"new3", false, true}};
    const CheckRow hidden[] = {{"\"/a\",h", true, false},
                               {"old1", false, true},
                               {"new2", false, false},
                               {"\"/b\",h", true, false},
                               {"old3", false, true}};
    for (const CheckRow& r : result) ws.CheckListBox3.add(r);
    for (const CheckRow& r : hidden) ws.CheckListBoxUNDO.add(r);
    ws.CheckListBoxUNDO.add(cp932Of("置換"));
    ws.ReplacePending = true;
    ws.ReplaceText = "new";
  }
  std::vector<std::string> shownTexts() const {
    std::vector<std::string> out;
    for (const CheckRow& r : ws.CheckListBox3.rows()) out.push_back(r.text);
    return out;
  }

  testing::ScriptedUi ui;
  Workspace ws{ui};
};

TEST_F(ResultListTest, ToggleDuringAPreviewExchangesTextsAndTwiceRestores) {
  preview();
  ws.CheckListBox3.setChecked(2, true);
  ws.CheckListBox3ClickCheck(2);
  EXPECT_EQ(ws.CheckListBox3.text(2), "new2");
  EXPECT_EQ(ws.CheckListBoxUNDO.text(2), "old2");
  EXPECT_TRUE(ws.CheckListBoxUNDO.isChecked(2));
  ws.CheckListBox3.setChecked(2, false);
  ws.CheckListBox3ClickCheck(2);
  EXPECT_EQ(ws.CheckListBox3.text(2), "old2");
  EXPECT_EQ(ws.CheckListBoxUNDO.text(2), "new2");
  EXPECT_FALSE(ws.CheckListBoxUNDO.isChecked(2));

  ws.ReplacePending = false;  // no preview pending: only the toggle itself
  ws.CheckListBox3.setChecked(1, false);
  ws.CheckListBox3ClickCheck(1);
  EXPECT_EQ(ws.CheckListBox3.text(1), "new1");
}

TEST_F(ResultListTest, WholeFileCommandsWorkOnTheSelectedFileOnly) {
  preview();
  ws.CheckListBox3.setSelectedIndex(0);
  ws.CheckOnFile1Click();
  EXPECT_EQ(shownTexts(), (std::vector<std::string>{"\"/a\",h", "new1", "new2", "\"/b\",h", "new3"}));
  EXPECT_TRUE(ws.CheckListBox3.isChecked(2));
  EXPECT_TRUE(ws.CheckListBoxUNDO.isChecked(2));
  EXPECT_EQ(ws.CheckListBoxUNDO.text(2), "old2");
  ws.CheckOFFFile1Click();
  EXPECT_EQ(shownTexts(), (std::vector<std::string>{"\"/a\",h", "old1", "old2", "\"/b\",h", "new3"}));
  EXPECT_TRUE(ws.CheckListBox3.isChecked(4));  // the next file is untouched
  EXPECT_FALSE(ws.CheckListBoxUNDO.isChecked(1));

  ws.CheckListBox3.setSelectedIndex(3);  // the last file: down to the end of the list
  ws.CheckOFFFile1Click();
  EXPECT_EQ(ws.CheckListBox3.text(4), "old3");
  EXPECT_FALSE(ws.CheckListBox3.isChecked(4));
  ws.CheckListBox3.setSelectedIndex(4);  // the last row: nothing
  ws.CheckOnFile1Click();
  EXPECT_FALSE(ws.CheckListBox3.isChecked(4));
}

TEST_F(ResultListTest, WholeFileCommandsWithoutAPreviewOnlySetTheMarks) {
  ws.CheckListBox3.add("\"/a\",h", true);
  ws.CheckListBox3.add("r1", false, true);
  ws.CheckListBoxUNDO.add("staged");
  ws.CheckListBox3.setSelectedIndex(0);
  ws.CheckOFFFile1Click();
  EXPECT_FALSE(ws.CheckListBox3.isChecked(1));
  EXPECT_EQ(ws.CheckListBox3.text(1), "r1");
  EXPECT_EQ(ws.CheckListBoxUNDO.text(0), "staged");
}

TEST_F(ResultListTest, PopupStatesOfTheResultAndJoinLists) {
  ws.CheckListBox3.add("\"/a\",h", true);
  ws.CheckListBox3.add("r1", false, true);
  const auto result = [&] {
    std::vector<bool> out;
    for (const char* n : {"CheckOnFile1", "CheckOFFFile1", "File2", "File3", "N14", "N4"})
      out.push_back(ws.stateOf(n).enabled);
    return out;
  };
  ws.CheckListBox3.setSelectedIndex(0);
  ws.PopupMenu1Popup();
  EXPECT_EQ(result(), (std::vector<bool>{true, true, true, true, false, true}));
  ws.CheckListBox3.setSelectedIndex(1);
  ws.PopupMenu1Popup();
  EXPECT_EQ(result(), (std::vector<bool>{false, false, false, false, true, true}));

  const auto join = [&] {
    std::vector<bool> out;
    for (const char* n : {"N10", "N11", "N9", "N8", "MenuItem7"}) out.push_back(ws.stateOf(n).enabled);
    return out;
  };
  ws.CheckListBox2.add("sep", true);
  ws.CheckListBox2.add("content", false, true);
  ws.ProcessingMode = pmJoin;
  ws.CheckListBox2.setSelectedIndex(0);
  ws.PopupMenu3Popup();
  EXPECT_EQ(join(), (std::vector<bool>{true, true, true, true, false}));
  ws.CheckListBox2.setSelectedIndex(1);
  ws.PopupMenu3Popup();
  EXPECT_EQ(join(), (std::vector<bool>{true, false, false, false, true}));
  ws.ProcessingMode = pmSplit;
  ws.PopupMenu3Popup();
  EXPECT_EQ(join(), (std::vector<bool>{false, false, false, false, false}));
  ws.ProcessingMode = pmSearch;  // the items keep their states
  ws.PopupMenu3Popup();
  EXPECT_EQ(join(), (std::vector<bool>{false, false, false, false, false}));

  ws.EnterJoinMode();
  ws.CheckListBox2Exit();
  for (const char* n : {"NewFileB", "OverWriteB", "undoB", "Repeat1"}) EXPECT_FALSE(ws.stateOf(n).enabled) << n;
}

TEST_F(ResultListTest, TheFirstMatchOfTheRowTextIsColouredLabelIncluded) {
  ws.CheckListBox3.add("\"/a\",h", true);
  const std::string label = cp932Of("【12列目】") + "\r\n";
  ws.CheckListBox3.add(label + "ab ab ab", false, true);
  ws.LastSearchText = "ab";
  EXPECT_FALSE(ws.ResultHighlight(0));  // header
  auto h = ws.ResultHighlight(1);
  ASSERT_TRUE(h);
  EXPECT_EQ(h->position, static_cast<int>(label.size()) + 1);
  EXPECT_EQ(h->length, 2);
  EXPECT_FALSE(h->replaced);

  ws.LastSearchText = "2";  // a digit of the line number label is coloured
  h = ws.ResultHighlight(1);
  ASSERT_TRUE(h);
  EXPECT_EQ(h->position, 4);

  ws.LastSearchText = "(";  // cannot be compiled: drawn without colour
  EXPECT_FALSE(ws.ResultHighlight(1));
  ws.LastSearchText = "x*";  // only an empty match
  EXPECT_FALSE(ws.ResultHighlight(1));
  ws.LastSearchText = "ab";
  ws.settings.UseRegExp = false;
  EXPECT_FALSE(ws.ResultHighlight(1));
}

TEST_F(ResultListTest, DuringAPreviewCheckedRowsShowTheReplacementInItsColour) {
  ws.CheckListBox3.add("\"/a\",h", true);
  ws.CheckListBox3.add("say XY", false, true);
  ws.CheckListBox3.add("say ab", false, false);
  ws.LastSearchText = "ab";
  ws.ReplaceText = "XY";
  auto checked = ws.ResultHighlight(1);
  ASSERT_TRUE(checked);
  EXPECT_TRUE(checked->replaced);
  EXPECT_EQ(checked->position, 5);
  auto unchecked = ws.ResultHighlight(2);
  ASSERT_TRUE(unchecked);
  EXPECT_FALSE(unchecked->replaced);
  ws.ReplaceText = "";  // an empty replacement: the search pattern, in the search colour, everywhere
  EXPECT_FALSE(ws.ResultHighlight(1));
  EXPECT_FALSE(ws.ResultHighlight(2)->replaced);
}

}  // namespace
}  // namespace kelvane
