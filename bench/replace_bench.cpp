// The replace of the main window, headless.
//   BM_Preview/N       the preview over a result list of N match rows (100 per file header), the
//                      answer given by the scripted UiPort; the list is put back before each
//                      iteration (not timed). Linear in N: the complexity fit is printed.
//   BM_Overwrite1000   the overwrite of 1,000 files of 40 lines with ten checked lines each, every
//                      confirmation answered with OK, copies included; the files are written back and
//                      the preview made again before each iteration (not timed), so every iteration
//                      does the whole work on a warm page cache. The counter peakRSS_MB is the
//                      process's peak resident size afterwards: one file at a time is held.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>

#include "tests/testing/scripted_ui.h"
#include "tests/testing/temp_dir.h"
#include "workspace/workspace.h"

namespace {

using kelvane::testing::cp932Of;

// The files of a run with matchRows match rows, 100 per file, as the search hands them over.
std::vector<kelvane::Workspace::FoundFile> foundFiles(int matchRows) {
  std::vector<kelvane::Workspace::FoundFile> found;
  const std::string line = cp932Of("検索対象の行です: ファイル と ファイル ");
  for (int i = 0; i < matchRows; ++i) {
    if (i % 100 == 0) found.push_back({"/d/f" + std::to_string(i / 100) + ".txt", {}});
    found.back().lines.push_back({i % 100 + 1, line + std::to_string(i)});
  }
  return found;
}

void BM_Preview(benchmark::State& state) {
  kelvane::testing::ScriptedUi ui;
  kelvane::Workspace ws{ui};
  const auto found = foundFiles(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    ws.ShowSearchResults(cp932Of("ファイル"), found);
    for (int i = 0, match = 0; i < ws.CheckListBox3.count(); ++i)
      if (!ws.CheckListBox3.isHeader(i)) ws.CheckListBox3.setChecked(i, match++ % 7 != 0);
    ui.inputAnswers.push_back(cp932Of("書類"));
    ui.shown.clear();
    state.ResumeTiming();
    ws.ReplacePreview();
  }
  state.SetComplexityN(state.range(0));
}

double peakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

void BM_Overwrite1000(benchmark::State& state) {
  kelvane::testing::TempDir dir;
  std::vector<std::pair<std::string, std::string>> files;
  for (int f = 0; f < 1000; ++f) {
    std::string text;
    for (int i = 0; i < 40; ++i) {
      text += cp932Of(i % 4 == 0 ? "ファイルの行です、ここを置き換えます。" : "ほかの行はそのままです。") +
              std::to_string(i) + "\r\n";
    }
    const std::string name = "tree/d" + std::to_string(f / 100) + "/f" + std::to_string(f) + ".txt";
    files.emplace_back(dir.write(name, text), text);
  }
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.mkdir("run"));
  {
    kelvane::testing::ScriptedUi ui;
    kelvane::Workspace ws{ui};
    ws.FormCreate();
    ws.ExtensionList = ".txt";
    ui.folderAnswers.push_back(dir / "tree");
    ws.ToolButton2Click();
    ws.ComboBox1.setEditText(cp932Of("ファイル"));
    ws.ToolButton1Click();
    for (auto _ : state) {
      state.PauseTiming();
      for (const auto& [path, text] : files) dir.write(path.substr(dir.path().size() + 1), text);
      ui.inputAnswers.push_back(cp932Of("書類"));
      ws.ReplacePreview();
      ui.shown.clear();
      ui.confirmAnswers.assign(files.size(), true);
      state.ResumeTiming();
      ws.OverwriteFiles();
    }
    state.counters["rows"] = ws.CheckListBox3.count();
    state.counters["peakRSS_MB"] = peakMegabytes();
  }
  std::filesystem::current_path(previous);
}

BENCHMARK(BM_Preview)->Arg(10000)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_Overwrite1000)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
