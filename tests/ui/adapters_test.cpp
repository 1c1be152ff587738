// The small Qt adapters of the main window: colours, the list model and the row delegate.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QSignalSpy>
#include <QStyleOptionViewItem>

#include "platform/cp932.h"
#include "qtcommon/qt_colors.h"
#include "tests/ui/image_columns.h"
#include "workspace/ui/check_list_model.h"
#include "workspace/ui/row_delegate.h"

namespace kelvane {
namespace {

std::string sj(const char* utf8) { return cp932::fromUtf8(utf8).text; }

// ---- colours ----

TEST(QtColorsTest, PlainColoursKeepRedInTheLowByte) {
  const QPalette p;
  const QColor fallback(1, 2, 3);
  EXPECT_EQ(toQColor(0x0000FF, p, fallback), QColor(255, 0, 0));      // clRed
  EXPECT_EQ(toQColor(0xFF0000, p, fallback), QColor(0, 0, 255));      // clBlue
  EXPECT_EQ(toQColor(0x008080, p, fallback), QColor(128, 128, 0));    // clOlive
  EXPECT_EQ(toQColor(0xF0FBFF, p, fallback), QColor(255, 251, 240));  // clCream
  EXPECT_EQ(toQColor(0x02123456, p, fallback), QColor(0x56, 0x34, 0x12));
}

TEST(QtColorsTest, SchemeColoursComeFromThePaletteAndSpecialValuesAreHandled) {
  QPalette p;
  p.setColor(QPalette::Active, QPalette::Base, QColor(10, 20, 30));
  p.setColor(QPalette::Active, QPalette::Highlight, QColor(40, 50, 60));
  p.setColor(QPalette::Active, QPalette::Button, QColor(70, 80, 90));
  p.setColor(QPalette::Active, QPalette::Text, QColor(1, 1, 1));
  const QColor fallback(1, 2, 3);
  EXPECT_EQ(toQColor(0xFF000005, p, fallback), QColor(10, 20, 30));  // clWindow
  EXPECT_EQ(toQColor(0xFF00000D, p, fallback), QColor(40, 50, 60));  // clHighlight
  EXPECT_EQ(toQColor(0xFF00000F, p, fallback), QColor(70, 80, 90));  // clBtnFace
  EXPECT_EQ(toQColor(0xFF000008, p, fallback), QColor(1, 1, 1));     // clWindowText
  EXPECT_EQ(toQColor(0xFF000019, p, fallback), fallback);            // 25 has no colour
  // clGradientActiveCaption: a pale shade of the caption (selection) colour, not that colour.
  EXPECT_EQ(toQColor(0xFF00001B, p, fallback), QColor((40 + 30) / 4, (50 + 60) / 4, (60 + 90) / 4));
  EXPECT_EQ(toQColor(0xFF0000FF, p, fallback), fallback);  // past the scheme
  EXPECT_EQ(toQColor(kColorDefault, p, fallback), fallback);
  EXPECT_EQ(toQColor(kColorNone, p, fallback).alpha(), 0);
}

// ---- list model ----

// Fails the running test for every complaint of Qt's model tester.
void failOnWarning(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type != QtDebugMsg && type != QtInfoMsg) ADD_FAILURE() << message.toStdString();
}

class CheckListModelTest : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = qInstallMessageHandler(failOnWarning); }
  void TearDown() override { qInstallMessageHandler(previous_); }

  // The model must show exactly the list's rows.
  void expectSame(const CheckListModel& model, const CheckList& list) {
    ASSERT_EQ(model.rowCount(), list.count());
    for (int r = 0; r < list.count(); ++r) {
      const QModelIndex i = model.index(r);
      EXPECT_EQ(i.data().toString(), QString::fromUtf8(cp932::toUtf8(list.text(r)).text)) << r;
      EXPECT_EQ(i.data(CheckListModel::kHeaderRole).toBool(), list.isHeader(r)) << r;
      if (list.isHeader(r)) {
        EXPECT_FALSE(i.data(Qt::CheckStateRole).isValid()) << r;
      } else {
        EXPECT_EQ(i.data(Qt::CheckStateRole).toInt() == Qt::Checked, list.isChecked(r)) << r;
      }
    }
  }

  QtMessageHandler previous_ = nullptr;
};

TEST_F(CheckListModelTest, FollowsEveryKindOfChangeConsistently) {
  CheckList list;
  list.add(sj("\"/a\",【該当File数】,2"), true);
  list.add(sj("/a/あ.txt"), false, true);
  list.add(sj("/a/表.txt"), false, true);
  CheckListModel model(list);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
  expectSame(model, list);

  list.add(sj("/a/z.txt"), false, false);
  list.insert(1, CheckRow{sj("/a/0.txt"), false, true});
  expectSame(model, list);
  list.remove(2);
  list.remove(0);
  expectSame(model, list);
  list.move(0, 2);
  list.move(2, 1);
  expectSame(model, list);
  list.setText(1, sj("/a/変更.txt"));
  list.setChecked(0, false);
  list.setHeader(2, true);
  expectSame(model, list);
  {
    CheckList::Batch batch(list);
    for (int i = 0; i < 50; ++i) list.add(std::to_string(i), i % 10 == 0, true);
    list.remove(3);
  }
  expectSame(model, list);
  list.assign({CheckRow{"x", true, false}, CheckRow{"y", false, true}});
  expectSame(model, list);
  list.clear();
  expectSame(model, list);
}

TEST_F(CheckListModelTest, ACheckClickChangesTheRowAndIsReportedOnceHeadersCannotBeChecked) {
  CheckList list;
  list.add("header", true);
  list.add("file", false, true);
  CheckListModel model(list);
  QSignalSpy toggled(&model, &CheckListModel::checkToggled);

  EXPECT_FALSE(model.flags(model.index(0)) & Qt::ItemIsUserCheckable);
  EXPECT_FALSE(model.setData(model.index(0), Qt::Checked, Qt::CheckStateRole));
  EXPECT_FALSE(model.setData(model.index(1), "text", Qt::DisplayRole));
  EXPECT_TRUE(model.flags(model.index(1)) & Qt::ItemIsUserCheckable);
  EXPECT_TRUE(model.setData(model.index(1), Qt::Unchecked, Qt::CheckStateRole));
  EXPECT_FALSE(list.isChecked(1));
  EXPECT_EQ(model.index(1).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
  ASSERT_EQ(toggled.count(), 1);
  EXPECT_EQ(toggled.at(0).at(0).toInt(), 1);
  // Setting the state it already has is no click.
  EXPECT_TRUE(model.setData(model.index(1), Qt::Unchecked, Qt::CheckStateRole));
  EXPECT_EQ(toggled.count(), 1);
}

TEST_F(CheckListModelTest, PassesSelectionTopRowAndExtentOn) {
  CheckList list;
  for (int i = 0; i < 5; ++i) list.add(std::to_string(i));
  CheckListModel model(list);
  QSignalSpy selection(&model, &CheckListModel::selectionChanged);
  QSignalSpy top(&model, &CheckListModel::topIndexChanged);
  QSignalSpy extent(&model, &CheckListModel::extentChanged);
  list.setSelectedIndex(3);
  list.setTopIndex(2);
  list.setHorizontalExtent(777);
  ASSERT_EQ(selection.count(), 1);
  EXPECT_EQ(selection.at(0).at(0).toInt(), 3);
  ASSERT_EQ(top.count(), 1);
  EXPECT_EQ(top.at(0).at(0).toInt(), 2);
  ASSERT_EQ(extent.count(), 1);
  EXPECT_EQ(extent.at(0).at(0).toInt(), 777);
}

TEST_F(CheckListModelTest, ALockedModelRefusesClicks) {
  CheckList list;
  list.add("file", false, true);
  CheckListModel model(list);
  model.setLocked(true);
  EXPECT_FALSE(model.setData(model.index(0), Qt::Unchecked, Qt::CheckStateRole));
  EXPECT_TRUE(list.isChecked(0));
  model.setLocked(false);
  EXPECT_TRUE(model.setData(model.index(0), Qt::Unchecked, Qt::CheckStateRole));
  EXPECT_FALSE(list.isChecked(0));
}

TEST_F(CheckListModelTest, JoinRowsKeepTheHeightDecidedWhenTheyEntered) {
  CheckList list;
  CheckListModel model(list);
  bool singleLine = true;
  model.setLineSource([&] { return singleLine ? 1 : 6; }, 6);
  RowDelegate delegate;
  delegate.setKind(RowDelegate::Kind::kJoin);
  ListLook look;
  look.rowHeight = 16;
  delegate.setLook(look);
  auto height = [&](int row) { return delegate.sizeHint(QStyleOptionViewItem(), model.index(row)).height(); };

  list.add("----", true);
  singleLine = false;
  list.add("\"/a.txt\",の内容\r\n1\r\n2", false, true);
  singleLine = true;
  list.add("====", true);
  EXPECT_EQ(height(0), 16);
  EXPECT_EQ(height(1), 6 * 16 + 5);
  EXPECT_EQ(height(2), 16);
  list.setChecked(1, false);  // a check mark is no new text
  EXPECT_EQ(height(1), 6 * 16 + 5);
  list.setText(2, "~~~~");  // replaced while the flag is set: still one line
  EXPECT_EQ(height(2), 16);
  singleLine = false;
  list.setText(0, "tall now");
  EXPECT_EQ(height(0), 6 * 16 + 5);
  list.assign({CheckRow{"sep", true, false}, CheckRow{"content", false, true}});
  EXPECT_EQ(height(0), 16);
  EXPECT_EQ(height(1), 6 * 16 + 5);
}

// ---- row delegate ----

class RowDelegateTest : public ::testing::Test {
 protected:
  RowDelegateTest() : model_(list_) {
    list_.add("header", true);
    list_.add("file", false, true);
    ListLook look;
    look.rowHeight = 20;
    look.extent = 900;
    delegate_.setLook(look);
    option_.rect = QRect(0, 20, 400, 20);
  }

  bool send(QEvent::Type type, QPoint at, int row) {
    QMouseEvent e(type, QPointF(at), QPointF(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    return delegate_.editorEvent(&e, &model_, option_, model_.index(row));
  }

  CheckList list_;
  CheckListModel model_;
  RowDelegate delegate_;
  QStyleOptionViewItem option_;
};

TEST_F(RowDelegateTest, RowsAreAsTallAsTheFontAndAsWideAsTheExtent) {
  // The extent is the widest text and a row height (the desktop's box): the row is as wide as that
  // text needs beside our box, and a little more, so its last glyph can be scrolled into view.
  const QSize size = delegate_.sizeHint(option_, model_.index(1));
  EXPECT_EQ(size.height(), 20);
  const int indent = delegate_.textLeft(option_, model_.index(1)) - option_.rect.left();
  EXPECT_GT(size.width() - indent, 900 - 20);
  EXPECT_LE(size.width(), 900 + indent);
  EXPECT_TRUE(delegate_.checkRect(option_, model_.index(0)).isEmpty());
  EXPECT_FALSE(delegate_.checkRect(option_, model_.index(1)).isEmpty());
  EXPECT_GT(delegate_.textLeft(option_, model_.index(1)), delegate_.checkRect(option_, model_.index(1)).right());
}

TEST_F(RowDelegateTest, OnlyAClickOnTheBoxOrTheSpaceKeyToggles) {
  const QPoint box = delegate_.checkRect(option_, model_.index(1)).center();
  send(QEvent::MouseButtonRelease, QPoint(200, 30), 1);
  EXPECT_TRUE(list_.isChecked(1)) << "a click on the text only selects";
  send(QEvent::MouseButtonRelease, box, 1);
  EXPECT_FALSE(list_.isChecked(1));
  QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
  delegate_.editorEvent(&space, &model_, option_, model_.index(1));
  EXPECT_TRUE(list_.isChecked(1));
  // A double click on the box is two clicks: it comes back to where it was.
  send(QEvent::MouseButtonPress, box, 1);
  send(QEvent::MouseButtonRelease, box, 1);
  EXPECT_TRUE(send(QEvent::MouseButtonDblClick, box, 1));
  send(QEvent::MouseButtonRelease, box, 1);
  EXPECT_TRUE(list_.isChecked(1));
  // A header row has no box to click.
  send(QEvent::MouseButtonRelease, QPoint(5, 30), 0);
  EXPECT_FALSE(list_.isChecked(0));
}

TEST(ResultRowPaintTest, TheMatchIsColouredExactlyWhereItsBytesStandAndNowhereElse) {
  CheckList list;
  // The label, the CR LF of a pattern-mode row, then the line; the match starts after double-byte text.
  const std::string row = sj("【12列目】\r\nあいう表示abc");
  list.add(row, false, true);
  list.add(sj("\"/表示.txt\",の検索結果"), true);
  CheckListModel model(list);
  RowDelegate delegate;
  delegate.setKind(RowDelegate::Kind::kResult);
  ListLook look;
  look.font = QFont("IPAGothic");
  look.font.setPixelSize(16);
  look.rowHeight = 16;
  look.text = QColor(0, 200, 0);  // the list's text colour does not apply: rows are black
  delegate.setLook(look);
  const int position = static_cast<int>(row.find(sj("表示"))) + 1;
  delegate.setHighlighter([&](int r) -> std::optional<HighlightSpan> {
    if (r == 1) throw std::runtime_error("no pattern");
    return HighlightSpan{position, 4, QColor(255, 0, 0)};
  });

  QImage image(700, 16, QImage::Format_RGB32);
  image.fill(Qt::white);
  QStyleOptionViewItem option;
  option.rect = QRect(0, 0, 700, 16);
  {
    QPainter painter(&image);
    delegate.paint(&painter, option, model.index(0));
  }
  const QFontMetrics metrics(look.font);
  const int left = delegate.textLeft(option, model.index(0));
  const int start = left + metrics.horizontalAdvance(RowDelegate::oneLine(QString::fromUtf8("【12列目】\r\nあいう")));
  const int width = metrics.horizontalAdvance(QString::fromUtf8("表示"));
  const auto [first, last] = testing::columnsOf(image, QColor(255, 0, 0));
  ASSERT_GE(first, 0) << "no coloured text";
  EXPECT_GE(first, start);
  EXPECT_LE(last, start + width);
  EXPECT_GT(last - first, width / 2);
  EXPECT_LT(testing::columnsOf(image, Qt::black).first, start) << "the rest is black";
  EXPECT_EQ(testing::columnsOf(image, QColor(0, 200, 0)).first, -1);

  // A header row, and a row whose colour cannot be found, are drawn without colour and without harm.
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    delegate.paint(&painter, option, model.index(1));
  }
  EXPECT_EQ(testing::columnsOf(image, QColor(255, 0, 0)).first, -1);
  delegate.setHighlighter([&](int) -> std::optional<HighlightSpan> { return HighlightSpan{90, 4, Qt::red}; });
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    delegate.paint(&painter, option, model.index(0));  // a span past the text's end is ignored
  }
  EXPECT_EQ(testing::columnsOf(image, QColor(255, 0, 0)).first, -1);
}

}  // namespace
}  // namespace kelvane
