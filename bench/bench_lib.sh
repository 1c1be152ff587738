# Sourced by the bench scripts. ensure_kelvane_grep ROOT: sets KG to the Release kelvane-grep of
# ROOT/build-bench, building it when needed, unless KG already names a build to race.
ensure_kelvane_grep() {
  [ -n "${KG:-}" ] && return 0
  cmake -S "$1" -B "$1/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVANE_WITH_QT=OFF \
    -DKELVANE_BENCH=OFF >/dev/null
  ninja -C "$1/build-bench" kelvane-grep >/dev/null
  KG=$1/build-bench/bin/kelvane-grep
}
