#pragma once
// OrderedOutput: the output of numbered jobs, written in number order whichever thread finishes
// first.
//
// kelvane-grep searches files on several threads but must print exactly what one thread prints: the
// files' lines in walk order, each error message where the single-threaded run would have shown it.
// Each file (and each message of the walk) is a job with the next number; a job whose turn has come
// writes straight through, the others keep their pieces until their turn. Memory stays bounded: a
// job that is not yet at its turn keeps at most jobLimit bytes and then waits for its turn (a file
// with more output than that streams once it is there), and finished jobs keep at most waitingLimit
// bytes among them before their threads wait too.
//
// No job waits for a later one, and the job at the turn never waits, so the run always goes on as
// long as every opened job is being run or is closed. Jobs must be opened in order by one thread
// and handed to the workers in that order.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace kelvane::tools {

enum class Stream { kOut, kErr };

class OrderedOutput {
 public:
  // Writes one piece; called under the output's own lock, so pieces never interleave. Must not raise:
  // a failed write is the writer's to remember (kelvane-grep checks its output at the end).
  using Writer = std::function<void(Stream stream, const std::string& text)>;

  OrderedOutput(Writer writer, std::size_t jobLimit, std::size_t waitingLimit);
  OrderedOutput(const OrderedOutput&) = delete;
  OrderedOutput& operator=(const OrderedOutput&) = delete;

  // The next job's number, from 0. One thread opens all jobs. Raises std::bad_alloc only.
  std::uint64_t Open();
  // Adds a piece to job's output: written now when job has the turn, else kept, waiting for the turn
  // once the job holds more than jobLimit bytes. Only job's own thread calls it, between Open and
  // Close. Raises std::bad_alloc only.
  void Write(std::uint64_t job, Stream stream, std::string text);
  // Ends job's output. At its turn, writes the kept pieces of the jobs after it as far as they are
  // closed (and the kept pieces of the first open one) and passes the turn on; otherwise waits while
  // the finished jobs keep more than waitingLimit bytes and the turn has not come.
  void Close(std::uint64_t job);

 private:
  struct Piece {
    Stream stream;
    std::string text;
  };
  struct Slot {
    std::vector<Piece> pieces;
    std::size_t bytes = 0;
    bool closed = false;
  };
  void WriteAll(const std::vector<Piece>& pieces);
  void PassTurn();

  Writer writer_;
  const std::size_t jobLimit_, waitingLimit_;
  std::mutex mutex_;        // slots_, next_, opened_, waiting_
  std::mutex writeMutex_;   // held while writing; taken before mutex_, never after
  std::condition_variable turnChanged_;
  std::map<std::uint64_t, Slot> slots_;
  std::uint64_t next_ = 0;    // the job whose turn it is
  std::uint64_t opened_ = 0;  // the number the next Open gives
  std::size_t waiting_ = 0;   // bytes kept by closed jobs
};

}  // namespace kelvane::tools
