// The lists as the keyboard and assistive tools reach them: the toggle action of a row, the names of
// the controls, and rows too long to draw whole.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QListView>
#include <QPainter>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <QTabWidget>

#include "platform/cp932.h"
#include "tests/ui/image_columns.h"
#include "workspace/ui/check_list_model.h"
#include "workspace/ui/row_delegate.h"

namespace kelvane {
namespace {

std::string sj(const char* utf8) { return cp932::fromUtf8(utf8).text; }
QString u(const char* utf8) { return QString::fromUtf8(utf8); }

class ListAccessibilityTest : public ::testing::Test {
 protected:
  ListAccessibilityTest() : model(list) {
    list.add(sj("\"/a\",【該当File数】,2"), true);
    list.add(sj("/a/あ.txt"), false, true);
    list.add(sj("/a/表.txt"), false, true);
    view = new QListView;
    view->setModel(&model);
    view->setItemDelegate(&delegate);
    tabs.addTab(view, u("対象File一覧"));
  }
  QAccessibleInterface* row(int r) { return QAccessible::queryAccessibleInterface(view)->child(r); }
  void toggle(int r) {
    QAccessibleInterface* item = row(r);
    ASSERT_NE(item, nullptr);
    ASSERT_NE(item->actionInterface(), nullptr);
    item->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  }

  CheckList list;
  CheckListModel model;
  RowDelegate delegate;
  QTabWidget tabs;
  QListView* view = nullptr;  // owned by tabs
};

TEST_F(ListAccessibilityTest, TheToggleActionOfARowChecksItAsAClickOnItsBoxDoes) {
  QAccessibleInterface* lst = QAccessible::queryAccessibleInterface(view);
  ASSERT_NE(lst, nullptr);
  EXPECT_EQ(lst->role(), QAccessible::List);
  EXPECT_EQ(lst->text(QAccessible::Name), u("対象File一覧")) << "named by its tab";
  ASSERT_EQ(lst->childCount(), 3);
  QAccessibleInterface* file = row(1);
  EXPECT_EQ(file, row(1)) << "one interface per row";
  EXPECT_EQ(lst->indexOfChild(file), 1);
  EXPECT_EQ(file->parent(), lst);
  EXPECT_EQ(file->role(), QAccessible::ListItem);
  EXPECT_EQ(file->text(QAccessible::Name), u("/a/あ.txt"));
  EXPECT_TRUE(file->state().checkable);
  EXPECT_TRUE(file->state().checked);
  EXPECT_TRUE(file->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));

  QSignalSpy toggled(&model, &CheckListModel::checkToggled);
  toggle(1);
  EXPECT_FALSE(list.isChecked(1));
  EXPECT_FALSE(row(1)->state().checked);
  toggle(1);
  EXPECT_TRUE(list.isChecked(1));
  ASSERT_EQ(toggled.count(), 2) << "the window's check handler runs each time";
  EXPECT_EQ(toggled[0][0].toInt(), 1);

  // A folder header has no box: nothing to toggle.
  EXPECT_FALSE(row(0)->state().checkable);
  EXPECT_FALSE(row(0)->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
  toggle(0);
  EXPECT_FALSE(list.isChecked(0));
  // While an operation owns the lists the action is refused, as a click is.
  model.setLocked(true);
  toggle(2);
  EXPECT_TRUE(list.isChecked(2));
  model.setLocked(false);
  EXPECT_EQ(toggled.count(), 2);

  // Rows that moved are asked for afresh.
  list.remove(0);
  EXPECT_EQ(lst->childCount(), 2);
  EXPECT_EQ(row(0)->text(QAccessible::Name), u("/a/あ.txt"));
  toggle(1);
  EXPECT_FALSE(list.isChecked(1));
}

TEST_F(ListAccessibilityTest, SpaceTogglesTheCurrentRowOfTheView) {
  tabs.show();
  view->setFocus();
  view->setCurrentIndex(model.index(2));
  QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
  QApplication::sendEvent(view, &space);
  EXPECT_FALSE(list.isChecked(2));
  QApplication::sendEvent(view, &space);
  EXPECT_TRUE(list.isChecked(2));
}

// ---- long rows ----

TEST(LongRowTest, AMegabyteRowIsDrawnFromItsStartWithItsLabelAndColourAndKeepsItsText) {
  CheckList list;
  const std::string label = sj("【3列目】");
  std::string row = label + "\r\n" + "ab" + sj("表示") + std::string(1 << 20, 'x') + sj("表示");
  list.add(row, false, true);
  CheckListModel model(list);
  EXPECT_LE(model.index(0).data().toString().size(), static_cast<qsizetype>(CheckListModel::kShownBytes));
  EXPECT_LE(model.index(0).data(CheckListModel::kBytesRole).toByteArray().size(),
            static_cast<qsizetype>(CheckListModel::kShownBytes));
  EXPECT_EQ(list.text(0), row) << "the list keeps the whole line";

  RowDelegate delegate;
  delegate.setKind(RowDelegate::Kind::kResult);
  ListLook look;
  look.font = QFont("IPAGothic");
  look.font.setPixelSize(16);
  look.rowHeight = 16;
  delegate.setLook(look);
  const int position = static_cast<int>(label.size() + 2 + 2) + 1;
  delegate.setHighlighter([&](int) -> std::optional<HighlightSpan> { return HighlightSpan{position, 4, Qt::red}; });
  QImage image(500, 16, QImage::Format_RGB32);
  image.fill(Qt::white);
  QStyleOptionViewItem option;
  option.rect = QRect(0, 0, 500, 16);
  {
    QPainter painter(&image);
    delegate.paint(&painter, option, model.index(0));
  }
  const QFontMetrics metrics(look.font);
  const int left = delegate.textLeft(option, model.index(0));
  const int start = left + metrics.horizontalAdvance(RowDelegate::oneLine(u("【3列目】\r\nab")));
  const auto [redFirst, redLast] = testing::columnsOf(image, Qt::red);
  EXPECT_GE(redFirst, start - 1);
  EXPECT_LE(redLast, start + metrics.horizontalAdvance(u("表示")));
  EXPECT_LT(testing::columnsOf(image, Qt::black).first, start) << "the label is drawn";
  EXPECT_GT(testing::columnsOf(image, Qt::black).second, 450) << "the line runs to the edge";

  // A match that begins beyond what is shown is not drawn at all.
  delegate.setHighlighter([&](int) -> std::optional<HighlightSpan> {
    return HighlightSpan{static_cast<int>(row.size()) - 3, 4, Qt::red};
  });
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    delegate.paint(&painter, option, model.index(0));
  }
  EXPECT_EQ(testing::columnsOf(image, Qt::red).first, -1);
}

TEST(LongRowTest, TheShownPartEndsOnACharacterBoundary) {
  std::string text(CheckListModel::kShownBytes - 1, 'a');
  text += sj("表表");
  EXPECT_EQ(CheckListModel::shownLength(text), CheckListModel::kShownBytes - 1);
  text.insert(0, "b");
  EXPECT_EQ(CheckListModel::shownLength(text), CheckListModel::kShownBytes);
  EXPECT_EQ(CheckListModel::shownLength("short"), 5u);
}

}  // namespace
}  // namespace kelvane
