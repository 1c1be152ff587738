// The file join on real files: the list build with its previews and separators, the save and the
// copy of a file it replaces, the separator edits, moving rows, and the refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/line_list.h"
#include "platform/profile.h"
#include "tests/testing/scripted_ui.h"
#include "tests/testing/temp_dir.h"
#include "workspace/workspace.h"

namespace kelvane {
namespace {

using testing::cp932Of;
using testing::slurp;
using testing::TempDir;

// Runs in a fresh start-up folder; the target list is built from the folder the files are written to.
class FileJoinTest : public ::testing::Test {
 protected:
  FileJoinTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir.mkdir("run"));
    ws.FormCreate();
  }
  ~FileJoinTest() override { std::filesystem::current_path(previous_); }

  void setSeparator(const std::string& text) {
    Profile(ws.settingsPath()).writeString(cp932Of("ファイル結合"), cp932Of("結合文字列"), text);
  }
  // The target list of the folder, as the folder browser makes it, with only the given files checked.
  void targets(const std::vector<std::string>& paths) {
    ws.ExtensionList = ".txt";
    ws.settings.Subfolders = false;
    ui.folderAnswers.push_back(dir.path());
    ws.ToolButton2Click();
    for (int i = 0; i < ws.CheckListBox1.count(); ++i) {
      const std::optional<std::string> path = ws.TargetPath(i);
      if (!ws.CheckListBox1.isHeader(i)) ws.CheckListBox1.setChecked(i, std::count(paths.begin(), paths.end(), *path) > 0);
    }
    ws.CheckListBox1ClickCheck();
  }
  std::string content(const std::string& path, const std::string& preview) const {
    return "\"" + path + "\"" + cp932Of(",の内容") + preview;
  }
  void build() {
    ws.N6Click();  // join mode, as the tool button "File結合モード" sets it
    ws.FairuKetugouBClick();
  }
  // The save through "新規ファイルへ保存", answered OK and with target (and OK to replacing it).
  void save(const std::string& target, bool replace = false) {
    ui.confirmAnswers.push_back(true);
    if (replace) ui.confirmAnswers.push_back(true);
    ui.saveAnswers.push_back(target);
    ws.SaveAs1Click();
  }
  std::vector<std::string> rowTexts() const {
    std::vector<std::string> out;
    for (const CheckRow& r : ws.CheckListBox2.rows()) out.push_back(r.text);
    return out;
  }

  TempDir dir;
  testing::ScriptedUi ui;
  Workspace ws{ui};

 private:
  std::filesystem::path previous_;
};

TEST_F(FileJoinTest, ThreeFilesGiveSevenRowsAndTheSavedFileHasTheSeparatorFourTimes) {
  const std::string a = dir.write("a.txt", "a1\r\na2\r\n");
  const std::string b = dir.write("b.txt", "b1\nb2");  // LF and no line end at the end
  const std::string c = dir.write("c.txt", "c1\r");
  setSeparator("----");
  targets({a, b, c});
  build();

  EXPECT_EQ(rowTexts(), (std::vector<std::string>{"----", content(a, "\r\na1\r\na2"), "----",
                                                  content(b, "\r\nb1\r\nb2"), "----", content(c, "\r\nc1"), "----"}));
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(ws.CheckListBox2.isHeader(i), i % 2 == 0) << i;
    if (i % 2) {
      EXPECT_TRUE(ws.CheckListBox2.isChecked(i)) << i;
    }
  }
  EXPECT_EQ(ws.CheckListBox2.selectedIndex(), 0);
  EXPECT_TRUE(ws.command("NewFileB").enabled);
  EXPECT_TRUE(ws.command("SaveAs1").enabled);
  for (const char* name : {"N2", "Repeat1", "Find1", "Replace1", "N3", "N7"}) EXPECT_FALSE(ws.stateOf(name).enabled);
  EXPECT_TRUE(ws.command("FairuKetugouB").enabled);
  EXPECT_EQ(ui.count("message"), 0);

  const std::string joined = dir / "out/joined.txt";
  std::filesystem::create_directory(dir / "out");
  save(joined);
  EXPECT_EQ(slurp(joined), "----\r\na1\r\na2\r\n----\r\nb1\r\nb2\r\n----\r\nc1\r\n----\r\n");
  EXPECT_EQ(ui.texts("confirm"),
            std::vector<std::string>{cp932Of("ヘッダー部分とCheck済部分を新規ファイルに結合します。")});
  const undo::SavedFile& saved = std::get<undo::Join>(ws.undoRecord()).file;
  EXPECT_EQ(saved.path, joined);
  EXPECT_TRUE(saved.written);
  EXPECT_FALSE(saved.copied);  // nothing replaced
  EXPECT_EQ(ws.statusText(), joined + cp932Of("に保存されました。"));
  EXPECT_TRUE(ws.timer1Enabled());
  EXPECT_FALSE(ws.command("NewFileB").enabled);
  EXPECT_FALSE(ws.command("SaveAs1").enabled);
  EXPECT_TRUE(ws.command("undoB").enabled);
  EXPECT_TRUE(ws.command("Repeat1").enabled);
  EXPECT_TRUE(ui.unexpected.empty());
}

TEST_F(FileJoinTest, PreviewsShowFourLinesWholeAbbreviateFiveAndTrimBlankEndsOnlyForThePreview) {
  const std::string four = dir.write("four.txt", "1\r\n2\r\n3\r\n4\r\n");
  const std::string five = dir.write("five.txt", "1\r\n2\r\n3\r\n4\r\n5\r\n");
  const std::string blank = dir.write("blank.txt", "\r\n\r\n\r\nx\r\n\r\ny\r\n\r\n\r\n");
  const std::string empty = dir.write("empty.txt", "\r\n\r\n");
  targets({four, five, blank, empty});

  build();
  EXPECT_EQ(rowTexts(),  // in the target list's order: by name
            (std::vector<std::string>{
                content(blank, cp932Of("\r\n\r\n\r\n～～中略～～\r\n\r\n")), content(empty, "\r\n\r\n"),
                content(five, cp932Of("\r\n1\r\n2\r\n～～中略～～\r\n4\r\n5")), content(four, "\r\n1\r\n2\r\n3\r\n4")}));
  EXPECT_EQ(ui.texts("message"), std::vector<std::string>{cp932Of("ファイルの区切り文字列は追加されません。")});

  ws.settings.IgnoreBlankLines = true;
  build();
  EXPECT_EQ(ws.CheckListBox2.text(0), content(blank, "\r\nx\r\n\r\ny"));
  EXPECT_EQ(ws.CheckListBox2.text(1), content(empty, ""));  // nothing but the caption

  const std::string joined = dir / "joined.txt";
  save(joined);
  EXPECT_EQ(slurp(joined), slurp(blank) + slurp(empty) + slurp(five) + slurp(four));  // the files whole
}

TEST_F(FileJoinTest, UncheckedFilesAreLeftOutButTheirSeparatorsStayAndMissingFilesAreSkipped) {
  const std::string a = dir.write("a.txt", "a\r\n");
  const std::string b = dir.write("b.txt", "b\r\n");
  setSeparator("=");
  const std::string gone = dir.write("gone.txt", "g\r\n");
  targets({a, gone, b});
  std::filesystem::remove(gone);  // after the target list was built
  build();
  ASSERT_EQ(ws.CheckListBox2.count(), 5);
  ws.CheckListBox2.setChecked(1, false);
  save(dir / "j.txt");
  EXPECT_EQ(slurp(dir / "j.txt"), "=\r\n=\r\nb\r\n=\r\n");
}

TEST_F(FileJoinTest, NoCheckedFileLeavesAnEmptyListAndTheSaveCommandsAsTheyWere) {
  setSeparator("-");
  const std::string gone = dir.write("gone.txt", "g\r\n");
  dir.write("off.txt", "x\r\n");
  targets({gone});  // off.txt listed, unchecked
  std::filesystem::remove(gone);
  build();
  EXPECT_EQ(ws.CheckListBox2.count(), 0);
  EXPECT_EQ(ws.statusText(), cp932Of("対象ファイルが存在しません！"));
  EXPECT_TRUE(ws.timer1Enabled());
  EXPECT_FALSE(ws.command("NewFileB").enabled);
}

TEST_F(FileJoinTest, SeparatorEditsAddDeleteAndChangeOnlySeparatorRows) {
  setSeparator("-");
  targets({dir.write("a.txt", "a\r\n"), dir.write("b.txt", "b\r\n")});
  build();  // - a - b -
  ws.CheckListBox2.setSelectedIndex(-1);
  ws.N10Click();
  EXPECT_EQ(ws.statusText(), cp932Of("項目を追加する個所を選択してください。"));
  EXPECT_EQ(ws.CheckListBox2.count(), 5);

  setSeparator("");  // read again at each addition: an empty separator row is added too
  ws.CheckListBox2.setSelectedIndex(1);
  ws.N10Click();
  ASSERT_EQ(ws.CheckListBox2.count(), 6);
  EXPECT_EQ(ws.CheckListBox2.row(1), (CheckRow{"", true, false}));
  EXPECT_EQ(ws.CheckListBox2.selectedIndex(), 2);

  ws.N11Click();  // a content row is never deleted
  EXPECT_EQ(ws.CheckListBox2.count(), 6);
  ws.CheckListBox2.setSelectedIndex(0);
  ws.N11Click();
  EXPECT_EQ(ws.CheckListBox2.count(), 5);  // "" a - b -

  ws.CheckListBox2.setSelectedIndex(2);
  ui.inputAnswers.push_back(std::nullopt);
  ws.N8Click();
  EXPECT_EQ(ws.CheckListBox2.text(2), "-");
  ui.inputAnswers.push_back(std::string("*"));
  ws.N8Click();
  EXPECT_EQ(ws.CheckListBox2.text(2), "*");
  EXPECT_TRUE(ws.CheckListBox2.isHeader(2));

  ws.CheckListBox2.setSelectedIndex(2);
  ui.inputAnswers.push_back(std::string("#"));
  ws.N9Click();
  EXPECT_EQ(ws.CheckListBox2.text(0), "");  // above the selected row: unchanged
  EXPECT_EQ(ws.CheckListBox2.text(2), "#");
  EXPECT_EQ(ws.CheckListBox2.text(4), "#");
  EXPECT_EQ(ws.CheckListBox2.count(), 5);
  const std::string asked = cp932Of("文字列の入力|Fileの区切り文字列を入力してください|");
  EXPECT_EQ(ui.texts("input"), (std::vector<std::string>{asked + "-", asked + "-", asked + "*"}));
  EXPECT_EQ(Profile(ws.settingsPath()).readString(cp932Of("ファイル結合"), cp932Of("結合文字列"), "?"), "");

  save(dir / "j.txt");
  EXPECT_EQ(slurp(dir / "j.txt"), "\r\na\r\n#\r\nb\r\n#\r\n");  // the empty separator is an empty line
}

// Records the row-height flag at each move, which is when a view measures the moved row.
class MoveRecorder : public CheckListObserver {
 public:
  explicit MoveRecorder(const Workspace& ws) : ws_(ws) {}
  void listChanged(const CheckList&, const ListChangeEvent& change) override {
    if (change.kind == ListChange::kMoved) singleLine.push_back(ws_.NextRowSingleLine);
  }
  std::vector<bool> singleLine;

 private:
  const Workspace& ws_;
};

TEST_F(FileJoinTest, DraggingMovesTheSelectedRowWithItsFlagsAndHeightAndScrollsWhileOutside) {
  setSeparator("-");
  const std::string a = dir.write("a.txt", "a\r\n");
  const std::string b = dir.write("b.txt", "b\r\n");
  targets({a, b});
  build();  // - a - b -
  MoveRecorder moves(ws);
  ws.CheckListBox2.addObserver(&moves);
  EXPECT_TRUE(ws.joinListDragEnabled());

  ws.CheckListBox2.setChecked(1, false);
  ws.CheckListBox2.setSelectedIndex(1);
  ws.CheckListBox2DragOver(300);
  EXPECT_TRUE(ws.timer2Enabled());
  ws.CheckListBox2.setTopIndex(1);
  ws.Timer2Timer(340);  // below where the drag was: one row down
  EXPECT_EQ(ws.CheckListBox2.topIndex(), 2);
  ws.Timer2Timer(200);
  EXPECT_EQ(ws.CheckListBox2.topIndex(), 1);
  ws.CheckListBox2DragDrop(3);
  EXPECT_FALSE(ws.timer2Enabled());
  EXPECT_EQ(ws.CheckListBox2.row(3), (CheckRow{content(a, "\r\na"), false, false}));
  EXPECT_EQ(ws.CheckListBox2.selectedIndex(), 3);

  ws.CheckListBox2.setSelectedIndex(0);
  ws.CheckListBox2DragOver(10);
  ws.CheckListBox2DragDrop(4);
  EXPECT_EQ(ws.CheckListBox2.row(4), (CheckRow{"-", true, false}));
  EXPECT_EQ(moves.singleLine, (std::vector<bool>{false, true}));

  ws.CheckListBox2DragOver(10);
  ws.CheckListBox2DragDrop(-1);  // below the last row
  EXPECT_EQ(moves.singleLine.size(), 2u);
  ws.CheckListBox2.removeObserver(&moves);

  save(dir / "j.txt");
  EXPECT_EQ(slurp(dir / "j.txt"), "-\r\nb\r\n-\r\n-\r\n");  // a's row moved and stayed unchecked
}

TEST_F(FileJoinTest, ASaveOverAnExistingFileKeepsItsBytesInTheTemporaryFolder) {
  const std::string a = dir.write("a.txt", "new\r\n");
  const std::string old = dir.write("old.txt", std::string("old\n\0tail", 9));
  targets({a});
  build();
  save(old, true);
  EXPECT_EQ(slurp(old), "new\r\n");
  EXPECT_EQ(slurp(files::tempCopyPath(ws.tempFolder(), old)), std::string("old\n\0tail", 9));
  EXPECT_EQ(std::get<undo::Join>(ws.undoRecord()).file.path, old);
  EXPECT_TRUE(std::get<undo::Join>(ws.undoRecord()).file.copied);
}

TEST_F(FileJoinTest, UndoDeletesANewFileAndPutsBackAFileTheSaveReplaced) {
  const std::string a = dir.write("a.txt", "a\r\n");
  targets({a});
  build();
  const std::string fresh = dir / "new.txt";
  save(fresh);
  ui.confirmAnswers.push_back(true);
  ws.Undo();
  EXPECT_FALSE(std::filesystem::exists(fresh));
  EXPECT_EQ(ui.texts("message").back(), cp932Of("新規ファイル") + "\"" + fresh + "\"" + cp932Of("の消去...OK"));

  const std::string old = dir.write("old.txt", "old\r\n");
  std::filesystem::permissions(old, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  build();
  save(old, true);
  EXPECT_EQ(slurp(old), "a\r\n");
  ui.confirmAnswers.push_back(true);
  ws.Undo();
  EXPECT_EQ(ui.texts("confirm").back(), cp932Of("新規ファイルを消去しますか？"));
  EXPECT_EQ(slurp(old), "old\r\n");
  EXPECT_EQ(ui.texts("message").back(), cp932Of("ファイル") + "\"" + old + "\"" + cp932Of("の復元...OK"));
  EXPECT_EQ(std::filesystem::status(old).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_TRUE(ws.CheckListBoxUNDO.empty());
}

TEST_F(FileJoinTest, AFileCutByAZeroByteStopsTheSaveBeforeAnythingIsWritten) {
  const std::string a = dir.write("a.txt", "a\r\n");
  const std::string nul = dir.write("nul.txt", std::string("x\r\n\0y\r\n", 7));
  targets({a, nul});
  build();
  const std::string target = dir.write("target.txt", "keep");
  save(target);
  EXPECT_EQ(slurp(target), "keep");
  EXPECT_EQ(ui.texts("message").back().find(nul), 0u);
  EXPECT_TRUE(ws.CheckListBoxUNDO.empty());

  EXPECT_TRUE(ws.command("NewFileB").enabled);  // fixed, the list can be saved again
  ws.CheckListBox2.setChecked(1, false);        // left out, the rest is joined
  ws.NewFileBClick();
  EXPECT_EQ(ui.unexpected.size(), 1u);  // no answer queued: Cancel, nothing happens
  EXPECT_EQ(slurp(target), "keep");
  save(target, true);
  EXPECT_EQ(slurp(target), "a\r\n");
}

TEST_F(FileJoinTest, CancelAtTheQuestionDoesNothingAndAtTheChooserOnlyEndsTheSave) {
  targets({dir.write("a.txt", "a\r\n")});
  build();
  ui.confirmAnswers.push_back(false);
  ws.SaveAs1Click();
  EXPECT_TRUE(ws.command("SaveAs1").enabled);
  ui.confirmAnswers.push_back(true);
  ui.saveAnswers.push_back(std::nullopt);
  ws.SaveAs1Click();
  EXPECT_FALSE(ws.command("SaveAs1").enabled);
  EXPECT_TRUE(ws.CheckListBoxUNDO.empty());
  EXPECT_EQ(ui.count("save"), 1);
}

TEST_F(FileJoinTest, ABuildInSplitModeReturnsToJoinModeSoTheSaveJoins) {
  const std::string a = dir.write("a.txt", "a\r\n");
  targets({a});
  ws.ProcessingMode = pmSplit;
  ws.FairuKetugouBClick();
  EXPECT_EQ(ws.ProcessingMode, pmJoin);
  EXPECT_EQ(ws.tabCaption(kTabJoin), cp932Of("ファイル結合モード"));
  EXPECT_TRUE(ws.joinListDragEnabled());
  save(dir / "j.txt");
  EXPECT_EQ(slurp(dir / "j.txt"), "a\r\n");
}

TEST_F(FileJoinTest, ADoubleClickOpensTheFileOfAContentRowOnly) {
  const std::string a = dir.write("a,b c.txt", "a\r\n");
  setSeparator("-");
  targets({a});
  build();
  ws.CheckListBox2DblClick();  // the separator row
  ws.CheckListBox2.setSelectedIndex(1);
  ws.CheckListBox2DblClick();
  EXPECT_EQ(ui.texts("editor"), std::vector<std::string>{a + "|-1"});
}

}  // namespace
}  // namespace kelvane
