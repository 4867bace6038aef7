#!/usr/bin/env bash
# Lints the man pages with mandoc when it is installed, otherwise with groff.
# Usage: manlint.sh PAGE...
set -u
failed=0
for page in "$@"; do
    if command -v mandoc >/dev/null; then
        out=$(mandoc -Tlint -W warning "$page" 2>&1)
    else
        out=$(groff -ww -man -z "$page" 2>&1)
    fi
    [ -z "$out" ] || { echo "$out"; failed=1; }
done
exit "$failed"
