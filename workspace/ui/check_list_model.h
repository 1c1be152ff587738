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
#include <optional>
#include <vector>

#include "workspace/check_list.h"

namespace kelvane {

class CheckListModel : public QAbstractListModel, private CheckListObserver {
  Q_OBJECT
 public:
  // True for a header row (bool).
  static constexpr int kHeaderRole = Qt::UserRole + 1;

  // list must outlive the model.
  explicit CheckListModel(CheckList& list, QObject* parent = nullptr);
  ~CheckListModel() override;

  CheckList& list() { return list_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  // Only Qt::CheckStateRole of a row that is not a header can be set: the row's flag changes and
  // checkToggled(row) follows. Returns false for anything else.
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The row text as the widget shows it (converted once and kept until the row changes).
  QString rowText(int row) const;

 signals:
  void checkToggled(int row);
  void selectionChanged(int row);  // the list's selected index, -1 for none
  void topIndexChanged(int row);
  void extentChanged(int pixels);

 private:
  void listChanged(const CheckList& list, const ListChangeEvent& change) override;
  void reset();

  CheckList& list_;
  std::vector<CheckRow> rows_;                         // the rows as the views know them
  mutable std::vector<std::optional<QString>> texts_;  // their texts converted, filled as drawn
};

}  // namespace kelvane
