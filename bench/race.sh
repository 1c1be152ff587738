#!/bin/bash
# The speed race: kelvane-grep against the byte-blind GNU grep and ripgrep's Shift-JIS mode, with
# cat of the same files as the floor, on the corpus of bench/make_corpus.sh. One command:
#
#   bench/race.sh [RUNS]
#
# builds kelvane-grep (Release, in build-bench/) and the corpus when they are missing, runs every
# command RUNS times (default 5) after one warm-up run, and prints the median wall-clock times, the
# matching line counts and the ratios as Markdown. Set KG=/path/to/kelvane-grep to race another build.
# Every search pipes its output into wc -l (GNU grep takes a shortcut when writing to /dev/null), and
# cat pipes into wc -c.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
runs=${1:-5}
corpus=$here/corpus
tree=$corpus/tree
big=$corpus/big/big.txt

"$here/make_corpus.sh" >/dev/null
. "$here/bench_lib.sh"
ensure_kelvane_grep "$root"
for tool in grep rg /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "race.sh: $tool is missing (apt-get install ripgrep time)" >&2; exit 2; }
done

sjis() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
tree_list=$(mktemp)
count_file=$(mktemp)
trap 'rm -f "$tree_list" "$count_file"' EXIT
find "$tree" -type f -name '*.txt' -print0 >"$tree_list"

now() { date +%s%N; }
# median_time CMD...: the median wall time in seconds of RUNS runs (after a warm-up run); the
# command's standard output of the warm-up (a line count) is left in $count_file.
median_time() {
  "$@" >"$count_file"
  local times=()
  for ((i = 0; i < runs; i++)); do
    local t0 t1
    t0=$(now)
    "$@" >/dev/null
    t1=$(now)
    times+=("$(( (t1 - t0) / 1000000 ))")
  done
  local sorted
  sorted=$(printf '%s\n' "${times[@]}" | sort -n)
  awk -v m="$(echo "$sorted" | sed -n "$(( (runs + 1) / 2 ))p")" 'BEGIN { printf "%.3f", m / 1000 }'
}

# cat into a pipe: cat to /dev/null may splice the big file without reading it at all.
cat_files() { if [ "$1" = tree ]; then xargs -0 -a "$tree_list" cat | wc -c; else cat "$big" | wc -c; fi; }
where() { if [ "$1" = tree ]; then echo "$tree"; else echo "$big"; fi; }
# kelvane-grep searches on every core unless told; the single-thread column is -j1, raced against
# rg -j1, and -j2 stands beside rg on its own default.
kg() { local w=$1; shift; "$KG" -j1 "$@" "$(where "$w")" | wc -l; }
kg2() { local w=$1; shift; "$KG" -j2 "$@" "$(where "$w")" | wc -l; }
bytegrep() { local w=$1; shift; LC_ALL=C grep -rn "$@" "$(where "$w")" | wc -l; }
rg1() { local w=$1; shift; rg --no-config --no-ignore -n -E sjis -j1 "$@" "$(where "$w")" | wc -l; }
rgn() { local w=$1; shift; rg --no-config --no-ignore -n -E sjis "$@" "$(where "$w")" | wc -l; }

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else printf "-" }'; }

echo "## Speed race ($(date -u +%Y-%m-%d), $(nproc) cores, median of $runs runs)"
echo
echo "Corpus: tree $(du -sh "$tree" | cut -f1) in $(tr -cd '\0' <"$tree_list" | wc -c) files; big file $(du -sh "$big" | cut -f1)."
echo
for w in tree big; do
  t_cat=$(median_time cat_files $w)
  echo "### $w (cat of the same files: ${t_cat} s)"
  echo
  echo "| search | kelvane-grep -j1 | lines | grep -F (bytes) | lines | rg -E sjis -j1 | lines | rg -E sjis | kelvane-grep -j2 | kg/cat | kg/grep | rg-j1/kg | rg/kg-j2 |"
  echo "|---|---|---|---|---|---|---|---|---|---|---|---|---|"
  for search in literal rare regex fuzzy raw; do
    case $search in
      literal) p=ファイル; gflags=(-F "$(sjis $p)"); kflags=("$p"); rflags=(-F "$p") ;;
      rare) p=漢字; gflags=(-F "$(sjis $p)"); kflags=("$p"); rflags=(-F "$p") ;;
      regex) p='ファイル.*設定'; gflags=("$(sjis $p)"); kflags=("$p"); rflags=("$p") ;;
      fuzzy) p=ファイル; kflags=(-z "$p") ;;
      raw) p=ファイル; kflags=(--raw "$(sjis $p)") ;;
    esac
    t_kg=$(median_time kg $w "${kflags[@]}"); c_kg=$(cat "$count_file")
    if [ $search = fuzzy ] || [ $search = raw ]; then
      flag=-z
      [ $search = raw ] && flag="--raw (CP932 out)"
      echo "| $p $flag | $t_kg | $c_kg | | | | | | | $(ratio "$t_kg" "$t_cat") | | | |"
      continue
    fi
    t_g=$(median_time bytegrep $w "${gflags[@]}"); c_g=$(cat "$count_file")
    t_r1=$(median_time rg1 $w "${rflags[@]}"); c_r1=$(cat "$count_file")
    t_rn=$(median_time rgn $w "${rflags[@]}")
    t_k2=$(median_time kg2 $w "${kflags[@]}")
    echo "| $p | $t_kg | $c_kg | $t_g | $c_g | $t_r1 | $c_r1 | $t_rn | $t_k2 | $(ratio "$t_kg" "$t_cat") | $(ratio "$t_kg" "$t_g") | $(ratio "$t_r1" "$t_kg") | $(ratio "$t_rn" "$t_k2") |"
  done
  echo
done

peak=$(/usr/bin/time -f %M "$KG" -j1 ファイル "$big" 2>&1 >/dev/null | tail -1)
echo "Peak memory of kelvane-grep ファイル on the big file: $(awk -v k="$peak" 'BEGIN { printf "%.1f", k / 1024 }') MB."
# Linearity: the first half of the tree's copies against the whole tree.
half=$(mktemp)
find "$tree" -mindepth 1 -maxdepth 1 -type d | sort | head -n "$(( $(find "$tree" -mindepth 1 -maxdepth 1 -type d | wc -l) / 2 ))" >"$half"
kg_half() { xargs -a "$half" "$KG" -j1 ファイル | wc -l; }
t_half=$(median_time kg_half)
t_full=$(median_time kg tree ファイル)
echo "Linearity: ファイル on half the tree ${t_half} s, on the whole tree ${t_full} s (ratio $(ratio "$t_full" "$t_half"))."
rm -f "$half"
