// The pattern engine's costs: compiling typical patterns with and without the fuzzy dictionary,
// assigning a pattern that is already cached (the result list does it for every row it paints), and
// Match / GSub throughput on 10 MB of Shift-JIS text.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "pattern/awk_str.h"
#include "pattern/re_dfa.h"
#include "pattern/re_nfa.h"
#include "pattern/re_parser.h"
#include "pattern/re_preprocessor.h"
#include "platform/cp932.h"

namespace {

using namespace kelvane;

std::string Sjis(const char* utf8) { return cp932::fromUtf8(utf8).text; }

const std::string& KanaWord() {
  static const std::string word = Sjis("データベースサーバー");  // ten characters
  return word;
}
const std::string& ClassPattern() {
  static const std::string pattern = Sjis("[0-9０-９]+[年月日][^、。\\r\\n]*[ァ-ヶー]+(です|ます)?[!-/:-@]");
  return pattern;
}

// The whole compiler pipeline, as a cache miss runs it.
void CompileOnce(const std::string& pattern, bool fuzzy) {
  TREPreProcessor pre;
  pre.FuzzyDics.push_back(&FuzzyCharDic());
  pre.UseFuzzy = fuzzy;
  pre.SetSource(pattern);
  pre.Run();
  TREParser parser(pre.Processed());
  parser.Parse();
  TRE_NFA nfa(parser, 0xFFFD, 0xFFFE);
  nfa.Build();
  TRE_DFA dfa(nfa);
  dfa.Build();
  benchmark::DoNotOptimize(dfa.States.size());
}

void BM_CompileKanaWord(benchmark::State& state) {
  for (auto _ : state) CompileOnce(KanaWord(), state.range(0) != 0);
}
BENCHMARK(BM_CompileKanaWord)->ArgName("fuzzy")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_CompileClassPattern(benchmark::State& state) {
  for (auto _ : state) CompileOnce(ClassPattern(), state.range(0) != 0);
}
BENCHMARK(BM_CompileClassPattern)->ArgName("fuzzy")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A full cache, and the pattern sought is its oldest item (the longest lookup).
void BM_AssignCachedPattern(benchmark::State& state) {
  TAWKStr awk;
  awk.SetUseFuzzyCharDic(state.range(0) != 0);
  awk.SetRegExp(KanaWord());
  for (int i = 0; i < 28; ++i) awk.SetRegExp("p" + std::to_string(i));
  for (auto _ : state) awk.SetRegExp(KanaWord());
}
BENCHMARK(BM_AssignCachedPattern)->ArgName("fuzzy")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// About 10 MB of Japanese prose-like lines with CR LF.
const std::vector<std::string>& Lines() {
  static const std::vector<std::string> lines = [] {
    const std::vector<std::string> words = {Sjis("本日は"),
                                            Sjis("晴天なり。"),
                                            Sjis("データベース"),
                                            Sjis("の設定を"),
                                            Sjis("変更しました"),
                                            Sjis("2026年12月7日"),
                                            Sjis("ｶﾀｶﾅ"),
                                            Sjis("表示"),
                                            Sjis("、"),
                                            "ERROR",
                                            "code=42",
                                            " ",
                                            Sjis("サーバー"),
                                            Sjis("です。"),
                                            Sjis("ファイル"),
                                            Sjis("を開きます"),
                                            Sjis("ソフトウェア")};
    std::mt19937 rng(7);
    std::vector<std::string> out;
    std::size_t total = 0;
    while (total < (std::size_t{10} << 20)) {
      std::string line;
      while (line.size() < 70) line += words[rng() % words.size()];
      total += line.size() + 2;
      out.push_back(std::move(line));
    }
    return out;
  }();
  return lines;
}

const std::string& WholeText() {
  static const std::string text = [] {
    std::string t;
    for (const auto& line : Lines()) t += line + "\r\n";
    return t;
  }();
  return text;
}

const std::string& PatternFor(int which) {
  static const std::string literal = Sjis("ソフトウェア");
  static const std::string cls = Sjis("[0-9]+年[0-9]+月");
  return which == 0 ? literal : cls;
}

void BM_MatchPerLine(benchmark::State& state) {
  TAWKStr awk;
  awk.SetRegExp(PatternFor(state.range(0)));
  std::size_t bytes = 0;
  for (auto _ : state) {
    int position, length, found = 0;
    for (const auto& line : Lines()) found += awk.Match(line, position, length) != 0;
    benchmark::DoNotOptimize(found);
    bytes += WholeText().size();
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_MatchPerLine)->ArgName("class")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_GSubWholeText(benchmark::State& state) {
  TAWKStr awk;
  awk.SetRegExp(PatternFor(state.range(0)));
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::string text = WholeText();
    benchmark::DoNotOptimize(awk.GSub("[&]", text));
    bytes += WholeText().size();
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_GSubWholeText)->ArgName("class")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
