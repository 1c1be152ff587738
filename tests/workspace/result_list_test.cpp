// The result list's check handling during a preview, the pop-up states, and the
// span a result row is coloured over.
#include <gtest/gtest.h>

#include "tests/testing/scripted_ui.h"
#include "workspace/workspace.h"

namespace kelvane {
namespace {

using testing::cp932Of;

class ResultListTest : public ::testing::Test {
 protected:
  // Two files found by a search for "old"; the second row unchecked, then a preview replacing "old"
  // with "new": checked rows show the replaced text.
  void preview() {
    ws.settings.UseRegExp = true;
    ws.ShowSearchResults("old", {{"/a", {{1, "old1"}, {2, "old2"}}}, {"/b", {{3, "old3"}}}});
    ws.CheckListBox3.setChecked(2, false);
    ui.inputAnswers.push_back("new");
    ws.ReplacePreview();
  }
  static std::string row(int line, const std::string& text) { return cp932Of("【") + std::to_string(line) + cp932Of("列目】") + "\r\n" + text; }
  std::vector<std::string> shownTexts() const {
    std::vector<std::string> out;
    for (const CheckRow& r : ws.CheckListBox3.rows()) out.push_back(r.text);
    return out;
  }
  std::string header(const std::string& path) const { return "\"" + path + "\"" + cp932Of(",の検索結果"); }

  testing::ScriptedUi ui;
  Workspace ws{ui};
};

TEST_F(ResultListTest, ToggleDuringAPreviewExchangesTextsAndTwiceRestores) {
  preview();
  ws.CheckListBox3.setChecked(2, true);
  ws.CheckListBox3ClickCheck(2);
  EXPECT_EQ(ws.CheckListBox3.text(2), row(2, "new2"));
  ws.CheckListBox3.setChecked(2, false);
  ws.CheckListBox3ClickCheck(2);
  EXPECT_EQ(ws.CheckListBox3.text(2), row(2, "old2"));

  ws.Undo();  // no preview pending: only the toggle itself
  EXPECT_EQ(ws.CheckListBox3.text(1), row(1, "old1"));
  ws.CheckListBox3.setChecked(1, false);
  ws.CheckListBox3ClickCheck(1);
  EXPECT_EQ(ws.CheckListBox3.text(1), row(1, "old1"));
}

TEST_F(ResultListTest, WholeFileCommandsWorkOnTheSelectedFileOnly) {
  preview();
  ws.CheckListBox3.setSelectedIndex(0);
  ws.CheckOnFile1Click();
  EXPECT_EQ(shownTexts(), (std::vector<std::string>{header("/a"), row(1, "new1"), row(2, "new2"), header("/b"),
                                                    row(3, "new3")}));
  EXPECT_TRUE(ws.CheckListBox3.isChecked(2));
  ws.CheckOFFFile1Click();
  EXPECT_EQ(shownTexts(), (std::vector<std::string>{header("/a"), row(1, "old1"), row(2, "old2"), header("/b"),
                                                    row(3, "new3")}));
  EXPECT_TRUE(ws.CheckListBox3.isChecked(4));  // the next file is untouched

  ws.CheckListBox3.setSelectedIndex(3);  // the last file: down to the end of the list
  ws.CheckOFFFile1Click();
  EXPECT_EQ(ws.CheckListBox3.text(4), row(3, "old3"));
  EXPECT_FALSE(ws.CheckListBox3.isChecked(4));
  ws.CheckListBox3.setSelectedIndex(4);  // the last row: nothing
  ws.CheckOnFile1Click();
  EXPECT_FALSE(ws.CheckListBox3.isChecked(4));

  ws.CheckListBox3.setSelectedIndex(0);  // back on: the undo still gives every row its found text
  ws.CheckOnFile1Click();
  ws.Undo();
  EXPECT_EQ(shownTexts(), (std::vector<std::string>{header("/a"), row(1, "old1"), row(2, "old2"), header("/b"),
                                                    row(3, "old3")}));
}

TEST_F(ResultListTest, WholeFileCommandsWithoutAPreviewOnlySetTheMarks) {
  ws.ShowSearchResults("r", {{"/a", {{1, "r1"}}}});
  ws.CheckListBox3.setSelectedIndex(0);
  ws.CheckOFFFile1Click();
  EXPECT_FALSE(ws.CheckListBox3.isChecked(1));
  EXPECT_EQ(ws.CheckListBox3.text(1), row(1, "r1"));
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
  ws.settings.UseRegExp = true;
  ws.ShowSearchResults("ab", {{"/a", {{1, "say ab"}, {2, "say ab"}}}});
  ws.CheckListBox3.setChecked(2, false);
  ui.inputAnswers.push_back("XY");
  ws.ReplacePreview();
  const int label = static_cast<int>(row(1, "").size());
  auto checked = ws.ResultHighlight(1);
  ASSERT_TRUE(checked);
  EXPECT_TRUE(checked->replaced);
  EXPECT_EQ(checked->position, label + 5);
  auto unchecked = ws.ResultHighlight(2);
  ASSERT_TRUE(unchecked);
  EXPECT_FALSE(unchecked->replaced);

  ws.Undo();
  ui.inputAnswers.push_back("");  // an empty replacement: the search pattern, in the search colour, everywhere
  ws.ReplacePreview();
  EXPECT_FALSE(ws.ResultHighlight(1));
  EXPECT_FALSE(ws.ResultHighlight(2)->replaced);
}

}  // namespace
}  // namespace kelvane
