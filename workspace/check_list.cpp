#include "workspace/check_list.h"

#include <algorithm>
#include <stdexcept>

namespace kelvane {

void CheckList::addObserver(CheckListObserver* observer) {
  if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) {
    observers_.push_back(observer);
  }
}

void CheckList::removeObserver(CheckListObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void CheckList::notify(ListChange kind, int first, int last) {
  ++revision_;
  if (batchDepth_ > 0) {
    batchChanged_ = true;
    return;
  }
  const ListChangeEvent event{kind, first, last};
  // A copy, so that an observer may remove itself while being told.
  const auto observers = observers_;
  for (CheckListObserver* o : observers) o->listChanged(*this, event);
}

void CheckList::checkIndex(int index) const {
  if (index < 0 || index >= count()) {
    throw std::out_of_range("CheckList: row " + std::to_string(index) + " of " + std::to_string(count()));
  }
}

const CheckRow& CheckList::row(int index) const {
  checkIndex(index);
  return rows_[index];
}

void CheckList::setText(int index, std::string text) {
  checkIndex(index);
  rows_[index].text = std::move(text);
  notify(ListChange::kRowChanged, index, index);
}

void CheckList::setHeader(int index, bool header) {
  checkIndex(index);
  if (rows_[index].header == header) return;
  rows_[index].header = header;
  notify(ListChange::kRowChanged, index, index);
}

void CheckList::setChecked(int index, bool checked) {
  checkIndex(index);
  if (rows_[index].checked == checked) return;
  rows_[index].checked = checked;
  notify(ListChange::kRowChanged, index, index);
}

void CheckList::setRow(int index, CheckRow row) {
  checkIndex(index);
  rows_[index] = std::move(row);
  notify(ListChange::kRowChanged, index, index);
}

int CheckList::add(std::string text, bool header, bool checked) {
  return add(CheckRow{std::move(text), header, checked});
}

int CheckList::add(CheckRow row) {
  rows_.push_back(std::move(row));
  const int index = count() - 1;
  notify(ListChange::kInserted, index, index);
  return index;
}

void CheckList::insert(int index, CheckRow row) {
  if (index < 0 || index > count()) checkIndex(index);
  rows_.insert(rows_.begin() + index, std::move(row));
  if (selected_ >= index) ++selected_;
  notify(ListChange::kInserted, index, index);
}

void CheckList::remove(int index) {
  checkIndex(index);
  rows_.erase(rows_.begin() + index);
  if (selected_ == index) {
    selected_ = -1;
  } else if (selected_ > index) {
    --selected_;
  }
  top_ = std::min(top_, std::max(count() - 1, 0));
  notify(ListChange::kRemoved, index, index);
}

void CheckList::move(int from, int to) {
  checkIndex(from);
  checkIndex(to);
  if (from == to) return;
  CheckRow moving = std::move(rows_[from]);
  rows_.erase(rows_.begin() + from);
  rows_.insert(rows_.begin() + to, std::move(moving));
  if (selected_ == from) {
    selected_ = to;
  } else if (from < selected_ && selected_ <= to) {
    --selected_;
  } else if (to <= selected_ && selected_ < from) {
    ++selected_;
  }
  notify(ListChange::kMoved, from, to);
}

void CheckList::clear() {
  if (rows_.empty() && selected_ == -1 && top_ == 0) return;
  rows_.clear();
  selected_ = -1;
  top_ = 0;
  notify(ListChange::kReset);
}

void CheckList::assign(std::vector<CheckRow> rows) {
  rows_ = std::move(rows);
  selected_ = -1;
  top_ = 0;
  notify(ListChange::kReset);
}

void CheckList::setSelectedIndex(int index) {
  if (index < -1 || index >= count()) index = -1;
  if (selected_ == index) return;
  selected_ = index;
  notify(ListChange::kSelection, index, index);
}

void CheckList::setTopIndex(int index) {
  index = std::clamp(index, 0, std::max(count() - 1, 0));
  if (top_ == index) return;
  top_ = index;
  notify(ListChange::kTopIndex, index, index);
}

void CheckList::setHorizontalExtent(int pixels) {
  pixels = std::max(pixels, 0);
  if (extent_ == pixels) return;
  extent_ = pixels;
  notify(ListChange::kExtent);
}

int CheckList::headerCount() const {
  return static_cast<int>(std::count_if(rows_.begin(), rows_.end(), [](const CheckRow& r) { return r.header; }));
}

int CheckList::checkedNonHeaderCount() const {
  return static_cast<int>(
      std::count_if(rows_.begin(), rows_.end(), [](const CheckRow& r) { return !r.header && r.checked; }));
}

CheckList::Batch::Batch(CheckList& list) : list_(list) { ++list_.batchDepth_; }

CheckList::Batch::~Batch() {
  if (--list_.batchDepth_ > 0 || !list_.batchChanged_) return;
  list_.batchChanged_ = false;
  list_.notify(ListChange::kReset);
}

}  // namespace kelvane
