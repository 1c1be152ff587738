#pragma once
// A Qt item model over one CheckList of the Workspace. It follows the list through the list's
// observer interface, so a view redraws only what changed, and turns a user's check-box click into
// a change of the row followed by checkToggled, where the window runs the list's ClickCheck handler.
//
// The list tells of a change after making it, while Qt's views expect to read the old rows until
// the change is announced. So the model answers from its own copy of the rows and brings the copy
// up to date between the begin and end of each announcement.
#include <QAbstractListModel>
#include <QString>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "workspace/check_list.h"

namespace kelvane {

class CheckListModel : public QAbstractListModel, private CheckListObserver {
  Q_OBJECT
 public:
  // True for a header row (bool).
  static constexpr int kHeaderRole = Qt::UserRole + 1;
  // The shown part of the row text as its CP932 bytes (QByteArray), for drawing by byte positions.
  static constexpr int kBytesRole = Qt::UserRole + 2;
  // How many text lines tall the row is (int); 1 unless a line-count source is set.
  static constexpr int kLinesRole = Qt::UserRole + 3;

  // list must outlive the model.
  explicit CheckListModel(CheckList& list, QObject* parent = nullptr);
  ~CheckListModel() override;

  CheckList& list() { return list_; }

  // A row is shown from at most its first kShownBytes bytes: a line of megabytes would take seconds
  // to convert and lay out at every repaint, and no screen shows more of it. The list keeps the whole
  // text; Qt::DisplayRole and kBytesRole give the shown part, and the lists are as wide as it is.
  static constexpr std::size_t kShownBytes = 8192;
  // The length of the shown part of a CP932 text: at most kShownBytes, never half a character.
  static std::size_t shownLength(std::string_view cp932);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  // Only Qt::CheckStateRole of a row that is not a header can be set: the row's flag changes and
  // checkToggled(row) follows. Returns false for anything else.
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The shown part of the row text as the widget shows it (converted once and kept until the row
  // changes).
  QString rowText(int row) const;

  // Where a row's height is decided as it enters the list (is added, inserted, replaced or moved):
  // the source is asked then, and its answer stays with the row. Rows that arrive all at once (a
  // reset) are one line when they are headers and `bodyLines` lines otherwise.
  void setLineSource(std::function<int()> source, int bodyLines);
  // While locked, check-box clicks are refused (setData returns false): a running operation owns
  // the lists.
  void setLocked(bool locked) { locked_ = locked; }

 signals:
  void checkToggled(int row);
  void selectionChanged(int row);  // the list's selected index, -1 for none
  void topIndexChanged(int row);
  void extentChanged(int pixels);

 private:
  void listChanged(const CheckList& list, const ListChangeEvent& change) override;
  void reset();

  CheckList& list_;
  int linesOf(const CheckRow& row) const;

  std::vector<CheckRow> rows_;  // the rows as the views know them
  std::vector<int> lines_;      // their heights in text lines
  std::function<int()> lineSource_;
  int bodyLines_ = 1;
  bool locked_ = false;
  mutable std::vector<std::optional<QString>> texts_;  // their texts converted, filled as drawn
};

}  // namespace kelvane
