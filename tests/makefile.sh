#!/usr/bin/env bash
# The Makefile does what it is told: plain make builds, make help names
# every target, CMake arguments reach a tree that is already configured, and
# make run on a built tree opens straight into the dialogue, without the
# build's chatter.
# Usage: makefile.sh SOURCE-DIR PRESET
. "$(dirname "$0")/lib.sh"
src=$1 preset=$2
mk() { env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL make --no-print-directory -C "$src" PRESET="$preset" "$@"; }

name="plain make"
mk -n >"$work/plan" || fail "make -n: status $?"
grep -qx "cmake --build --preset $preset --parallel $(nproc)" "$work/plan" ||
    fail "no build on as many jobs as processors: $(head -n 3 "$work/plan")"

name="make help"
mk help >"$work/help" || fail "status $?"
for target in $(sed -n 's/^\.PHONY: //p' "$src/Makefile" | head -n 1); do
    [ "$(grep -c "^make $target " "$work/help")" = 1 ] || fail "$target not listed once"
done
[ "$(grep -c '^make  ' "$work/help")" = 1 ] || fail "plain make not listed"

name="arguments on a configured tree"
mk -n build CMAKE_ARGS=-DDALV_WERROR=ON >"$work/plan" || fail "make -n: status $?"
grep -qx "cmake --preset $preset -DDALV_WERROR=ON" "$work/plan" || fail "CMake not given them: $(head -n 3 "$work/plan")"

name="make run's progress"
progress() { printf '%b' "$1" | awk -v logfile=L -f "$src/cmake/progress.awk"; }
[ -z "$(progress '[  5%] Built target dalv\n')" ] || fail "an up-to-date tree shows progress"
[ "$(progress '[ 10%] Building CXX object a.o\n[ 55%] Linking CXX executable b\n' | tr '\r' '|')" = \
    "|make run: building (log: L)  10%|make run: building (log: L)  55%" ] || fail "$(progress '[ 10%] Building\n')"

name="skipped tests named with their reasons"
mkdir -p "$work/b/Testing/Temporary"
printf '%s\n' '3/9 Test: page-in-chromium' 'Output:' 'SKIP: no Chromium at /x (Debian: chromium): not checked' \
    'Test Passed.' '4/9 Test: man-pages' 'Test Passed.' >"$work/b/Testing/Temporary/LastTest.log"
mkdir -p "$work/bin" && printf '#!/bin/sh\nexit 0\n' >"$work/bin/ctest" && chmod +x "$work/bin/ctest"
PATH="$work/bin:$PATH" bash "$src/cmake/ctest.sh" x "$work/b" >"$work/said" || fail "status $?"
grep -qx '  page-in-chromium: SKIP: no Chromium at /x (Debian: chromium): not checked' "$work/said" ||
    fail "$(cat "$work/said")"
[ "$(grep -c '^  ' "$work/said")" = 1 ] || fail "a test that ran is named: $(cat "$work/said")"

name="make run on a built tree"
mk run </dev/null >"$work/out" 2>"$work/err"
[ "$(cat "$work/out")" = "Gesamtspannung in V: " ] || fail "stdout: $(head -c 300 "$work/out")"
[ "$(cat "$work/err")" = "FEHLER: Keine Eingabezeile lesbar!" ] || fail "stderr: $(head -c 300 "$work/err")"
finish
