// The join and the split through the real window, offscreen: the tool button, the pop-up, dragging a
// row with the mouse, the saves and the double click that shows a piece. The person's answers come
// from a script; the lists, actions and views are the window's own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <deque>
#include <filesystem>

#include "platform/cp932.h"
#include "settings/ui/EditerUnit.h"
#include "tests/testing/temp_dir.h"
#include "workspace/ui/Unit1.h"
#include "workspace/ui/check_list_model.h"

namespace kelvane {
namespace {

using testing::InFolder;

std::string sj(const std::string& utf8) { return cp932::fromUtf8(utf8).text; }
QString u(const std::string& utf8) { return QString::fromStdString(utf8); }

// The real window with the person's answers scripted: OK to every question, the queued save paths.
class ScriptedForm : public TForm1 {
 public:
  std::deque<std::string> savePaths;
  std::vector<std::string> questions, messages;
  bool confirmOkCancel(const std::string& text) override {
    questions.push_back(text);
    return true;
  }
  void showMessage(const std::string& text) override { messages.push_back(text); }
  void showError(const std::string& text) override { messages.push_back(text); }
  std::optional<std::string> chooseSaveFile(const std::string&, const std::vector<FileFilter>&, const std::string&,
                                            const std::string& extension) override {
    EXPECT_EQ(extension, "txt");
    if (savePaths.empty()) return std::nullopt;
    std::string path = savePaths.front();
    savePaths.pop_front();
    return path;
  }
};

void mouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
  QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

// Saves a picture of the window when KELVANE_SCREENSHOTS names a folder (run under Xvfb for docs/).
void screenshot(QWidget& window, const char* name) {
  const char* folder = std::getenv("KELVANE_SCREENSHOTS");
  if (!folder || !*folder) return;
  QApplication::processEvents();
  window.grab().save(QString::fromLocal8Bit(folder) + "/" + name);
}

// A run whose folder history holds tree and whose join separator is a dashed line.
void writeJoinRun(const testing::TempDir& dir, const std::string& tree) {
  dir.write("run/Kelvane.ini",
            sj("[Main]\r\nフォルダ=\"" + tree + "\",\r\n[ファイル結合]\r\n結合文字列=----------\r\n"));
}

// Shows the window, height pixels tall, with the files of the history's folder as targets.
void showWithTargets(ScriptedForm& form, int height) {
  form.resize(680, height);
  form.show();
  emit form.folderBox()->activated(1);
}

int lines(QAbstractItemModel* model, int row) { return model->index(row, 0).data(CheckListModel::kLinesRole).toInt(); }

TEST(JoinSplitWindowTest, JoinByTheToolButtonDragARowAndSave) {
  testing::TempDir dir;
  const std::string tree = dir.mkdir("tree");
  dir.write("tree/a.txt", sj("あいう\r\n"));
  dir.write("tree/b.txt", "b1\r\nb2\r\nb3\r\nb4\r\nb5\r\nb6\r\n");
  dir.write("tree/c.txt", "c\r\n");
  writeJoinRun(dir, tree);
  InFolder in(dir / "run");
  ScriptedForm form;
  showWithTargets(form, 640);
  ASSERT_EQ(form.workspace().CheckedFileCount, 3);

  form.action("ToolButton8")->trigger();
  EXPECT_EQ(form.pages()->currentIndex(), 1);
  ASSERT_TRUE(form.action("FairuKetugouB")->isEnabled());
  form.action("FairuKetugouB")->trigger();
  QListView* view = form.listView(ListId::kJoin);
  QAbstractItemModel* rows = view->model();
  ASSERT_EQ(rows->rowCount(), 7);
  for (int r = 0; r < 7; ++r) EXPECT_EQ(lines(rows, r), r % 2 ? 6 : 1) << r;
  const int line = form.look(ListId::kJoin).rowHeight;
  EXPECT_EQ(view->visualRect(rows->index(0, 0)).height(), line);
  EXPECT_EQ(view->visualRect(rows->index(3, 0)).height(), 6 * line + 5);
  EXPECT_EQ(rows->index(3, 0).data().toString(),
            u("\"" + tree + "/b.txt\",の内容\r\nb1\r\nb2\r\n～～中略～～\r\nb5\r\nb6"));
  EXPECT_TRUE(form.action("SaveAs1")->isEnabled());
  EXPECT_FALSE(form.action("Find1")->isEnabled());
  screenshot(form, "screenshot-join-list.png");

  // a's content row dragged down onto c's: a now stands after c, still six lines tall.
  QWidget* port = view->viewport();
  const QPoint from = view->visualRect(rows->index(1, 0)).center() + QPoint(60, 0);
  const QPoint to = view->visualRect(rows->index(5, 0)).center() + QPoint(60, 0);
  mouse(port, QEvent::MouseButtonPress, from, Qt::LeftButton);
  mouse(port, QEvent::MouseMove, from + QPoint(0, 20), Qt::LeftButton);
  EXPECT_TRUE(form.workspace().timer2Enabled());
  EXPECT_EQ(form.workspace().CheckListBox2.selectedIndex(), 1);  // the selection stays on the dragged row
  mouse(port, QEvent::MouseMove, to, Qt::LeftButton);
  mouse(port, QEvent::MouseButtonRelease, to, Qt::NoButton);
  EXPECT_FALSE(form.workspace().timer2Enabled());
  EXPECT_EQ(rows->index(5, 0).data().toString(), u("\"" + tree + "/a.txt\",の内容\r\nあいう"));
  EXPECT_EQ(lines(rows, 5), 6);
  EXPECT_EQ(lines(rows, 1), 1);
  EXPECT_EQ(view->currentIndex().row(), 5);

  const std::string joined = dir / "joined.txt";
  form.savePaths.push_back(joined);
  form.action("SaveAs1")->trigger();
  EXPECT_EQ(testing::slurp(joined),
            sj("----------\r\n----------\r\nb1\r\nb2\r\nb3\r\nb4\r\nb5\r\nb6\r\n----------\r\nc\r\n"
               "あいう\r\n----------\r\n"));
  EXPECT_EQ(form.questions, std::vector<std::string>{sj("ヘッダー部分とCheck済部分を新規ファイルに結合します。")});
  EXPECT_FALSE(form.action("SaveAs1")->isEnabled());

  // The undo ("元に戻す" is hidden) deletes the new file.
  form.run([&form] { form.workspace().Repeat1Click(); });
  EXPECT_FALSE(std::filesystem::exists(joined));
  EXPECT_EQ(form.messages.back(), sj("新規ファイル\"" + joined + "\"の消去...OK"));
  form.close();
}

TEST(JoinSplitWindowTest, APointerRestingBelowTheListDuringADragScrollsOneRowPerTick) {
  testing::TempDir dir;
  const std::string tree = dir.mkdir("tree");
  for (int i = 0; i < 8; ++i) dir.write("tree/f" + std::to_string(i) + ".txt", "x\r\n");
  writeJoinRun(dir, tree);
  InFolder in(dir / "run");
  ScriptedForm form;
  showWithTargets(form, 400);
  form.action("ToolButton8")->trigger();
  form.action("FairuKetugouB")->trigger();
  QListView* view = form.listView(ListId::kJoin);
  ASSERT_EQ(view->model()->rowCount(), 17);
  CheckList& list = form.workspace().CheckListBox2;

  QWidget* port = view->viewport();
  const QPoint from = view->visualRect(view->model()->index(1, 0)).center();
  mouse(port, QEvent::MouseButtonPress, from, Qt::LeftButton);
  mouse(port, QEvent::MouseMove, from + QPoint(0, 20), Qt::LeftButton);
  ASSERT_TRUE(form.workspace().timer2Enabled());
  // Out below the list, then resting there: every tick scrolls one row further.
  mouse(port, QEvent::MouseMove, QPoint(from.x(), port->height() + 30), Qt::LeftButton);
  const int top = list.topIndex();
  // Waited for rather than timed: a busy machine may deliver a tick late, never one that scrolls more.
  EXPECT_TRUE(QTest::qWaitFor([&] { return list.topIndex() > top; }, 3000));
  const int once = list.topIndex();
  EXPECT_EQ(once, top + 1) << "one row per tick";
  EXPECT_TRUE(QTest::qWaitFor([&] { return list.topIndex() > once; }, 3000)) << "the resting pointer keeps scrolling";
  // Back over the list and resting: a drag-over at that height, so nothing scrolls.
  mouse(port, QEvent::MouseMove, from + QPoint(0, 40), Qt::LeftButton);
  const int still = list.topIndex();
  QTest::qWait(330);
  EXPECT_EQ(list.topIndex(), still);
  mouse(port, QEvent::MouseButtonRelease, from + QPoint(0, 40), Qt::NoButton);
  EXPECT_FALSE(form.workspace().timer2Enabled());
  form.close();
}

TEST(JoinSplitWindowTest, SplitByThePopUpSaveAndShowAPiece) {
  testing::TempDir dir;
  const std::string tree = dir.mkdir("tree");
  std::string text;
  for (int i = 1; i <= 20; ++i) text += "L" + std::to_string(i) + "\r\n";
  dir.write("tree/memo.txt", text);
  dir.write("run/Kelvane.ini", sj("[Main]\r\nフォルダ=\"" + tree + "\",\r\n"));
  InFolder in(dir / "run");
  ScriptedForm form;
  form.show();
  emit form.folderBox()->activated(1);
  form.patternBox()->setEditText("^L(5|12)$");
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(form.patternBox(), &enter);
  QListView* results = form.listView(ListId::kResult);
  ASSERT_EQ(results->model()->rowCount(), 3);

  // The pop-up on the header row, then "ファイルの分割".
  const QPoint header = results->visualRect(results->model()->index(0, 0)).center();
  emit results->customContextMenuRequested(header);
  ASSERT_TRUE(form.action("File2")->isEnabled());
  form.action("File2")->trigger();
  if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  EXPECT_EQ(form.pages()->currentIndex(), 1);
  EXPECT_EQ(form.pages()->tabText(1), u("ファイル分割モード"));
  QAbstractItemModel* rows = form.listView(ListId::kJoin)->model();
  ASSERT_EQ(rows->rowCount(), 6);
  EXPECT_EQ(rows->index(2, 0).data().toString(), u(tree + "/memo1.txt"));
  EXPECT_EQ(lines(rows, 2), 1);
  EXPECT_EQ(lines(rows, 3), 6);
  screenshot(form, "screenshot-split-list.png");

  form.action("SaveAs1")->trigger();
  EXPECT_EQ(form.questions,
            std::vector<std::string>{sj("新規ファイルに分割します。未チェックのファイルは作成されません。")});
  EXPECT_EQ(testing::slurp(tree + "/memo0.txt"), "L1\r\nL2\r\nL3\r\nL4\r\nL5\r\n");
  EXPECT_EQ(testing::slurp(tree + "/memo1.txt"), "L5\r\nL6\r\nL7\r\nL8\r\nL9\r\nL10\r\nL11\r\nL12\r\n");
  EXPECT_EQ(testing::slurp(tree + "/memo2.txt").substr(0, 5), "L12\r\n");
  EXPECT_TRUE(std::holds_alternative<undo::Split>(form.workspace().undoRecord()));

  QListView* view = form.listView(ListId::kJoin);
  view->setCurrentIndex(rows->index(1, 0));
  emit view->doubleClicked(rows->index(1, 0));
  TFormEditer* editor = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* e = qobject_cast<TFormEditer*>(w); e && e->isVisible()) editor = e;
  }
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->memo()->toPlainText(), "L1\nL2\nL3\nL4\nL5");
  EXPECT_EQ(editor->windowTitle(), "Editer");
  editor->close();

  form.run([&form] { form.workspace().Repeat1Click(); });
  EXPECT_EQ(form.questions.back(), sj("更新しますか？"));
  for (const char* piece : {"/memo0.txt", "/memo1.txt", "/memo2.txt"}) {
    EXPECT_FALSE(std::filesystem::exists(tree + piece)) << piece;
  }
  EXPECT_TRUE(std::filesystem::exists(tree + "/memo.txt"));
  form.close();
}

// The window's own save chooser asks nothing about an existing file: the join asks that itself, once.
class AnsweringForm : public TForm1 {
 public:
  bool confirmOkCancel(const std::string&) override { return true; }
  void showMessage(const std::string&) override {}
};

TEST(JoinSplitWindowTest, TheSaveChooserLeavesTheQuestionAboutAnExistingFileToTheJoin) {
  testing::TempDir dir;
  const std::string tree = dir.mkdir("tree");
  dir.write("tree/a.txt", "a\r\n");
  dir.write("run/Kelvane.ini", sj("[Main]\r\nフォルダ=\"" + tree + "\",\r\n"));
  InFolder in(dir / "run");
  AnsweringForm form;
  form.show();
  emit form.folderBox()->activated(1);
  form.action("ToolButton8")->trigger();
  form.action("FairuKetugouB")->trigger();
  bool seen = false, asksItself = true;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
      seen = true;
      asksItself = !chooser->testOption(QFileDialog::DontConfirmOverwrite);
      EXPECT_EQ(chooser->acceptMode(), QFileDialog::AcceptSave);
      chooser->reject();
    }
  });
  poll.start(20);
  form.action("SaveAs1")->trigger();
  poll.stop();
  EXPECT_TRUE(seen);
  EXPECT_FALSE(asksItself);
  form.close();
}

}  // namespace
}  // namespace kelvane
