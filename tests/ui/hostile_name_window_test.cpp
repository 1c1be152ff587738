// A file whose name holds `",` and CR LF, through the real window offscreen: overwritten, split and
// joined as itself, while victim.txt, the file its row text seems to name, keeps every byte.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QListView>
#include <deque>
#include <filesystem>

#include "tests/testing/temp_dir.h"
#include "workspace/ui/Unit1.h"

namespace kelvane {
namespace {

using testing::InFolder;
using testing::slurp;

// OK to every question; the queued texts, folders and save paths; every message recorded.
class ScriptedForm : public TForm1 {
 public:
  std::deque<std::string> inputs, folders, savePaths;
  std::vector<std::string> messages;
  bool confirmOkCancel(const std::string&) override { return true; }
  void showMessage(const std::string& text) override { messages.push_back(text); }
  void showError(const std::string& text) override { messages.push_back(text); }
  std::optional<std::string> inputBox(const std::string&, const std::string&, const std::string&) override {
    return next(inputs);
  }
  std::optional<std::string> browseFolder(const std::string&) override { return next(folders); }
  std::optional<std::string> chooseSaveFile(const std::string&, const std::vector<FileFilter>&, const std::string&,
                                            const std::string&) override {
    return next(savePaths);
  }

 private:
  static std::optional<std::string> next(std::deque<std::string>& queue) {
    if (queue.empty()) return std::nullopt;
    std::string value = queue.front();
    queue.pop_front();
    return value;
  }
};

void trigger(TForm1& form, const char* name) {
  QAction* a = form.action(name);
  ASSERT_TRUE(a && a->isEnabled()) << name;
  a->trigger();
}

TEST(HostileNameWindowTest, ANameWithQuoteCommaAndCrLfIsOverwrittenSplitAndJoinedAsItself) {
  testing::TempDir dir;
  const std::string tree = dir.mkdir("tree");
  const std::string victim = dir.write("tree/victim.txt", "foo bar\r\n");
  const std::string crafted = dir.write("tree/victim.txt\",\r\n.txt", "L1\r\nfoo\r\nL3\r\nL4\r\n");
  InFolder in(dir.mkdir("run"));
  ScriptedForm form;
  form.show();

  form.folders.push_back(tree);
  trigger(form, "ToolButton2");
  form.patternBox()->setEditText("foo");
  trigger(form, "ToolButton1");
  Workspace& ws = form.workspace();
  ASSERT_EQ(ws.CheckListBox3.count(), 4);
  const int header = ws.ResultFile(0) == crafted ? 0 : 2;  // '"' sorts before '.'
  ASSERT_EQ(ws.ResultFile(header), crafted);
  // Only the crafted file's line takes part.
  QAbstractItemModel* results = form.listView(ListId::kResult)->model();
  ASSERT_TRUE(results->setData(results->index(2 - header + 1, 0), Qt::Unchecked, Qt::CheckStateRole));

  form.inputs.push_back("X");
  trigger(form, "ToolButton10");
  trigger(form, "OverWriteB");
  EXPECT_EQ(slurp(crafted), "L1\r\nX\r\nL3\r\nL4\r\n");
  EXPECT_EQ(slurp(victim), "foo bar\r\n");

  // The split of the crafted file, from its header row: pieces beside it, named from its own name.
  form.listView(ListId::kResult)->setCurrentIndex(results->index(header, 0));
  trigger(form, "File2");
  trigger(form, "SaveAs1");
  EXPECT_EQ(slurp(tree + "/victim0.txt\",\r\n0.txt"), "L1\r\nX\r\n");
  EXPECT_EQ(slurp(tree + "/victim1.txt\",\r\n1.txt"), "X\r\nL3\r\nL4\r\n");
  EXPECT_EQ(slurp(victim), "foo bar\r\n");

  // The join of the target list with only the crafted file checked.
  trigger(form, "ToolButton7");
  for (int i = 0; i < ws.CheckListBox1.count(); ++i) {
    if (!ws.CheckListBox1.isHeader(i)) ws.CheckListBox1.setChecked(i, ws.TargetPath(i) == crafted);
  }
  trigger(form, "ToolButton8");
  trigger(form, "FairuKetugouB");
  const std::string joined = dir / "joined.txt";
  form.savePaths.push_back(joined);
  trigger(form, "SaveAs1");
  EXPECT_EQ(slurp(joined), "L1\r\nX\r\nL3\r\nL4\r\n");
  EXPECT_EQ(slurp(victim), "foo bar\r\n");
  form.close();
}

}  // namespace
}  // namespace kelvane
