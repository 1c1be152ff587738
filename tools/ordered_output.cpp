#include "tools/ordered_output.h"

#include <utility>

namespace kelvane::tools {

OrderedOutput::OrderedOutput(Writer writer, std::size_t jobLimit, std::size_t waitingLimit)
    : writer_(std::move(writer)), jobLimit_(jobLimit), waitingLimit_(waitingLimit) {}

std::uint64_t OrderedOutput::Open() {
  std::lock_guard<std::mutex> lock(mutex_);
  slots_[opened_];
  return opened_++;
}

void OrderedOutput::Write(std::uint64_t job, Stream stream, std::string text) {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    if (job != next_) {
      // Kept pieces are taken, and written, by the thread that passes the turn to this job; it has
      // taken them by the time the wait ends.
      Slot& slot = slots_[job];
      slot.bytes += text.size();
      slot.pieces.push_back({stream, std::move(text)});
      turnChanged_.wait(lock, [&] { return slot.bytes <= jobLimit_ || job == next_; });
      return;
    }
  }
  // The turn is this job's until it closes; a thread still writing the pieces it kept holds the
  // write lock, so this piece follows them.
  std::lock_guard<std::mutex> writing(writeMutex_);
  writer_(stream, text);
}

void OrderedOutput::Close(std::uint64_t job) {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    Slot& slot = slots_[job];
    slot.closed = true;
    if (job != next_) {
      waiting_ += slot.bytes;
      turnChanged_.wait(lock, [&] { return waiting_ <= waitingLimit_ || next_ > job; });
      return;
    }
  }
  PassTurn();
}

void OrderedOutput::WriteAll(const std::vector<Piece>& pieces) {
  for (const Piece& piece : pieces) writer_(piece.stream, piece.text);
}

// Called by the job at the turn once it is closed: writes what the following jobs kept, as far as
// they are closed, and hands the turn to the first that is not.
void OrderedOutput::PassTurn() {
  std::lock_guard<std::mutex> writing(writeMutex_);
  std::unique_lock<std::mutex> lock(mutex_);
  slots_.erase(next_);
  ++next_;
  for (auto it = slots_.find(next_); it != slots_.end(); it = slots_.find(next_)) {
    std::vector<Piece> pieces = std::move(it->second.pieces);
    it->second.pieces.clear();
    const bool closed = it->second.closed;
    if (closed) {
      waiting_ -= it->second.bytes;
      slots_.erase(it);
    } else {
      it->second.bytes = 0;
    }
    lock.unlock();
    WriteAll(pieces);
    lock.lock();
    if (!closed) break;
    ++next_;
  }
  lock.unlock();
  turnChanged_.notify_all();
}

}  // namespace kelvane::tools
