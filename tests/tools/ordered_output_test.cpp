// The ordered output: whatever the threads' timing, pieces come out in job order and, within a job,
// in the order written; a job past its limit waits for its turn and then streams; nothing is lost.
#include "tools/ordered_output.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tools/work_queue.h"

namespace kelvane::tools {
namespace {

struct Recorded {
  std::string out, err, both;
};

// Job j writes pieces "j.k;" to out (and every fifth job one message to err), of a size that ranges
// from nothing to several times the limit, on `workers` threads taking the jobs in order.
void runJobs(int jobs, int workers, std::size_t jobLimit, std::size_t waitingLimit, unsigned seed, Recorded& r,
             std::string& expectedOut, std::string& expectedErr) {
  OrderedOutput output(
      [&](Stream s, const std::string& text) {
        (s == Stream::kOut ? r.out : r.err) += text;
        r.both += text;
      },
      jobLimit, waitingLimit);
  std::vector<int> pieces(static_cast<std::size_t>(jobs));
  std::mt19937 random(seed);
  for (int& p : pieces) p = static_cast<int>(random() % 40);
  for (int j = 0; j < jobs; ++j) {
    for (int k = 0; k < pieces[static_cast<std::size_t>(j)]; ++k)
      expectedOut += std::to_string(j) + "." + std::to_string(k) + ";";
    if (j % 5 == 0) expectedErr += "e" + std::to_string(j) + ";";
  }
  WorkQueue<std::uint64_t> queue(4);
  std::vector<std::thread> threads;
  for (int w = 0; w < workers; ++w) {
    threads.emplace_back([&, w] {
      std::mt19937 mine(seed + static_cast<unsigned>(w));
      while (std::optional<std::uint64_t> job = queue.Pop()) {
        const int j = static_cast<int>(*job);
        for (int k = 0; k < pieces[static_cast<std::size_t>(j)]; ++k) {
          if (mine() % 8 == 0) std::this_thread::sleep_for(std::chrono::microseconds(mine() % 200));
          output.Write(*job, Stream::kOut, std::to_string(j) + "." + std::to_string(k) + ";");
        }
        if (j % 5 == 0) output.Write(*job, Stream::kErr, "e" + std::to_string(j) + ";");
        output.Close(*job);
      }
    });
  }
  for (int j = 0; j < jobs; ++j) queue.Push(output.Open());
  queue.Close();
  for (std::thread& t : threads) t.join();
}

TEST(OrderedOutput, PiecesComeOutInJobOrderWhateverTheTiming) {
  for (unsigned seed = 1; seed <= 12; ++seed) {
    for (int workers : {1, 2, 4, 7}) {
      // Limits from "every job waits for its turn" to "nothing ever waits".
      for (std::size_t limit : {std::size_t{0}, std::size_t{16}, std::size_t{1} << 20}) {
        Recorded r;
        std::string out, err;
        runJobs(60, workers, limit, limit * 2, seed * 31 + static_cast<unsigned>(workers), r, out, err);
        ASSERT_EQ(r.out, out) << "seed " << seed << " workers " << workers << " limit " << limit;
        ASSERT_EQ(r.err, err);
      }
    }
  }
}

TEST(OrderedOutput, AMessageStandsWhereItWasWrittenAmongTheLines) {
  std::string both;
  OrderedOutput output([&](Stream s, const std::string& text) { both += (s == Stream::kErr ? "!" : "") + text; }, 0,
                       0);
  const std::uint64_t a = output.Open(), b = output.Open(), c = output.Open();
  std::thread later([&] {
    output.Write(c, Stream::kOut, "c1 ");
    output.Write(c, Stream::kErr, "c2 ");
    output.Close(c);
  });
  std::thread middle([&] {
    output.Write(b, Stream::kErr, "b1 ");
    output.Close(b);
  });
  // a has the turn: it writes at once, and the others wait for it.
  output.Write(a, Stream::kOut, "a1 ");
  EXPECT_EQ(both, "a1 ");
  output.Write(a, Stream::kOut, "a2 ");
  output.Close(a);
  later.join();
  middle.join();
  EXPECT_EQ(both, "a1 a2 !b1 c1 !c2 ");
}

}  // namespace
}  // namespace kelvane::tools
