// File names that look like row texts: quotes, commas (ASCII and full-width), CR and LF. Every
// operation must handle such a file as itself and never as the file its row text seems to name.
#include <filesystem>

#include "platform/profile.h"
#include "tests/workspace/rewrite_fixture.h"

namespace kelvane {
namespace {

using testing::cp932Of;
using testing::slurp;

// A name whose result header row reads, up to its first line end, as the header of victim.txt.
const std::string kCrafted = "victim.txt\",\r\n.txt";

class HostileNamesTest : public testing::RewriteTest {
 protected:
  HostileNamesTest() { ws.settings.Subfolders = false; }
  void listTree() {
    ui.folderAnswers.push_back(tree());
    ws.ToolButton2Click();
  }
  int headerOf(const std::string& path) const {
    for (int i = 0; i < ws.CheckListBox3.count(); ++i)
      if (ws.CheckListBox3.isHeader(i) && ws.ResultFile(i) == path) return i;
    return -1;
  }
};

TEST_F(HostileNamesTest, TheOverwriteRewritesTheCraftedFileAndLeavesTheFileItsRowSeemsToName) {
  // {the name on disk, the name the window shows}: the full-width comma is "，" in CP932.
  const std::pair<std::string, std::string> names[] = {
      {kCrafted, kCrafted}, {"q\"uote.txt", "q\"uote.txt"}, {"a,b.txt", "a,b.txt"}, {"全，角.txt", cp932Of("全，角.txt")}};
  for (const auto& [native, shown] : names) {
    SCOPED_TRACE(native);
    write("victim.txt", "foo\r\nbar\r\n");
    write(native, "bar\r\nfoo 2\r\n");
    search("foo");
    const int header = headerOf(file(shown));
    ASSERT_GE(header, 0);
    EXPECT_EQ(ws.ResultLine(header + 1), 2);
    // Only the crafted file's row stays checked.
    for (int i = 0; i < ws.CheckListBox3.count(); ++i)
      if (!ws.CheckListBox3.isHeader(i)) ws.CheckListBox3.setChecked(i, i == header + 1);
    preview("X");
    ui.confirmAnswers = {true};
    ws.OverwriteFiles();
    EXPECT_EQ(ui.texts("confirm").back(), file(shown) + "\r\n" + cp932Of("を置き換えますか？"));
    EXPECT_EQ(slurp(file(native)), "bar\r\nX 2\r\n");
    EXPECT_EQ(slurp(file("victim.txt")), "foo\r\nbar\r\n");
    EXPECT_EQ(slurp(copyOf(native)), "bar\r\nfoo 2\r\n");
    std::filesystem::remove(file(native));
  }
}

TEST_F(HostileNamesTest, JoinSplitNarrowingAndOpeningTakeTheCraftedFileAsItself) {
  write("victim.txt", "victim\r\n");
  write(kCrafted, "L1\r\nL2\r\nL3\r\nL4\r\n");
  listTree();
  ASSERT_EQ(ws.CheckListBox1.count(), 3);
  EXPECT_EQ(ws.TargetPath(1), file("victim.txt"));  // a name sorts before the longer names it starts
  EXPECT_EQ(ws.TargetPath(2), file(kCrafted));

  // The join writes the crafted file's lines, not the victim's.
  ws.CheckListBox1.setChecked(1, false);
  ws.CheckListBox1ClickCheck();
  ws.N6Click();
  ws.FairuKetugouBClick();
  ASSERT_EQ(ws.CheckListBox2.count(), 1);
  EXPECT_EQ(ws.JoinPath(0), file(kCrafted));
  ws.MenuItem7Click();
  ws.CheckListBox2.setSelectedIndex(0);
  ws.MenuItem7Click();
  EXPECT_EQ(ui.texts("editor").back(), file(kCrafted) + "|-1");
  const std::string joined = root / "joined.txt";
  ui.confirmAnswers = {true};
  ui.saveAnswers = {joined};
  ws.SaveAs1Click();
  EXPECT_EQ(slurp(joined), "L1\r\nL2\r\nL3\r\nL4\r\n");

  // The split cuts the crafted file beside itself.
  ws.GREP1Click();
  ws.ShowSearchResults("L3", {{file(kCrafted), {{3, "L3"}}}});
  ws.CheckListBox3.setSelectedIndex(0);
  Profile(ws.settingsPath()).writeInteger(cp932Of("ファイル結合"), cp932Of("分割モード"), 1);
  ws.File2Click();
  ui.confirmAnswers = {true};
  ws.NewFileBClick();
  EXPECT_EQ(slurp(file("victim0.txt\",\r\n0.txt")), "L1\r\nL2\r\n");  // each ".txt" of the name numbered
  EXPECT_EQ(slurp(file("victim1.txt\",\r\n1.txt")), "L3\r\nL4\r\n");
  EXPECT_EQ(slurp(file("victim.txt")), "victim\r\n");

  // The narrowing keeps the crafted file checked: its result header names it, and only it.
  ws.GREP1Click();
  listTree();
  search("L");
  ws.NarrowTargets();
  for (int i = 0; i < ws.CheckListBox1.count(); ++i) {
    if (ws.CheckListBox1.isHeader(i)) continue;
    EXPECT_EQ(ws.CheckListBox1.isChecked(i), ws.TargetPath(i) != file("victim.txt")) << *ws.TargetPath(i);
  }
}

}  // namespace
}  // namespace kelvane
