#!/usr/bin/env bash
# Lints the man pages with mandoc when it is installed, otherwise with groff
# (neither: skipped with 77 after the rest), and checks that each page's SEE
# ALSO names the project's pages its reader needs.
# Usage: manlint.sh PAGE...
. "$(dirname "$0")/lib.sh"
declare -A needs=(
    [diodesolve.1]="diodeplot(1) diodemap(1) dalv(3)"
    [diodeplot.1]="diodesolve(1) diodemap(1)"
    [diodemap.1]="diodesolve(1) diodeplot(1)"
    [diodelab.1]="diodesolve(1) diodeplot(1) diodemap(1)"
    [splitdemo.1]="strtok_r(3)"
    [dalv.3]="diodesolve(1)"
)
for page in "$@"; do
    name=$page
    out=
    if command -v mandoc >/dev/null; then
        out=$(mandoc -Tlint -W warning "$page" 2>&1)
    elif optional groff "the man pages' form" "mandoc or groff-base"; then
        out=$(groff -ww -man -z "$page" 2>&1)
    fi
    [ -z "$out" ] || fail "$out"
    see_also=$(sed -n '/^\.SH SEE ALSO/,/^\.SH [^S]/s/^\.BR \([^ ]*\) (\([0-9]\)).*/\1(\2)/p' "$page")
    [ -n "${needs[${page##*/}]+set}" ] || fail "no SEE ALSO needs listed for this page"
    for ref in ${needs[${page##*/}]:-}; do
        grep -qxF "$ref" <<<"$see_also" || fail "SEE ALSO lacks $ref"
    done
done
finish
