// The real main window, made offscreen in a fresh start-up folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPointer>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <functional>
#include <set>

#include "platform/cp932.h"
#include "tests/testing/temp_dir.h"
#include "workspace/ui/Unit1.h"
#include "workspace/ui/check_list_model.h"
#include "workspace/ui/command_view.h"
#include "workspace/ui/row_delegate.h"

namespace kelvane {
namespace {

using testing::InFolder;

QString u(const char* utf8) { return QString::fromUtf8(utf8); }
std::string sj(const std::string& utf8) { return cp932::fromUtf8(utf8).text; }

TEST(MainWindowTest, OpensWithTitleTabsCaptionsAndClosesWritingTheSettings) {
  testing::TempDir dir;
  InFolder in(dir.path());
  {
    TForm1 form;
    form.show();
    EXPECT_EQ(form.windowTitle(), "Kelvane");
    EXPECT_EQ(form.size(), QSize(680, 480));

    QTabWidget* tabs = form.pages();
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabPosition(), QTabWidget::South);
    EXPECT_EQ(tabs->tabText(0), u("検索モード"));
    EXPECT_EQ(tabs->tabText(1), u("ファイル結合モード"));
    EXPECT_EQ(tabs->tabText(2), u("対象File一覧"));
    EXPECT_EQ(tabs->currentIndex(), 2);

    EXPECT_EQ(form.action("ToolButton1")->toolTip(), u("検索"));
    EXPECT_EQ(form.action("N12")->text(), u("置換え結果を上書き"));
    EXPECT_EQ(form.action("CheckOFFFolder1")->text(), u("CheckON(フォルダ全体)"));
    EXPECT_FALSE(form.action("OverWriteB")->isEnabled());
    EXPECT_FALSE(form.action("undoB")->isVisible());
    EXPECT_FALSE(form.action("CSV1")->isVisible());
    EXPECT_TRUE(form.action("GREP1")->isChecked());
    EXPECT_TRUE(form.action("ToolButton7")->isChecked());
    EXPECT_FALSE(form.action("ToolButton8")->isChecked());
    // Every command but the pattern box stands in exactly one place, captioned as the Workspace says.
    std::set<std::string_view> placed;
    for (const CommandView& v : kCommandViews) EXPECT_TRUE(placed.insert(v.name).second) << v.name;
    for (const CommandDef& def : kCommandTable) {
      const bool box = std::string_view(def.name) == "ComboBox1";
      EXPECT_EQ(placed.count(def.name), box ? 0u : 1u) << def.name;
      QAction* a = form.action(def.name);
      EXPECT_EQ(a == nullptr, box) << def.name;
      if (a) {
        EXPECT_EQ(a->text(), u(def.caption)) << def.name;
      }
    }

    EXPECT_EQ(form.patternBox()->width(), 165);
    EXPECT_EQ(form.folderBox()->width(), 269);
    EXPECT_EQ(form.folderBox()->toolTip(), u("対象フォルダ"));
    EXPECT_FALSE(form.folderBox()->isEditable());
    EXPECT_EQ(form.folderBox()->itemText(0), u("新規フォルダ"));
    EXPECT_EQ(form.folderBox()->currentIndex(), -1);
    EXPECT_EQ(form.listView(ListId::kTarget)->model()->rowCount(), 0);
    EXPECT_TRUE(form.close());
  }
  const std::string ini = testing::slurp(dir / "Kelvane.ini");
  EXPECT_NE(ini.find("680"), std::string::npos);
  EXPECT_NE(ini.find("480"), std::string::npos);
}

TEST(MainWindowTest, TheSettingsFileShapesTheWindowAndAFolderFromTheHistoryFillsTheTargetList) {
  testing::TempDir dir;
  const std::string tree = dir.mkdir("tree");
  dir.write("tree/a.txt", "x\r\n");
  dir.write("tree/b.TXT", "x\r\n");
  dir.write("tree/c.png", "x");
  dir.write("tree/sub/d.txt", "x\r\n");
  dir.write("run/Kelvane.ini", sj("[Main]\r\nフォルダ=\"" + tree +
                                  "\",\r\nウインドウの幅=800\r\nウインドウの高さ=0x258\r\n"
                                  "[表示]\r\nTAB３ヘッダー背景色=clBlue\r\nTAB１背景色=$00C0DCC0\r\n"
                                  "TAB３フォントサイズ=15\r\nコンボボックスサイズ=20\r\nステータスバーサイズ=12\r\n"
                                  "ツールボタン表示=0\r\n"));
  InFolder in(dir / "run");
  TForm1 form;
  form.show();
  EXPECT_EQ(form.size(), QSize(800, 600));
  EXPECT_EQ(form.look(ListId::kTarget).headerBack, QColor(0, 0, 255));
  EXPECT_EQ(form.look(ListId::kTarget).rowHeight, 20);  // 15 points at 96 dots per inch
  EXPECT_EQ(form.look(ListId::kResult).back, QColor(0xC0, 0xDC, 0xC0));
  EXPECT_EQ(form.look(ListId::kJoin).back, QColor(255, 255, 255));
  EXPECT_EQ(form.boxBar()->height(), 43);
  EXPECT_EQ(form.statusBar()->height(), 23);
  EXPECT_FALSE(form.commandBar()->isVisible());
  EXPECT_TRUE(form.statusBar()->isVisible());

  QComboBox* folders = form.folderBox();
  ASSERT_EQ(folders->count(), 2);
  EXPECT_EQ(folders->itemText(1), QString::fromStdString(tree));
  folders->setCurrentIndex(1);
  emit folders->activated(1);

  QAbstractItemModel* rows = form.listView(ListId::kTarget)->model();
  ASSERT_EQ(rows->rowCount(), 5);
  EXPECT_TRUE(rows->index(0, 0).data(CheckListModel::kHeaderRole).toBool());
  EXPECT_EQ(rows->index(0, 0).data().toString(), u(("\"" + tree + "\",【該当File数】,2").c_str()));
  EXPECT_EQ(rows->index(1, 0).data().toString(), QString::fromStdString(tree + "/a.txt"));
  EXPECT_EQ(rows->index(1, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
  EXPECT_EQ(rows->index(4, 0).data().toString(), QString::fromStdString(tree + "/sub/d.txt"));
  EXPECT_EQ(folders->itemText(0), QString::fromStdString(tree));
  EXPECT_EQ(folders->currentIndex(), 0);
  EXPECT_EQ(form.statusLabel()->text(), u("3個のファイルが対象です"));
  EXPECT_EQ(form.pages()->currentIndex(), 2);

  // A click on a box reaches the Workspace's count.
  rows->setData(rows->index(2, 0), Qt::Unchecked, Qt::CheckStateRole);
  EXPECT_EQ(form.workspace().CheckedFileCount, 2);
  form.close();
}

TEST(MainWindowTest, EnterInThePatternBoxSearchesTheCheckedFiles) {
  testing::TempDir dir;
  const std::string tree = dir.mkdir("tree");
  dir.write("tree/a.txt", sj("一行目\r\n表示設定の行\r\n三行目\r\n"));
  dir.write("tree/b.txt", sj("該当なし\r\n"));
  dir.write("run/Kelvane.ini", sj("[Main]\r\nフォルダ=\"" + tree + "\",\r\n"));
  InFolder in(dir / "run");
  TForm1 form;
  form.show();
  emit form.folderBox()->activated(1);
  ASSERT_EQ(form.workspace().CheckedFileCount, 2);

  form.patternBox()->setEditText(u("表示"));
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(form.patternBox(), &enter);

  QAbstractItemModel* rows = form.listView(ListId::kResult)->model();
  ASSERT_EQ(rows->rowCount(), 2);
  EXPECT_EQ(rows->index(0, 0).data().toString(), u(("\"" + tree + "/a.txt\",の検索結果").c_str()));
  EXPECT_EQ(rows->index(1, 0).data().toString(), u("【2列目】\r\n表示設定の行"));
  EXPECT_EQ(form.pages()->currentIndex(), 0);
  ASSERT_EQ(form.patternBox()->count(), 1);
  EXPECT_EQ(form.patternBox()->itemText(0), u("表示"));
  EXPECT_FALSE(form.action("StopB")->isEnabled());
  form.close();
}

// Records the tab on show whenever the run asks or tells the person something, or shows progress.
class TabWatchingForm : public TForm1 {
 public:
  std::vector<int> tabsAsked;
  std::vector<int> tabsTold;
  std::vector<int> tabsWorking;
  std::optional<std::string> inputBox(const std::string&, const std::string&, const std::string&) override {
    tabsAsked.push_back(pages()->currentIndex());
    return std::string("x");
  }
  void showMessage(const std::string&) override { tabsTold.push_back(pages()->currentIndex()); }
  void processMessages() override {
    tabsWorking.push_back(pages()->currentIndex());
    TForm1::processMessages();
  }
};

TEST(MainWindowTest, TheSearchRunShowsItsTabBeforeItAsksTellsOrWorks) {
  testing::TempDir dir;
  const std::string tree = dir.mkdir("tree");
  dir.write("tree/a.txt", "x\r\n");
  dir.write("tree/b.doc", "x\r\n");
  dir.write("run/Kelvane.ini", sj("[Main]\r\nフォルダ=\"" + tree + "\",\r\n[拡張子]\r\nMsWordファイル=1\r\n"));
  InFolder in(dir / "run");
  TabWatchingForm form;
  form.show();
  emit form.folderBox()->activated(1);
  ASSERT_EQ(form.pages()->currentIndex(), 2);
  form.action("ToolButton1")->trigger();  // the pattern box is empty: the input box asks for one
  EXPECT_EQ(form.tabsAsked, std::vector<int>{0});
  EXPECT_EQ(form.tabsTold, std::vector<int>{0}) << "the \"doc\" notice";
  ASSERT_FALSE(form.tabsWorking.empty());
  EXPECT_EQ(form.tabsWorking.front(), 0);
  EXPECT_EQ(form.workspace().CheckListBox3.count(), 2);
  form.close();
}

// The keys go where the desktop sends them: to the open pop-up list if there is one, else to the focus.
// (The offscreen platform leaves a closed pop-up as the focus window, so the focus is named here.)
QWidget* keyTarget() { return QApplication::activePopupWidget() ? nullptr : QApplication::focusWidget(); }
void type(const char* text) { QTest::keyClicks(keyTarget(), QString::fromLatin1(text)); }
void press(Qt::Key key) { QTest::keyClick(keyTarget(), key); }

// A window whose pattern history holds "two" before "one", with the pattern box focused and empty.
class TypingWindow {
 public:
  TypingWindow() : in_(dir_ / "run") {}
  static std::unique_ptr<TypingWindow> make() {
    auto w = std::make_unique<TypingWindow>();
    w->form.show();
    w->form.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w->form));
    emit w->form.folderBox()->activated(1);
    for (const char* pattern : {"one", "two"}) {
      w->box()->setEditText(QString::fromLatin1(pattern));
      QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
      QApplication::sendEvent(w->box(), &enter);
    }
    w->box()->setEditText(QString());
    w->box()->setFocus();
    return w;
  }
  QComboBox* box() { return form.patternBox(); }
  QStringList history() {
    QStringList items;
    for (int i = 0; i < box()->count(); ++i) items << box()->itemText(i);
    return items;
  }
  // The first line of the last search's results names the pattern's file; the rest are its lines.
  QString firstFound() {
    QAbstractItemModel* rows = form.listView(ListId::kResult)->model();
    return rows->rowCount() > 1 ? rows->index(1, 0).data().toString() : QString();
  }

 private:
  struct Tree {
    testing::TempDir dir;
    Tree() {
      const std::string tree = dir.mkdir("tree");
      dir.write("tree/a.txt", "one line\r\ntwo lines\r\nthree words\r\n");
      dir.write("run/Kelvane.ini", sj("[Main]\r\nフォルダ=\"" + tree + "\",\r\n"));
    }
    std::string operator/(const char* sub) const { return dir / sub; }
  } dir_;
  InFolder in_;

 public:
  TForm1 form;
};

TEST(MainWindowTest, TypingOpensTheHistoryKeepsTheTypedTextAndEnterSearchesForIt) {
  auto w = TypingWindow::make();
  ASSERT_EQ(w->history(), QStringList({"two", "one"}));
  QAbstractItemView* list = nullptr;
  type("t");
  list = qobject_cast<QAbstractItemView*>(QApplication::activePopupWidget());
  ASSERT_NE(list, nullptr) << "the first typed key opens the history";
  EXPECT_EQ(list->model()->rowCount(), 2) << "all of it, not only what matches";
  type("hr");
  EXPECT_EQ(QApplication::activePopupWidget(), list);
  EXPECT_EQ(w->box()->currentText(), "thr") << "nothing is completed from the list";
  EXPECT_EQ(w->form.workspace().ComboBox1.editText(), "thr");

  press(Qt::Key_Return);
  EXPECT_FALSE(list->isVisible());
  EXPECT_EQ(w->box()->currentText(), "thr");
  EXPECT_EQ(w->history(), QStringList({"thr", "two", "one"}));
  EXPECT_EQ(w->firstFound(), u("【3列目】\r\nthree words"));

  // Escape closes the list and leaves the text, without reaching the window's Escape (which stops a
  // search); the next typed key opens the list again.
  QShortcut* windowEscape = nullptr;
  for (QShortcut* s : w->form.findChildren<QShortcut*>()) {
    if (s->key() == QKeySequence(Qt::Key_Escape)) windowEscape = s;
  }
  ASSERT_NE(windowEscape, nullptr);
  QSignalSpy escapes(windowEscape, &QShortcut::activated);
  type("e");
  ASSERT_TRUE(list->isVisible());
  press(Qt::Key_Escape);
  EXPECT_FALSE(list->isVisible());
  EXPECT_EQ(escapes.count(), 0);
  // The offscreen platform does not always hand the activation back to the window when the list
  // closes (a desktop does): give it back, as the window shortcut needs an active window.
  QApplication::setActiveWindow(&w->form);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w->form));
  press(Qt::Key_Escape);
  EXPECT_TRUE(QTest::qWaitFor([&] { return escapes.count() == 1; }, 2000))
      << "with the list closed Escape is the window's again";
  EXPECT_EQ(w->box()->currentText(), "thre");
  type("e");
  EXPECT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }, 2000));
  press(Qt::Key_Escape);
  w->form.close();
}

TEST(MainWindowTest, AnEntryPickedInTheTypingListIsSearchedForAndMovesToTheFront) {
  auto w = TypingWindow::make();
  type("x");
  auto* list = qobject_cast<QAbstractItemView*>(QApplication::activePopupWidget());
  ASSERT_NE(list, nullptr);
  press(Qt::Key_Down);
  press(Qt::Key_Down);
  EXPECT_EQ(w->box()->currentText(), "x") << "moving in the list does not write into the box";
  press(Qt::Key_Return);
  EXPECT_FALSE(list->isVisible());
  EXPECT_EQ(w->box()->currentText(), "one");
  EXPECT_EQ(w->history(), QStringList({"one", "two"}));
  EXPECT_EQ(w->firstFound(), u("【1列目】\r\none line"));

  // A click picks too.
  type("y");
  ASSERT_TRUE(list->isVisible());
  const QRect second = list->visualRect(list->model()->index(1, 0));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
  EXPECT_FALSE(list->isVisible());
  EXPECT_EQ(w->box()->currentText(), "two");
  EXPECT_EQ(w->history(), QStringList({"two", "one"}));
  EXPECT_EQ(w->firstFound(), u("【2列目】\r\ntwo lines"));
  w->form.close();
}

// Presses Escape the first time the running search lets events through.
class EscapingForm : public TForm1 {
 public:
  int pumps = 0;
  void processMessages() override {
    if (pumps++ == 0) QTest::keyClick(this, Qt::Key_Escape);
    TForm1::processMessages();
  }
};

TEST(MainWindowTest, EscapeStopsARunningSearchWhichKeepsWhatItFound) {
  testing::TempDir dir;
  const std::string tree = dir.mkdir("tree");
  std::string lines;
  for (int i = 0; i < 200; ++i) lines += sj("表示の行\r\n");
  for (const char* name : {"tree/a.txt", "tree/b.txt", "tree/c.txt"}) dir.write(name, lines);
  dir.write("run/Kelvane.ini", sj("[Main]\r\nフォルダ=\"" + tree + "\",\r\n"));
  InFolder in(dir / "run");
  EscapingForm form;
  form.show();
  QApplication::setActiveWindow(&form);
  emit form.folderBox()->activated(1);
  form.patternBox()->setEditText(u("表示"));
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(form.patternBox(), &enter);

  EXPECT_GT(form.pumps, 0);
  EXPECT_FALSE(form.workspace().SearchRunning());
  const int rows = form.listView(ListId::kResult)->model()->rowCount();
  EXPECT_LT(rows, 3 * 201) << "the run went on to the end";
  EXPECT_EQ(rows, form.workspace().CheckListBox3.count());
  EXPECT_FALSE(form.action("StopB")->isEnabled());
  form.close();
}

class RecordingForm : public TForm1 {
 public:
  std::vector<std::string> messages;
  void showMessage(const std::string& text) override { messages.push_back(cp932::toUtf8(text).text); }
};

TEST(MainWindowTest, APatternShiftJisCannotHoldIsNotSearchedForAsQuestionMarks) {
  testing::TempDir dir;
  InFolder in(dir.path());
  RecordingForm form;
  form.patternBox()->setEditText(QString::fromUtf8("表示\xF0\x9F\x98\x80"));
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(form.patternBox(), &enter);
  form.action("ToolButton1")->trigger();
  ASSERT_EQ(form.messages.size(), 2u);
  EXPECT_NE(form.messages[0].find("Shift-JIS"), std::string::npos);
  EXPECT_EQ(form.patternBox()->count(), 0) << "nothing went into the history";
  form.close();
}

// Answers the modal windows as they open, one step of the script for each.
class ModalScript {
 public:
  explicit ModalScript(std::vector<std::function<void(QWidget*)>> steps) : steps_(std::move(steps)) {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || modal == last_ || next_ >= steps_.size()) return;
      last_ = modal;
      steps_[next_++](modal);
    });
    timer_.start();
  }
  std::size_t done() const { return next_; }

 private:
  std::vector<std::function<void(QWidget*)>> steps_;
  std::size_t next_ = 0;
  QPointer<QWidget> last_;
  QTimer timer_;
};

TEST(MainWindowTest, TheInputBoxRefusesTextShiftJisCannotHoldSaysSoAndAsksAgainWithIt) {
  testing::TempDir dir;
  InFolder in(dir.path());
  TForm1 form;
  const QString lossy = QString::fromUtf8("表示\xF0\x9F\x98\x80");
  QString told;
  QString offeredAgain;
  ModalScript script({[&](QWidget* w) {
                        auto* input = qobject_cast<QInputDialog*>(w);
                        ASSERT_NE(input, nullptr);
                        input->setTextValue(lossy);
                        input->accept();
                      },
                      [&](QWidget* w) {
                        auto* box = qobject_cast<QMessageBox*>(w);
                        ASSERT_NE(box, nullptr);
                        told = box->text();
                        box->accept();
                      },
                      [&](QWidget* w) {
                        auto* input = qobject_cast<QInputDialog*>(w);
                        ASSERT_NE(input, nullptr);
                        offeredAgain = input->textValue();
                        input->setTextValue(u("表示"));
                        input->accept();
                      }});
  const std::optional<std::string> text =
      form.inputBox(sj("検索文字入力"), sj("検索する文字列を入力してください。"), "");
  EXPECT_EQ(script.done(), 3u);
  EXPECT_EQ(told, u("Shift-JISで表せない文字が含まれています。入力し直してください。"));
  EXPECT_EQ(offeredAgain, lossy);
  EXPECT_EQ(text, sj("表示"));
  form.close();
}

TEST(MainWindowTest, TheInputBoxGivesBackALongTextWhole) {
  testing::TempDir dir;
  InFolder in(dir.path());
  TForm1 form;
  const QString pasted(40000, QLatin1Char('y'));
  ModalScript script({[&](QWidget* w) {
    auto* input = qobject_cast<QInputDialog*>(w);
    ASSERT_NE(input, nullptr);
    input->setTextValue(pasted);
    input->accept();
  }});
  const std::optional<std::string> text = form.inputBox(sj("置換"), sj("置き換える文字列を入力してください！"), "");
  EXPECT_EQ(script.done(), 1u);
  EXPECT_EQ(text, std::string(40000, 'y'));
  form.close();
}

// Records what the window opens in the built-in editor instead of showing it.
class OpeningForm : public TForm1 {
 public:
  std::vector<std::string> opened;
  void openInBuiltInEditor(const std::string& file, int) override { opened.push_back(file); }
};

// A window with two checked files in its target list, shown on the target tab.
struct TwoFileWindow {
  testing::TempDir dir;
  std::string tree = dir.mkdir("tree");
  InFolder in{[this] {
    dir.write("tree/a.txt", "x\r\n");
    dir.write("tree/b.txt", "x\r\n");
    dir.write("run/Kelvane.ini", sj("[Main]\r\nフォルダ=\"" + tree + "\",\r\n"));
    return dir / "run";
  }()};
  OpeningForm form;
  TwoFileWindow() {
    form.show();
    emit form.folderBox()->activated(1);
  }
  QListView* targets() { return form.listView(ListId::kTarget); }
  // What the desktop sends for a double click: a click, then the double click and its release.
  void doubleClick(QPoint at) {
    QWidget* port = targets()->viewport();
    QTest::mousePress(port, Qt::LeftButton, {}, at);
    QTest::mouseRelease(port, Qt::LeftButton, {}, at);
    QTest::mouseDClick(port, Qt::LeftButton, {}, at);
    QTest::mouseRelease(port, Qt::LeftButton, {}, at);
  }
  QRect boxOf(int row) {
    QStyleOptionViewItem option;
    option.rect = targets()->visualRect(targets()->model()->index(row, 0));
    auto* delegate = static_cast<RowDelegate*>(targets()->itemDelegate());
    return delegate->checkRect(option, targets()->model()->index(row, 0));
  }
};

TEST(MainWindowTest, ADoubleClickOpensATargetFileAlsoOnItsBox) {
  TwoFileWindow w;
  ASSERT_EQ(w.targets()->model()->rowCount(), 3);
  const QRect box = w.boxOf(1);
  ASSERT_FALSE(box.isEmpty());
  w.doubleClick(box.center());
  EXPECT_EQ(w.form.opened, std::vector<std::string>{w.tree + "/a.txt"});
  // Its first click was a click on the box, and the count follows it.
  EXPECT_FALSE(w.form.workspace().CheckListBox1.isChecked(1));
  EXPECT_EQ(w.form.workspace().CheckedFileCount, 1);
  const QRect text = w.targets()->visualRect(w.targets()->model()->index(2, 0));
  w.doubleClick(QPoint(box.right() + 40, text.center().y()));
  ASSERT_EQ(w.form.opened.size(), 2u);
  EXPECT_EQ(w.form.opened.back(), w.tree + "/b.txt");
  w.form.close();
}

TEST(MainWindowTest, ControlsAreNamedByTheirCaptionsAndARowCanBeToggledByAssistiveTools) {
  TwoFileWindow w;
  for (const char* name : {"ToolButton1", "ToolButton2", "ToolButton10"}) {
    QWidget* button = w.form.commandBar()->widgetForAction(w.form.action(name));
    ASSERT_NE(button, nullptr) << name;
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(button);
    EXPECT_EQ(a->text(QAccessible::Name), w.form.action(name)->toolTip()) << name;
  }
  // The boxes are labelled by the captions beside them.
  for (auto [box, caption] :
       {std::pair{w.form.patternBox(), "検索文字列"}, std::pair{w.form.folderBox(), "フォルダ名"}}) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(box);
    const auto labels = a->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1) << caption;
    EXPECT_EQ(labels.front().first->text(QAccessible::Name), u(caption));
  }
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(w.targets());
  EXPECT_EQ(list->text(QAccessible::Name), u("対象File一覧"));
  EXPECT_EQ(QAccessible::queryAccessibleInterface(w.form.listView(ListId::kResult))->text(QAccessible::Name),
            u("検索モード"));

  // The toggle action runs the window's check handler, as a click on the box does.
  QAccessibleInterface* row = list->child(2);
  ASSERT_NE(row, nullptr);
  row->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  EXPECT_FALSE(w.form.workspace().CheckListBox1.isChecked(2));
  EXPECT_EQ(w.form.workspace().CheckedFileCount, 1);
  w.form.close();
}

TEST(MainWindowTest, AMegabyteRowIsMeasuredByWhatTheListShows) {
  testing::TempDir dir;
  InFolder in(dir.path());
  TForm1 form;
  const std::string shown(CheckListModel::kShownBytes, 'x');
  EXPECT_EQ(form.textWidth(ListId::kResult, shown + std::string(1 << 20, 'x')), form.textWidth(ListId::kResult, shown));
  form.close();
}

TEST(MainWindowTest, ALongPathCanBeScrolledToItsEnd) {
  testing::TempDir dir;
  const std::string tree = dir.mkdir("tree");
  const std::string longName = std::string(150, 'x') + ".txt";
  dir.write("tree/" + longName, "x\r\n");
  dir.write("run/Kelvane.ini", sj("[Main]\r\nフォルダ=\"" + tree + "\",\r\n"));
  InFolder in(dir / "run");
  TForm1 form;
  form.show();
  emit form.folderBox()->activated(1);
  QListView* view = form.listView(ListId::kTarget);
  const int extent = form.workspace().CheckListBox1.horizontalExtent();
  EXPECT_GT(extent, form.textWidth(ListId::kTarget, tree + "/" + longName));
  QApplication::processEvents();
  EXPECT_GE(view->horizontalScrollBar()->maximum() + view->viewport()->width(), extent);
  form.close();
}

TEST(MainWindowTest, TabsAndModeCommandsFollowTheWorkspace) {
  testing::TempDir dir;
  InFolder in(dir.path());
  TForm1 form;
  form.action("ToolButton8")->trigger();
  EXPECT_EQ(form.pages()->currentIndex(), 1);
  EXPECT_TRUE(form.action("N6")->isChecked());
  EXPECT_FALSE(form.action("GREP1")->isChecked());
  EXPECT_FALSE(form.patternBox()->isEnabled());
  EXPECT_TRUE(form.action("FairuKetugouB")->isEnabled());
  EXPECT_FALSE(form.action("ToolButton1")->isEnabled());
  // The person picks the result tab: search mode again.
  form.pages()->setCurrentIndex(0);
  EXPECT_EQ(form.workspace().ProcessingMode, pmSearch);
  EXPECT_TRUE(form.action("GREP1")->isChecked());
  EXPECT_TRUE(form.patternBox()->isEnabled());
  form.close();
}

TEST(MainWindowTest, TextWidthsFollowTheListsFontAlsoAfterTheFontChanges) {
  testing::TempDir dir;
  InFolder in(dir.path());
  TForm1 form;
  const std::string row = sj("【12列目】\r\nあいう表示abc 123");
  const QFontMetrics result(form.look(ListId::kResult).font);
  EXPECT_EQ(form.textWidth(ListId::kResult, row), result.horizontalAdvance(u("【12列目】  あいう表示abc 123")));
  const int before = form.textWidth(ListId::kTarget, sj("/tmp/フォルダ/ファイル.txt"));
  const QFontMetrics target(form.look(ListId::kTarget).font);
  EXPECT_NEAR(before, target.horizontalAdvance(u("/tmp/フォルダ/ファイル.txt")), 3);

  ListDisplay larger;
  larger.fontSize = 24;
  form.setListDisplay(3, larger);
  EXPECT_EQ(form.rowHeight(ListId::kTarget), 32);
  EXPECT_GT(form.textWidth(ListId::kTarget, sj("/tmp/フォルダ/ファイル.txt")), before * 3 / 2);
  form.close();
}

TEST(MainWindowTest, NoCommandStartsWhileAnotherOneRuns) {
  testing::TempDir dir;
  InFolder in(dir.path());
  TForm1 form;
  bool inner = false;
  bool refused = false;
  EXPECT_TRUE(form.run([&] { refused = !form.run([&] { inner = true; }); }));
  EXPECT_TRUE(refused);
  EXPECT_FALSE(inner);
  EXPECT_TRUE(form.run([&] { inner = true; }));
  EXPECT_TRUE(inner);
  form.close();
}

}  // namespace
}  // namespace kelvane

int main(int argc, char** argv) {
  // The windows are made offscreen, also when the tests are listed or run from a desktop session.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
