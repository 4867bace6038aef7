#!/usr/bin/env bash
# What the README states about the tree, checked against it: the licence
# (LICENSE, the Debian copyright file, the page's footer), the page's size
# against the built page, and the Layout's file lists against the folders
# (every file it names exists, every source file is named).
# Builds the page first where it can be built (make web).
# Usage: readme.sh SOURCE-DIR   (exit 77 after the rest: the page cannot be
# built here)
. "$(dirname "$0")/lib.sh"
src=$1
readme=$src/README.md

name="licence"
head -1 "$src/LICENSE" | grep -q '^MIT License$' || fail "LICENSE is not the MIT licence"
grep -q '^License: Expat$' "$src/cmake/copyright" || fail "the copyright file names no Expat licence"
grep -q 'MIT-Lizenz' "$src/web/page.html" || fail "the page's footer names no MIT licence"
awk '/^## Licence/ { s = 1; next } /^## / { s = 0 } s && /MIT/ { found = 1 } END { exit !found }' "$readme" ||
    fail "the Licence section does not say MIT"
! tr '\n' ' ' <"$readme" | grep -qiE 'no licen[cs]e has[[:space:]]+been[[:space:]]+granted' ||
    fail "the README says no licence has been granted"

name="layout"
# folder file...: the Layout block's names (name.ext or name.*), per folder.
awk '/^## Layout/ { s = 1; next } /^## / { s = 0 } s && /^    [a-z.]+\// { dir = $1 }
    s && /^    / { line = $0; while (match(line, /\.?[a-z_-]+(\.[a-z_-]+)*\.(\*|[a-z]+)/)) {
        print dir, substr(line, RSTART, RLENGTH); line = substr(line, RSTART + RLENGTH) } }' \
    "$readme" >"$work/named"
[ -s "$work/named" ] || setup_broken "no Layout section in the README"
while read -r dir file; do
    compgen -G "$src/$dir${file%.*}.${file##*.}" >/dev/null || fail "Layout names $dir$file, which is not there"
done <"$work/named"
shopt -s nullglob
for f in "$src"/{input,solver,demo,plot,map,common,web}/*.{cpp,h,js}; do
    rel=${f#"$src/"}
    stem=${rel##*/}
    grep -qxF "${rel%/*}/ ${stem%.*}.*" "$work/named" || grep -qxF "${rel%/*}/ $stem" "$work/named" ||
        fail "Layout does not name $rel"
done
# Every folder and top-level file of the tree.
layout=$(awk '/^## Layout/ { s = 1; next } /^## / { s = 0 } s' "$readme")
for entry in $(git -C "$src" ls-files | sed 's|/.*|/|' | sort -u); do
    grep -qF -- "$entry" <<<"$layout" || fail "Layout does not name $entry"
done

name="page size"
need_web "$src" page
page=$src/build/web/diodesolve.html
said=$(grep -o 'about [0-9]* KiB)' "$readme" | head -1 | tr -dc 0-9)
actual=$(( $(stat -c %s "$page") / 1024 ))
[ -n "$said" ] || fail "the README states no page size"
[ "$actual" -ge $((said - 5)) ] && [ "$actual" -le $((said + 5)) ] ||
    fail "the README says about $said KiB, the page has $actual KiB"
finish
