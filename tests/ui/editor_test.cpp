// The built-in editor with scripted answers in place of its message boxes and choosers.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBlock>
#include <deque>

#include "platform/cp932.h"
#include "qtcommon/qt_text.h"
#include "settings/ui/EditerUnit.h"
#include "tests/settings/scripted_editor_port.h"
#include "tests/testing/temp_dir.h"

namespace kelvane {
namespace {

std::string sj(const char* utf8) { return cp932::fromUtf8(utf8).text; }
QString u(const char* utf8) { return QString::fromUtf8(utf8); }

// The editor with its questions answered by a script; what it shows is also kept as QStrings.
class ScriptedEditer : public TFormEditer {
 public:
  testing::ScriptedEditorPort script;
  std::deque<bool>& answers = script.answers;                      // Yes / No, in order
  std::deque<std::optional<std::string>>& chosen = script.chosen;  // file choosers, in order
  std::vector<QString> questions;
  std::vector<QString> messages;

 protected:
  bool askYesNo(const std::string& text) override {
    questions.push_back(toQ(text));
    return script.askYesNo(text);
  }
  void inform(const std::string& text) override { messages.push_back(toQ(text)); }
  std::optional<std::string> chooseOpenFile() override { return script.chooseOpenFile(); }
  std::optional<std::string> chooseSaveFile(const std::string& folder) override {
    return script.chooseSaveFile(folder);
  }
};

void typeAtEnd(QPlainTextEdit* memo, const QString& text) {
  QTextCursor c = memo->textCursor();
  c.movePosition(QTextCursor::End);
  c.insertText(text);
}

// Closes the window and lets Qt delete it; returns whether it is gone.
bool closeAndCollect(QPointer<ScriptedEditer>& editor) {
  editor->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return editor.isNull();
}

class EditorTest : public ::testing::Test {
 protected:
  testing::TempDir dir;
  std::string file = dir.write("a.txt", sj("一行目\r\n二行目\r\n三行目\r\n"));
  std::string temp = dir / "Temp";
  QPointer<ScriptedEditer> editor = newEditor();
  // An editor keeping the copies of what it replaces below this test's folder.
  ScriptedEditer* newEditor() {
    auto* e = new ScriptedEditer;
    e->setTempFolder(temp);
    return e;
  }
  void TearDown() override { delete editor.data(); }
};

TEST_F(EditorTest, OpensAFileAtItsLineWithThePositionShownAndNothingToSave) {
  ASSERT_TRUE(editor->openFile(file, 3));
  EXPECT_EQ(editor->memo()->textCursor().blockNumber(), 2);
  EXPECT_EQ(editor->statusText(), u("縦：3横：1"));
  EXPECT_EQ(editor->windowTitle(), QString::fromStdString(file));
  EXPECT_FALSE(editor->isModified());
  EXPECT_FALSE(editor->overWriteAction()->isEnabled());
  EXPECT_EQ(editor->memo()->toPlainText(), u("一行目\n二行目\n三行目\n"));

  ASSERT_TRUE(editor->openFile(file, -1));
  EXPECT_EQ(editor->statusText(), u("縦：1横：1"));
  ASSERT_TRUE(editor->openFile(file, 99));
  EXPECT_TRUE(editor->memo()->textCursor().atEnd());

  // A file that cannot be read changes nothing but says why.
  EXPECT_FALSE(editor->openFile(dir / "missing.txt", 2));
  EXPECT_EQ(editor->messages.size(), 1u);
  EXPECT_EQ(editor->windowTitle(), QString::fromStdString(file));
  EXPECT_EQ(editor->memo()->toPlainText(), u("一行目\n二行目\n三行目\n"));
}

TEST_F(EditorTest, OverwriteAsksTwiceAndWritesShiftJisWithCrLfToTheTitlesFile) {
  ASSERT_TRUE(editor->openFile(file, 1));
  editor->OverWriteMClick();
  ASSERT_EQ(editor->messages.size(), 1u);
  EXPECT_EQ(editor->messages[0], u("変更されていません。"));

  typeAtEnd(editor->memo(), u("四行目"));
  EXPECT_TRUE(editor->overWriteAction()->isEnabled());
  editor->answers = {true, false};
  editor->OverWriteMClick();
  EXPECT_EQ(testing::slurp(file), sj("一行目\r\n二行目\r\n三行目\r\n"));

  // Saved under another name first: the overwrite still goes to the file of the title.
  const std::string other = dir / "b.txt";
  editor->chosen = {other};
  editor->SaveAsMClick();
  EXPECT_EQ(testing::slurp(other), sj("一行目\r\n二行目\r\n三行目\r\n四行目"));
  EXPECT_TRUE(editor->isModified());
  editor->answers = {true, true};
  editor->OverWriteMClick();
  EXPECT_EQ(editor->questions.back(), u("既存のファイルは、新期ファイルで上書きされます。"));
  EXPECT_EQ(testing::slurp(file), sj("一行目\r\n二行目\r\n三行目\r\n四行目"));
  EXPECT_FALSE(editor->isModified());
  EXPECT_FALSE(editor->overWriteAction()->isEnabled());
  EXPECT_EQ(editor->windowTitle(), QString::fromStdString(file));
}

TEST_F(EditorTest, AnEditUndoneIsStillAnEditUntilASaveOrAnOpen) {
  ASSERT_TRUE(editor->openFile(file, 1));
  typeAtEnd(editor->memo(), u("x"));
  editor->memo()->undo();
  EXPECT_EQ(editor->memo()->toPlainText(), u("一行目\n二行目\n三行目\n"));
  EXPECT_TRUE(editor->isModified());
  EXPECT_TRUE(editor->overWriteAction()->isEnabled());
  editor->answers = {true, true};
  editor->OverWriteMClick();
  EXPECT_TRUE(editor->messages.empty()) << "not \"変更されていません。\"";
  EXPECT_EQ(editor->questions.size(), 2u);
  EXPECT_FALSE(editor->isModified());

  // Saving under another name, over a file that is there, asks nothing beyond the file chooser's own
  // question and changes neither the flag nor the title.
  typeAtEnd(editor->memo(), u("y"));
  const std::string other = dir.write("b.txt", "old");
  editor->chosen = {other};
  editor->SaveAsMClick();
  EXPECT_EQ(editor->questions.size(), 2u);
  EXPECT_EQ(testing::slurp(other), sj("一行目\r\n二行目\r\n三行目\r\ny"));
  EXPECT_TRUE(editor->isModified());
  EXPECT_EQ(editor->windowTitle(), QString::fromStdString(file));

  // An open starts afresh.
  editor->chosen = {other};
  editor->OpenMClick();
  EXPECT_FALSE(editor->isModified());
  EXPECT_FALSE(editor->overWriteAction()->isEnabled());
}

TEST_F(EditorTest, ClosingWithEditsSavesOnlyOnYesAndYes) {
  ASSERT_TRUE(editor->openFile(file, 1));
  typeAtEnd(editor->memo(), u("x"));
  editor->answers = {false};
  EXPECT_TRUE(closeAndCollect(editor));
  EXPECT_EQ(testing::slurp(file), sj("一行目\r\n二行目\r\n三行目\r\n"));

  editor = newEditor();
  ASSERT_TRUE(editor->openFile(file, 1));
  typeAtEnd(editor->memo(), u("y"));
  editor->answers = {true, true};
  EXPECT_TRUE(closeAndCollect(editor));
  EXPECT_EQ(testing::slurp(file), sj("一行目\r\n二行目\r\n三行目\r\ny"));
}

TEST_F(EditorTest, WithNoFileOpenedTheSaveAsksForANameInsteadOfWritingEditer) {
  typeAtEnd(editor->memo(), u("新しい文章"));
  const std::string target = dir / "new.txt";
  editor->answers = {true, true};
  editor->chosen = {target};
  editor->OverWriteMClick();
  EXPECT_EQ(testing::slurp(target), sj("新しい文章"));
  EXPECT_EQ(editor->windowTitle(), QString::fromStdString(target));
  EXPECT_FALSE(testing::slurp(dir / "Editer").size());
}

TEST_F(EditorTest, TextThatShiftJisCannotHoldIsNeverWrittenAndAFailedSaveKeepsTheWindow) {
  ASSERT_TRUE(editor->openFile(file, 1));
  typeAtEnd(editor->memo(), QString::fromUtf8("\xF0\x9F\x98\x80"));  // an emoji
  editor->answers = {true, true};
  editor->OverWriteMClick();
  ASSERT_FALSE(editor->messages.empty());
  EXPECT_EQ(testing::slurp(file), sj("一行目\r\n二行目\r\n三行目\r\n"));
  EXPECT_TRUE(editor->isModified());
  editor->answers = {true, true};
  EXPECT_FALSE(closeAndCollect(editor)) << "the edits would be lost";
  EXPECT_TRUE(editor->isModified());
}

TEST_F(EditorTest, BytesThatAreNotShiftJisAndDuplicateCodesSurviveAnEditElsewhere) {
  // A NUL, a byte that is no character and NEC codes that a fresh encoding would change (87 90 ≒,
  // ED 40 纊): the window shows marks and characters, and a save writes back what it did not touch.
  const std::string bytes = std::string("ab\0cd\xFF\x87\x90\xED\x40\n", 11);
  const std::string odd = dir.write("odd.txt", bytes);
  ASSERT_TRUE(editor->openFile(odd, 1));
  typeAtEnd(editor->memo(), u("e≒"));
  editor->answers = {true, true};
  editor->OverWriteMClick();
  EXPECT_EQ(editor->questions.size(), 2u);
  EXPECT_EQ(testing::slurp(odd), bytes + "e\x81\xE0");
  EXPECT_FALSE(editor->overWriteAction()->isEnabled());
}

TEST_F(EditorTest, AChangeOnDiskWhileTheEditorIsOpenIsAskedAboutAndKeptAsACopy) {
  ASSERT_TRUE(editor->openFile(file, 1));
  const std::string theirs = sj("一行目\r\n二行目\r\n三行目\r\n他の人の行\r\n");
  dir.write("a.txt", theirs);
  typeAtEnd(editor->memo(), u("x"));
  editor->answers = {true, true, false};
  editor->OverWriteMClick();
  ASSERT_EQ(editor->questions.size(), 3u);
  EXPECT_TRUE(editor->questions[2].contains(QString::fromStdString(file))) << editor->questions[2].toStdString();
  EXPECT_EQ(testing::slurp(file), theirs);
  EXPECT_TRUE(editor->overWriteAction()->isEnabled());

  editor->answers = {true, true, true};
  EXPECT_TRUE(closeAndCollect(editor));
  EXPECT_EQ(testing::slurp(file), sj("一行目\r\n二行目\r\n三行目\r\nx"));
  EXPECT_EQ(testing::slurp(temp + "/Editer" + file), theirs);
}

}  // namespace
}  // namespace kelvane
