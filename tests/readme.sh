#!/usr/bin/env bash
# What the README states about the tree, checked against it: the licence
# (LICENSE, the Debian copyright file, the page's footer), the page's size
# against the built page, and the Layout against the tree (every name in it
# is a file or folder of the tree, every tracked file is named).
# Builds the page first where it can be built (make web).
# Usage: readme.sh SOURCE-DIR   (exit 77 after the rest: the page cannot be
# built here)
. "$(dirname "$0")/lib.sh"
src=$1
readme=$src/README.md

name="licence"
head -1 "$src/LICENSE" | grep -q '^MIT License$' || fail "LICENSE is not the MIT licence"
grep -q '^License: Expat$' "$src/cmake/copyright.txt" || fail "the copyright file names no Expat licence"
grep -q 'MIT-Lizenz' "$src/web/page.html" || fail "the page's footer names no MIT licence"
awk '/^## Licence/ { s = 1; next } /^## / { s = 0 } s && /MIT/ { found = 1 } END { exit !found }' "$readme" ||
    fail "the Licence section does not say MIT"
! tr '\n' ' ' <"$readme" | grep -qiE 'no licen[cs]e has[[:space:]]+been[[:space:]]+granted' ||
    fail "the README says no licence has been granted"

name="layout"
# The Layout against the tree, both ways. Its names become patterns, one a
# line (a regular expression, a tab, the name): in the block, each line's
# folder (the first word, "solver/") with the names on it (name.ext,
# name.*, *.sh, and subfolders such as cases/, which stand for all they
# hold); after the block, the backquoted names, from the top.
awk '/^## Layout/ { s = 1; next } /^## / { s = 0 } !s { next }
    function emit(name,   re) {
        re = name; gsub(/\./, "\\.", re); gsub(/\*/, "[^/]*", re); sub(/\/$/, "/.*", re)
        printf "%s\t%s\n", re, name }
    /^    [^ ]/ { block = 1; first = $1; line = substr($0, 5 + length(first))
        if (first ~ /\/$/) dir = first; else { dir = ""; emit(first); line = "" } }
    /^              / { line = $0 }
    /^    / { while (match(line, /[A-Za-z0-9_*./-]*[A-Za-z0-9_*]\.[A-Za-z0-9_*]+|[a-z-]+\//)) {
            emit(dir substr(line, RSTART, RLENGTH)); line = substr(line, RSTART + RLENGTH) }
        next }
    block && /`/ { line = $0; while (match(line, /`[^`]+`/)) {
            emit(substr(line, RSTART + 1, RLENGTH - 2)); line = substr(line, RSTART + RLENGTH) } }' \
    "$readme" >"$work/named"
[ "$(wc -l <"$work/named")" -gt 40 ] || setup_broken "no Layout section in the README"
git -C "$src" ls-files >"$work/files" || setup_broken "git ls-files"
while IFS=$'\t' read -r re pattern; do
    grep -qxE "$re" "$work/files" || fail "Layout names $pattern, which is not in the tree"
done <"$work/named"
cut -f 1 "$work/named" >"$work/patterns"
while read -r f; do
    fail "Layout does not name $f"
done < <(grep -vxE -f "$work/patterns" "$work/files")

name="sentences"
# Sentences of one idea: none of the README's prose (code, tables and
# headings left out, each list item a paragraph of its own) runs to more
# than 40 words, code in backquotes not counted.
awk '/^    / || /^\|/ || /^#/ || /^!\[/ || /^$/ || /^(- |[0-9]+\. )/ { if (p != "") print p; p = "" }
    /^    / || /^\|/ || /^#/ || /^!\[/ || /^$/ { next } { p = p " " $0 } END { if (p != "") print p }' "$readme" |
    awk '{ gsub(/`[^`]*`/, ""); n = split($0, s, /[.!?] +/)
        for (i = 1; i <= n; i++) if (split(s[i], w, /[ \t]+/) - 1 > 40) print substr(s[i], 1, 90) }' >"$work/long"
while read -r sentence; do fail "a sentence of more than 40 words:$sentence..."; done <"$work/long"

name="page size"
need_web "$src" page
page=$src/build/web/diodesolve.html
said=$(grep -o 'about [0-9]* KiB)' "$readme" | head -1 | tr -dc 0-9)
actual=$(( $(stat -c %s "$page") / 1024 ))
[ -n "$said" ] || fail "the README states no page size"
[ "$actual" -ge $((said - 5)) ] && [ "$actual" -le $((said + 5)) ] ||
    fail "the README says about $said KiB, the page has $actual KiB"
finish
