#include "workspace/ui/check_list_model.h"

#include <algorithm>

#include "platform/cp932.h"
#include "qtcommon/qt_text.h"
#include "workspace/ui/check_list_accessible.h"

namespace kelvane {

CheckListModel::CheckListModel(CheckList& list, QObject* parent) : QAbstractListModel(parent), list_(list) {
  rows_ = list_.rows();
  texts_.assign(rows_.size(), std::nullopt);
  lines_.assign(rows_.size(), 1);
  list_.addObserver(this);
  installCheckListAccessibility();
}

CheckListModel::~CheckListModel() { list_.removeObserver(this); }

void CheckListModel::setLineSource(std::function<int()> source, int bodyLines) {
  lineSource_ = std::move(source);
  bodyLines_ = bodyLines;
  reset();
}

void CheckListModel::reset() {
  beginResetModel();
  rows_ = list_.rows();
  texts_.assign(rows_.size(), std::nullopt);
  lines_.clear();
  for (const CheckRow& r : rows_) lines_.push_back(lineSource_ && !r.header ? bodyLines_ : 1);
  endResetModel();
}

std::size_t CheckListModel::shownLength(std::string_view cp932) {
  if (cp932.size() <= kShownBytes) return cp932.size();
  std::size_t i = 0;
  while (i < kShownBytes) i += cp932::isLeadByte(static_cast<unsigned char>(cp932[i])) ? 2 : 1;
  return i > kShownBytes ? i - 2 : i;
}

int CheckListModel::linesOf(const CheckRow&) const { return lineSource_ ? std::max(1, lineSource_()) : 1; }

int CheckListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QString CheckListModel::rowText(int row) const {
  if (row < 0 || row >= rowCount()) return {};
  std::optional<QString>& cached = texts_[static_cast<size_t>(row)];
  if (!cached) {
    const std::string_view text = rows_[static_cast<size_t>(row)].text;
    cached = toQ(text.substr(0, shownLength(text)));
  }
  return *cached;
}

QVariant CheckListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const CheckRow& r = rows_[static_cast<size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
      return rowText(index.row());
    case Qt::CheckStateRole:
      if (r.header) return {};
      return r.checked ? Qt::Checked : Qt::Unchecked;
    case kHeaderRole:
      return r.header;
    case kBytesRole:
      return QByteArray(r.text.data(), static_cast<qsizetype>(shownLength(r.text)));
    case kLinesRole:
      return lines_[static_cast<size_t>(index.row())];
    default:
      return {};
  }
}

bool CheckListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  const int row = index.row();
  if (locked_ || role != Qt::CheckStateRole || !index.isValid() || row >= rowCount() || row >= list_.count() ||
      list_.isHeader(row)) {
    return false;
  }
  const bool on = value.toInt() == Qt::Checked;
  if (on == list_.isChecked(row)) return true;
  list_.setChecked(row, on);
  emit checkToggled(row);
  return true;
}

Qt::ItemFlags CheckListModel::flags(const QModelIndex& index) const {
  if (!index.isValid() || index.row() >= rowCount()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (!rows_[static_cast<size_t>(index.row())].header) f |= Qt::ItemIsUserCheckable;
  return f;
}

void CheckListModel::listChanged(const CheckList& list, const ListChangeEvent& change) {
  const int first = change.first;
  const int last = change.last;
  const int known = rowCount();
  const int n = last - first + 1;
  auto at = [](auto& v, int i) { return v.begin() + i; };
  switch (change.kind) {
    case ListChange::kReset:
      reset();
      break;
    case ListChange::kInserted:
      // A report that does not fit the rows known so far is taken as a reset rather than trusted.
      if (first < 0 || n < 1 || first > known || list.count() != known + n) return reset();
      beginInsertRows(QModelIndex(), first, last);
      rows_.insert(at(rows_, first), at(list.rows(), first), at(list.rows(), last + 1));
      texts_.insert(at(texts_, first), static_cast<size_t>(n), std::nullopt);
      lines_.insert(at(lines_, first), static_cast<size_t>(n), linesOf(rows_[static_cast<size_t>(first)]));
      endInsertRows();
      break;
    case ListChange::kRemoved:
      if (first < 0 || n < 1 || last >= known || list.count() != known - n) return reset();
      beginRemoveRows(QModelIndex(), first, last);
      rows_.erase(at(rows_, first), at(rows_, last + 1));
      texts_.erase(at(texts_, first), at(texts_, last + 1));
      lines_.erase(at(lines_, first), at(lines_, last + 1));
      endRemoveRows();
      break;
    case ListChange::kRowChanged: {
      if (list.count() != known) return reset();
      const int lo = std::max(first, 0);
      const int hi = std::min(last, known - 1);
      if (lo > hi) break;
      for (int r = lo; r <= hi; ++r) {
        // A flag change is no new text: the row keeps its height.
        const bool replaced = rows_[static_cast<size_t>(r)].text != list.text(r);
        rows_[static_cast<size_t>(r)] = list.row(r);
        texts_[static_cast<size_t>(r)].reset();
        if (replaced) lines_[static_cast<size_t>(r)] = linesOf(rows_[static_cast<size_t>(r)]);
      }
      emit dataChanged(index(lo), index(hi));
      break;
    }
    case ListChange::kMoved: {
      if (first == last) break;
      if (first < 0 || last < 0 || first >= known || last >= known || list.count() != known) return reset();
      // Qt names the destination as the row before which the moved row goes, counted before the move.
      beginMoveRows(QModelIndex(), first, first, QModelIndex(), last > first ? last + 1 : last);
      CheckRow row = std::move(rows_[static_cast<size_t>(first)]);
      std::optional<QString> text = std::move(texts_[static_cast<size_t>(first)]);
      rows_.erase(at(rows_, first));
      texts_.erase(at(texts_, first));
      lines_.erase(at(lines_, first));
      rows_.insert(at(rows_, last), std::move(row));
      texts_.insert(at(texts_, last), std::move(text));
      lines_.insert(at(lines_, last), linesOf(rows_[static_cast<size_t>(last)]));
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
