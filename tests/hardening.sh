#!/usr/bin/env bash
# Checks that release programs carry the usual hardening: full RELRO (relro
# and now), the stack protector and, with --fortify, fortified libc calls
# (g++ only: clang cannot fortify glibc's printf family).
# Usage: hardening.sh [--fortify] PROGRAM...
set -u
failed=0 fortify=0
[ "${1:-}" = --fortify ] && { fortify=1; shift; }
for exe in "$@"; do
    [ -x "$exe" ] || { echo "SETUP: no program $exe" >&2; exit 2; }
    readelf -lW "$exe" | grep -q GNU_RELRO || { echo "FAIL $exe: no relro"; failed=1; }
    readelf -dW "$exe" | grep -qE 'BIND_NOW|FLAGS_1.* NOW' || { echo "FAIL $exe: not bound now"; failed=1; }
    syms=$(nm -D "$exe")
    grep -q __stack_chk_fail <<<"$syms" || { echo "FAIL $exe: no stack protector"; failed=1; }
    [ "$fortify" = 0 ] || grep -qE '__[a-z]+_chk\b' <<<"$syms" || { echo "FAIL $exe: no fortified call"; failed=1; }
done
exit "$failed"
