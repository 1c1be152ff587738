#!/bin/sh
# The main window's memory for the search of ファイル over bench/corpus/tree, measured from outside:
# GNU time's maximum resident set size of the whole run, beside the window's own report per step.
#   bench/window_memory.sh [build folder]   (default: build)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
exe=$build/bin/window_memory_ui_bench
[ -x "$exe" ] || exe=$build/bench/window_memory_ui_bench
[ -x "$exe" ] || { echo "build the target window_memory_ui_bench first" >&2; exit 2; }
if [ -x /usr/bin/time ]; then
  /usr/bin/time -f 'peak RSS from outside: %M kB' "$exe" "$here/corpus/tree"
else
  "$exe" "$here/corpus/tree"
fi
