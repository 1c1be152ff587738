// The file join and split at the sizes they must handle: a join list of 1,000 checked files (10 MB)
// built and saved, and a 200 MB file split at 10,000 matching lines, prepared and saved. peakRSS_MB
// is the process's peak resident size; run one benchmark alone (--benchmark_filter) to read it for
// that case. Put TMPDIR on a tmpfs to time the program rather than the disk's flushes.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <string>

#include "tests/testing/scripted_ui.h"
#include "tests/testing/temp_dir.h"
#include "workspace/workspace.h"

namespace {

using kelvane::CheckRow;
using kelvane::Workspace;
using kelvane::testing::cp932Of;
using kelvane::testing::TempDir;

double peakResidentMB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// A workspace whose start-up folder (settings, temporary folder) is dir/run.
struct Window {
  explicit Window(const TempDir& dir) : previous(std::filesystem::current_path()) {
    std::filesystem::current_path(dir.mkdir("run"));
    ws.FormCreate();
    std::filesystem::current_path(previous);
  }
  std::filesystem::path previous;
  kelvane::testing::ScriptedUi ui;
  Workspace ws{ui};
};

// files checked target files of about 10 KB each: 100 lines of 100 bytes.
void joinTargets(const TempDir& dir, Workspace& ws, int files) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += std::string(98, static_cast<char>('a' + i % 26)) + "\r\n";
  for (int f = 0; f < files; ++f) dir.write("t/f" + std::to_string(f) + ".txt", text);
  ws.ExtensionList = ".txt";
  ws.settings.Subfolders = false;
  ws.ComboBox2.pushFront(dir / "t");
  ws.BuildTargetList();
}

void BM_JoinListBuild(benchmark::State& state) {
  TempDir dir;
  Window w(dir);
  joinTargets(dir, w.ws, static_cast<int>(state.range(0)));
  w.ws.N6Click();
  for (auto _ : state) {
    w.ws.FairuKetugouBClick();
    benchmark::DoNotOptimize(w.ws.CheckListBox2.count());
  }
  state.counters["rows"] = w.ws.CheckListBox2.count();
  state.counters["peakRSS_MB"] = peakResidentMB();
}
BENCHMARK(BM_JoinListBuild)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_JoinSave(benchmark::State& state) {
  TempDir dir;
  Window w(dir);
  joinTargets(dir, w.ws, static_cast<int>(state.range(0)));
  w.ws.N6Click();
  w.ws.FairuKetugouBClick();
  const std::string target = dir / "joined.txt";
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(target);  // a new file each time: no copy of an earlier one
    w.ui.confirmAnswers.push_back(true);
    w.ui.saveAnswers.push_back(target);
    state.ResumeTiming();
    w.ws.SaveAs1Click();
  }
  state.counters["MB"] = static_cast<double>(std::filesystem::file_size(target)) / 1e6;
  state.counters["peakRSS_MB"] = peakResidentMB();
}
BENCHMARK(BM_JoinSave)->Arg(1000)->Unit(benchmark::kMillisecond);

// A file of lines lines of 100 bytes with a match every lines / matches lines, and its result list.
std::string splitSource(const TempDir& dir, Workspace& ws, int lines, int matches) {
  const int every = lines / matches;
  std::string text;
  text.reserve(static_cast<std::size_t>(lines) * 100);
  const std::string body(98, 'x');
  Workspace::FoundFile found{dir / "big.txt", {}};
  for (int i = 1; i <= lines; ++i) {
    if (i % every == 0) {
      text += "MATCH" + body.substr(5) + "\r\n";
      found.lines.push_back({i, "MATCH"});
    } else {
      text += body + "\r\n";
    }
  }
  ws.settings.UseRegExp = false;  // the rows as a plain search makes them
  ws.ShowSearchResults("MATCH", {found});
  ws.CheckListBox3.setSelectedIndex(0);
  return dir.write("big.txt", text);
}

void BM_SplitPrepareAndSave(benchmark::State& state) {
  TempDir dir;
  Window w(dir);
  const int lines = static_cast<int>(state.range(0));
  splitSource(dir, w.ws, lines, static_cast<int>(state.range(1)));
  for (auto _ : state) {
    state.PauseTiming();
    // New pieces each time: nothing to copy away first.
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      if (entry.path().filename().string().starts_with("big") && entry.path().filename() != "big.txt")
        std::filesystem::remove(entry.path());
    w.ui.confirmAnswers.push_back(true);
    state.ResumeTiming();
    w.ws.File2Click();
    w.ws.SaveAs1Click();
  }
  state.counters["pieces"] = static_cast<double>(std::get<kelvane::undo::Split>(w.ws.undoRecord()).pieces.size());
  state.counters["MB"] = lines * 100 / 1e6;
  state.counters["peakRSS_MB"] = peakResidentMB();
}
BENCHMARK(BM_SplitPrepareAndSave)->Args({2'000'000, 10'000})->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
