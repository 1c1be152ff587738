#!/bin/bash
# The main window's search run, headless, against kelvane-grep on the same files and pattern. One
# command:
#
#   bench/search_run_race.sh [RUNS]
#
# builds search_run_bench and kelvane-grep (Release, without Qt, in build-search-race/ unless BUILD
# names another build folder) and the corpus of bench/make_corpus.sh when they are missing, runs the
# Race/ benchmarks of bench/search_run_bench.cpp RUNS times each (default 7, in random order, after
# one warm-up run of each), and prints the median wall-clock times and the ratios as Markdown.
# RunSearch searches a target list built from the corpus beforehand; kelvane-grep is timed as a
# user runs it, folder walk and output included. The line counts of both sides must agree.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
runs=${1:-7}
build=${BUILD:-$root/build-search-race}

"$here/make_corpus.sh" >/dev/null
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVANE_WITH_QT=OFF -DKELVANE_BENCH=ON >/dev/null
ninja -C "$build" search_run_bench kelvane-grep >/dev/null

json=$(mktemp)
trap 'rm -f "$json"' EXIT
[ -n "${KEEP_JSON:-}" ] && trap - EXIT && echo "benchmark output: $json" >&2
"$build/bin/search_run_bench" --benchmark_filter='^Race/' --benchmark_repetitions="$runs" \
  --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
  --benchmark_format=json >"$json" 2>/dev/null

echo "## Headless search run against kelvane-grep ($(date -u +%Y-%m-%d), $(nproc) cores, median of $runs runs)"
echo
echo "Corpus: tree $(du -sh "$here/corpus/tree" | cut -f1) in $(find "$here/corpus/tree" -type f -name '*.txt' | wc -l) files;" \
  "big file $(du -sh "$here/corpus/big/big.txt" | cut -f1). Plain mode is case-sensitive, against kelvane-grep -F."
echo
echo "| corpus | mode | pattern | RunSearch (s) | kelvane-grep (s) | ratio | lines |"
echo "|---|---|---|---|---|---|---|"
# name: Race/<corpus>/<mode>/<pattern>/<side>/iterations:1/real_time_median
jq -r '.benchmarks[] | select(.aggregate_name == "median")
       | [(.run_name | split("/")), (.real_time / 1000 | tostring), (.lines | tostring)] | flatten | @tsv' "$json" |
  awk -F'\t' '
    { t[$2, $3, $4, $5] = $(NF - 1); l[$2, $3, $4, $5] = $NF }
    END {
      split("tree big", corpora, " "); split("pattern plain", modes, " "); split("literal rare regex", names, " ")
      text["literal"] = "ファイル"; text["rare"] = "漢字"; text["regex"] = "ファイル.*設定"
      for (c = 1; c <= 2; c++) for (m = 1; m <= 2; m++) for (p = 1; p <= 3; p++) {
        k = corpora[c] SUBSEP modes[m] SUBSEP names[p]
        if (!((k, "RunSearch") in t)) continue
        rs = t[k, "RunSearch"]; kg = t[k, "kelvane-grep"]; a = l[k, "RunSearch"]; b = l[k, "kelvane-grep"]
        lines = (a == b) ? a : (a " vs " b " (differ!)")
        printf "| %s | %s | %s | %.3f | %.3f | %.2f | %s |\n", corpora[c], modes[m], text[names[p]], rs, kg, (kg > 0 ? rs / kg : 0), lines
      }
    }'
