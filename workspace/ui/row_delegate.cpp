#include "workspace/ui/row_delegate.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

#include "qtcommon/qt_text.h"
#include "workspace/ui/check_list_model.h"

namespace kelvane {
namespace {

constexpr int kGap = 3;

bool isHeader(const QModelIndex& index) { return index.data(CheckListModel::kHeaderRole).toBool(); }

// The baseline of a line of text in a band `height` pixels tall. A row is as tall as the font's size,
// which can be a pixel less than its ascent and descent together: the text then moves up, so that
// underscores and descenders are not painted over by the next row.
int baselineIn(const QFontMetrics& metrics, int top, int height) {
  return top + std::max(1, std::min(metrics.ascent(), height - metrics.descent()));
}

// A row is filled up to the visible right edge even when the text is shorter than the list.
QRect fillRect(const QStyleOptionViewItem& option) {
  QRect r = option.rect;
  if (auto* area = qobject_cast<const QAbstractScrollArea*>(option.widget)) {
    const int right = area->viewport()->width() + area->horizontalScrollBar()->value();
    if (r.right() < right) r.setRight(right);
  }
  return r;
}

// The right edge of what the list shows, in the coordinates of the row rectangles.
int visibleRight(const QStyleOptionViewItem& option) {
  if (auto* area = qobject_cast<const QAbstractScrollArea*>(option.widget)) return area->viewport()->width();
  return option.rect.right();
}

// The leading part of a one-line text that reaches the visible right edge from x = left. Measured a
// piece at a time, so a long line costs what a screen shows, not what it holds; a short one is taken
// whole.
QString visiblePart(const QFontMetrics& metrics, const QString& text, int left, int right) {
  constexpr qsizetype kPiece = 128;
  if (text.size() <= kPiece) return text;
  int x = left;
  qsizetype n = 0;
  while (n < text.size() && x <= right) {
    qsizetype step = std::min(kPiece, text.size() - n);
    if (text.at(n + step - 1).isHighSurrogate() && n + step < text.size()) ++step;
    x += metrics.horizontalAdvance(text.mid(n, step));
    n += step;
  }
  return n >= text.size() ? text : text.left(n);
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
  // A tall row of the join list keeps its box beside its first line.
  const int band = kind_ == Kind::kJoin ? std::min(option.rect.height(), look_.rowHeight) : option.rect.height();
  return QRect(option.rect.left() + kGap, option.rect.top() + (band - s) / 2, s, s);
}

QString RowDelegate::oneLine(QString text) {
  text.replace('\r', ' ');
  text.replace('\n', ' ');
  return text;
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
  // Every text of the result list is black, also headers and the selected row.
  if (kind_ == Kind::kResult) fore = Qt::black;
  // So are the content rows of the join list, unless selected.
  if (kind_ == Kind::kJoin && !header && !selected) fore = Qt::black;
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
  if (kind_ == Kind::kJoin && !header) {
    paintJoinText(painter, option, index, fore);
  } else if (kind_ == Kind::kResult) {
    paintResultText(painter, option, index);
  } else {
    const QFontMetrics metrics(look_.font);
    const int left = textLeft(option, index);
    painter->drawText(
        left, baselineIn(metrics, option.rect.top(), option.rect.height()),
        visiblePart(metrics, oneLine(index.data(Qt::DisplayRole).toString()), left, visibleRight(option)));
  }
  painter->restore();
}

void RowDelegate::paintResultText(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
  const QFontMetrics metrics(look_.font);
  const int left = textLeft(option, index);
  const int baseline = baselineIn(metrics, option.rect.top(), option.rect.height());
  const QString shown =
      visiblePart(metrics, oneLine(index.data(Qt::DisplayRole).toString()), left, visibleRight(option));
  painter->drawText(left, baseline, shown);
  if (!highlighter_ || isHeader(index)) return;
  std::optional<HighlightSpan> span;
  try {
    span = highlighter_(index.row());
  } catch (...) {
    return;  // a row whose colour cannot be found is still drawn, without colour
  }
  const QByteArray bytes = index.data(CheckListModel::kBytesRole).toByteArray();
  if (!span || span->position < 1 || span->length < 1 || span->position - 1 >= bytes.size()) return;
  // A match running past the shown part of a long row is coloured as far as the row is shown.
  span->length = std::min<int>(span->length, static_cast<int>(bytes.size()) - (span->position - 1));
  const std::string_view all(bytes.constData(), static_cast<size_t>(bytes.size()));
  const QString prefix = oneLine(toQ(all.substr(0, static_cast<size_t>(span->position - 1))));
  if (prefix.size() >= shown.size()) return;  // the match begins past the visible part
  // The coloured text lies exactly over the black one, measured with the same one-line measure.
  const int x = left + metrics.horizontalAdvance(prefix);
  const QString match = visiblePart(
      metrics, oneLine(toQ(all.substr(static_cast<size_t>(span->position - 1), static_cast<size_t>(span->length)))), x,
      visibleRight(option));
  QColor back = look_.back;
  if (option.state & QStyle::State_Selected) back = option.palette.color(QPalette::Active, QPalette::Highlight);
  painter->fillRect(QRect(x, option.rect.top(), metrics.horizontalAdvance(match), option.rect.height()), back);
  painter->setPen(span->color);
  painter->drawText(x, baseline, match);
}

void RowDelegate::paintJoinText(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index,
                                const QColor& fore) const {
  const QFontMetrics metrics(look_.font);
  const QStringList lines = index.data(Qt::DisplayRole).toString().split(QStringLiteral("\r\n"));
  const int left = textLeft(option, index);
  painter->save();
  painter->setClipRect(fillRect(option));
  painter->setPen(fore);
  int top = option.rect.top();
  const int right = visibleRight(option);
  for (const QString& line : lines) {
    if (top >= option.rect.bottom()) break;
    painter->drawText(left, baselineIn(metrics, top, look_.rowHeight),
                      visiblePart(metrics, oneLine(line), left, right));
    top += look_.rowHeight;
  }
  painter->restore();
}

QSize RowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const {
  const int lines = kind_ == Kind::kJoin ? std::max(1, index.data(CheckListModel::kLinesRole).toInt()) : 1;
  // A row of several lines is as tall as those lines and 5 pixels more.
  const int height = lines == 1 ? look_.rowHeight : lines * look_.rowHeight + 5;
  // The lists' scroll width is the widest text and one row height, the room the desktop's check box
  // took. Ours takes a few pixels more (gaps on both sides of the box), and the text needs a gap on
  // its right too, or the last glyph of the widest row could never be scrolled into view.
  const int boxRoom = kGap + checkSize() + kGap + 1;
  const int width = look_.extent > 0 ? look_.extent + std::max(0, boxRoom - look_.rowHeight) + kGap : 1;
  return QSize(width, height);
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
      // Its first click has toggled the box; the double click itself starts nothing more here.
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
  return toggle && toggleCheck(model, index);
}

bool RowDelegate::toggleCheck(QAbstractItemModel* model, const QModelIndex& index) {
  if (!model || !(index.flags() & Qt::ItemIsUserCheckable)) return false;
  const bool on = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
  return model->setData(index, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

}  // namespace kelvane
