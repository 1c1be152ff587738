#include "workspace/ui/check_list_model.h"

#include <algorithm>

#include "workspace/ui/qt_text.h"

namespace kelvane {

CheckListModel::CheckListModel(CheckList& list, QObject* parent) : QAbstractListModel(parent), list_(list) {
  resetCache();
  list_.addObserver(this);
}

CheckListModel::~CheckListModel() { list_.removeObserver(this); }

void CheckListModel::resetCache() {
  rows_ = list_.count();
  texts_.assign(static_cast<size_t>(rows_), std::nullopt);
}

int CheckListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

QString CheckListModel::rowText(int row) const {
  if (row < 0 || row >= list_.count() || row >= static_cast<int>(texts_.size())) return {};
  std::optional<QString>& cached = texts_[static_cast<size_t>(row)];
  if (!cached) cached = toQ(list_.text(row));
  return *cached;
}

QVariant CheckListModel::data(const QModelIndex& index, int role) const {
  const int row = index.row();
  // Between a change of the list and the view's hearing of it the counts may differ for a moment.
  if (!index.isValid() || row >= list_.count()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return rowText(row);
    case Qt::CheckStateRole:
      if (list_.isHeader(row)) return {};
      return list_.isChecked(row) ? Qt::Checked : Qt::Unchecked;
    case kHeaderRole:
      return list_.isHeader(row);
    default:
      return {};
  }
}

bool CheckListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  const int row = index.row();
  if (role != Qt::CheckStateRole || !index.isValid() || row >= list_.count() || list_.isHeader(row)) return false;
  const bool on = value.toInt() == Qt::Checked;
  if (on == list_.isChecked(row)) return true;
  list_.setChecked(row, on);
  emit checkToggled(row);
  return true;
}

Qt::ItemFlags CheckListModel::flags(const QModelIndex& index) const {
  if (!index.isValid() || index.row() >= list_.count()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (!list_.isHeader(index.row())) f |= Qt::ItemIsUserCheckable;
  return f;
}

void CheckListModel::listChanged(const CheckList& list, const ListChangeEvent& change) {
  const int first = change.first;
  const int last = change.last;
  auto at = [this](int row) { return texts_.begin() + row; };
  switch (change.kind) {
    case ListChange::kReset:
      beginResetModel();
      resetCache();
      endResetModel();
      break;
    case ListChange::kInserted:
      if (first < 0 || last < first || first > rows_ || list.count() != rows_ + (last - first + 1)) {
        beginResetModel(), resetCache(), endResetModel();
        break;
      }
      beginInsertRows(QModelIndex(), first, last);
      texts_.insert(at(first), static_cast<size_t>(last - first + 1), std::nullopt);
      rows_ = list.count();
      endInsertRows();
      break;
    case ListChange::kRemoved:
      if (first < 0 || last < first || last >= rows_ || list.count() != rows_ - (last - first + 1)) {
        beginResetModel(), resetCache(), endResetModel();
        break;
      }
      beginRemoveRows(QModelIndex(), first, last);
      texts_.erase(at(first), at(last + 1));
      rows_ = list.count();
      endRemoveRows();
      break;
    case ListChange::kRowChanged: {
      const int lo = std::max(first, 0);
      const int hi = std::min(last, rows_ - 1);
      if (lo > hi) break;
      for (int r = lo; r <= hi; ++r) texts_[static_cast<size_t>(r)].reset();
      emit dataChanged(index(lo), index(hi));
      break;
    }
    case ListChange::kMoved: {
      if (first == last || first < 0 || last < 0 || first >= rows_ || last >= rows_) {
        if (first != last) beginResetModel(), resetCache(), endResetModel();
        break;
      }
      // Qt names the destination as the row before which the moved row goes, counted before the move.
      const int destination = last > first ? last + 1 : last;
      beginMoveRows(QModelIndex(), first, first, QModelIndex(), destination);
      std::optional<QString> moved = std::move(texts_[static_cast<size_t>(first)]);
      texts_.erase(at(first));
      texts_.insert(at(last), std::move(moved));
      endMoveRows();
      break;
    }
    case ListChange::kSelection:
      emit selectionChanged(list.selectedIndex());
      break;
    case ListChange::kTopIndex:
      emit topIndexChanged(list.topIndex());
      break;
    case ListChange::kExtent:
      emit extentChanged(list.horizontalExtent());
      break;
  }
}

}  // namespace kelvane
