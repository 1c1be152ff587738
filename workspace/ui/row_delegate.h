#pragma once
// Draws the rows of a CheckList: header rows across the whole width in the list's header colours,
// other rows with a check box and the text in the list's colours (the selected row in the
// selection colours). A click on the check box or the space key toggles the row.
//
// Three ways of drawing, one per list kind:
// - plain (the target list): one line, the list's text colours;
// - result (the result list): one line, every text black whatever the colour settings say, and the
//   first match of the row drawn again over it in its own colour, where the highlighter puts it;
// - join (the join/split list): a header as one line in the header colours, other rows as several
//   lines (each CR LF starts one), cut off at the row's lower edge.
#include <QColor>
#include <QFont>
#include <QStyledItemDelegate>
#include <functional>
#include <optional>

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

// Where the colour goes in a result row: 1-based byte position and byte length in the row's CP932
// text, and the colour.
struct HighlightSpan {
  int position = 0;
  int length = 0;
  QColor color;
};

class RowDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  enum class Kind { kPlain, kResult, kJoin };
  using Highlighter = std::function<std::optional<HighlightSpan>(int row)>;

  explicit RowDelegate(QObject* parent = nullptr);

  void setKind(Kind kind) { kind_ = kind; }
  // Asked for each result row painted; may be unset.
  void setHighlighter(Highlighter highlighter) { highlighter_ = std::move(highlighter); }
  // The text a result row shows: CR and LF, which a one-line output does not break at, as blanks.
  static QString oneLine(QString text);

  const ListLook& look() const { return look_; }
  void setLook(const ListLook& look) { look_ = look; }
  void setExtent(int pixels) { look_.extent = pixels; }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  // The check box's square within a row rectangle (empty for header rows).
  QRect checkRect(const QStyleOptionViewItem& option, const QModelIndex& index) const;
  // Left edge of the text within a row rectangle.
  int textLeft(const QStyleOptionViewItem& option, const QModelIndex& index) const;

  // Checks an unchecked row and unchecks a checked one through the model, as a click on its box, the
  // space key and the accessibility toggle action all do. False when the model refused.
  static bool toggleCheck(QAbstractItemModel* model, const QModelIndex& index);

  // Toggles the row's check mark for a click on its box or the space key; returns true when the
  // event was taken.
  bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

 private:
  int checkSize() const;
  void paintResultText(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
  void paintJoinText(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index,
                     const QColor& fore) const;

  ListLook look_;
  Kind kind_ = Kind::kPlain;
  Highlighter highlighter_;
};

}  // namespace kelvane
