#!/bin/bash
# Builds the Shift-JIS corpus of the speed race under bench/corpus/ (git-ignored):
#   base/  the Japanese manual pages of Debian's manpages-ja, converted to CP932 with CR LF line ends
#   tree/  copyNN/ folders of base/ until the tree holds about 400 MB
#   big/big.txt  base/ concatenated over and over into one file of about 200 MB
# Usage: bench/make_corpus.sh [TREE_MB [BIG_MB]]. Needs manpages-ja (scripts/setup.sh or apt-get).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$here/corpus
tree_mb=${1:-400}
big_mb=${2:-200}
src=/usr/share/man/ja
if [ ! -d "$src" ]; then
  echo "make_corpus.sh: $src is missing; install manpages-ja (apt-get install manpages-ja)" >&2
  exit 2
fi
if [ -f "$out/.done-$tree_mb-$big_mb" ]; then
  echo "corpus ready: $out"
  exit 0
fi
rm -rf "$out"
mkdir -p "$out/base" "$out/tree" "$out/big"

echo "converting $src to CP932 with CR LF ..."
find "$src" -type f -name '*.gz' | sort | while read -r f; do
  rel=${f#"$src"/}
  dest=$out/base/${rel%.gz}.txt
  mkdir -p "$(dirname "$dest")"
  # Characters with no CP932 form (rare in these pages) are left out by iconv -c.
  zcat "$f" | iconv -c -f UTF-8 -t CP932 | sed 's/$/\r/' >"$dest"
done
base_kb=$(du -sk "$out/base" | cut -f1)

echo "copying into a tree of about $tree_mb MB ..."
n=0
while [ $(( n * base_kb )) -lt $(( tree_mb * 1024 )) ]; do
  n=$((n + 1))
  cp -r "$out/base" "$out/tree/copy$(printf %02d $n)"
done

echo "writing one file of about $big_mb MB ..."
all=$(find "$out/base" -type f -name '*.txt' | sort)
: >"$out/big/big.txt"
while [ "$(stat -c %s "$out/big/big.txt")" -lt $(( big_mb * 1024 * 1024 )) ]; do
  # shellcheck disable=SC2086
  cat $all >>"$out/big/big.txt"
done
touch "$out/.done-$tree_mb-$big_mb"
du -sh "$out/tree" "$out/big/big.txt"
