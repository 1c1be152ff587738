#!/usr/bin/env bash
# Installs a built tree into a staging folder and checks what a user of the installed program gets:
# the file list, the menu entry, the manual pages, the installed kelvane-grep on a small tree, and
# that the menu's launcher starts Kelvane in $XDG_CONFIG_HOME/kelvane, where the settings file is
# written when the window closes (a real start under Xvfb, closed through its menu).
#   scripts/check_install.sh [BUILD_DIR]          (default build/, already built)
#   scripts/check_install.sh --deb [BUILD_DIR]    also makes the Debian package and runs lintian
set -euo pipefail
cd "$(dirname "$0")/.."
deb=0
if [ "${1:-}" = --deb ]; then deb=1; shift; fi
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check_install: $*" >&2; exit 1; }

prefix=/usr/local
stage=$work/stage
DESTDIR=$stage cmake --install "$build" --prefix $prefix >/dev/null
root=$stage$prefix

echo "-- file list"
(cd "$root" && find . -type f | sort) >"$work/files"
diff -u - "$work/files" <<'LIST' || fail "installed files differ"
./bin/kelvane
./bin/kelvane-grep
./libexec/kelvane/kelvane-launcher
./share/applications/kelvane.desktop
./share/doc/kelvane/changelog.gz
./share/doc/kelvane/copyright
./share/icons/hicolor/48x48/apps/kelvane.png
./share/icons/hicolor/scalable/apps/kelvane.svg
./share/kelvane/kelvane.html
./share/man/man1/kelvane-grep.1.gz
./share/man/man1/kelvane.1.gz
LIST
[ -x "$root/libexec/kelvane/kelvane-launcher" ] || fail "the launcher is not executable"

echo "-- menu entry"
entry=$root/share/applications/kelvane.desktop
desktop-file-validate "$entry"
grep -qx "Exec=$prefix/libexec/kelvane/kelvane-launcher" "$entry" || fail "Exec does not name the installed launcher"
for key in 'Name\[ja\]' 'Comment\[ja\]' 'Comment' 'Categories=Utility;TextTools;' 'MimeType=text/plain;' 'Icon=kelvane'; do
  grep -q "^$key" "$entry" || fail "the menu entry has no $key"
done

echo "-- manual pages"
for page in kelvane-grep kelvane; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/share/man/man1/$page.1.gz" 2>&1 >"$work/$page.txt")
  [ -z "$warnings" ] || fail "$page.1: $warnings"
done
grep -q -- '--ignore-case' "$work/kelvane-grep.txt" || fail "the kelvane-grep manual has no option table"
grep -q 'EXIT STATUS' "$work/kelvane-grep.txt" || fail "the kelvane-grep manual has no exit status"

echo "-- installed kelvane-grep"
grep=$root/bin/kelvane-grep
mkdir -p "$work/tree/sub"
printf 'abc\r\n\x95\x5c\x8e\xa6\x82\xb7\x82\xe9\r\n' >"$work/tree/a.txt"  # 表示する
printf '\x95\x5c\x8e\xa6\r\n' >"$work/tree/sub/b.txt"
printf '\x95\x5c\x8e\xa6\r\n' >"$work/tree/c.csv"
out=$(cd "$work" && LC_ALL=C.UTF-8 "$grep" '表示' tree)
[ "$out" = $'tree/a.txt:2:表示する\ntree/sub/b.txt:1:表示' ] || fail "kelvane-grep printed: $out"
# --help and --version came later than the install rules; an older tool is not held against this.
if "$grep" --version >/dev/null 2>&1; then
  "$grep" --version | grep -q "$(sed -n 's/^project(Kelvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)" ||
    fail "kelvane-grep --version does not say the project version"
  "$grep" --help | grep -q -- '--plain' || fail "kelvane-grep --help does not list the options"
fi

echo "-- launcher: the folder it starts kelvane in"
# A stand-in kelvane beside a copy of the launcher, in the same layout, says where it was started.
mkdir -p "$work/fake/bin" "$work/fake/libexec/kelvane"
cp "$root/libexec/kelvane/kelvane-launcher" "$work/fake/libexec/kelvane/"
printf '#!/bin/sh\npwd >"%s"\n' "$work/started" >"$work/fake/bin/kelvane"
chmod +x "$work/fake/bin/kelvane"
started_in() {  # started_in EXPECTED_FOLDER ENV...
  local expected=$1
  shift
  rm -f "$work/started"
  env -i PATH="$PATH" "$@" "$work/fake/libexec/kelvane/kelvane-launcher" || fail "the launcher failed with $*"
  [ "$(cat "$work/started")" = "$expected" ] || fail "with $* kelvane started in $(cat "$work/started")"
  [ "$(stat -c %a "$expected")" = 700 ] || fail "$expected is not the user's alone"
}
started_in "$work/h1/.config/kelvane" HOME="$work/h1"
started_in "$work/xdg/kelvane" HOME="$work/h2" XDG_CONFIG_HOME="$work/xdg"
started_in "$work/h3/.config/kelvane" HOME="$work/h3" XDG_CONFIG_HOME=relative/config
[ ! -e "$work/h2" ] || fail "an absolute XDG_CONFIG_HOME still made a folder in the home folder"
rm -f "$work/started"
if env -i PATH="$PATH" HOME=/dev/null/home "$work/fake/libexec/kelvane/kelvane-launcher" 2>"$work/err"; then
  fail "the launcher started kelvane without a settings folder"
fi
[ ! -e "$work/started" ] && grep -q '設定フォルダ' "$work/err" || fail "a settings folder that cannot be made is not reported"

echo "-- menu start of the installed program, under Xvfb"
if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
  cat >"$work/menu_start.sh" <<'RUN'
# Starts the installed launcher, waits for the window, closes it through ファイル > 終了 (the last
# item of the first menu) with the keyboard, and waits for the program to end.
set -u
"$1" &
pid=$!
wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Kelvane$' | head -1)
[ -n "$wid" ] || { echo "no Kelvane window" >&2; kill $pid; exit 1; }
readlink "/proc/$pid/exe" >"$2/exe"
readlink "/proc/$pid/cwd" >"$2/cwd"
xdotool windowfocus --sync "$wid"
for _ in 1 2 3; do
  xdotool key alt && sleep 0.3 && xdotool key Down && sleep 0.3 && xdotool key Up && sleep 0.3 && xdotool key Return
  for _ in $(seq 30); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  kill -0 $pid 2>/dev/null || { wait $pid; exit $?; }
done
echo "Kelvane did not close" >&2
kill $pid
exit 1
RUN
  home=$work/home
  mkdir -p "$home"
  env -i PATH="$PATH" HOME="$home" LANG=C.UTF-8 xvfb-run -a -s '-screen 0 1024x768x24' \
    bash "$work/menu_start.sh" "$root/libexec/kelvane/kelvane-launcher" "$work" 2>"$work/xerr" ||
    { cat "$work/xerr" >&2; fail "the menu start under Xvfb failed"; }
  [ "$(cat "$work/exe")" = "$root/bin/kelvane" ] || fail "the launcher ran $(cat "$work/exe")"
  [ "$(cat "$work/cwd")" = "$home/.config/kelvane" ] || fail "Kelvane ran in $(cat "$work/cwd")"
  [ -f "$home/.config/kelvane/Kelvane.ini" ] || fail "no Kelvane.ini in $home/.config/kelvane"
  [ "$(find "$home" -mindepth 1 -maxdepth 1 ! -name .config ! -name .cache)" = "" ] ||
    fail "the menu start left files in the home folder"
else
  echo "(xvfb-run or xdotool missing: skipped)"
fi

if [ $deb = 1 ]; then
  echo "-- Debian package"
  (cd "$build" && rm -f kelvane_*.deb && cpack -G DEB >/dev/null)
  package=$(ls "$build"/kelvane_*.deb)
  dpkg-deb -f "$package" Depends
  lintian --fail-on error "$package"
fi
echo "install check: all good"
