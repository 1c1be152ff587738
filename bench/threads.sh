#!/bin/bash
# kelvane-grep on several threads: -j1 against -j2 and ripgrep's Shift-JIS mode on two threads, on the
# corpus tree of bench/make_corpus.sh; that -j2 prints byte for byte what -j1 prints; how the run
# scales with the thread count; and the peak memory of -j2.
#
#   bench/threads.sh [RUNS]
#
# Runs each command RUNS times (default 7) after a warm-up, the commands of one search in turn, so
# that a busy machine slows them alike; prints the median and the best wall time of each and the
# ratios within the run, as Markdown. Set KG=/path/to/kelvane-grep to race another build. Output is
# piped into wc -l, as in bench/race.sh.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
runs=${1:-7}
corpus=${CORPUS:-$here/corpus}  # CORPUS: a corpus made elsewhere by the same steps
tree=$corpus/tree
big=$corpus/big/big.txt

[ -d "$tree" ] || "$here/make_corpus.sh" >/dev/null
. "$here/bench_lib.sh"
ensure_kelvane_grep "$root"
for tool in rg cmp /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "threads.sh: $tool is missing (apt-get install ripgrep time)" >&2; exit 2; }
done
out1=$(mktemp) outn=$(mktemp) times=$(mktemp)
trap 'rm -f "$out1" "$outn" "$times"' EXIT

kg() { local j=$1; shift; "$KG" -j"$j" "$@" "$tree" | wc -l; }
rg2() { rg --no-config --no-ignore -n -E sjis -j2 "$@" "$tree" | wc -l; }
now() { date +%s%N; }
# race NAME:CMD... : each command once as a warm-up, then RUNS rounds of all of them in turn; the
# times in ms go to $times as "NAME MS" lines.
race() {
  : >"$times"
  local entry
  for entry in "$@"; do eval "${entry#*:}" >/dev/null; done
  for ((i = 0; i < runs; i++)); do
    for entry in "$@"; do
      local t0 t1
      t0=$(now)
      eval "${entry#*:}" >/dev/null
      t1=$(now)
      echo "${entry%%:*} $(( (t1 - t0) / 1000000 ))" >>"$times"
    done
  done
}
median() { awk -v n="$1" '$1 == n { print $2 }' "$times" | sort -n | sed -n "$(( (runs + 1) / 2 ))p" | awk '{ printf "%.3f", $1 / 1000 }'; }
best() { awk -v n="$1" '$1 == n { print $2 }' "$times" | sort -n | head -1 | awk '{ printf "%.3f", $1 / 1000 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else printf "-" }'; }

files=$(find "$tree" -type f -name '*.txt' | wc -l)
echo "## Threads ($(date -u +%Y-%m-%d), $(nproc) cores, $runs runs; load before $(cut -d' ' -f1-3 /proc/loadavg))"
echo
echo "Tree: $(du -sh "$tree" | cut -f1) in $files files. Times in seconds, median (best)."
echo
echo "| search | -j1 | -j2 | rg -E sjis -j2 | -j1/-j2 | rg-j2/-j2 | lines -j2 | lines rg | -j2 output = -j1 |"
echo "|---|---|---|---|---|---|---|---|---|"
for p in ファイル 'ファイル.*設定'; do
  race "j1:kg 1 '$p'" "j2:kg 2 '$p'" "rg:rg2 '$p'"
  "$KG" -j1 "$p" "$tree" >"$out1"
  "$KG" -j2 "$p" "$tree" >"$outn"
  same=$(cmp -s "$out1" "$outn" && echo "yes (cmp)" || echo "NO")
  m1=$(median j1) m2=$(median j2) mr=$(median rg)
  echo "| $p | $m1 ($(best j1)) | $m2 ($(best j2)) | $mr ($(best rg)) | $(ratio "$m1" "$m2") ($(ratio "$(best j1)" "$(best j2)")) | $(ratio "$mr" "$m2") ($(ratio "$(best rg)" "$(best j2)")) | $(wc -l <"$outn") | $(rg2 "$p") | $same |"
done
echo
echo "Scaling, ファイル on the tree: files per second by wall time (median), and the CPU seconds the run used."
echo
echo "| threads | wall (s) | files/s | CPU (s) |"
echo "|---|---|---|---|"
for j in 1 2 3 4; do
  race "j$j:kg $j ファイル"
  cpu=$(/usr/bin/time -f '%U %S' "$KG" -j$j ファイル "$tree" 2>&1 >/dev/null | tail -1 | awk '{ printf "%.2f", $1 + $2 }')
  echo "| $j | $(median j$j) | $(awk -v f="$files" -v t="$(median j$j)" 'BEGIN { printf "%.0f", f / t }') | $cpu |"
done
echo
peak() { /usr/bin/time -f %M "$KG" -j2 "$@" 2>&1 >/dev/null | tail -1 | awk '{ printf "%.1f", $1 / 1024 }'; }
echo "Peak memory of -j2: ファイル on the tree $(peak ファイル "$tree") MB, on the big file $(peak ファイル "$big") MB, ^ (every line) on the big file $(peak '^' "$big") MB."
echo
echo "Load after: $(cut -d' ' -f1-3 /proc/loadavg)."
