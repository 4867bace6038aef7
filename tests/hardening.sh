#!/usr/bin/env bash
# Checks that release programs carry the usual hardening: full RELRO (relro
# and now), the stack protector and, with --fortify, fortified libc calls
# (g++ only: clang cannot fortify glibc's printf family).
# Usage: hardening.sh [--fortify] PROGRAM...   (READELF, NM: the target's)
. "$(dirname "$0")/lib.sh"
fortify=0
[ "${1:-}" = --fortify ] && { fortify=1; shift; }
need_program "$@"
for exe in "$@"; do
    name=$exe
    "${READELF:-readelf}" -lW "$exe" | grep -q GNU_RELRO || fail "no relro"
    "${READELF:-readelf}" -dW "$exe" | grep -qE 'BIND_NOW|FLAGS_1.* NOW' || fail "not bound now"
    syms=$("${NM:-nm}" -D "$exe")
    grep -q __stack_chk_fail <<<"$syms" || fail "no stack protector"
    [ "$fortify" = 0 ] || grep -qE '__[a-z]+_chk\b' <<<"$syms" || fail "no fortified call"
done
finish
