// The file split on real files: the piece ranges of the three modes, what is listed, what is written
// and what is not, piece names, the plan the save keeps to, the refusals, and showing a piece.
#include "workspace/file_split.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

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

// Lines "L1" .. "Ln", CR LF after each.
std::string numberedLines(int n) {
  std::string text;
  for (int i = 1; i <= n; ++i) text += "L" + std::to_string(i) + "\r\n";
  return text;
}

std::string linesFromTo(int first, int last) {
  std::string text;
  for (int i = first; i <= last; ++i) text += "L" + std::to_string(i) + "\r\n";
  return text;
}

class FileSplitTest : public ::testing::Test {
 protected:
  FileSplitTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir.mkdir("run"));
    ws.FormCreate();
  }
  ~FileSplitTest() override { std::filesystem::current_path(previous_); }

  void setMode(int mode) {
    Profile(ws.settingsPath()).writeInteger(cp932Of("ファイル結合"), cp932Of("分割モード"), mode);
  }
  // A result list of one file with match rows for lines, each checked unless listed in off; the
  // header row selected.
  void results(const std::string& path, const std::vector<int>& lines, const std::vector<int>& off = {}) {
    Workspace::FoundFile found{path, {}};
    for (int line : lines) found.lines.push_back({line, "x"});
    ws.ShowSearchResults("x", {found});
    for (int i = 1; i < ws.CheckListBox3.count(); ++i) {
      if (std::find(off.begin(), off.end(), ws.ResultLine(i)) != off.end()) ws.CheckListBox3.setChecked(i, false);
    }
    ws.CheckListBox3.setSelectedIndex(0);
  }
  void save() {
    ui.confirmAnswers.push_back(true);
    ws.NewFileBClick();
  }
  std::vector<std::string> headers() const {
    std::vector<std::string> out;
    for (const CheckRow& r : ws.CheckListBox2.rows())
      if (r.header) out.push_back(r.text);
    return out;
  }
  std::vector<std::string> captions() const {
    std::vector<std::string> out;
    for (const CheckRow& r : ws.CheckListBox2.rows())
      if (!r.header) out.push_back(r.text.substr(0, r.text.find("\r\n")));
    return out;
  }
  std::string range(int first, int last) const {
    return "\"" + std::to_string(first) + cp932Of("列目~") + std::to_string(last) + cp932Of("列目") + "\",";
  }

  TempDir dir;
  testing::ScriptedUi ui;
  Workspace ws{ui};

 private:
  std::filesystem::path previous_;
};

TEST_F(FileSplitTest, TheThreeModesCutATwentyLineFileAtLinesFiveAndTwelve) {
  const std::string src = dir.write("memo.txt", numberedLines(20));
  struct Case {
    int mode;
    int ranges[3][2];
  };
  const Case cases[] = {
      {1, {{1, 4}, {5, 11}, {12, 20}}}, {2, {{1, 5}, {5, 12}, {12, 20}}}, {3, {{1, 5}, {6, 12}, {13, 20}}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    setMode(c.mode);
    results(src, {5, 12});
    ws.File2Click();
    EXPECT_EQ(ws.ProcessingMode, pmSplit);
    EXPECT_EQ(ws.tabCaption(kTabJoin), cp932Of("ファイル分割モード"));
    EXPECT_EQ(ws.activeTab(), kTabJoin);
    EXPECT_FALSE(ws.joinListDragEnabled());
    EXPECT_EQ(headers(), (std::vector<std::string>{dir / "memo0.txt", dir / "memo1.txt", dir / "memo2.txt"}));
    std::vector<std::string> want;
    for (const auto& r : c.ranges) want.push_back(range(r[0], r[1]));
    EXPECT_EQ(captions(), want);
    EXPECT_EQ(ws.CheckListBox2.selectedIndex(), 0);
    EXPECT_EQ(ws.CheckListBox2.horizontalExtent(), static_cast<int>((dir / "memo0.txt").size()) * ui.pixelsPerByte);
    EXPECT_TRUE(ws.command("SaveAs1").enabled);
    EXPECT_FALSE(ws.command("Find1").enabled);

    save();
    // From the second mode on the pieces exist, and the question names them.
    EXPECT_EQ(ui.texts("confirm").back().find(cp932Of("新規ファイルに分割します。未チェックのファイルは作成されません。")), 0u);
    EXPECT_EQ(ui.texts("confirm").back().find(dir / "memo2.txt") != std::string::npos, c.mode != 1);
    for (int p = 0; p < 3; ++p) {
      EXPECT_EQ(slurp(dir / ("memo" + std::to_string(p) + ".txt")), linesFromTo(c.ranges[p][0], c.ranges[p][1])) << p;
    }
    const auto& pieces = std::get<undo::Split>(ws.undoRecord()).pieces;
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0].path, dir / "memo0.txt");
    EXPECT_EQ(pieces[0].copied, c.mode != 1);  // mode 1 wrote it first
    EXPECT_TRUE(pieces[0].written);
    EXPECT_FALSE(ws.command("SaveAs1").enabled);
    EXPECT_TRUE(ws.timer1Enabled());
    EXPECT_EQ(slurp(src), numberedLines(20));
  }
  EXPECT_TRUE(ui.unexpected.empty());
}

TEST_F(FileSplitTest, AnUncheckedPointListsNoPieceAndItsLinesGoNowhere) {
  const std::string src = dir.write("memo.txt", numberedLines(20));
  setMode(1);
  results(src, {5, 12}, {5});
  ws.File2Click();
  EXPECT_EQ(headers(), (std::vector<std::string>{dir / "memo0.txt", dir / "memo2.txt"}));
  EXPECT_EQ(captions(), (std::vector<std::string>{range(1, 4), range(12, 20)}));
  // A piece of six lines or more is previewed as two lines, the gap mark and two lines.
  EXPECT_EQ(ws.CheckListBox2.text(3), range(12, 20) + cp932Of("\r\nL12\r\nL13\r\n～～中略～～\r\nL19\r\nL20"));
  EXPECT_EQ(ws.CheckListBox2.text(1), range(1, 4) + "\r\nL1\r\nL2\r\nL3\r\nL4");

  ws.CheckListBox2.setChecked(3, false);  // piece 2's own row decides for it
  save();
  EXPECT_EQ(slurp(dir / "memo0.txt"), linesFromTo(1, 4));
  EXPECT_FALSE(std::filesystem::exists(dir / "memo1.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir / "memo2.txt"));
  const auto& pieces = std::get<undo::Split>(ws.undoRecord()).pieces;
  ASSERT_EQ(pieces.size(), 2u);  // every listed name, written or not
  EXPECT_EQ(pieces[1].path, dir / "memo2.txt");
  EXPECT_FALSE(pieces[1].written);
}

TEST_F(FileSplitTest, EmptyOneLineAndBlankStartingPiecesAreListedButNotWritten) {
  // Matches on line 1 (an empty piece 0 in mode 1), on 3 and 4 (a one-line piece) and on 6, whose
  // piece starts with an empty line.
  const std::string src = dir.write("m.txt", "L1\r\nL2\r\nL3\r\nL4\r\nL5\r\n\r\nL7\r\n");
  setMode(1);
  results(src, {1, 3, 4, 6});
  ws.File2Click();
  EXPECT_EQ(captions(), (std::vector<std::string>{range(1, 0), range(1, 2), range(3, 3), range(4, 5), range(6, 7)}));
  EXPECT_EQ(ws.CheckListBox2.text(1), range(1, 0));  // no preview lines
  save();
  std::vector<bool> written;
  for (int p = 0; p <= 4; ++p) written.push_back(std::filesystem::exists(dir / ("m" + std::to_string(p) + ".txt")));
  EXPECT_EQ(written, (std::vector<bool>{false, true, false, true, false}));
  EXPECT_EQ(slurp(dir / "m1.txt"), "L1\r\nL2\r\n");
  const auto& pieces = std::get<undo::Split>(ws.undoRecord()).pieces;
  for (int p = 0; p <= 4; ++p) EXPECT_EQ(pieces[static_cast<std::size_t>(p)].written, static_cast<bool>(written[p])) << p;
}

TEST_F(FileSplitTest, ASplitModeOtherThanOneToThreeIsRefusedAndTheListKeepsItsRows) {
  const std::string src = dir.write("memo.txt", numberedLines(20));
  setMode(2);
  results(src, {5});
  ws.File2Click();
  const std::vector<CheckRow> before = ws.CheckListBox2.rows();
  for (int mode : {0, 4, -1}) {
    setMode(mode);
    ws.File2Click();
    EXPECT_EQ(ws.CheckListBox2.rows(), before);
    save();
  }
  EXPECT_EQ(ui.texts("message"), std::vector<std::string>(6, cp932Of("ファイル分割の設定が不適切です！")));
  EXPECT_FALSE(std::filesystem::exists(dir / "memo0.txt"));
}

TEST_F(FileSplitTest, TheSaveKeepsToThePreparedFileAndRefusesWhenItChanged) {
  const std::string src = dir.write("memo.txt", numberedLines(20));
  const std::string other = dir.write("other.txt", numberedLines(3));
  setMode(2);
  ws.ShowSearchResults("x", {{src, {{5, "x"}, {12, "x"}}}, {other, {{2, "x"}}}});
  ws.CheckListBox3.setSelectedIndex(0);
  ws.File2Click();
  ws.CheckListBox3.setSelectedIndex(3);  // the selection now stands on another file
  save();
  EXPECT_EQ(slurp(dir / "memo1.txt"), linesFromTo(5, 12));
  EXPECT_FALSE(std::filesystem::exists(dir / "other0.txt"));

  results(src, {5, 12});
  ws.File2Click();
  dir.write("memo.txt", numberedLines(21));
  save();
  EXPECT_EQ(ui.texts("message").back(), src + cp932Of("：分割の準備の後で内容が変わりました。何も書き込んでいません。も"
                                                      "う一度「ファイルの分割」からやり直してください。"));
  EXPECT_TRUE(std::holds_alternative<undo::Unmarked>(ws.undoRecord()));  // the split points: nothing to undo
}

TEST_F(FileSplitTest, APieceThatReplacesAFileKeepsACopyAndStaleOrCutFilesAreRefused) {
  const std::string src = dir.write("memo.txt", numberedLines(20));
  const std::string earlier = dir.write("memo1.txt", "mine\r\n");
  setMode(2);
  results(src, {5});
  ws.File2Click();
  save();
  EXPECT_EQ(slurp(earlier), linesFromTo(5, 20));
  EXPECT_EQ(slurp(files::tempCopyPath(ws.tempFolder(), earlier)), "mine\r\n");
  const undo::SavedFile& replaced = std::get<undo::Split>(ws.undoRecord()).pieces[1];
  EXPECT_EQ(replaced.path, earlier);
  EXPECT_TRUE(replaced.copied && replaced.written);

  results(src, {25});  // the file is shorter than the search saw it
  ws.File2Click();
  EXPECT_EQ(ui.texts("message").back(),
            src + cp932Of("：検索の後でファイルが短くなったため分割できません。もう一度検索してください。"));
  const std::string cut = dir.write("cut.txt", std::string("a\r\nb\r\n\0c\r\n", 9));
  results(cut, {1});
  ws.File2Click();
  EXPECT_EQ(ui.texts("message").back().find(cut), 0u);
  EXPECT_FALSE(std::filesystem::exists(dir / "cut0.txt"));
}

TEST_F(FileSplitTest, UndoDeletesWrittenPiecesPutsBackReplacedOnesAndLeavesTheRest) {
  const std::string src = dir.write("memo.txt", numberedLines(20));
  const std::string mine0 = dir.write("memo0.txt", "mine0\r\n");  // piece 0 is empty: not written
  const std::string mine2 = dir.write("memo2.txt", "mine2\r\n");  // replaced by piece 2
  const std::string fresh = dir / "memo1.txt";
  setMode(1);
  results(src, {1, 5});
  ws.File2Click();
  save();
  EXPECT_EQ(slurp(fresh), linesFromTo(1, 4));
  EXPECT_EQ(slurp(mine2), linesFromTo(5, 20));
  ui.confirmAnswers.push_back(true);
  ws.Undo();
  EXPECT_EQ(ui.texts("confirm").back(), cp932Of("更新しますか？"));
  const std::string n = cp932Of("新規ファイル");
  EXPECT_EQ(ui.texts("message"),
            (std::vector<std::string>{
                n + "\"" + mine0 + "\"" + cp932Of("はこの分割で書き込まれていないため、消去しません。"),
                n + "\"" + fresh + "\"" + cp932Of("を消去します。"),
                n + "\"" + fresh + "\"" + cp932Of("の消去...OK"),
                cp932Of("ファイル") + "\"" + mine2 + "\"" + cp932Of("の復元...OK"),
            }));
  EXPECT_EQ(slurp(mine0), "mine0\r\n");
  EXPECT_FALSE(std::filesystem::exists(fresh));
  EXPECT_EQ(slurp(mine2), "mine2\r\n");
  EXPECT_EQ(slurp(src), numberedLines(20));
}

TEST_F(FileSplitTest, ADoubleClickShowsExactlyThePieceLinesInTheEditor) {
  const std::string src = dir.write("memo.txt", numberedLines(20));
  setMode(3);
  results(src, {5, 12});
  ws.File2Click();
  ASSERT_EQ(captions()[1], range(6, 12));
  ws.CheckListBox2.setSelectedIndex(3);
  ws.CheckListBox2DblClick();
  ws.CheckListBox2.setSelectedIndex(2);  // a header row shows nothing
  ws.CheckListBox2DblClick();
  std::string lines = linesFromTo(6, 12);
  lines.resize(lines.size() - 2);
  EXPECT_EQ(ui.texts("editor-text"), std::vector<std::string>{lines});
}

TEST(SplitNamesTest, OnlyTheFileNameChangesAndANameWithoutExtensionGetsTheNumberAppended) {
  EXPECT_EQ(split::pieceName("/a/memo.txt", 2), "/a/memo2.txt");
  EXPECT_EQ(split::pieceName("/a.txt/b.TXT", 0), "/a.txt/b0.TXT");
  EXPECT_EQ(split::pieceName("/d/x.txt.bak.TXT", 1), "/d/x1.txt.bak1.TXT");  // ".txt" is ".TXT" in another case
  EXPECT_EQ(split::pieceName("/d/x.txt.Txt", 1), "/d/x1.txt1.Txt");          // every occurrence, any case
  EXPECT_EQ(split::pieceName("/d/memo", 3), "/d/memo3");
  EXPECT_EQ(split::pieceName("memo", 0), "memo0");
  const std::string name = cp932Of("/d/表.txt");
  EXPECT_EQ(split::pieceName(name, 4), cp932Of("/d/表4.txt"));
}

TEST(SplitRangesTest, PointsAtTheEdgesAndBadModes) {
  // A match on line 1 and on the last line of a 5-line file.
  const std::vector<int> points{1, 1, 5, 5};
  const std::vector<bool> all(4, true);
  auto ranges = [&](int mode) {
    std::vector<std::pair<int, int>> out;
    for (const split::PieceRange& r : split::pieceRanges(points, all, mode)) out.emplace_back(r.start, r.end);
    return out;
  };
  EXPECT_EQ(ranges(1), (std::vector<std::pair<int, int>>{{0, -1}, {0, 3}, {4, 4}}));
  EXPECT_EQ(ranges(2), (std::vector<std::pair<int, int>>{{0, 0}, {0, 4}, {4, 4}}));
  EXPECT_EQ(ranges(3), (std::vector<std::pair<int, int>>{{0, 0}, {1, 4}, {5, 4}}));
  EXPECT_TRUE(ranges(0).empty());
  EXPECT_TRUE(ranges(4).empty());
}

TEST(SplitLinesTest, TheLineIndexCutsExactlyAsTheLineListsDo) {
  std::mt19937 random(7);
  const char alphabet[] = {'a', '\r', '\n', '\0', '\x82', 'b'};
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 12);
    for (int i = 0; i < length; ++i) text += alphabet[random() % sizeof alphabet];
    bool cutA = false, cutB = false;
    const std::vector<std::string> want = files::splitLines(text, &cutA);
    std::vector<std::string> got;
    for (const split::LineSpan& s : split::indexLines(text, &cutB))
      got.push_back(text.substr(s.begin, s.end - s.begin));
    ASSERT_EQ(got, want) << round;
    ASSERT_EQ(cutB, cutA);
  }
}

}  // namespace
}  // namespace kelvane
