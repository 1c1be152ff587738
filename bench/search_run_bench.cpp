// The search run of the main window, headless, against kelvane-grep on the same files and pattern;
// and a result list of 100,000 match rows: filling it, and finding the coloured span of one screen.
//
// The race (bench/search_run_race.sh runs it and prints the table): for the corpus tree of
// bench/make_corpus.sh (about 37,000 files) and its one big file, for each pattern and for pattern
// mode and plain mode, two benchmarks with one iteration per repetition, wall-clock time:
//   Race/<corpus>/<mode>/<pattern>/RunSearch    ToolButton1Click on a target list built from the
//                                               corpus beforehand (the build is not timed)
//   Race/<corpus>/<mode>/<pattern>/kelvane-grep kelvane-grep [-F] PATTERN <corpus>, its output read
//                                               through a pipe (as `| wc -l` does)
// The counter "lines" is the number of match rows (RunSearch) or output lines (kelvane-grep): the two
// must agree. kelvane-grep is the one beside this executable unless KELVANE_GREP names another.
// Run with --benchmark_repetitions=N --benchmark_enable_random_interleaving=true so that the two
// sides share whatever else the machine is doing.
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include "tests/testing/scripted_ui.h"
#include "tests/testing/temp_dir.h"
#include "workspace/workspace.h"

namespace {

using kelvane::testing::cp932Of;
namespace fs = std::filesystem;

const fs::path& corpusRoot() {
  static const fs::path path = fs::path(__FILE__).parent_path() / "corpus";
  return path;
}

std::string kelvaneGrep() {
  if (const char* kg = std::getenv("KELVANE_GREP")) return kg;
  return (fs::read_symlink("/proc/self/exe").parent_path() / "kelvane-grep").string();
}

std::string shellQuoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

struct RaceCase {
  std::string corpus;  // "tree" or "big"
  bool regexp;
  std::string name;     // for the benchmark's name
  std::string pattern;  // UTF-8
  fs::path where() const { return corpus == "tree" ? corpusRoot() / "tree" : corpusRoot() / "big" / "big.txt"; }
  fs::path folder() const { return corpus == "tree" ? where() : where().parent_path(); }
};

// One workspace per corpus, its target list built once: the build is a step of its own for the
// user, not part of a search.
kelvane::Workspace& workspaceFor(const RaceCase& c) {
  struct Held {
    kelvane::testing::ScriptedUi ui;
    kelvane::Workspace ws{ui};
  };
  static std::map<std::string, std::unique_ptr<Held>> held;
  std::unique_ptr<Held>& h = held[c.corpus];
  if (!h) {
    h = std::make_unique<Held>();
    h->ws.ExtensionList = ".txt";
    h->ws.ComboBox2.pushFront(c.folder().string());
    h->ws.BuildTargetList();
  }
  return h->ws;
}

void raceRunSearch(benchmark::State& state, const RaceCase& c) {
  if (!fs::exists(c.where())) {
    state.SkipWithError("the corpus is missing: run bench/make_corpus.sh");
    return;
  }
  kelvane::Workspace& ws = workspaceFor(c);
  ws.settings.UseRegExp = c.regexp;
  const std::string pattern = cp932Of(c.pattern.c_str());
  auto search = [&] {
    ws.ComboBox1.setEditText(pattern);
    ws.ToolButton1Click();
  };
  static std::set<const RaceCase*> warm;
  if (warm.insert(&c).second) search();  // page cache, compiled pattern, allocator
  for (auto _ : state) search();
  int matches = 0;
  for (const kelvane::CheckRow& row : ws.CheckListBox3.rows()) matches += row.header ? 0 : 1;
  state.counters["lines"] = matches;
}

// Output lines of a command read through a pipe; -1 when it could not be started.
long pipedLines(const std::string& command) {
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return -1;
  static char buffer[1 << 16];
  long lines = 0;
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    for (std::size_t i = 0; i < n; ++i) lines += buffer[i] == '\n';
  }
  ::pclose(pipe);
  return lines;
}

void raceKelvaneGrep(benchmark::State& state, const RaceCase& c) {
  const std::string kg = kelvaneGrep();
  if (!fs::exists(c.where()) || ::access(kg.c_str(), X_OK) != 0) {
    state.SkipWithError("the corpus or kelvane-grep is missing");
    return;
  }
  const std::string command =
      shellQuoted(kg) + (c.regexp ? " " : " -F ") + shellQuoted(c.pattern) + " " + shellQuoted(c.where().string());
  static std::set<const RaceCase*> warm;
  if (warm.insert(&c).second) pipedLines(command);
  long lines = 0;
  for (auto _ : state) lines = pipedLines(command);
  state.counters["lines"] = static_cast<double>(lines);
}

void registerRace() {
  static const std::vector<RaceCase> cases = [] {
    const std::pair<const char*, const char*> patterns[] = {
        {"literal", "ファイル"}, {"rare", "漢字"}, {"regex", "ファイル.*設定"}};
    std::vector<RaceCase> out;
    for (const char* corpus : {"tree", "big"}) {
      for (bool regexp : {true, false}) {
        for (const auto& [name, pattern] : patterns) out.push_back({corpus, regexp, name, pattern});
      }
    }
    return out;
  }();
  for (const RaceCase& c : cases) {
    const std::string base = "Race/" + c.corpus + (c.regexp ? "/pattern/" : "/plain/") + c.name;
    for (bool ours : {true, false}) {
      auto* b = ours ? benchmark::RegisterBenchmark((base + "/RunSearch").c_str(),
                                                    [&c](benchmark::State& s) { raceRunSearch(s, c); })
                     : benchmark::RegisterBenchmark((base + "/kelvane-grep").c_str(),
                                                    [&c](benchmark::State& s) { raceKelvaneGrep(s, c); });
      b->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
    }
  }
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

BENCHMARK(BM_FillResultList100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HighlightOneScreen)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  registerRace();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
