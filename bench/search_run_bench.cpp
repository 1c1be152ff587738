// The search run of the main window, headless, against the engine alone on the same files: a run
// over the Japanese manual pages of bench/corpus/base (bench/make_corpus.sh) in pattern mode and in
// plain mode, each beside the bare file grep / line match that kelvane-grep does; and a result list
// of 100,000 match rows: filling it, and finding the coloured span of one screen of rows.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "filescan/file_access.h"
#include "pattern/grep.h"
#include "pattern/plain_text.h"
#include "tests/testing/scripted_ui.h"
#include "tests/testing/temp_dir.h"
#include "workspace/workspace.h"

namespace {

using kelvane::testing::cp932Of;

const std::string& corpus() {
  static const std::string path = (std::filesystem::path(__FILE__).parent_path() / "corpus" / "base").string();
  return path;
}

std::vector<std::string> corpusFiles() {
  std::vector<std::string> out;
  for (const std::string& folder : kelvane::ScanFolderTree(corpus()).folders) {
    for (std::string& f : kelvane::ListFolderFiles(folder).paths) out.push_back(std::move(f));
  }
  return out;
}

void runSearch(benchmark::State& state, bool regexp) {
  if (!std::filesystem::exists(corpus())) {
    state.SkipWithError("bench/corpus/base is missing: run bench/make_corpus.sh");
    return;
  }
  kelvane::testing::ScriptedUi ui;
  kelvane::Workspace ws(ui);
  ws.ExtensionList = ".txt";
  ws.settings.UseRegExp = regexp;
  ws.ComboBox2.pushFront(corpus());
  ws.BuildTargetList();
  for (auto _ : state) {
    ws.ComboBox1.setEditText(cp932Of("ファイル"));
    ws.ToolButton1Click();
  }
  state.counters["rows"] = ws.CheckListBox3.count();
}

void BM_RunSearchPattern(benchmark::State& state) { runSearch(state, true); }
void BM_RunSearchPlain(benchmark::State& state) { runSearch(state, false); }

// What kelvane-grep does for the same search: the file grep alone, counting lines.
void BM_GrepAlone(benchmark::State& state) {
  const std::vector<std::string> files = corpusFiles();
  kelvane::TGrep grep;
  std::int64_t lines = 0;
  grep.OnMatch = [&](kelvane::TGrep&, const kelvane::RE_LineInfo_t&) { ++lines; };
  grep.SetRegExp(cp932Of("ファイル"));
  for (auto _ : state) {
    for (const std::string& f : files) grep.Grep(f);
  }
  state.counters["lines"] = static_cast<double>(lines) / state.iterations();
}

void BM_PlainAlone(benchmark::State& state) {
  const std::vector<std::string> files = corpusFiles();
  const std::string pattern = cp932Of("ファイル");
  std::int64_t lines = 0;
  for (auto _ : state) {
    for (const std::string& f : files) {
      kelvane::forEachLine(f, [&](std::string_view line, std::int64_t) {
        lines += kelvane::PlainLineMatch(line, pattern, true) ? 1 : 0;
        return true;
      });
    }
  }
  state.counters["lines"] = static_cast<double>(lines) / state.iterations();
}

// One file of 100,000 matching lines: the run fills a result list of 100,000 match rows.
struct BigResult {
  kelvane::testing::TempDir dir;
  kelvane::testing::ScriptedUi ui;
  kelvane::Workspace ws{ui};
  BigResult() {
    std::string text;
    for (int i = 0; i < 100000; ++i) text += cp932Of("検索対象の行です: ファイル ") + std::to_string(i) + "\r\n";
    dir.write("big.txt", text);
    ws.ExtensionList = ".txt";
    ws.ComboBox2.pushFront(dir.path());
    ws.BuildTargetList();
    ws.ComboBox1.setEditText(cp932Of("ファイル"));
  }
};

void BM_FillResultList100k(benchmark::State& state) {
  BigResult big;
  for (auto _ : state) big.ws.ToolButton1Click();
  state.counters["rows"] = big.ws.CheckListBox3.count();
}

void BM_HighlightOneScreen(benchmark::State& state) {
  BigResult big;
  big.ws.ToolButton1Click();
  int top = 0;
  for (auto _ : state) {
    for (int i = top; i < top + 40; ++i) benchmark::DoNotOptimize(big.ws.ResultHighlight(i));
    top = (top + 40) % 99000;
  }
}

BENCHMARK(BM_RunSearchPattern)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrepAlone)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunSearchPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainAlone)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillResultList100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HighlightOneScreen)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
