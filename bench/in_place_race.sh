#!/bin/bash
# The in-place race: kelvane-grep --in-place against sed -i (byte-blind) and a loop that pipes each
# file through iconv | sed | iconv, all replacing ファイル by ファイル２ over a copy of the corpus tree.
#
#   bench/in_place_race.sh [RUNS]
#
# FROM and TO (environment) race another replacement, e.g. FROM=能 TO=機能: the second byte of 能 is
# a backslash, and its bytes stand across two other characters often enough for sed to break lines.
# NO_ICONV=1 leaves out the iconv loop, which takes minutes (four processes per file).
# The copies live in $BENCH_DIR (default /dev/shm/kelvane-in-place, a tmpfs: the disk's flushes are
# not what is raced; set BENCH_DIR to a folder on a disk to include them). One copy is held as it
# was; before every run the work copy is made again from it, untimed. Every result is checked
# against the held copy by bench/in_place_check.py: files rewritten, lines that came out wrong (the
# byte-blind sed replaces inside double-byte characters), bytes changed outside the matches. Prints
# Markdown: median wall time of RUNS runs (default 3), the check, the ratios.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
runs=${1:-3}
corpus=${CORPUS:-$here/corpus}  # CORPUS: a corpus made elsewhere by the same steps
tree=$corpus/tree
work=${BENCH_DIR:-/dev/shm/kelvane-in-place}

[ -d "$tree" ] || "$here/make_corpus.sh" >/dev/null
. "$here/bench_lib.sh"
ensure_kelvane_grep "$root"

sjis() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
from=${FROM:-ファイル} to=${TO:-ファイル２}
from_sjis=$(sjis $from) to_sjis=$(sjis $to)
# sed reads a 0x5C byte (the second byte of 能, 表, ソ) as its escape: doubled, it stands for itself.
sed_from=${from_sjis//\\/\\\\} sed_to=${to_sjis//\\/\\\\}
rm -rf "$work"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
cp -a "$tree" "$work/held"

fresh() { rm -rf "$work/copy"; cp -a "$work/held" "$work/copy"; }
kg1() { "$KG" -j1 --in-place --gsub=$to $from "$work/copy" | wc -l; }
kg2() { "$KG" -j2 --in-place --gsub=$to $from "$work/copy" | wc -l; }
sed_i() { find "$work/copy" -type f -name '*.txt' -print0 | LC_ALL=C xargs -0 sed -i "s/$sed_from/$sed_to/g"; }
# What a careful script does without a Shift-JIS-aware tool: through UTF-8 and back, file by file.
iconv_loop() {
  find "$work/copy" -type f -name '*.txt' -print0 | while IFS= read -r -d '' f; do
    iconv -f CP932 -t UTF-8 "$f" | sed "s/$from/$to/g" | iconv -f UTF-8 -t CP932 >"$f.tmp" 2>/dev/null && mv "$f.tmp" "$f" || rm -f "$f.tmp"
  done
}

now() { date +%s%N; }
# median CMD: the median wall time in seconds of RUNS runs, each on a fresh copy; the check of the
# last run is left in $work/check (the function runs in a subshell).
median() {
  local times=() t0 t1
  for ((i = 0; i < runs; i++)); do
    fresh
    t0=$(now)
    "$@" >/dev/null 2>&1 || true
    t1=$(now)
    times+=("$(( (t1 - t0) / 1000000 ))")
  done
  python3 "$here/in_place_check.py" "$work/held" "$work/copy" $from $to >"$work/check" || true
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p" | awk '{ printf "%.2f", $1 / 1000 }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "## In-place race ($(date -u +%Y-%m-%d), $(nproc) cores, median of $runs runs, $(df --output=fstype "$work" | tail -1) copy)"
echo
echo "Tree: $(du -sh "$tree" | cut -f1) in $(find "$tree" -type f | wc -l) files; $from -> $to. Load before: $(cut -d' ' -f1-3 /proc/loadavg)."
echo
echo "| tool | wall (s) | check against the held copy | / sed -i |"
echo "|---|---|---|---|"
t_sed=$(median sed_i); c_sed=$(cat "$work/check")
t_kg1=$(median kg1); c_kg1=$(cat "$work/check")
t_kg2=$(median kg2); c_kg2=$(cat "$work/check")
if [ -z "${NO_ICONV:-}" ]; then runs=1 t_iconv=$(median iconv_loop); c_iconv=$(cat "$work/check"); fi
echo "| sed -i (byte-blind) | $t_sed | $c_sed | 1.00 |"
echo "| kelvane-grep -j1 --in-place | $t_kg1 | $c_kg1 | $(ratio "$t_kg1" "$t_sed") |"
echo "| kelvane-grep -j2 --in-place | $t_kg2 | $c_kg2 | $(ratio "$t_kg2" "$t_sed") |"
[ -n "${NO_ICONV:-}" ] || echo "| iconv \\| sed \\| iconv per file (1 run) | $t_iconv | $c_iconv | $(ratio "$t_iconv" "$t_sed") |"
echo
echo "Load after: $(cut -d' ' -f1-3 /proc/loadavg)."
