#include "workspace/ui/row_delegate.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

#include "workspace/ui/check_list_model.h"

namespace kelvane {
namespace {

constexpr int kGap = 3;

bool isHeader(const QModelIndex& index) { return index.data(CheckListModel::kHeaderRole).toBool(); }

// A row is filled up to the visible right edge even when the text is shorter than the list.
QRect fillRect(const QStyleOptionViewItem& option) {
  QRect r = option.rect;
  if (auto* area = qobject_cast<const QAbstractScrollArea*>(option.widget)) {
    const int right = area->viewport()->width() + area->horizontalScrollBar()->value();
    if (r.right() < right) r.setRight(right);
  }
  return r;
}

}  // namespace

RowDelegate::RowDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

int RowDelegate::checkSize() const {
  // The box follows the row so that a large font keeps a matching box, within sensible bounds.
  return std::clamp(look_.rowHeight - 4, 9, 20);
}

QRect RowDelegate::checkRect(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  if (isHeader(index)) return {};
  const int s = checkSize();
  return QRect(option.rect.left() + kGap, option.rect.top() + (option.rect.height() - s) / 2, s, s);
}

int RowDelegate::textLeft(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  if (isHeader(index)) return option.rect.left() + kGap;
  return option.rect.left() + kGap + checkSize() + kGap + 1;
}

void RowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  painter->save();
  const bool header = isHeader(index);
  const bool selected = option.state & QStyle::State_Selected;
  QColor back = look_.back;
  QColor fore = look_.text;
  if (header) {
    back = look_.headerBack;
    fore = look_.headerText;
  } else if (selected) {
    back = option.palette.color(QPalette::Active, QPalette::Highlight);
    fore = option.palette.color(QPalette::Active, QPalette::HighlightedText);
  }
  painter->fillRect(fillRect(option), back);
  if (header && selected) {
    // A selected header keeps its colours; a frame shows where the selection is.
    painter->setPen(QPen(option.palette.color(QPalette::Active, QPalette::Highlight), 2));
    painter->drawRect(fillRect(option).adjusted(1, 1, -1, -1));
  }

  if (!header) {
    QStyleOptionViewItem box(option);
    box.rect = checkRect(option, index);
    box.state = QStyle::State_Enabled |
                (index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? QStyle::State_On : QStyle::State_Off);
    const QWidget* w = option.widget;
    QStyle* style = w ? w->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, w);
  }

  painter->setFont(look_.font);
  painter->setPen(fore);
  const QRect textRect(textLeft(option, index), option.rect.top(), 1 << 20, option.rect.height());
  painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                    index.data(Qt::DisplayRole).toString());
  painter->restore();
}

QSize RowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
  return QSize(std::max(look_.extent, 1), look_.rowHeight);
}

bool RowDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                              const QModelIndex& index) {
  if (!(index.flags() & Qt::ItemIsUserCheckable)) return false;
  bool toggle = false;
  switch (event->type()) {
    case QEvent::MouseButtonRelease: {
      auto* me = static_cast<QMouseEvent*>(event);
      toggle = me->button() == Qt::LeftButton && checkRect(option, index).contains(me->position().toPoint());
      break;
    }
    case QEvent::MouseButtonDblClick: {
      // The release that follows toggles again; the double click on the box must not open the row.
      auto* me = static_cast<QMouseEvent*>(event);
      return me->button() == Qt::LeftButton && checkRect(option, index).contains(me->position().toPoint());
    }
    case QEvent::KeyPress: {
      auto* ke = static_cast<QKeyEvent*>(event);
      toggle = ke->key() == Qt::Key_Space || ke->key() == Qt::Key_Select;
      break;
    }
    default:
      return false;
  }
  if (!toggle) return false;
  const bool on = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
  return model->setData(index, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

}  // namespace kelvane
