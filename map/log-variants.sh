#!/usr/bin/env bash
# How much glibc's two logarithms on x86-64 change the results: diodemap's
# CSV over the regions that the page is tested on, once with the log that
# glibc picks for this processor and once with GLIBC_TUNABLES=
# glibc.cpu.hwcaps=-FMA (glibc's log without FMA, as wasi-libc computes),
# counting the rows that differ; then diodesolve on the circuits of those
# rows, counting the dialogues that differ. Part of make bench.
# Usage: log-variants.sh BIN-DIR
set -euo pipefail
bin=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
other=glibc.cpu.hwcaps=-FMA
grep -qw fma /proc/cpuinfo 2>/dev/null ||
    echo "log variants: this processor has no FMA, so both runs take the same log"
: >"$work/circuits"
for region in "--U 0:20 --R 0:1e5 --IS 1e-12 --grid 500x500" "--U 0:5 --R 1000 --IS 0:1e-6 --grid 500x500" \
    "--U 5 --R 1:1e7 --IS 1e-16:1e-6 --grid 500x500" "--U 0.01:100 --R 10:1e6 --IS 1e-12 --grid 500x500" \
    "--grid 300x300"; do
    read -ra words <<<"$region"
    "$bin/diodemap" --csv "${words[@]}" >"$work/native.csv"
    GLIBC_TUNABLES=$other "$bin/diodemap" --csv "${words[@]}" >"$work/other.csv"
    diff "$work/native.csv" "$work/other.csv" | sed -n 's/^< //p' >"$work/rows" || true
    echo "log variants: diodemap --csv $region: $(wc -l <"$work/rows") of $(($(wc -l <"$work/native.csv") - 1)) rows differ"
    cut -d, -f1-3 "$work/rows" >>"$work/circuits"
done
sort -u "$work/circuits" | tr ',' '\n' >"$work/answers"
split -l 3 -d -a 5 "$work/answers" "$work/circuit."
differ=0
all=0
for input in "$work"/circuit.*; do
    [ -e "$input" ] || continue
    all=$((all + 1))
    cmp -s <("$bin/diodesolve" <"$input" 2>&1) <(GLIBC_TUNABLES=$other "$bin/diodesolve" <"$input" 2>&1) ||
        differ=$((differ + 1))
done
echo "log variants: diodesolve on the $all circuits of those rows: $differ dialogues differ"
