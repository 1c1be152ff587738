#!/usr/bin/env python3
"""Checks a rewritten copy of a tree against the copy held before the rewrite.

    in_place_check.py HELD REWRITTEN FROM TO

FROM and TO are UTF-8 and are compared as CP932 bytes. The expected file is the held file with every
occurrence of FROM that starts on a character boundary replaced by TO: a place is a boundary when the
run of bytes in the lead-byte range (0x81-0x9F, 0xE0-0xFC) just before it has even length, because a
byte outside that range always ends a character. Prints one line of counts:

    files=N rewritten=N wrong_files=N wrong_lines=N

A file is right when it is the expected file byte for byte, so no byte outside the matches changed;
wrong_lines counts the lines (cut at LF) of the wrong files that differ from the expected ones. Exits
1 when anything is wrong.
"""
import os
import sys


def is_lead(b):
    return 0x81 <= b <= 0x9F or 0xE0 <= b <= 0xFC


def boundary(data, at):
    run = 0
    i = at - 1
    while i >= 0 and is_lead(data[i]):
        run += 1
        i -= 1
    return run % 2 == 0


def expected(data, old, new):
    out, start, at = [], 0, data.find(old)
    while at >= 0:
        if boundary(data, at):
            out.append(data[start:at])
            out.append(new)
            start = at + len(old)
            at = data.find(old, start)
        else:
            at = data.find(old, at + 1)
    out.append(data[start:])
    return b"".join(out)


def compare_lines(got, want):
    """How many lines (cut at LF) differ."""
    g, w = got.split(b"\n"), want.split(b"\n")
    wrong = sum(1 for a, b in zip(g, w) if a != b) + abs(len(g) - len(w))
    return wrong


def main():
    held, rewritten, old, new = sys.argv[1], sys.argv[2], sys.argv[3].encode("cp932"), sys.argv[4].encode("cp932")
    files = rewritten_files = wrong_files = wrong_lines = 0
    for folder, _, names in os.walk(held):
        for name in names:
            h = os.path.join(folder, name)
            r = os.path.join(rewritten, os.path.relpath(h, held))
            with open(h, "rb") as f:
                before = f.read()
            try:
                with open(r, "rb") as f:
                    after = f.read()
            except OSError:
                after = b""
            files += 1
            want = expected(before, old, new)
            if after != before:
                rewritten_files += 1
            if after != want:
                wrong_files += 1
                wrong_lines += compare_lines(after, want)
    print(f"files={files} rewritten={rewritten_files} wrong_files={wrong_files} wrong_lines={wrong_lines}")
    return 1 if wrong_files else 0


if __name__ == "__main__":
    sys.exit(main())
