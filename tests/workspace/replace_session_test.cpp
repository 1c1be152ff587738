// The overwrite against the world outside the program: another program saving a file while it is
// asked about, one file under several names, settings changed after the preview, a narrowing under a
// pending preview, plain-text searches replaced as found, long replacements, and an overwrite stopped
// halfway that still names every file it left alone.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/files.h"
#include "tests/workspace/rewrite_fixture.h"

namespace kelvane {
namespace {

using testing::cp932Of;
using testing::matchLabel;
using testing::slurp;

class ReplaceSessionTest : public testing::RewriteTest {
 protected:
  std::string lastMessage() const {
    const std::vector<std::string> m = ui.texts("message");
    return m.empty() ? std::string() : m.back();
  }
  bool names(const std::string& message, const std::string& name) const {
    return message.find(file(name)) != std::string::npos;
  }
};

TEST_F(ReplaceSessionTest, AnEditSavedWhileTheQuestionIsShownIsKeptAndNamed) {
  write("a.txt", "foo\r\n");
  write("b.txt", "foo\r\n");
  search("foo");
  preview("X");
  ui.onConfirm = [&](const std::string& question) {
    if (question.find(file("a.txt")) == 0) write("a.txt", "foo\r\nsaved by the editor\r\n");
  };
  ui.confirmAnswers = {true, true};
  ws.OverwriteFiles();
  EXPECT_EQ(slurp(file("a.txt")), "foo\r\nsaved by the editor\r\n");
  EXPECT_EQ(slurp(file("b.txt")), "X\r\n");
  EXPECT_EQ(slurp(copyOf("a.txt")), "foo\r\n");  // the copy is of what was read and asked about
  const std::string message = lastMessage();
  EXPECT_EQ(message.find(cp932Of("次のファイルは上書きしませんでした：")), 0u);
  EXPECT_NE(message.find(file("a.txt") + cp932Of("：確認の間に他のプログラムで変更されたため")), std::string::npos);
  EXPECT_FALSE(names(message, "b.txt"));
  // The undo leaves the editor's text alone: the overwrite never wrote that file.
  ui.confirmAnswers = {true};
  ws.Undo();
  EXPECT_EQ(slurp(file("a.txt")), "foo\r\nsaved by the editor\r\n");
  EXPECT_EQ(slurp(file("b.txt")), "foo\r\n");
}

// What getfattr shows of one attribute of path, empty when it shows nothing.
std::string attributeOf(const std::string& path, const std::string& name) {
  const std::string command = "getfattr --only-values -n " + name + " '" + path + "' 2>/dev/null";
  std::string value;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) value.append(buffer, n);
    pclose(pipe);
  }
  return value;
}

// The overwrite and its undo keep what the file is: its other hard link sees every text, its
// attributes (set and read back with the attr package's tools), its owner and its mode stay.
TEST_F(ReplaceSessionTest, TheOverwriteAndItsUndoKeepLinksAttributesOwnerAndMode) {
  write("a.txt", "foo\r\n");
  const std::string other = root.write("elsewhere/other-name.txt", "");
  std::filesystem::remove(other);
  std::filesystem::create_hard_link(file("a.txt"), other);
  const std::string set = "setfattr -n user.kelvane -v kept '" + file("a.txt") + "' 2>/dev/null";
  if (std::system(set.c_str()) != 0) GTEST_SKIP() << "no setfattr, or no user attributes on this file system";
  const bool root_ = geteuid() == 0;
  if (root_) {
    ASSERT_EQ(::chown(file("a.txt").c_str(), 65534, 65534), 0);
  }
  ASSERT_EQ(::chmod(file("a.txt").c_str(), 0640), 0);
  const auto keptAsItWas = [&] {
    struct stat st {};
    ASSERT_EQ(::stat(file("a.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_nlink, 2u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root_) {
      EXPECT_EQ(st.st_uid, 65534u);
    }
    EXPECT_EQ(attributeOf(file("a.txt"), "user.kelvane"), "kept");
    EXPECT_EQ(slurp(other), slurp(file("a.txt")));
  };
  search("foo");
  preview("X");
  ui.confirmAnswers = {true};
  ws.OverwriteFiles();
  EXPECT_EQ(slurp(file("a.txt")), "X\r\n");
  keptAsItWas();
  ui.confirmAnswers = {true};
  ws.Undo();
  EXPECT_EQ(slurp(file("a.txt")), "foo\r\n");
  keptAsItWas();
}

TEST_F(ReplaceSessionTest, OneFileUnderThreeNamesIsCopiedAskedAndWrittenOnceWithTheCheckedRowsOfEach) {
  write("a.txt", "foo 1\r\nfoo 2\r\n");
  std::filesystem::create_hard_link(file("a.txt"), file("h.txt"));
  std::filesystem::create_symlink(file("a.txt"), file("s.txt"));
  search("foo");
  ASSERT_EQ(ws.CheckListBox3.count(), 9);
  // a.txt keeps line 1 checked, h.txt line 2; every row of s.txt is unchecked.
  for (int row : {2, 4, 7, 8}) ws.CheckListBox3.setChecked(row, false);
  preview("X");
  ui.confirmAnswers = {true};
  ws.OverwriteFiles();
  EXPECT_TRUE(ui.unexpected.empty());
  EXPECT_EQ(ui.texts("confirm"), std::vector<std::string>{file("a.txt") + "\r\n" + cp932Of("を置き換えますか？")});
  EXPECT_EQ(slurp(file("a.txt")), "X 1\r\nX 2\r\n");
  EXPECT_TRUE(std::filesystem::is_symlink(file("s.txt")));
  EXPECT_EQ(std::filesystem::hard_link_count(file("a.txt")), 2u);
  EXPECT_EQ(copies(), std::vector<std::string>{copyOf("a.txt")});
  EXPECT_EQ(slurp(copyOf("a.txt")), "foo 1\r\nfoo 2\r\n");
  const std::string message = lastMessage();
  for (const char* other : {"h.txt", "s.txt"})
    EXPECT_NE(message.find(file(other) + cp932Of("：") + file("a.txt") + cp932Of(" と同じファイル")), std::string::npos)
        << other;
}

TEST_F(ReplaceSessionTest, OptionsAndPatternChangedAfterThePreviewDoNotChangeWhatIsWritten) {
  write("a.txt", "abc ABC 1x5\r\n");
  search("abc");
  preview("<&>");
  const std::string shown = ws.CheckListBox3.text(1).substr(matchLabel(1).size());
  ws.settings.FuzzyDic = !ws.settings.FuzzyDic;
  ws.settings.UseRegExp = false;
  ws.settings.CaseSensitive = !ws.settings.CaseSensitive;
  ws.ComboBox1.setEditText("1.5");
  ws.AWKStr1.SetRegExp("1.5");
  ui.confirmAnswers = {true};
  ws.OverwriteFiles();
  EXPECT_EQ(slurp(file("a.txt")), shown + "\r\n");
  EXPECT_NE(shown.find("<abc>"), std::string::npos);
  EXPECT_NE(shown.find("1x5"), std::string::npos);
}

TEST_F(ReplaceSessionTest, ANarrowingEndsAPendingPreviewSoNoRowShowsATextNoFileWillGet) {
  write("a.txt", "foo\r\n");
  search("foo");
  preview("X");
  ws.N3Click();
  EXPECT_EQ(ws.CheckListBox3.text(1), matchLabel(1) + "foo");
  EXPECT_TRUE(ws.CheckListBox3.isChecked(1));
  EXPECT_FALSE(ws.ReplacePending());
  EXPECT_FALSE(enabled("N12"));
  EXPECT_TRUE(std::holds_alternative<undo::Narrowing>(ws.undoRecord()));
  ws.OverwriteFiles();
  EXPECT_EQ(ui.count("confirm"), 0);
  EXPECT_EQ(slurp(file("a.txt")), "foo\r\n");
}

TEST_F(ReplaceSessionTest, APlainTextSearchIsReplacedAsFoundLiterallyAndWithItsCaseRule) {
  write("a.txt", "1.5 125 1x5\r\nA.b a.B\r\n");
  ws.settings.UseRegExp = false;
  ws.settings.CaseSensitive = false;
  search("1.5");
  ASSERT_EQ(ws.CheckListBox3.count(), 2);
  preview("[&]");  // "&" still stands for the text found
  EXPECT_EQ(ws.CheckListBox3.text(1), matchLabel(1, false) + "[1.5] 125 1x5");
  ui.confirmAnswers = {true};
  ws.OverwriteFiles();
  EXPECT_EQ(slurp(file("a.txt")), "[1.5] 125 1x5\r\nA.b a.B\r\n");

  search("a.b");  // found without regard to case, so replaced so
  preview("\\&&");
  EXPECT_EQ(ws.CheckListBox3.text(1), matchLabel(2, false) + "&A.b &a.B");

  ws.settings.CaseSensitive = true;
  search("a.B");
  preview("Z");
  EXPECT_EQ(ws.CheckListBox3.text(1), matchLabel(2, false) + "A.b Z");

  write("b.txt", "a(b\r\n");  // no pattern, and none is needed
  search("a(");
  preview("x");
  EXPECT_EQ(ui.count("error"), 0);
  EXPECT_EQ(ws.CheckListBox3.text(1), matchLabel(1, false) + "xb");
}

// The preview replaces what the search found: options changed between the search and the preview
// do not turn a plain-text search's rows into a pattern's, or the other way round.
TEST_F(ReplaceSessionTest, OptionsChangedBetweenTheSearchAndThePreviewDoNotChangeWhatIsReplaced) {
  write("a.txt", "1.5 125\r\n");
  ws.settings.UseRegExp = false;
  search("1.5");
  ws.settings.UseRegExp = true;  // "1.5" as a pattern would also take "125"
  preview("X");
  EXPECT_EQ(ws.CheckListBox3.text(1), matchLabel(1, false) + "X 125");
  ui.confirmAnswers = {true};
  ws.OverwriteFiles();
  EXPECT_EQ(slurp(file("a.txt")), "X 125\r\n");

  write("b.txt", "a.c abc\r\n");
  search("a.c");  // a pattern search now: both
  ws.settings.UseRegExp = false;
  preview("Y");
  EXPECT_EQ(ws.CheckListBox3.text(1), matchLabel(1) + "Y Y");
}

TEST_F(ReplaceSessionTest, ALongReplacementIsShownAndWrittenWhole) {
  write("a.txt", "foo\r\n");
  search("foo");
  const std::string longText(40000, 'y');
  preview(longText);
  EXPECT_EQ(ws.CheckListBox3.text(1), matchLabel(1) + longText);
  ui.confirmAnswers = {true};
  ws.OverwriteFiles();
  EXPECT_EQ(slurp(file("a.txt")), longText + "\r\n");
}

TEST_F(ReplaceSessionTest, AStoppedOverwriteNamesTheFilesItRefusedBeforeAndTheFilesItDidNotReach) {
  for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt", "f.txt"}) write(name, "foo\r\n");
  search("foo");
  preview("X");
  std::filesystem::remove(file("a.txt"));
  std::filesystem::create_directory(file("a.txt"));  // a folder in place of a target
  std::filesystem::remove(file("b.txt"));
  ASSERT_EQ(mkfifo(file("b.txt").c_str(), 0644), 0);  // a fifo: never opened for a wait
  std::filesystem::remove(file("c.txt"));
  std::filesystem::create_symlink("/dev/null", file("c.txt"));  // a device
  chmod(file("e.txt").c_str(), 0444);                           // the write that fails
  ui.confirmAnswers = {true, true, true};
  ws.OverwriteFiles();
  EXPECT_EQ(slurp(file("d.txt")), "X\r\n");
  EXPECT_EQ(slurp(file("e.txt")), "foo\r\n");
  EXPECT_EQ(slurp(file("f.txt")), "foo\r\n");
  ASSERT_EQ(ui.count("error"), 1);
  EXPECT_NE(ui.texts("error")[0].find(file("e.txt")), std::string::npos);
  const std::string message = lastMessage();
  EXPECT_EQ(message.find(cp932Of("次のファイルは上書きしませんでした：")), 0u);
  for (const char* name : {"a.txt", "b.txt", "c.txt", "f.txt"}) EXPECT_TRUE(names(message, name)) << name;
  EXPECT_NE(message.find(file("f.txt") + cp932Of("：上書きが途中で止まった")), std::string::npos);
  EXPECT_FALSE(names(message, "d.txt"));
  EXPECT_TRUE(ws.ReplacePending());
  EXPECT_TRUE(std::filesystem::is_directory(file("a.txt")));
  EXPECT_TRUE(std::filesystem::is_fifo(file("b.txt")));
  EXPECT_EQ(std::filesystem::read_symlink(file("c.txt")), "/dev/null");
}

}  // namespace
}  // namespace kelvane
