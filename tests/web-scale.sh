#!/usr/bin/env bash
# The page's numbers at scale. The WebAssembly build takes wasi-libc's log
# and exp, which round as glibc's variant without FMA does; glibc on x86-64
# takes its FMA variant where the processor has FMA, and the two differ on
# a few arguments in 100,000. So the page is held to the native programs
# run with GLIBC_TUNABLES=glibc.cpu.hwcaps=-FMA (which changes nothing on a
# processor without FMA): the page's worker pool against diodemap --csv
# over four regions of 500 x 500 (linear and log-spaced axes, every
# ending), and the WebAssembly diodesolve against the native one over 2000
# random circuits, byte for byte.
# Usage: web-scale.sh SOURCE-DIR NATIVE-BIN-DIR   (exit 77: node or the
# wasm toolchain missing)
. "$(dirname "$0")/lib.sh"
src=$1
need_program "$2/diodesolve" "$2/diodemap"
need_web "$src"
export GLIBC_TUNABLES=glibc.cpu.hwcaps=-FMA

name="maps"
for region in "--U 0:20 --R 0:1e5 --IS 1e-12" "--U 0:5 --R 1000 --IS 0:1e-6" \
    "--U 5 --R 1:1e7 --IS 1e-16:1e-6" "--U 0.01:100 --R 10:1e6 --IS 1e-12"; do
    read -ra words <<<"$region --grid 500x500"
    "$2/diodemap" --csv "${words[@]}" >"$work/want.csv" || setup_broken "diodemap $region"
    node "$src/tests/web/map-run.mjs" "$src/build/wasm/bin/diodeweb.wasm" 2 "$work/got.csv" "${words[@]}" ||
        fail "the page's map failed: $region"
    cmp -s "$work/want.csv" "$work/got.csv" ||
        fail "$region: $(diff "$work/want.csv" "$work/got.csv" | grep -c '^<') rows differ"
    cut -d, -f6,7 "$work/want.csv" | sort -u | sed 's/,[0-9.e+-]*$/,num/' | sort -u >>"$work/endings"
done
for ending in Wiederholung,num Grenze,num Grenze,-nan; do
    grep -qx "$ending" "$work/endings" || setup_broken "no row ends $ending"
done

name="dialogues"
random_circuits 20261209 2000 >"$work/circuits"
node "$src/tests/web/solve-many.mjs" "$src/build/wasm/bin/diodesolve.wasm" "$work/circuits" "$work/got.out" ||
    fail "the WebAssembly diodesolve failed"
split -l 3 -d -a 4 "$work/circuits" "$work/circuit."
for input in "$work"/circuit.*; do
    status=0
    "$2/diodesolve" <"$input" 2>"$work/err" || status=$?
    cat "$work/err"
    echo "$status"
done >"$work/want.out"
cmp -s "$work/want.out" "$work/got.out" || fail "the dialogues differ: $(cmp "$work/want.out" "$work/got.out")"
echo "at scale: 4 maps of 500 x 500 and 2000 dialogues, the page as the native programs with glibc's log without FMA"
finish
