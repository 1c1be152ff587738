#include "workspace/history_box.h"

#include <stdexcept>

namespace kelvane {

const std::string& HistoryBox::item(int index) const {
  if (index < 0 || index >= count()) throw std::out_of_range("HistoryBox: entry " + std::to_string(index));
  return items_[index];
}

void HistoryBox::setItems(std::vector<std::string> items) {
  items_ = std::move(items);
  selected_ = -1;
  changed();
}

void HistoryBox::addItem(std::string item) {
  items_.push_back(std::move(item));
  changed();
}

void HistoryBox::insertItem(int index, std::string item) {
  if (index < 0 || index > count()) throw std::out_of_range("HistoryBox: insert at " + std::to_string(index));
  items_.insert(items_.begin() + index, std::move(item));
  if (selected_ >= index) ++selected_;
  changed();
}

void HistoryBox::removeItem(int index) {
  item(index);
  items_.erase(items_.begin() + index);
  if (selected_ == index) {
    selected_ = -1;
  } else if (selected_ > index) {
    --selected_;
  }
  changed();
}

void HistoryBox::clear() {
  items_.clear();
  selected_ = -1;
  changed();
}

void HistoryBox::setSelectedIndex(int index) {
  if (index < 0 || index >= count()) {
    selected_ = -1;
  } else {
    selected_ = index;
    edit_ = items_[index];
  }
  changed();
}

int HistoryBox::indexOf(const std::string& text) const {
  for (int i = 0; i < count(); ++i) {
    if (items_[i] == text) return i;
  }
  return -1;
}

void HistoryBox::setEditText(std::string text) {
  edit_ = std::move(text);
  changed();
}

void HistoryBox::pushFront(const std::string& text) {
  // A copy first: text may be one of the entries that are about to move or go.
  std::string entry = text;
  items_.insert(items_.begin(), entry);
  for (int i = count() - 1; i >= 1; --i) {
    if (items_[i] == entry) items_.erase(items_.begin() + i);
  }
  selected_ = 0;
  edit_ = std::move(entry);
  changed();
}

void HistoryBox::moveToFront(int index) {
  if (index < 0 || index >= count()) return;
  std::string entry = std::move(items_[index]);
  items_.erase(items_.begin() + index);
  items_.insert(items_.begin(), entry);
  selected_ = 0;
  edit_ = std::move(entry);
  changed();
}

}  // namespace kelvane
