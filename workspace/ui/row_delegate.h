#pragma once
// Draws the rows of a CheckList: header rows across the whole width in the list's header colours,
// other rows with a check box and the text in the list's colours (the selected row in the
// selection colours). A click on the check box or the space key toggles the row.
#include <QColor>
#include <QFont>
#include <QStyledItemDelegate>

namespace kelvane {

struct ListLook {
  QColor headerBack{0x80, 0x80, 0x00};  // clOlive
  QColor headerText{0xFF, 0xFB, 0xF0};  // clCream
  QColor back{Qt::white};
  QColor text{Qt::black};
  QFont font;
  int rowHeight = 16;
  int extent = 0;  // horizontal scroll width in pixels
};

class RowDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  explicit RowDelegate(QObject* parent = nullptr);

  const ListLook& look() const { return look_; }
  void setLook(const ListLook& look) { look_ = look; }
  void setExtent(int pixels) { look_.extent = pixels; }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  // The check box's square within a row rectangle (empty for header rows).
  QRect checkRect(const QStyleOptionViewItem& option, const QModelIndex& index) const;
  // Left edge of the text within a row rectangle.
  int textLeft(const QStyleOptionViewItem& option, const QModelIndex& index) const;

  // Toggles the row's check mark for a click on its box or the space key; returns true when the
  // event was taken.
  bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

 private:
  int checkSize() const;
  ListLook look_;
};

}  // namespace kelvane
