#!/bin/sh
# Makes the kelvane-grep manual page from the README's "kelvane-grep, the command line" section, so
# that the README stays the one place the manual is written:
#   readme2man.sh README.md VERSION OUTPUT
# The first code block is the synopsis, the option table the OPTIONS, a paragraph that starts with
# "Exit status" the EXIT STATUS, later code blocks the EXAMPLES; every other paragraph, in order,
# the DESCRIPTION. Text in backquotes is set in bold, as commands and options are in manuals.
set -eu
[ $# -eq 3 ] || { echo "usage: readme2man.sh README.md VERSION OUTPUT" >&2; exit 2; }
readme=$1 version=$2 out=$3

awk -v version="$version" '
# Backslashes first, so that the escapes added afterwards stay escapes.
function esc(s) { gsub(/\\/, "\\e", s); return s }
function lead(s) { return (s ~ /^[.\047]/) ? "\\&" s : s }
function inline(s,    r, code) {
  s = esc(s); r = ""
  while (match(s, /`[^`]*`/)) {
    code = substr(s, RSTART + 1, RLENGTH - 2)
    gsub(/-/, "\\-", code)
    r = r substr(s, 1, RSTART - 1) "\\fB" code "\\fR"
    s = substr(s, RSTART + RLENGTH)
  }
  return lead(r s)
}
function flush() {
  if (para == "") return
  if (para ~ /^Exit status/) status = status ".PP\n" inline(para) "\n"
  else desc = desc ".PP\n" inline(para) "\n"
  para = ""
}
function cells(line, out,    n) {
  sub(/^\| */, "", line); sub(/ *\|[ \t]*$/, "", line)
  return split(line, out, / \| /)
}
/^## / { flush(); if (inside) exit; if ($0 ~ /^## kelvane-grep/) inside = 1; next }
!inside { next }
/^```/ {
  flush()
  if (!incode) { incode = 1; block = ""; next }
  incode = 0
  if (synopsis == "") synopsis = block
  else examples = examples ".PP\n.nf\n" block ".fi\n"
  next
}
incode { line = esc($0); gsub(/-/, "\\-", line); block = block lead(line) "\n"; next }
/^\|/ {
  flush()
  if (++rows <= 2) next  # the header row and its rule
  n = cells($0, c)
  options = options ".TP\n" inline(c[1]) "\n" inline(n > 1 ? c[2] : "") "\n"
  next
}
/^[ \t]*$/ { flush(); rows = 0; next }
{ para = (para == "") ? $0 : para " " $0 }
END {
  flush()
  if (synopsis == "" || options == "") { print "readme2man: no kelvane-grep manual in the README" > "/dev/stderr"; exit 1 }
  printf ".TH KELVANE-GREP 1 \"\" \"Kelvane %s\" \"User Commands\"\n", version
  print ".SH NAME\nkelvane-grep \\- search Shift-JIS text files with the pattern engine of Kelvane"
  printf ".SH SYNOPSIS\n.nf\n%s.fi\n", synopsis
  printf ".SH DESCRIPTION\n%s", desc
  printf ".SH OPTIONS\n%s", options
  if (status != "") printf ".SH \"EXIT STATUS\"\n%s", status
  if (examples != "") printf ".SH EXAMPLES\n%s", examples
  print ".SH \"SEE ALSO\"\n.BR kelvane (1)"
}' "$readme" >"$out.tmp"
mv "$out.tmp" "$out"
