#pragma once
// WorkQueue: the files the walk hands out, waiting for a worker. Bounded, so that a walk far ahead
// of the searches does not hold the paths of a whole large tree.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <utility>

namespace kelvane::tools {

template <class T>
class WorkQueue {
 public:
  explicit WorkQueue(std::size_t capacity) : capacity_(capacity) {}

  // Adds item at the end, waiting while the queue is full. Raises std::bad_alloc only.
  void Push(T item) {
    std::unique_lock<std::mutex> lock(mutex_);
    notFull_.wait(lock, [&] { return items_.size() < capacity_; });
    items_.push_back(std::move(item));
    notEmpty_.notify_one();
  }
  // The first item, waiting while there is none; nullopt once the queue is closed and empty.
  std::optional<T> Pop() {
    std::unique_lock<std::mutex> lock(mutex_);
    notEmpty_.wait(lock, [&] { return !items_.empty() || closed_; });
    if (items_.empty()) return std::nullopt;
    T item = std::move(items_.front());
    items_.pop_front();
    notFull_.notify_one();
    return item;
  }
  // No more items come: the workers end once the queue is empty.
  void Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    notEmpty_.notify_all();
  }

 private:
  const std::size_t capacity_;
  std::mutex mutex_;
  std::condition_variable notEmpty_, notFull_;
  std::deque<T> items_;
  bool closed_ = false;
};

}  // namespace kelvane::tools
