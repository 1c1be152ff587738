// Building the target list of a tree of 2,000 folders with 10 text files each (20,000 files), and of
// smaller trees of the same shape, to show that the build grows linearly with the tree.
#include <benchmark/benchmark.h>

#include <string>

#include "tests/testing/scripted_ui.h"
#include "tests/testing/temp_dir.h"
#include "workspace/workspace.h"

namespace {

using kelvane::testing::TempDir;

// A tree of `folders` folders, ten per parent folder level by level, each holding ten wanted files
// (".txt") and two that are filtered out; sparse, only every tenth folder holds them.
void makeTree(const TempDir& dir, int folders, bool sparse = false) {
  std::vector<std::string> made{""};
  for (int f = 1; f < folders; ++f) {
    const std::string parent = made[(f - 1) / 10];
    made.push_back(parent + "/d" + std::to_string(f));
  }
  for (std::size_t f = 0; f < made.size(); ++f) {
    const std::string& folder = made[f];
    if (sparse && f % 10 != 0) {
      if (!folder.empty()) dir.mkdir(folder.substr(1));
      continue;
    }
    for (int i = 0; i < 12; ++i) {
      const std::string ext = i < 10 ? ".txt" : ".bin";
      dir.write(
          folder.empty() ? "file" + std::to_string(i) + ext : folder.substr(1) + "/file" + std::to_string(i) + ext, "");
    }
  }
}

void BM_BuildTargetList(benchmark::State& state) {
  const int folders = static_cast<int>(state.range(0));
  TempDir dir;
  makeTree(dir, folders, state.range(1) != 0);
  kelvane::testing::ScriptedUi ui;
  kelvane::Workspace ws(ui);
  ws.ExtensionList = ".txt";
  ws.ComboBox2.pushFront(dir.path());
  for (auto _ : state) {
    ws.BuildTargetList();
    benchmark::DoNotOptimize(ws.CheckListBox1.count());
  }
  state.counters["files"] = ws.CheckedFileCount;
  state.counters["folders"] = folders;
  state.SetComplexityN(folders);
}

// Second argument 1: only every tenth folder holds files, the others are empty and removed again.
BENCHMARK(BM_BuildTargetList)->ArgsProduct({{250, 500, 1000, 2000}, {0}})->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_BuildTargetList)->ArgsProduct({{2000, 8000}, {1}})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
