#!/usr/bin/env bash
# Lints the man pages with mandoc when it is installed, otherwise with groff.
# Usage: manlint.sh PAGE...
. "$(dirname "$0")/lib.sh"
for page in "$@"; do
    name=$page
    if command -v mandoc >/dev/null; then
        out=$(mandoc -Tlint -W warning "$page" 2>&1)
    else
        out=$(groff -ww -man -z "$page" 2>&1)
    fi
    [ -z "$out" ] || fail "$out"
done
finish
