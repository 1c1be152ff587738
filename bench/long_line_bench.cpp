// One long line: the file grep, Match and GSub on a single line of 1 MB and of 4 MB (the ratio shows
// that the time is linear in the line's length), with patterns whose walks run far on such a line
// ((aa)*b and a.*b over a line of "a", more than 64 DFA states, walks that go to the line end from
// every character) and with ordinary ones on a line of Japanese text.
//
//   bench/long_line_bench --benchmark_filter=Grep     (and Match, GSub)
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "pattern/awk_str.h"
#include "pattern/grep.h"
#include "platform/cp932.h"
#include "tests/testing/temp_dir.h"

namespace {

using namespace kelvane;

std::string Sjis(const char* utf8) { return cp932::fromUtf8(utf8).text; }

struct Case {
  const char* name;
  std::string pattern;
  bool japanese;  // the line is Japanese text, else "a" repeated
};

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"(aa)*b", "(aa)*b", false},
      {"(aa)*b|cdef..xyz x3 (over 64 states)",
       "(aa)*b|cdefghijklmnopqrstuvwxyzcdefghijklmnopqrstuvwxyzcdefghijklmnopqrstuvwxyz", false},
      {"a.*b", "a.*b", false},
      {"[^b]*z", "[^b]*z", false},
      {"a|a.*b (every a matches)", "a|a.*b", false},
      {"(aa)*a$", "(aa)*a$", false},
      {"literal", Sjis("ソフトウェア"), true},
      {"regex", Sjis("[0-9]+年[0-9]+月.*設定"), true},
      {"class run", Sjis("[^、。]*です$"), true},
  };
  return cases;
}

std::string Line(bool japanese, std::size_t bytes) {
  if (!japanese) return std::string(bytes, 'a');
  const std::vector<std::string> words = {Sjis("本日は"),  Sjis("データベース"), Sjis("の設定を"), Sjis("2026年12月7日"),
                                          Sjis("ｶﾀｶﾅ"),    Sjis("表示"),         "ERROR ",        Sjis("サーバー"),
                                          Sjis("ファイル"), Sjis("を開きます")};
  std::string line;
  for (std::size_t i = 0; line.size() < bytes; ++i) line += words[(i * 7 + i / 3) % words.size()];
  line.resize(bytes);
  while (!line.empty() && cp932::isLeadByte(static_cast<unsigned char>(line.back()))) line.pop_back();
  return line;
}

const std::string& CachedLine(bool japanese, std::size_t bytes) {
  static std::string lines[2][2];
  std::string& line = lines[japanese][bytes > (1u << 20)];
  if (line.empty()) line = Line(japanese, bytes);
  return line;
}

void Register() {
  for (std::size_t index = 0; index < Cases().size(); ++index) {
    const Case& c = Cases()[index];
    for (std::size_t mb : {1, 4}) {
      const std::size_t bytes = mb << 20;
      const std::string suffix = std::string(c.name) + "/" + std::to_string(mb) + "MB";
      benchmark::RegisterBenchmark(("Grep/" + suffix).c_str(), [index, bytes](benchmark::State& state) {
        const Case& c = Cases()[index];
        testing::TempDir dir;
        const std::string path = dir.write("line.txt", CachedLine(c.japanese, bytes) + "\r\n");
        TGrep grep;
        grep.SetRegExp(c.pattern);
        int lines = 0;
        grep.OnMatch = [&](TGrep&, const RE_LineInfo_t&) { ++lines; };
        for (auto _ : state) grep.Grep(path);
        state.counters["lines"] = lines / static_cast<double>(state.iterations());
        state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
      })->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark(("Match/" + suffix).c_str(), [index, bytes](benchmark::State& state) {
        const Case& c = Cases()[index];
        const std::string& line = CachedLine(c.japanese, bytes);
        TAWKStr awk;
        awk.SetRegExp(c.pattern);
        int position = 0, length = 0;
        for (auto _ : state) benchmark::DoNotOptimize(awk.Match(line, position, length));
        state.counters["pos"] = position;
        state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
      })->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark(("GSub/" + suffix).c_str(), [index, bytes](benchmark::State& state) {
        const Case& c = Cases()[index];
        TAWKStr awk;
        awk.SetRegExp(c.pattern);
        int count = 0;
        for (auto _ : state) {
          state.PauseTiming();
          std::string text = CachedLine(c.japanese, bytes);
          state.ResumeTiming();
          count = awk.GSub("[&]", text);
          benchmark::DoNotOptimize(text.data());
        }
        state.counters["count"] = count;
        state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
      })->Unit(benchmark::kMillisecond);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  Register();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
