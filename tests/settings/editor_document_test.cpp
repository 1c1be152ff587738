// The built-in editor's file without a window: codes kept byte for byte, and no save from a stale read.
#include "settings/editor_document.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/cp932.h"
#include "platform/line_list.h"
#include "tests/settings/scripted_editor_port.h"
#include "tests/testing/temp_dir.h"

namespace kelvane {
namespace {

using editor::LoadedText;

std::string sj(const char* utf8) { return cp932::fromUtf8(utf8).text; }

// Valid CP932 that a fresh encoding writes as other codes of the same characters:
// 87 90 ≒ (81 E0), ED 40 纊 (FA 5C), EE F9 ￢ (81 CA), 87 9A ∵ (81 E6).
const std::string kNec = "\x87\x90";
const std::string kNecIbm = "\xED\x40";
const std::string kNot = "\xEE\xF9";
const std::string kBecause = "\x87\x9A";

// Decodes what the window shows, as the window would hand it back untouched.
std::string shownOf(const std::string& bytes) { return LoadedText(bytes).shown(); }

TEST(EditorText, UntouchedTextComesBackByteForByteWhateverItHolds) {
  const std::string bytes = "a" + kNec + kNecIbm + "\r\n" + kNot + "\n" + kBecause + "\r" + std::string("x\0y", 3) +
                            "\x81\x20" + "\xFF" + "\xA0" + sj("ｶﾅ漢字") + "\x81";
  const LoadedText text(bytes);
  EXPECT_EQ(text.encode(text.shown()).bytes, bytes);
  EXPECT_TRUE(text.encode(text.shown()).ok());
  EXPECT_EQ(text.unreadable(), 5u) << "NUL, 81 before a space, FF, A0, a last lone lead byte";
  // The window sees each line end as LF and each unreadable byte as U+FFFD.
  EXPECT_EQ(shownOf("a\r\nb\rc\nd"), "a\nb\nc\nd");
  EXPECT_EQ(shownOf(std::string("\0", 1)), "\xEF\xBF\xBD");
  EXPECT_EQ(LoadedText("").encode("").bytes, "");
}

TEST(EditorText, DuplicateCodesNextToAndBetweenEditsAreKept) {
  const std::string bytes = kNec + kNecIbm + "\r\n" + kNot + kBecause + "\r\n";
  const LoadedText text(bytes);
  const std::string shown = text.shown();  // "≒纊\n￢∵\n"
  // Typed right after, right before and between them; the typed copies get the usual codes.
  const std::string edited = std::string("≒") + "≒x纊\n" + "∵￢" + "y∵\n";
  EXPECT_EQ(text.encode(edited).bytes,
            kNec + "\x81\xE0" + "x" + kNecIbm + "\r\n" + "\x81\xE6" + kNot + "y" + kBecause + "\r\n");
  // A character removed between two kept ones.
  EXPECT_EQ(text.encode("≒\n￢∵\n").bytes, kNec + "\r\n" + kNot + kBecause + "\r\n");
  // Two edits far apart leave what lies between them alone.
  std::string many;
  for (int i = 0; i < 50; ++i) many += kNec + sj("行") + "\r\n";
  const LoadedText long_(many);
  std::string window = long_.shown();
  window.replace(0, 3, "A");              // the first ≒
  window.insert(window.size() - 1, "Z");  // before the last line end
  const std::string out = long_.encode(window).bytes;
  EXPECT_EQ(out, "A" + many.substr(2, many.size() - 4) + "Z\r\n");
}

TEST(EditorText, LineEndsAndLinesFollowTheEdits) {
  const std::string bytes = kNec + "\r\n" + "b\n" + kNot + "\r" + "d";
  const LoadedText text(bytes);
  // A new line in the middle gets CR LF; the lone LF and CR of the untouched lines stay.
  EXPECT_EQ(text.encode("≒\nb\nnew\n￢\nd").bytes, kNec + "\r\n" + "b\n" + "new\r\n" + kNot + "\r" + "d");
  // Two lines joined, a line deleted, a line split.
  EXPECT_EQ(text.encode("≒b\n￢\nd").bytes, kNec + "b\n" + kNot + "\r" + "d");
  EXPECT_EQ(text.encode("≒\n￢\nd").bytes, kNec + "\r\n" + kNot + "\r" + "d");
  EXPECT_EQ(text.encode("≒\nb\n￢\nd\n").bytes, kNec + "\r\n" + "b\n" + kNot + "\r" + "d\r\n");
  // Everything deleted; everything typed anew.
  EXPECT_EQ(text.encode("").bytes, "");
  EXPECT_EQ(LoadedText("").encode("≒\n").bytes, "\x81\xE0\r\n");
}

TEST(EditorText, UnreadableBytesStayWhileUntouchedAndTypedTextThatShiftJisCannotHoldFails) {
  const std::string bytes = std::string("ab\0cd\xFF", 6) + "\r\n";
  const LoadedText text(bytes);
  std::string window = text.shown();
  window.insert(window.size() - 1, "e");
  EXPECT_EQ(text.encode(window).bytes, std::string("ab\0cd\xFF", 6) + "e\r\n");
  // A U+FFFD the person typed (or pasted) is no byte of the file: it cannot be written.
  EXPECT_FALSE(text.encode("\xEF\xBF\xBD" + window).ok());
  EXPECT_FALSE(text.encode(window + "\xF0\x9F\x98\x80").ok());  // an emoji
}

TEST(EditorText, ManyScatteredEditsStillKeepTheUntouchedLines) {
  // 1,500 edited lines: more differences than one shortest script follows, so the lines found once
  // on each side anchor the comparison.
  std::string bytes;
  for (int i = 0; i < 6000; ++i) bytes += kNec + std::to_string(i) + "\r\n";
  const LoadedText text(bytes);
  std::string window, expected;
  for (int i = 0; i < 6000; ++i) {
    const bool edit = i % 4 == 3;
    window += std::string("≒") + std::to_string(i) + (edit ? "x" : "") + "\n";
    expected += kNec + std::to_string(i) + (edit ? "x" : "") + "\r\n";
  }
  EXPECT_EQ(text.encode(window).bytes, expected);
}

class EditorDocumentTest : public ::testing::Test {
 protected:
  testing::TempDir dir;
  std::string original = kNec + sj("一行目") + "\r\n" + kNecIbm + "\r\n";
  std::string file = dir.write("a \"b\",c.txt", original);
  testing::ScriptedEditorPort port;
  EditorDocument doc{port};
  std::string temp = dir.mkdir("Temp");
  std::string copyOf(const std::string& path) { return files::tempCopyPath(temp + "/Editer", path); }
  void SetUp() override { doc.setTempFolder(temp); }
  // The window's text with a line typed at its end.
  std::string withLine(const char* line) { return doc.shownText() + line; }
};

TEST_F(EditorDocumentTest, AnOverwriteKeepsTheCodesAndTheOriginalBytesAsACopy) {
  ASSERT_TRUE(doc.load(file));
  EXPECT_FALSE(doc.overwrite(doc.shownText())) << "nothing edited";
  EXPECT_EQ(port.messages, std::vector<std::string>{sj("変更されていません。")});
  doc.edited();
  port.answers = {true, true};
  ASSERT_TRUE(doc.overwrite(withLine("三")));
  EXPECT_EQ(port.questions,
            (std::vector<std::string>{sj("上書きしますか？"), sj("既存のファイルは、新期ファイルで上書きされます。")}));
  EXPECT_EQ(testing::slurp(file), original + sj("三"));
  EXPECT_EQ(testing::slurp(copyOf(file)), original);
  EXPECT_FALSE(doc.modified());

  // The next save replaces the editor's own bytes: the copy of the original stays.
  doc.edited();
  port.answers = {true, true};
  ASSERT_TRUE(doc.overwrite(doc.shownText() + "\n"));
  EXPECT_EQ(port.questions.size(), 4u);
  EXPECT_EQ(testing::slurp(file), original + sj("三") + "\r\n");
  EXPECT_EQ(testing::slurp(copyOf(file)), original);
}

TEST_F(EditorDocumentTest, ALineAddedOnDiskMeanwhileIsNotLostWithoutAQuestionNamingTheFile) {
  ASSERT_TRUE(doc.load(file));
  const std::string theirs = original + "added by another writer\r\n";
  dir.write("a \"b\",c.txt", theirs);
  doc.edited();
  port.answers = {true, true, false};
  EXPECT_FALSE(doc.overwrite(withLine("mine")));
  ASSERT_EQ(port.questions.size(), 3u);
  EXPECT_EQ(port.questions[2], sj("ファイル「") + file +
                                   sj("」は、エディタで開いた後に変更されています。上書きすると、その変更は失われます"
                                      "（上書き前の内容はTempフォルダにコピーされます）。上書きしますか？"));
  EXPECT_EQ(testing::slurp(file), theirs);
  EXPECT_TRUE(doc.modified());
  // The close asks the same and keeps the window when the answer is No.
  port.answers = {true, true, false};
  EXPECT_FALSE(doc.close(withLine("mine")));
  EXPECT_EQ(testing::slurp(file), theirs);

  port.answers = {true, true, true};
  ASSERT_TRUE(doc.overwrite(withLine("mine")));
  EXPECT_EQ(testing::slurp(file), original + "mine");
  EXPECT_EQ(testing::slurp(copyOf(file)), theirs) << "the replaced bytes are kept";
}

TEST_F(EditorDocumentTest, TheSameFileIsFoundByItsInodeAndAnIdenticalReplacementAsksNothing) {
  ASSERT_TRUE(doc.load(file));
  // A second name of the opened file, changed through that name: saving under it is checked too.
  const std::string link = dir / "link.txt";
  ASSERT_EQ(::link(file.c_str(), link.c_str()), 0);
  dir.write("link.txt", original + "x\r\n");
  port.chosen = {link};
  port.answers = {false};
  doc.saveAs(withLine("y"));
  EXPECT_EQ(port.questions.size(), 1u);
  EXPECT_EQ(testing::slurp(link), original + "x\r\n");

  // Replaced by a new file (another inode) with the very bytes the editor read: nothing to lose.
  const std::string fresh = dir.write("fresh.tmp", original);
  ASSERT_EQ(::rename(fresh.c_str(), file.c_str()), 0);
  doc.edited();
  port.answers = {true, true};
  ASSERT_TRUE(doc.overwrite(withLine("z")));
  EXPECT_EQ(port.questions.size(), 3u);
  EXPECT_EQ(testing::slurp(file), original + "z");
}

TEST_F(EditorDocumentTest, SaveAsOverAnotherFileKeepsItsBytesAndLeavesTitleAndFlag) {
  ASSERT_TRUE(doc.load(file));
  doc.edited();
  const std::string other = dir.write("other.txt", "old,\r\n\"text\"");
  port.chosen = {other};
  doc.saveAs(withLine("new"));
  EXPECT_TRUE(port.questions.empty()) << "the chooser asked already";
  EXPECT_EQ(testing::slurp(other), original + "new");
  EXPECT_EQ(testing::slurp(copyOf(other)), "old,\r\n\"text\"");
  EXPECT_EQ(doc.path(), file);
  EXPECT_TRUE(doc.modified());
  EXPECT_EQ(testing::slurp(file), original);
}

TEST_F(EditorDocumentTest, NothingIsWrittenFromTextShiftJisCannotHoldOrWhenTheCopyCannotBeMade) {
  ASSERT_TRUE(doc.load(file));
  doc.edited();
  port.answers = {true, true};
  EXPECT_FALSE(doc.overwrite(withLine("\xF0\x9F\x98\x80")));
  EXPECT_EQ(port.messages.back().substr(0, 9), "Shift-JIS");
  EXPECT_EQ(testing::slurp(file), original);

  // The temporary folder is a file: no copy, so no write.
  doc.setTempFolder(dir.write("Temp2", "not a folder"));
  port.answers = {true, true};
  EXPECT_FALSE(doc.overwrite(withLine("x")));
  EXPECT_EQ(testing::slurp(file), original);
  EXPECT_TRUE(doc.modified());
}

TEST_F(EditorDocumentTest, OpenAndShownTextStartUnmodifiedAndAFailedReadChangesNothing) {
  ASSERT_TRUE(doc.load(file));
  port.chosen = {std::nullopt};
  EXPECT_FALSE(doc.openChosen());
  EXPECT_EQ(port.messages.back(), sj("ファイルは選択されませんでした。"));
  EXPECT_FALSE(doc.load(dir / "missing.txt"));
  EXPECT_EQ(doc.path(), file);
  EXPECT_EQ(doc.shownText(), LoadedText(original).shown());

  // Text with no file: the save asks for a name, and the title follows it.
  doc.showText(kNec + "\r\n");
  EXPECT_EQ(doc.path(), "");
  doc.edited();
  const std::string target = dir / "new.txt";
  port.answers = {true, true};
  port.chosen = {target};
  ASSERT_TRUE(doc.overwrite(doc.shownText() + "x"));
  EXPECT_EQ(testing::slurp(target), kNec + "\r\nx");
  EXPECT_EQ(doc.path(), target);
}

}  // namespace
}  // namespace kelvane
