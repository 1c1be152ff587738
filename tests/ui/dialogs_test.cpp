// The three settings dialogs through their real widgets, opened from the real main window in a fresh
// start-up folder: a setting changed and confirmed, the settings file read back as bytes, and the
// main window seen to follow.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <functional>

#include "platform/cp932.h"
#include "qtcommon/qt_text.h"
#include "settings/ui/Unit2.h"
#include "settings/ui/Unit3.h"
#include "settings/ui/Unit4.h"
#include "settings/ui/Unit5.h"
#include "settings/ui/color_field.h"
#include "settings/ui/number_field.h"
#include "tests/settings/scripted_dialog_port.h"
#include "tests/testing/temp_dir.h"
#include "tests/ui/image_columns.h"
#include "workspace/dialog_hosts.h"
#include "workspace/ui/Unit1.h"

namespace kelvane {
namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }
std::string sj(const std::string& utf8) { return cp932::fromUtf8(utf8).text; }

// The program's windows in their start order, run in a start-up folder of their own.
class Windows {
 public:
  explicit Windows(const std::string& folder) : previous_(cwd()) {
    EXPECT_EQ(chdir(folder.c_str()), 0);
    form1 = std::make_unique<TForm1>();
    host = std::make_unique<WorkspaceDialogHost>(form1->workspace());
    form2 = std::make_unique<TForm2>(*host, form1.get(), &port);
    form3 = std::make_unique<TForm3>(form1.get());
    form4 = std::make_unique<TForm4>(*host, form1.get(), &port);
    form5 = std::make_unique<TForm5>(*host, form1.get());
    form1->setSecondaryWindows(form2.get(), form3.get(), form4.get(), form5.get());
    form1->show();
  }
  ~Windows() {
    form5.reset();
    form4.reset();
    form3.reset();
    form2.reset();
    form1.reset();
    (void)!chdir(previous_.c_str());
  }

  // Triggers a command of the main window; `inside` runs once its modal dialog is up.
  void withDialog(const char* command, QDialog* dialog, const std::function<void()>& inside) {
    bool ran = false;
    QTimer::singleShot(0, dialog, [&] {
      EXPECT_TRUE(dialog->isVisible());
      inside();
      ran = true;
      if (dialog->isVisible()) dialog->reject();  // never leave a test hanging in exec()
    });
    form1->action(command)->trigger();
    EXPECT_TRUE(ran);
  }

  testing::ScriptedDialogPort port;
  std::unique_ptr<TForm1> form1;
  std::unique_ptr<WorkspaceDialogHost> host;
  std::unique_ptr<TForm2> form2;
  std::unique_ptr<TForm3> form3;
  std::unique_ptr<TForm4> form4;
  std::unique_ptr<TForm5> form5;

 private:
  static std::string cwd() {
    char buf[4096];
    return getcwd(buf, sizeof buf) ? buf : "/";
  }
  std::string previous_;
};

QPushButton* button(QDialog* d, const char* name) { return d->findChild<QPushButton*>(name); }

TEST(DialogsTest, OptionsTickHtmlEmptiesTheTargetsAndTheNextBuildListsHtml) {
  testing::TempDir dir;
  const std::string tree = dir.mkdir("tree");
  dir.write("tree/a.txt", "a\r\n");
  dir.write("tree/b.html", "<p>\r\n");
  dir.write("run/Kelvane.ini", sj("[Main]\r\nフォルダ=\"" + tree + "\",\r\n"));
  Windows w(dir / "run");
  emit w.form1->folderBox()->activated(1);
  QAbstractItemModel* targets = w.form1->listView(ListId::kTarget)->model();
  ASSERT_EQ(targets->rowCount(), 2);  // the folder and a.txt

  TForm2* d = w.form2.get();
  w.port.confirmAnswers = {true};
  w.withDialog("N1", d, [&] {
    EXPECT_EQ(d->windowTitle(), u("設定画面"));
    auto* html = d->findChild<QCheckBox*>("CheckBox2");
    ASSERT_TRUE(html);
    EXPECT_EQ(html->text(), u("HTMLファイル    ：.htm,.html"));
    EXPECT_FALSE(html->isChecked());
    EXPECT_FALSE(d->findChild<QCheckBox*>("CheckBox12")->isEnabled());
    EXPECT_TRUE(d->findChild<QCheckBox*>("CheckBox10")->isHidden());
    EXPECT_FALSE(d->findChild<QLineEdit*>("EditPath")->isEnabled());
    EXPECT_TRUE(d->findChild<QLineEdit*>("EditPath")->isReadOnly());
    html->click();
    EXPECT_TRUE(d->form().controls().CheckForm);
    button(d, "Button2")->click();
    EXPECT_FALSE(d->isVisible());
  });
  EXPECT_EQ(w.port.questions, std::vector<std::string>{sj("検索対象ファイルはクリアされます。更新しますか？")});
  EXPECT_EQ(targets->rowCount(), 0);
  EXPECT_TRUE(w.form1->workspace().settings.ExtHtml);
  const std::string ini = testing::slurp(dir / "run/Kelvane.ini");
  EXPECT_NE(ini.find(sj("[拡張子]\r\nTXTファイル=1\r\nHTMLファイル=1\r\n")), std::string::npos);

  emit w.form1->folderBox()->activated(0);  // the same folder chosen again
  ASSERT_EQ(targets->rowCount(), 3);
  EXPECT_EQ(targets->index(1, 0).data().toString(), QString::fromStdString(tree + "/a.txt"));
  EXPECT_EQ(targets->index(2, 0).data().toString(), QString::fromStdString(tree + "/b.html"));

  // Shown again: the fill-in reads the record, and a declined update keeps the person's edits.
  w.port.confirmAnswers = {false};
  w.withDialog("ToolButton21", d, [&] {
    auto* sep = d->findChild<QLineEdit*>("Edit2");
    sep->setText(u("――"));
    button(d, "Button2")->click();
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(sep->text(), u("――"));
    EXPECT_EQ(w.port.messages.back(), sj("設定の更新はおこなわれませんでした。"));
  });
  EXPECT_EQ(targets->rowCount(), 3);
}

TEST(DialogsTest, DisplayHeaderColourAppliesAtOnceAndCancelKeepsTheEditsForLater) {
  testing::TempDir dir;
  Windows w(dir.path());
  TForm4* d = w.form4.get();
  Workspace& ws = w.form1->workspace();
  ws.CheckListBox3.add(std::string(300, 'x'), false);

  w.withDialog("Show1", d, [&] {
    EXPECT_EQ(d->windowTitle(), u("表示の設定"));
    QTabWidget* tabs = d->pages();
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->tabText(3), u("Editer"));
    tabs->setCurrentIndex(2);
    auto* header = d->findChild<ColorField*>("ColorBox1");
    ASSERT_TRUE(header);
    EXPECT_EQ(header->currentText(), "clOlive");
    EXPECT_GE(header->count(), 50);
    EXPECT_EQ(header->itemText(16), "clMoneyGreen");
    header->setCurrentIndex(header->findText("clNavy"));
    auto* size = d->findChild<NumberField*>("SpinEdit1");
    QLineEdit* typed = size->findChild<QLineEdit*>();
    typed->setText("150");
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(size, &out);
    EXPECT_EQ(typed->text(), "99");
    typed->setText("");
    EXPECT_EQ(size->value(), 9);
    size->setValue(14);
    d->findChild<NumberField*>("SpinEdit4")->setValue(20);
    d->findChild<QCheckBox*>("CheckBox1")->setChecked(false);
    button(d, "Button2")->click();
  });
  EXPECT_EQ(d->pages()->currentIndex(), 0);  // the menu item selects the first tab afterwards
  EXPECT_EQ(w.form1->look(ListId::kResult).headerBack, QColor(0, 0, 0x80));
  EXPECT_EQ(w.form1->look(ListId::kResult).rowHeight, 19);  // 14 points at 96 dots per inch
  EXPECT_EQ(w.form1->boxBar()->height(), 43);
  EXPECT_FALSE(w.form1->commandBar()->isVisible());
  EXPECT_GT(ws.CheckListBox3.horizontalExtent(), 300);
  const std::string ini = testing::slurp(dir / "Kelvane.ini");
  EXPECT_NE(ini.find(sj("TAB１ヘッダー背景色=clNavy\r\n")), std::string::npos);
  EXPECT_NE(ini.find(sj("ツールボタン表示=0\r\n")), std::string::npos);

  // "Cancel": nothing written or applied, the control keeps the change for the next showing.
  w.withDialog("ToolButton22", d, [&] {
    d->pages()->setCurrentIndex(1);
    auto* text = d->findChild<ColorField*>("ColorBox2");
    text->setCurrentIndex(text->findText("clYellow"));
    button(d, "Button1")->click();
  });
  EXPECT_EQ(d->pages()->currentIndex(), 1);  // the tool button leaves the tab alone
  EXPECT_EQ(testing::slurp(dir / "Kelvane.ini"), ini);
  EXPECT_NE(w.form1->look(ListId::kResult).headerText, QColor(255, 255, 0));
  w.withDialog("ToolButton22", d,
               [&] { EXPECT_EQ(d->findChild<ColorField*>("ColorBox2")->currentText(), "clYellow"); });
}

// "更新" sets the result list's scroll width; scrolled to its end, a long row shows its last glyph
// whole, with the list's background after it (in the default font and in a larger one).
TEST(DialogsTest, AfterTheUpdateALongResultRowScrollsFullyIntoView) {
  testing::TempDir dir;
  Windows w(dir.path());
  TForm4* d = w.form4.get();
  const std::string text = std::string(300, 'x') + sj("漢字の行末");
  w.form1->workspace().CheckListBox3.add(text, false);
  QListView* results = w.form1->listView(ListId::kResult);
  for (int size : {0, 13, 15}) {
    w.withDialog("ToolButton22", d, [&] {
      if (size) d->findChild<NumberField*>("SpinEdit1")->setValue(size);
      button(d, "Button2")->click();
    });
    w.form1->pages()->setCurrentIndex(0);
    QApplication::processEvents();
    results->horizontalScrollBar()->setValue(results->horizontalScrollBar()->maximum());
    QApplication::processEvents();
    const QRect row = results->visualRect(results->model()->index(0, 0));
    const QImage shot =
        results->viewport()->grab(QRect(0, row.top(), results->viewport()->width(), row.height())).toImage();
    const int lastInk = testing::columnsOf(shot, Qt::black).second;
    ASSERT_GE(lastInk, 0) << size;
    // Measured a character at a time, a row is never narrower than drawn whole.
    const QFontMetricsF drawn(w.form1->look(ListId::kResult).font);
    EXPECT_GE(w.form1->textWidth(ListId::kResult, text) + 1, drawn.horizontalAdvance(toQ(text))) << size;
    EXPECT_LT(lastInk, shot.width() - 2) << "the last glyph is cut at the list's right edge, size " << size;
  }
}

TEST(DialogsTest, DisplaySizesAndHiddenBarsHoldAtTheNextStart) {
  testing::TempDir dir;
  {
    Windows w(dir.path());
    TForm4* d = w.form4.get();
    w.withDialog("ToolButton22", d, [&] {
      d->findChild<NumberField*>("SpinEdit5")->setValue(12);
      d->findChild<QCheckBox*>("CheckBox1")->setChecked(false);
      d->findChild<QCheckBox*>("CheckBox2")->setChecked(false);
      button(d, "Button2")->click();
    });
    EXPECT_EQ(w.form1->statusBar()->height(), 23);
    EXPECT_FALSE(w.form1->commandBar()->isVisible());
    EXPECT_FALSE(w.form1->statusBar()->isVisible());
  }
  Windows again(dir.path());
  EXPECT_FALSE(again.form1->commandBar()->isVisible());
  EXPECT_FALSE(again.form1->statusBar()->isVisible());
  EXPECT_FALSE(again.form4->findChild<QCheckBox*>("CheckBox1")->isChecked());
  EXPECT_EQ(again.form4->findChild<NumberField*>("SpinEdit5")->value(), 12);
}

// Sizes written by hand far past anything a font can use: the bars stay as tall as the largest font
// that is drawn, the dialog shows the stored numbers, and "更新" writes them back with only the font
// sizes pulled into 9..99.
TEST(DialogsTest, HugeSizesInTheSettingsFileKeepTheBarsInReachAndRoundTrip) {
  testing::TempDir dir;
  dir.write("Kelvane.ini", sj("[表示]\r\nコンボボックスサイズ=2147483647\r\nステータスバーサイズ=$7FFFFFFF\r\n"
                              "TAB１フォントサイズ=2147483647\r\n"));
  Windows w(dir.path());
  EXPECT_EQ(w.form1->boxBar()->height(), 400 + 23);
  EXPECT_EQ(w.form1->statusBar()->height(), 400 + 11);
  TForm4* d = w.form4.get();
  w.withDialog("Show1", d, [&] {
    EXPECT_EQ(d->findChild<NumberField*>("SpinEdit4")->value(), 2147483647);
    EXPECT_EQ(d->findChild<NumberField*>("SpinEdit1")->value(), 99);
    d->findChild<NumberField*>("SpinEdit5")->stepBy(1);  // stays at the end rather than wrapping round
    button(d, "Button2")->click();
  });
  const std::string ini = testing::slurp(dir / "Kelvane.ini");
  EXPECT_NE(ini.find(sj("コンボボックスサイズ=2147483647\r\n")), std::string::npos);
  EXPECT_NE(ini.find(sj("ステータスバーサイズ=2147483647\r\n")), std::string::npos);
  EXPECT_NE(ini.find(sj("TAB１フォントサイズ=99\r\n")), std::string::npos);
  EXPECT_EQ(w.form1->boxBar()->height(), 400 + 23);
}

TEST(DialogsTest, HistoryTwoSearchStringsRemovedAreGoneFromTheBoxAndTheFileAfterClosing) {
  testing::TempDir dir;
  const std::string kept = dir.mkdir("kept");
  dir.write("Kelvane.ini",
            sj("[Main]\r\n検索文字=\"one\",\"two\",\"three\",\"four\",\"five\",\r\nフォルダ=\"" + kept + "\",\r\n"));
  Windows w(dir.path());
  TForm5* d = w.form5.get();
  ASSERT_EQ(w.form1->patternBox()->count(), 5);

  w.withDialog("N17", d, [&] {
    EXPECT_EQ(d->windowTitle(), u("検索条件削除"));
    QListWidget* search = d->list(1);
    QListWidget* folders = d->list(2);
    ASSERT_EQ(search->count(), 5);
    ASSERT_EQ(folders->count(), 2);
    EXPECT_EQ(folders->item(0)->text(), u("新規フォルダ"));
    EXPECT_FALSE(folders->item(0)->flags() & Qt::ItemIsUserCheckable);
    // The fixed entry is painted with the header background, which must not read as a selection.
    const QColor back = folders->item(0)->background().color();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
      EXPECT_NE(back, folders->palette().color(g, QPalette::Highlight)) << g;
    }
    const QRect headerRow = folders->visualItemRect(folders->item(0));
    EXPECT_EQ(folders->viewport()->grab().toImage().pixelColor(headerRow.right() - 4, headerRow.center().y()), back);
    EXPECT_EQ(folders->item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(d->statusText(), u("チェックのはずされた項目は、履歴から削除されます。"));
    EXPECT_TRUE(d->timer()->isActive());
    search->item(1)->setCheckState(Qt::Unchecked);
    search->item(3)->setCheckState(Qt::Unchecked);
    // "全てOff" then "全てOn" on the folders: both stay.
    d->popupMenu(2)->actions().at(1)->trigger();
    EXPECT_EQ(folders->item(1)->checkState(), Qt::Unchecked);
    d->popupMenu(2)->actions().at(0)->trigger();
    button(d, "Button1")->click();
  });
  QComboBox* box = w.form1->patternBox();
  ASSERT_EQ(box->count(), 3);
  EXPECT_EQ(box->itemText(0), "one");
  EXPECT_EQ(box->itemText(1), "three");
  EXPECT_EQ(box->itemText(2), "five");
  EXPECT_EQ(w.form1->folderBox()->count(), 2);
  EXPECT_EQ(w.form1->folderBox()->currentIndex(), -1);

  // "Cancel" after unchecking leaves the boxes as they were.
  w.withDialog("N17", d, [&] {
    d->list(1)->item(0)->setCheckState(Qt::Unchecked);
    button(d, "Button2")->click();
  });
  EXPECT_EQ(box->count(), 3);

  w.form1->close();
  Profile ini(dir / "Kelvane.ini");
  EXPECT_EQ(ini.readString("Main", sj("検索文字"), ""), "\"one\",\"three\",\"five\",");
}

TEST(DialogsTest, AboutBoxShowsTheProductLine) {
  testing::TempDir dir;
  Windows w(dir.path());
  w.withDialog("Ver1", w.form3.get(), [&] { EXPECT_EQ(w.form3->productText(), u("Kelvane　　　Ver,1.1.2")); });
}

// A status tick that falls while a dialog is open still clears the text and stops the timer; were it
// refused, the timer would run on and clear the next status text before its 5 seconds.
TEST(DialogsTest, AStatusTickDuringADialogClearsTheTextAndStopsTheTimer) {
  testing::TempDir dir;
  Windows w(dir.path());
  Workspace& ws = w.form1->workspace();
  auto* timer1 = w.form1->findChild<QTimer*>("Timer1");
  ASSERT_NE(timer1, nullptr);
  w.withDialog("Ver1", w.form3.get(), [&] {
    ws.showTransientStatus("x");
    timer1->start(1);
    // Waited for, not timed: on a busy machine the tick may come later than 50 ms.
    EXPECT_TRUE(QTest::qWaitFor([&] { return ws.statusText().empty(); }, 3000));
    EXPECT_FALSE(ws.timer1Enabled());
  });
  EXPECT_FALSE(timer1->isActive());
}

// Every control is known to a screen reader by its caption: buttons, check boxes, radio buttons,
// group boxes and tabs by their own text, a field by the label beside it (a drop-down list, whose
// name on this desktop is the colour it shows, through its label relation).
QString accessibleName(QObject* o) {
  QAccessibleInterface* i = QAccessible::queryAccessibleInterface(o);
  return i ? i->text(QAccessible::Name) : QString();
}

QStringList accessibleLabels(QObject* o) {
  QStringList labels;
  if (QAccessibleInterface* i = QAccessible::queryAccessibleInterface(o))
    for (const auto& [other, relation] : i->relations(QAccessible::Label)) labels << other->text(QAccessible::Name);
  return labels;
}

void expectCaptionsAreNames(QDialog* d) {
  for (QAbstractButton* b : d->findChildren<QAbstractButton*>()) {
    if (qobject_cast<QTabBar*>(b->parent())) continue;  // the tab bar's own scroll arrows
    EXPECT_EQ(accessibleName(b), b->text()) << qPrintable(b->objectName());
  }
  for (QGroupBox* g : d->findChildren<QGroupBox*>()) EXPECT_EQ(accessibleName(g), g->title());
  for (QTabBar* bar : d->findChildren<QTabBar*>()) {
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(bar);
    ASSERT_GE(i->childCount(), bar->count());
    for (int t = 0; t < bar->count(); ++t) EXPECT_EQ(i->child(t)->text(QAccessible::Name), bar->tabText(t));
  }
}

TEST(DialogsTest, EveryControlIsNamedByItsCaption) {
  testing::TempDir dir;
  Windows w(dir.path());
  for (QDialog* d : std::initializer_list<QDialog*>{w.form2.get(), w.form3.get(), w.form4.get(), w.form5.get()})
    expectCaptionsAreNames(d);

  const std::pair<const char*, const char*> options[] = {{"Edit1", "拡張子指定　    ："},
                                                         {"Edit2", "【File結合】File区切り文字列"},
                                                         {"EditPath", "起動するソフト"},
                                                         {"EditE1", "指定列を表示"},
                                                         {"EditE2", "検索語を強調"}};
  for (const auto& [name, caption] : options)
    EXPECT_EQ(accessibleName(w.form2->findChild<QWidget*>(name)), u(caption)) << name;

  const std::pair<const char*, const char*> display[] = {{"SpinEdit1", "フォントサイズ"},
                                                         {"SpinEdit2", "フォントサイズ"},
                                                         {"SpinEdit3", "フォントサイズ"},
                                                         {"SpinEdit4", "検索文字列"},
                                                         {"SpinEdit5", "ステータスバー"}};
  for (const auto& [name, caption] : display)
    EXPECT_EQ(accessibleName(w.form4->findChild<QWidget*>(name)), u(caption)) << name;
  EXPECT_EQ(accessibleLabels(w.form4->findChild<ColorField*>("ColorBoxKMoji")), QStringList{u("検索文字列")});
  EXPECT_EQ(accessibleLabels(w.form4->findChild<ColorField*>("ColorBoxOMoji")), QStringList{u("置換文字列")});
  for (int n = 1; n <= 12; ++n) {
    const QString name = QString("ColorBox%1").arg(n);
    EXPECT_EQ(accessibleLabels(w.form4->findChild<ColorField*>(name)).value(0), u(n % 2 ? "背景色" : "フォント色"))
        << qPrintable(name);
  }

  const std::pair<const char*, const char*> history[] = {{"CheckListBox1", "検索文字列"},
                                                         {"CheckListBox2", "検索対象フォルダ"},
                                                         {"SpinEdit1", "保存数"},
                                                         {"SpinEdit2", "保存数"}};
  for (const auto& [name, caption] : history)
    EXPECT_EQ(accessibleName(w.form5->findChild<QWidget*>(name)), u(caption)) << name;
}

}  // namespace
}  // namespace kelvane
