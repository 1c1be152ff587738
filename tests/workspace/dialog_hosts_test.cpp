// What the settings dialogs change in the main window, headless through the Workspace.
#include "workspace/dialog_hosts.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/testing/scripted_ui.h"
#include "tests/testing/temp_dir.h"
#include "workspace/workspace.h"

namespace kelvane {
namespace {

using testing::cp932Of;
using testing::TempDir;

class DialogHostTest : public ::testing::Test {
 protected:
  DialogHostTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir.path());
    ws.FormCreate();
  }
  ~DialogHostTest() override { std::filesystem::current_path(previous_); }

  TempDir dir;
  testing::ScriptedUi ui;
  Workspace ws{ui};
  WorkspaceDialogHost host{ws};

 private:
  std::filesystem::path previous_;
};

TEST_F(DialogHostTest, SearchListGetsItsWidestRowsScrollWidthAndHeadersForExistingFiles) {
  const std::string file = dir.write("a.txt", "x\r\n");
  const std::string gone = dir.write("gone.txt", "x\r\n");
  ws.ShowSearchResults("x", {{file, {{1, std::string(300, 'x')}}}, {gone, {{1, "x"}}}});
  std::filesystem::remove(gone);
  ws.CheckListBox3.setHeader(0, false);  // as a list that lost its header marks
  ws.CheckListBox3.setHeader(2, false);
  host.refreshSearchList();
  EXPECT_EQ(ws.CheckListBox3.horizontalExtent(),
            static_cast<int>(ws.CheckListBox3.text(1).size()) * ui.pixelsPerByte + ui.rowPixels);
  EXPECT_TRUE(ws.CheckListBox3.isHeader(0));   // its file is there
  EXPECT_FALSE(ws.CheckListBox3.isHeader(1));  // a match row
  EXPECT_FALSE(ws.CheckListBox3.isHeader(2));  // its file is gone
}

TEST_F(DialogHostTest, TargetListEmptiedWithItsCountAndTheHistoriesReplacedWithoutSelection) {
  ws.CheckListBox1.add("/x/a.txt", false);
  ws.CheckedFileCount = 1;
  ws.showTransientStatus("1");
  host.clearTargetList();
  host.clearStatusText();
  EXPECT_TRUE(ws.CheckListBox1.empty());
  EXPECT_EQ(ws.CheckedFileCount, 0);
  EXPECT_EQ(ws.statusText(), "");

  ws.ComboBox2.setItems({cp932Of("新規フォルダ"), dir.path()});
  ws.ComboBox2.setSelectedIndex(1);
  host.setHistories({"b"}, {cp932Of("新規フォルダ")});
  EXPECT_EQ(ws.ComboBox1.items(), std::vector<std::string>{"b"});
  EXPECT_EQ(ws.ComboBox2.selectedIndex(), -1);

  ws.settings.ExtHtml = true;
  host.rebuildExtensionList();
  EXPECT_NE(ws.ExtensionList.find(".html"), std::string::npos);
}

}  // namespace
}  // namespace kelvane
