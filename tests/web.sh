#!/usr/bin/env bash
# diodesolve compiled to WebAssembly must write, byte for byte, what the
# native program writes: every transcript case of diodesolve runs against it
# through the page's own WASI bridge (web/wasi.js) under node, then 200
# random circuits against the native program.
# Builds the wasm preset when its module is missing.
# Usage: web.sh SOURCE-DIR NATIVE-BIN-DIR   (exit 77: node or the wasm
# toolchain missing)
. "$(dirname "$0")/lib.sh"
src=$1
native=$2/diodesolve
need_program "$native"

command -v node >/dev/null || skip "no node (Debian: nodejs): WebAssembly not checked"
wasm=$src/build/wasm/bin/diodesolve.wasm
if [ ! -f "$wasm" ]; then
    printf 'int main(){return 0;}\n' >"$work/probe.c"
    clang --target=wasm32-wasi "$work/probe.c" -o "$work/probe.wasm" 2>/dev/null ||
        skip "clang cannot build for wasm32-wasi (Debian: clang lld wasi-libc" \
            "libclang-rt-14-dev-wasm32 libc++-14-dev-wasm32 libc++abi-14-dev-wasm32)"
    (cd "$src" && cmake --preset wasm && cmake --build --preset wasm) >"$work/build.log" 2>&1 ||
        { cat "$work/build.log"; setup_broken "the wasm preset does not build"; }
fi

# A folder whose diodesolve is the WebAssembly one.
mkdir "$work/bin"
printf '#!/bin/sh\nexec node %q %q "$@"\n' "$src/tests/web/bridge-run.mjs" "$wasm" \
    >"$work/bin/diodesolve"
chmod +x "$work/bin/diodesolve"

# A lost standard output (full, closed) is left out: the bridge keeps the
# module's output in memory, as the page does, where no write can fail.
cases=0
for c in "$src"/tests/cases/diodesolve/*.case; do
    name=${c##*/}
    grep -q '^stdout-to: \(closed\|full\)' "$c" && continue
    out=$(bash "$src/tests/transcript.sh" "$c" "$work/bin" 2>&1) || fail "$out"
    cases=$((cases + 1))
done

# Random circuits: U, R and I_S over many decades and both signs, with
# zeros among them, as %.17g so that every bit reaches both programs.
awk 'BEGIN { srand(20261208)
    for (k = 0; k < 200; k++) {
        for (q = 0; q < 3; q++) {
            e = int(rand() * 40) - 20; s = rand() < 0.15 ? -1 : 1
            v[q] = rand() < 0.05 ? 0 : s * rand() * 10 ^ e
        }
        printf "%.17g\n%.17g\n%.17g\n", v[0], (v[1] < 0 ? -v[1] : v[1]) * 1e3, (v[2] < 0 ? -v[2] : v[2]) * 1e-9
    } }' >"$work/circuits"
split -l 3 -d -a 3 "$work/circuits" "$work/circuit."
for input in "$work"/circuit.*; do
    name=${input##*.}
    "$native" <"$input" >"$work/want.out" 2>"$work/want.err"
    "$work/bin/diodesolve" <"$input" >"$work/got.out" 2>"$work/got.err"
    cmp -s "$work/want.out" "$work/got.out" || fail "stdout differs for $(tr '\n' ' ' <"$input")"
    cmp -s "$work/want.err" "$work/got.err" || fail "stderr differs for $(tr '\n' ' ' <"$input")"
done
echo "WebAssembly: $cases transcript cases and $(ls "$work"/circuit.* | wc -l) random circuits checked"
finish
